// The system's words for an error code.
#pragma once

#include <windows.h>

#include <string>

namespace gh::platform::win32 {

// The system's text for an error code, without the line end it carries.
inline std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (n && buffer) text.assign(buffer, n);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (text.empty()) text = L"error " + std::to_wstring(code);
    return text;
}

}  // namespace gh::platform::win32
