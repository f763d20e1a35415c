// Text from files, the Workshop and the command line on its way to a terminal.
#pragma once

#include <string>
#include <string_view>

namespace gh {

// `text` as EscapedText (launcher/OutsideText.h) shows it: every control
// character, bidirectional control and line or paragraph separator as a
// visible "\u202E"-style escape, so that a name cannot move the cursor,
// start an escape sequence, break its line or reorder what the terminal
// shows beside it.
std::wstring TerminalSafe(std::wstring_view text);
// The same for UTF-8 text, such as a mod file's texts.
std::wstring TerminalSafe(std::string_view utf8);
// Each line of `text` made TerminalSafe, its line ends kept.
std::wstring TerminalSafeLines(std::wstring_view text);

// `text` cut to its last characters so that "..." and they fill `width`;
// a text that fits is left as it is.
std::wstring KeepEnd(std::wstring_view text, std::size_t width);

}  // namespace gh
