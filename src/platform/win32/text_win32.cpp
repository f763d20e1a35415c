#include "platform/Text.h"
#include "platform/Unicode.h"

#include <windows.h>

#include <algorithm>

namespace gh::platform {

// The system's names are UTF-16 and reach it through the wide calls; 8-bit
// names, where the program has any, are UTF-8.
std::wstring SystemNameToWide(std::string_view bytes) { return Utf8ToWide(bytes); }
std::string WideToSystemName(std::wstring_view name) { return WideToUtf8(name); }

std::wstring SystemNarrowToWide(std::string_view narrow) {
    if (narrow.empty()) return {};
    const int length = static_cast<int>(std::min<std::size_t>(narrow.size(), 0x7fffffff));
    const int count = MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, nullptr, 0);
    if (count <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, wide.data(), count);
    return wide;
}

std::string WideToSystemNarrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = static_cast<int>(std::min<std::size_t>(wide.size(), 0x7fffffff));
    const int count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return {};
    std::string narrow(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, narrow.data(), count, nullptr, nullptr);
    return narrow;
}

}  // namespace gh::platform

namespace gh::platform {

std::wstring LowerCaseForSearch(std::wstring_view text) {
    std::wstring lower(text);
    if (lower.empty()) return lower;
    // The invariant locale maps case the same on every Windows.
    const int written =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, lower.data(), static_cast<int>(lower.size()),
                      lower.data(), static_cast<int>(lower.size()), nullptr, nullptr, 0);
    return written > 0 ? lower : std::wstring(text);
}

}  // namespace gh::platform
