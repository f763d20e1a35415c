#include "game/PathText.h"

#include "platform/Text.h"

namespace gh {

std::wstring NormalizeSlashes(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\\') c = L'/';
        if (c == L'/' && !out.empty() && out.back() == L'/') continue;
        out.push_back(c);
    }
    return out;
}

std::wstring ToUpper(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return out;
}

std::wstring ToLower(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return out;
}

std::wstring CombinePath(const std::wstring& base, const std::wstring& path) {
    if (path.empty()) return path;
    const auto colon = path.rfind(L':');
    if (colon != std::wstring::npos && colon > 0) return path;
    if (path.find(L"\\\\") != std::wstring::npos) return path;
    return base + path;
}

std::wstring AnsiToWide(std::string_view narrow) { return platform::SystemNarrowToWide(narrow); }

}  // namespace gh
