// Path text: the canonical form (forward slashes, runs collapsed, upper
// case) in which paths are compared, and joining a base with a path.
#pragma once

#include <string>
#include <string_view>

namespace gh {

// Every '\' becomes '/', then every run of '/' becomes one.
std::wstring NormalizeSlashes(const std::wstring& text);

// Only the letters a-z (ToUpper) or A-Z (ToLower) change; every other
// character, accented letters included, keeps its case.
std::wstring ToUpper(const std::wstring& text);
std::wstring ToLower(const std::wstring& text);

// `path` unchanged when it is empty, absolute (its last ':' stands after its
// first character) or a network path (contains "\\\\"); otherwise `base`
// followed by `path`, with no separator added.
std::wstring CombinePath(const std::wstring& base, const std::wstring& path);

// 8-bit text in the system's code page (a name the Steam client reports) to
// wide text, as long as the conversion yields; invalid bytes become U+FFFD.
std::wstring AnsiToWide(std::string_view narrow);

}  // namespace gh
