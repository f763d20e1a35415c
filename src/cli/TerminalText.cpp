#include "cli/TerminalText.h"

#include "platform/Unicode.h"

#include <cstdint>

namespace gh {

std::wstring TerminalSafe(std::wstring_view text) {
    std::wstring safe(text);
    for (wchar_t& c : safe) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) c = L'?';
    }
    return safe;
}

std::wstring TerminalSafe(std::string_view utf8) { return TerminalSafe(Utf8ToWide(utf8)); }

std::wstring KeepEnd(std::wstring_view text, std::size_t width) {
    if (text.size() <= width) return std::wstring(text);
    if (width <= 3) return std::wstring(width, L'.');
    return L"..." + std::wstring(text.substr(text.size() - (width - 3)));
}

}  // namespace gh
