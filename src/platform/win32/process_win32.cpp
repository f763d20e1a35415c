#include "platform/Process.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <io.h>
#include <cstdio>

#include "platform/Text.h"

namespace gh::platform {

namespace {

bool Succeeded(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

bool StartProgram(const std::wstring& file, const std::wstring* parameters, const std::wstring& runner) {
    if (!runner.empty()) {
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
        std::wstring arguments = L"\"" + file + L"\"";
        if (parameters) arguments += L" " + *parameters;
        return Succeeded(ShellExecuteW(nullptr, L"open", runner.c_str(), arguments.c_str(), nullptr, SW_SHOW));
    }
    return Succeeded(
        ShellExecuteW(nullptr, L"open", file.c_str(), parameters ? parameters->c_str() : nullptr, nullptr, SW_SHOW));
}

bool OpenWithDesktop(const std::wstring& target) {
    return Succeeded(ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW));
}

void DebugOutput(const std::wstring& text) {
    OutputDebugStringW(text.c_str());
    const std::string bytes = WideToSystemNarrow(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

bool StandardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

std::vector<std::wstring> ProgramArguments(int argc, char** argv) {
    std::vector<std::wstring> args;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.emplace_back(wide[i]);
        LocalFree(wide);
        return args;
    }
    // The wide command line cannot be split: fall back to the ANSI arguments.
    for (int i = 1; i < argc && argv[i]; ++i) args.push_back(SystemNarrowToWide(argv[i]));
    return args;
}

}  // namespace gh::platform
