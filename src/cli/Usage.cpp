#include "cli/Usage.h"

#include "platform/Unicode.h"

#ifndef GATEHOUSE_VERSION
#error "GATEHOUSE_VERSION must be defined by the build"
#endif

namespace gh {

std::wstring UsageText() {
    return L"Usage: gatehouse [options]                     the windowed launcher\n"
           L"       gatehouse [options] list [--json]       the installed mods as the mod manager lists them\n"
           L"       gatehouse [options] sync [--timeout SECONDS]\n"
           L"                                               bring the subscribed Workshop files up to date\n"
           L"       gatehouse [options] play [SET.sch | --last]\n"
           L"                                               start the game: without mods, with a saved set,\n"
           L"                                               or with the selection the mod manager opens with\n"
           L"       gatehouse [options] inspect FILE.MOD [--json]\n"
           L"                                               a mod file's header as the launcher reads it\n"
           L"       gatehouse [options] hold FILE|ID        keep a Workshop subscription at its installed version\n"
           L"       gatehouse [options] release FILE|ID     let sync update a held subscription again\n"
           L"       gatehouse [options] changes [--json]    what changed among the Workshop subscriptions\n"
           L"                                               since the game was last started\n"
           L"       gatehouse [options] history FILE|ID     the earlier versions kept of a Workshop subscription\n"
           L"       gatehouse [options] restore FILE|ID [ENTRY]\n"
           L"                                               put an earlier version back (1, the newest, by default)\n"
           L"                                               and hold it there\n"
           L"\n"
           L"Options:\n"
           L"  --documents DIR      use DIR as the documents folder\n"
           L"  --game-folder DIR    use DIR as the game folder (the folder of Emberwake2.exe)\n"
           L"  --workshop DIR       sync with the local Workshop in DIR instead of the Steam client\n"
           L"  --runner PROGRAM     start the game as PROGRAM <game> [parameter]\n"
           L"  --help               show this text\n"
           L"  --version            show the version\n"
           L"\n"
           L"Exit status: 0 done; 1 failed; 2 a command-line error, or sync ran out of time\n"
           L"(--timeout, 300 seconds by default).\n";
}

std::wstring VersionText() { return L"gatehouse " + Utf8ToWide(GATEHOUSE_VERSION) + L"\n"; }

}  // namespace gh
