#include "platform/Environment.h"

#include <windows.h>

#include <stdlib.h>

#include <vector>

namespace gh::platform {

std::optional<std::wstring> GetEnvironmentText(const std::wstring& name) {
    std::vector<wchar_t> buffer(256);
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::wstring();
        }
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(n);  // n counts the terminating zero here
    }
    return std::nullopt;
}

bool SetEnvironmentText(const std::wstring& name, const std::optional<std::wstring>& value) {
    if (name.empty() || name.find(L'=') != std::wstring::npos) return false;
    // The C runtime keeps its own copy for getenv; change it first (it also
    // sets the system's block), then make sure the block holds the value.
    // An empty value would remove the variable from the runtime's copy, so
    // only the block gets that one.
    if (!value || !value->empty()) _wputenv_s(name.c_str(), value ? value->c_str() : L"");
    return SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr) != 0;
}

bool RunsUnderWine() {
    // Wine's own ntdll exports its version; Windows' never does.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace gh::platform
