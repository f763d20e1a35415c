#include "cli/Console.h"

#include "platform/Process.h"
#include "platform/Text.h"

#include <cstdio>

namespace gh {

namespace {

void Write(std::FILE* stream, std::string_view bytes) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

}  // namespace

void CStandardConsole::Out(std::wstring_view text) { Write(stdout, platform::WideToSystemNarrow(text)); }

void CStandardConsole::OutBytes(std::string_view bytes) { Write(stdout, bytes); }

void CStandardConsole::Err(std::wstring_view text) { Write(stderr, platform::WideToSystemNarrow(text)); }

bool CStandardConsole::OutputIsTerminal() const { return platform::StandardOutputIsTerminal(); }

}  // namespace gh
