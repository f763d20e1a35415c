// A console that keeps what a command printed, for tests that run a
// command in their own process.
#pragma once

#include "cli/Console.h"

#include <string>

namespace gh::test {

class CRecordingConsole final : public IConsole {
public:
    void Out(std::wstring_view text) override { out += text; }
    void OutBytes(std::string_view bytes) override { out += std::wstring(bytes.begin(), bytes.end()); }
    void Err(std::wstring_view text) override { err += text; }
    bool OutputIsTerminal() const override { return false; }

    std::wstring out;
    std::wstring err;
};

}  // namespace gh::test
