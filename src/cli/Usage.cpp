#include "cli/Usage.h"

#include "launcher/LauncherVersion.h"

namespace gh {

std::wstring UsageText() {
    return L"Usage: gatehouse [options]                     the windowed launcher\n"
           L"       gatehouse [options] list [--json]       the installed mods as the mod manager lists them\n"
           L"       gatehouse [options] sync [--timeout SECONDS]\n"
           L"                                               bring the subscribed Workshop files up to date\n"
           L"       gatehouse [options] play [SET.sch | --last | --code CODE] [--with-requirements]\n"
           L"                                               start the game: without mods, with a saved set,\n"
           L"                                               with the selection the mod manager opens with,\n"
           L"                                               or with a share code's selection; with the mods\n"
           L"                                               they need added ahead of them\n"
           L"       gatehouse [options] inspect FILE.MOD [--json]\n"
           L"                                               a mod file's header as the launcher reads it\n"
           L"       gatehouse [options] sort SET.sch        put a saved set in an order in which every mod\n"
           L"                                               loads after the mods it needs\n"
           L"       gatehouse [options] share [SET.sch | --last]\n"
           L"                                               a share code of a set or of the last selection\n"
           L"       gatehouse [options] import CODE --save SET.sch\n"
           L"                                               save a share code's installed mods as a set\n"
           L"       gatehouse [options] report [SET.sch | --last] [--markdown]\n"
           L"                                               the mod list for a bug report\n"
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

std::wstring VersionText() { return L"gatehouse " + LauncherVersion() + L"\n"; }

}  // namespace gh
