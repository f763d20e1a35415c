// The launcher's command line:
//   gatehouse [options]                       the windowed launcher
//   gatehouse [options] list [--json]
//   gatehouse [options] sync [--timeout SECONDS]
//   gatehouse [options] play [SET.sch | --last | --code CODE] [--with-requirements]
//   gatehouse [options] inspect FILE.MOD [--json]
//   gatehouse [options] sort SET.sch
//   gatehouse [options] share [SET.sch | --last]
//   gatehouse [options] import CODE --save SET.sch
//   gatehouse [options] report [SET.sch | --last] [--markdown]
//   gatehouse [options] hold FILE|ID
//   gatehouse [options] release FILE|ID
//   gatehouse [options] changes [--json]
//   gatehouse [options] history FILE|ID
//   gatehouse [options] restore FILE|ID [ENTRY]
// Options may stand before or after the command and take their value as
// the next argument or after '=' (--documents=DIR).
// The game's own command line, which Steam's launch options append, ends
// what the launcher reads: it starts at the first argument whose last path
// component is Emberwake2.exe (in any case) and that is neither an option's
// value nor the file inspect reads (or the FILE|ID a command takes).
#pragma once

#include "launcher/LauncherOptions.h"
#include "platform/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gh {

enum class CliCommand {
    Launcher,  // no command: the windowed launcher
    List,
    Sync,
    Play,
    Inspect,
    Sort,
    Share,
    Import,
    Report,
    Hold,
    Release,
    History,
    Restore,
    Changes,
    Help,
    Version,
};

inline constexpr std::int64_t kDefaultSyncTimeoutMs = 300'000;

struct CommandLine {
    CliCommand command = CliCommand::Launcher;
    LauncherOptions options;
    bool json = false;                               // list --json, inspect --json, changes --json
    std::int64_t timeoutMs = kDefaultSyncTimeoutMs;  // sync --timeout, in milliseconds
    std::optional<std::wstring> setPath;             // play, share, report SET.sch
    bool last = false;                               // play, share, report --last
    bool withRequirements = false;                   // play ... --with-requirements
    std::optional<std::wstring> inspectPath;         // inspect FILE.MOD
    std::optional<std::wstring> sortPath;            // sort SET.sch
    std::optional<std::wstring> code;                // play --code CODE, import CODE
    std::optional<std::wstring> savePath;            // import --save SET.sch
    bool markdown = false;                           // report --markdown
    std::optional<std::wstring> target;              // hold, release, history, restore: FILE|ID
    std::uint32_t entry = 1;                         // restore ENTRY: 1 the newest earlier version
};

// Whether `command` names a Workshop subscription by FILE|ID.
bool TakesSubscription(CliCommand command);

// Parses the arguments after the program's name, up to the game's command
// line. --help and --version end the parse at once (what follows them is
// not examined). Everything else
// that is not understood is an error: an unknown option or command, a
// missing or empty option value, an option of another command, a second
// command word, a time-out that is not a number of seconds, a missing file
// for inspect or sort, two selections for one command, import without its
// code or --save, --with-requirements without a selection to add to; its
// status is one line, without "gatehouse: ". A share code is not read here:
// a damaged one is the command's failure, not a usage error.
Result<CommandLine> ParseCommandLine(const std::vector<std::wstring>& args);

}  // namespace gh
