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

// The full form of `path`, so that it names the same file from any folder.
std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (written == 0 || written >= size) return path;
    full.resize(written);
    return full;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

}  // namespace

bool StartProgram(const std::wstring& file, const std::wstring* parameters, const std::wstring& runner) {
    // The program runs in its own folder, wherever the launcher was started.
    const std::wstring game = FullPath(file);
    const std::wstring folder = FolderOf(game);
    const wchar_t* directory = folder.empty() ? nullptr : folder.c_str();
    if (!runner.empty()) {
        if (GetFileAttributesW(game.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
        std::wstring arguments = L"\"" + game + L"\"";
        if (parameters) arguments += L" " + *parameters;
        const std::wstring program = runner.find_first_of(L"\\/") == std::wstring::npos ? runner : FullPath(runner);
        return Succeeded(ShellExecuteW(nullptr, L"open", program.c_str(), arguments.c_str(), directory, SW_SHOW));
    }
    return Succeeded(
        ShellExecuteW(nullptr, L"open", game.c_str(), parameters ? parameters->c_str() : nullptr, directory, SW_SHOW));
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
