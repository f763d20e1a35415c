#include "cli/CommandLine.h"

#include "cli/TerminalText.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <string_view>

namespace gh {

namespace {

// Longest time-out taken: a week, far beyond any sync, and far from overflow.
constexpr std::int64_t kMaxTimeoutMs = 7LL * 24 * 60 * 60 * 1000;

// "SECONDS": digits with an optional fraction ("2", "0.5", "2."), no sign,
// no exponent. Milliseconds are cut, not rounded.
std::optional<std::int64_t> ParseSeconds(std::wstring_view text) {
    std::int64_t whole = 0;
    std::size_t i = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        digits = true;
        whole = whole * 10 + (text[i] - L'0');
        if (whole > kMaxTimeoutMs / 1000) return std::nullopt;
    }
    std::int64_t ms = whole * 1000;
    if (i < text.size() && text[i] == L'.') {
        ++i;
        std::int64_t scale = 100;
        for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
            digits = true;
            ms += (text[i] - L'0') * scale;
            scale /= 10;
        }
    }
    if (!digits || i != text.size()) return std::nullopt;
    return ms;
}

// Whether an argument names the game's executable: its last path component
// is Emberwake2.exe in any case.
bool NamesTheGame(std::wstring_view arg) {
    static constexpr std::wstring_view kGame = L"emberwake2.exe";
    const std::size_t cut = arg.find_last_of(L"\\/");
    const std::wstring_view name = arg.substr(cut == std::wstring_view::npos ? 0 : cut + 1);
    if (name.size() != kGame.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i] >= L'A' && name[i] <= L'Z' ? static_cast<wchar_t>(name[i] - L'A' + L'a') : name[i];
        if (c != kGame[i]) return false;
    }
    return true;
}

// The options that take a value.
bool TakesAValue(std::wstring_view name) {
    return name == L"--documents" || name == L"--game-folder" || name == L"--workshop" || name == L"--runner" ||
           name == L"--timeout" || name == L"--code" || name == L"--save";
}

bool IsOption(std::wstring_view arg) { return arg.size() > 1 && arg[0] == L'-' && arg != L"-"; }

std::optional<CliCommand> CommandNamed(std::wstring_view word) {
    if (word == L"list") return CliCommand::List;
    if (word == L"sync") return CliCommand::Sync;
    if (word == L"play") return CliCommand::Play;
    if (word == L"inspect") return CliCommand::Inspect;
    if (word == L"sort") return CliCommand::Sort;
    if (word == L"share") return CliCommand::Share;
    if (word == L"import") return CliCommand::Import;
    if (word == L"report") return CliCommand::Report;
    if (word == L"hold") return CliCommand::Hold;
    if (word == L"release") return CliCommand::Release;
    if (word == L"history") return CliCommand::History;
    if (word == L"changes") return CliCommand::Changes;
    if (word == L"restore") return CliCommand::Restore;
    return std::nullopt;
}

const wchar_t* CommandWord(CliCommand command) {
    switch (command) {
        case CliCommand::Hold: return L"hold";
        case CliCommand::Release: return L"release";
        case CliCommand::History: return L"history";
        case CliCommand::Restore: return L"restore";
        default: return L"";
    }
}

// The commands that take one selection: a set file, --last (or, for play,
// --code).
bool TakesASelection(CliCommand command) {
    return command == CliCommand::Play || command == CliCommand::Share || command == CliCommand::Report;
}

bool HasSelection(const CommandLine& line) { return line.last || line.setPath || line.code; }

std::wstring OneSelectionError(CliCommand command) {
    return command == CliCommand::Play ? L"play takes one selection: a set file, --last or --code"
                                       : fmt::format(L"{} takes one selection: a set file or --last",
                                                     command == CliCommand::Share ? L"share" : L"report");
}

}  // namespace

bool TakesSubscription(CliCommand command) {
    return command == CliCommand::Hold || command == CliCommand::Release || command == CliCommand::History ||
           command == CliCommand::Restore;
}

