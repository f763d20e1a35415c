// The command-line parser on arbitrary arguments: the input is split at zero
// bytes into arguments (UTF-8, invalid bytes becoming U+FFFD). Whatever the
// arguments, the parse ends, a refusal carries a one-line message that
// shows the arguments' controls escaped, an accepted line holds only values
// the commands can use, and the game's command line that Steam appends
// after it changes nothing.
#include "cli/CommandLine.h"
#include "launcher/OutsideText.h"
#include "platform/Unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> args;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const std::size_t zero = rest.find('\0');
        args.push_back(gh::Utf8ToWide(rest.substr(0, zero)));
        if (zero == std::string_view::npos) break;
        rest.remove_prefix(zero + 1);
    }
    const gh::Result<gh::CommandLine> parse = gh::ParseCommandLine(args);
    if (!parse) {
        // Error() gives a copy: the text is read from one that lives through the loop.
        const gh::Status error = parse.Error();
        if (error.Text().empty()) std::abort();
        for (const wchar_t c : error.Text())
            if (gh::IsShownEscaped(static_cast<char32_t>(c))) std::abort();
        return 0;
    }
    const gh::CommandLine& line = *parse;
    if (line.timeoutMs < 0) std::abort();
    using gh::CliCommand;
    const bool takesSelection =
        line.command == CliCommand::Play || line.command == CliCommand::Share || line.command == CliCommand::Report;
    if (int(line.setPath.has_value()) + int(line.last) + int(line.code && line.command == CliCommand::Play) > 1)
        std::abort();
    if (line.setPath && line.setPath->empty()) std::abort();
    if ((line.setPath || line.last) && !takesSelection) std::abort();
    if (line.code && (line.code->empty() || (line.command != CliCommand::Play && line.command != CliCommand::Import)))
        std::abort();
    if ((line.command == CliCommand::Import) != (line.code && line.savePath.has_value())) std::abort();
    if (line.savePath && line.savePath->empty()) std::abort();
    if (line.markdown && line.command != CliCommand::Report) std::abort();
    if (line.json && line.command != CliCommand::List && line.command != CliCommand::Inspect &&
        line.command != CliCommand::Changes)
        std::abort();
    if ((line.command == CliCommand::Inspect) != line.inspectPath.has_value()) std::abort();
    if ((line.command == CliCommand::Sort) != line.sortPath.has_value()) std::abort();
    if (line.sortPath && line.sortPath->empty()) std::abort();
    if (line.withRequirements && !line.setPath && !line.last && !line.code) std::abort();
    if (gh::TakesSubscription(line.command) != line.target.has_value() || (line.target && line.target->empty()))
        std::abort();
    if (line.entry == 0 || (line.entry != 1 && line.command != CliCommand::Restore)) std::abort();
    for (const auto* folder : {&line.options.documents, &line.options.gameFolder, &line.options.workshop})
        if (*folder && (*folder)->empty()) std::abort();

    // An accepted line expects nothing more, so the game's own command line
    // after it is never taken for an option's value or inspect's file.
    args.push_back(L"C:\\Games\\EMBERWAKE2.exe");
    args.push_back(L"--bogus");
    const gh::Result<gh::CommandLine> extended = gh::ParseCommandLine(args);
    if (!extended) std::abort();
    const gh::CommandLine& same = *extended;
    if (same.command != line.command || same.json != line.json || same.timeoutMs != line.timeoutMs ||
        same.setPath != line.setPath || same.last != line.last || same.inspectPath != line.inspectPath ||
        same.sortPath != line.sortPath || same.withRequirements != line.withRequirements || same.code != line.code ||
        same.savePath != line.savePath || same.markdown != line.markdown || same.target != line.target ||
        same.entry != line.entry || same.options.documents != line.options.documents ||
        same.options.gameFolder != line.options.gameFolder || same.options.workshop != line.options.workshop ||
        same.options.runner != line.options.runner)
        std::abort();
    return 0;
}
