// File name patterns as the Windows directory functions read them.
#pragma once

#include <string_view>

namespace gh::platform {

// `*` matches any run, `?` any one character, ASCII letters match without
// case; a pattern that ends in ".*" also matches names without an extension,
// so "*.*" matches every name, as it does on Windows.
bool MatchesFilePattern(std::wstring_view name, std::wstring_view pattern);

}  // namespace gh::platform
