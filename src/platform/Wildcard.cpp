#include "platform/Wildcard.h"

namespace gh::platform {

namespace {

wchar_t Fold(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Greedy matching with one remembered star: linear in practice, never recursive.
bool Match(std::wstring_view name, std::wstring_view pattern) {
    std::size_t ni = 0, pi = 0, starP = std::wstring_view::npos, starN = 0;
    while (ni < name.size()) {
        if (pi < pattern.size() && (pattern[pi] == L'?' || Fold(pattern[pi]) == Fold(name[ni]))) {
            ++ni;
            ++pi;
        } else if (pi < pattern.size() && pattern[pi] == L'*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::wstring_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < pattern.size() && pattern[pi] == L'*') ++pi;
    return pi == pattern.size();
}

}  // namespace

bool MatchesFilePattern(std::wstring_view name, std::wstring_view pattern) {
    if (Match(name, pattern)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == L".*" &&
        name.find(L'.') == std::wstring_view::npos)
        return Match(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

}  // namespace gh::platform