Result<CommandLine> ParseCommandLine(const std::vector<std::wstring>& args) {
    CommandLine line;
    bool haveCommand = false;
    bool haveEntry = false;  // restore's ENTRY

    const auto fail = [](std::wstring error) { return Status(StatusKind::BadData, std::move(error)); };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        std::wstring name = arg;
        std::optional<std::wstring> inlineValue;
        if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0) {
            if (const auto eq = arg.find(L'='); eq != std::wstring::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
        }
        // The value of an option that takes one: after '=' or the next argument.
        const auto value = [&](std::wstring& out) -> bool {
            if (inlineValue) {
                out = *inlineValue;
            } else {
                if (i + 1 >= args.size()) return false;
                out = args[++i];
            }
            return !out.empty();
        };
        const auto takesNoValue = [&]() { return !inlineValue; };

        // Steam's launch options (`Gatehouse.exe %command%`) append the game's
        // own command line: its executable, then its arguments. It is the
        // game's, not the launcher's, and it ends what the launcher reads. An
        // option's value and the file inspect reads may name the game
        // without starting it.
        const bool optionValue = inlineValue && TakesAValue(name);
        const bool inspectOperand = haveCommand && !IsOption(arg) &&
                                    ((line.command == CliCommand::Inspect && !line.inspectPath) ||
                                     (TakesSubscription(line.command) && !line.target));
        if (!optionValue && !inspectOperand && NamesTheGame(arg)) break;

        if (name == L"--help" && takesNoValue()) {
            line.command = CliCommand::Help;
            return line;
        }
        if (name == L"--version" && takesNoValue()) {
            line.command = CliCommand::Version;
            return line;
        }
        if (name == L"--documents" || name == L"--game-folder" || name == L"--workshop" || name == L"--runner") {
            std::wstring text;
            if (!value(text)) return fail(fmt::format(L"the option {} needs a value", TerminalSafe(name)));
            if (name == L"--documents")
                line.options.documents = text;
            else if (name == L"--game-folder")
                line.options.gameFolder = text;
            else if (name == L"--workshop")
                line.options.workshop = text;
            else
                line.options.runner = text;
            continue;
        }
        if (name == L"--json" && takesNoValue() &&
            (line.command == CliCommand::List || line.command == CliCommand::Inspect ||
             line.command == CliCommand::Changes)) {
            line.json = true;
            continue;
        }
        if (name == L"--timeout" && line.command == CliCommand::Sync) {
            std::wstring text;
            if (!value(text)) return fail(L"the option --timeout needs a number of seconds");
            const auto ms = ParseSeconds(text);
            if (!ms) return fail(fmt::format(L"the time-out \"{}\" is not a number of seconds", TerminalSafe(text)));
            line.timeoutMs = *ms;
            continue;
        }
        if (name == L"--last" && takesNoValue() && TakesASelection(line.command)) {
            if (HasSelection(line)) return fail(OneSelectionError(line.command));
            line.last = true;
            continue;
        }
        if (name == L"--with-requirements" && takesNoValue() && line.command == CliCommand::Play) {
            line.withRequirements = true;
            continue;
        }
        if (name == L"--code" && line.command == CliCommand::Play) {
            std::wstring text;
            if (!value(text)) return fail(L"the option --code needs a share code");
            if (HasSelection(line)) return fail(OneSelectionError(line.command));
            line.code = text;
            continue;
        }
        if (name == L"--save" && line.command == CliCommand::Import) {
            std::wstring text;
            if (!value(text)) return fail(L"the option --save needs a set file name");
            if (line.savePath) return fail(L"import saves to one set file");
            line.savePath = text;
            continue;
        }
        if (name == L"--markdown" && takesNoValue() && line.command == CliCommand::Report) {
            line.markdown = true;
            continue;
        }
        if (IsOption(arg)) {
            return fail(fmt::format(L"unknown option {}", TerminalSafe(arg)));
        }
        if (!haveCommand) {
            const std::optional<CliCommand> command = CommandNamed(arg);
            if (!command) return fail(fmt::format(L"unknown command {}", TerminalSafe(arg)));
            line.command = *command;
            haveCommand = true;
            continue;
        }
        if (TakesASelection(line.command)) {
            if (HasSelection(line)) return fail(OneSelectionError(line.command));
            if (arg.empty()) return fail(L"the set file name is empty");
            line.setPath = arg;
            continue;
        }
        if (line.command == CliCommand::Import && !line.code) {
            if (arg.empty()) return fail(L"the share code is empty");
            line.code = arg;
            continue;
        }
        if (line.command == CliCommand::Inspect && !line.inspectPath) {
            if (arg.empty()) return fail(L"the mod file name is empty");
            line.inspectPath = arg;
            continue;
        }
        if (line.command == CliCommand::Sort && !line.sortPath) {
            if (arg.empty()) return fail(L"the set file name is empty");
            line.sortPath = arg;
            continue;
        }
        if (TakesSubscription(line.command) && !line.target) {
            if (arg.empty()) return fail(L"the mod file or Workshop id is empty");
            line.target = arg;
            continue;
        }
        if (line.command == CliCommand::Restore && !haveEntry) {
            const bool digits =
                !arg.empty() && arg.size() <= 9 && arg.find_first_not_of(L"0123456789") == std::wstring::npos;
            if (!digits || std::stoul(arg) == 0)
                return fail(fmt::format(L"the entry \"{}\" is not a number from 1 on", TerminalSafe(arg)));
            line.entry = static_cast<std::uint32_t>(std::stoul(arg));
            haveEntry = true;
            continue;
        }
        return fail(fmt::format(L"unexpected argument {}", TerminalSafe(arg)));
    }
    if (line.command == CliCommand::Inspect && !line.inspectPath) return fail(L"inspect needs a mod file");
    if (line.command == CliCommand::Sort && !line.sortPath) return fail(L"sort needs a set file");
    if (line.withRequirements && !line.setPath && !line.last && !line.code)
        return fail(L"--with-requirements needs a selection: a set file, --last or --code");
    if (line.command == CliCommand::Import && (!line.code || !line.savePath))
        return fail(L"import needs a share code and --save SET.sch");
    if (TakesSubscription(line.command) && !line.target)
        return fail(fmt::format(L"{} needs a mod file or a Workshop id", CommandWord(line.command)));
    return line;
}

}  // namespace gh
