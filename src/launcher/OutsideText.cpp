#include "launcher/OutsideText.h"

#include "platform/Unicode.h"

#include <cstdint>

namespace gh {

namespace {

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f'); }

// Whether the backslash at `at` would read as the start of an escape.
bool StartsAnEscape(std::wstring_view text, std::size_t at) {
    if (at + 6 > text.size() || text[at + 1] != L'u') return false;
    for (std::size_t i = at + 2; i < at + 6; ++i)
        if (!IsHexDigit(text[i])) return false;
    return true;
}

void AppendEscape(std::wstring& out, wchar_t c) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    const auto code = static_cast<std::uint32_t>(c);
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
}

// Appends text[at] as EscapedText shows it.
void AppendShown(std::wstring& out, std::wstring_view text, std::size_t at) {
    const wchar_t c = text[at];
    if (IsShownEscaped(static_cast<char32_t>(c)) || (c == L'\\' && StartsAnEscape(text, at)))
        AppendEscape(out, c);
    else
        out += c;
}

}  // namespace

bool IsShownEscaped(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

std::wstring EscapedText(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) AppendShown(out, text, i);
    return out;
}

std::wstring EscapedText(std::string_view utf8) { return EscapedText(Utf8ToWide(utf8)); }

std::size_t EscapedLength(std::string_view utf8) {
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '\\') return EscapedText(utf8).size();
    }
    return utf8.size();
}

std::wstring IsolatedText(std::wstring_view text) {
    return kFirstStrongIsolate + EscapedText(text) + kPopDirectionalIsolate;
}

std::wstring IsolatedText(std::string_view utf8) { return IsolatedText(Utf8ToWide(utf8)); }

std::wstring EscapedLines(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;  // the line end that follows
        if (c == L'\n' || c == L'\t')
            out += c;
        else
            AppendShown(out, text, i);
    }
    return out;
}

}  // namespace gh
