#include "cli/Console.h"

#include "platform/ParentConsole.h"
#include "platform/Process.h"
#include "platform/Text.h"

#include <cstdio>

namespace gh {

namespace {

void Write(std::FILE* stream, std::string_view bytes) {
    // Gatehouse.exe, run from a shell with a command, prints to its console.
    platform::ReachParentConsole();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

}  // namespace

void CStandardConsole::Out(std::wstring_view text) { Write(stdout, platform::WideToSystemNarrow(text)); }

void CStandardConsole::OutBytes(std::string_view bytes) { Write(stdout, bytes); }

void CStandardConsole::Err(std::wstring_view text) { Write(stderr, platform::WideToSystemNarrow(text)); }

bool CStandardConsole::OutputIsTerminal() const {
    platform::ReachParentConsole();
    return platform::StandardOutputIsTerminal();
}

}  // namespace gh
