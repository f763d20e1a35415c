// Text from files and the Workshop on its way to a terminal.
#pragma once

#include <string>
#include <string_view>

namespace gh {

// `text` with every control character (U+0000 to U+001F, U+007F to U+009F)
// replaced by '?', so that a name cannot move the cursor, clear the screen
// or start an escape sequence.
std::wstring TerminalSafe(std::wstring_view text);
// The same for UTF-8 text, such as a mod file's texts.
std::wstring TerminalSafe(std::string_view utf8);

// `text` cut to its last characters so that "..." and they fill `width`;
// a text that fits is left as it is.
std::wstring KeepEnd(std::wstring_view text, std::size_t width);

}  // namespace gh
