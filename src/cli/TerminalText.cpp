#include "cli/TerminalText.h"

#include "launcher/OutsideText.h"

namespace gh {

std::wstring TerminalSafe(std::wstring_view text) { return EscapedText(text); }

std::wstring TerminalSafe(std::string_view utf8) { return EscapedText(utf8); }

std::wstring KeepEnd(std::wstring_view text, std::size_t width) {
    if (text.size() <= width) return std::wstring(text);
    if (width <= 3) return std::wstring(width, L'.');
    return L"..." + std::wstring(text.substr(text.size() - (width - 3)));
}

std::wstring TerminalSafeLines(std::wstring_view text) {
    std::wstring out;
    while (!text.empty()) {
        const std::size_t end = text.find(L'\n');
        out += TerminalSafe(text.substr(0, end));
        if (end == std::wstring_view::npos) break;
        out += L'\n';
        text.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace gh
