// The command-line parser on arbitrary arguments: the input is split at zero
// bytes into arguments (UTF-8, invalid bytes becoming U+FFFD). Whatever the
// arguments, the parse ends, a refusal carries a one-line message, and an
// accepted line holds only values the commands can use.
#include "cli/CommandLine.h"
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
    const gh::CommandLineParse parse = gh::ParseCommandLine(args);
    if (!parse.ok) {
        if (parse.error.empty() || parse.error.find(L'\n') != std::wstring::npos) std::abort();
        return 0;
    }
    const gh::CommandLine& line = parse.line;
    if (line.timeoutMs < 0) std::abort();
    if (line.setPath && (line.last || line.setPath->empty())) std::abort();
    if ((line.setPath || line.last) && line.command != gh::CliCommand::Play) std::abort();
    if (line.json && line.command != gh::CliCommand::List) std::abort();
    for (const auto* folder : {&line.options.documents, &line.options.gameFolder, &line.options.workshop})
        if (*folder && (*folder)->empty()) std::abort();
    return 0;
}
