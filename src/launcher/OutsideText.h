// Text that comes from outside the launcher (a mod file's texts, Workshop
// names, file names, arguments) on its way to people, the same in the
// terminal and in the windows: every character that could move the cursor,
// break the line, hide what follows or reorder what stands beside it is
// shown as a visible escape instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gh {

// FIRST STRONG ISOLATE and POP DIRECTIONAL ISOLATE.
inline constexpr wchar_t kFirstStrongIsolate = 0x2068;
inline constexpr wchar_t kPopDirectionalIsolate = 0x2069;

// Whether `c` is shown as an escape: a control character (U+0000 to U+001F,
// U+007F to U+009F), a bidirectional control (U+061C, U+200E, U+200F,
// U+202A to U+202E, U+2066 to U+2069) or a line or paragraph separator
// (U+2028, U+2029).
bool IsShownEscaped(char32_t c);

// `text` on one line, with each of those characters written as "\u" and
// four upper-case hexadecimal digits: "\u000A" for a line feed, "\u202E"
// for a right-to-left override. A backslash that would read as the start of
// such an escape (one followed by "u" and four hexadecimal digits) is itself
// written "\u005C", so every escape in the result stands for one character
// and every other character for itself; other backslashes, as in Windows
// paths, stay as they are.
std::wstring EscapedText(std::wstring_view text);
// The same for UTF-8 text (converted as Utf8ToWide converts it).
std::wstring EscapedText(std::string_view utf8);
// EscapedText(utf8).size(), without making the text when it is plain ASCII.
std::size_t EscapedLength(std::string_view utf8);

// For the windows, where outside text stands among other text in one line
// (a tooltip, a status line, a message): EscapedText(text) between FIRST
// STRONG ISOLATE and POP DIRECTIONAL ISOLATE, so that it takes its direction
// from its own letters and cannot reorder the text around it.
std::wstring IsolatedText(std::wstring_view text);
std::wstring IsolatedText(std::string_view utf8);

// A text of several lines shown on its own (a description): line feeds,
// CR LF pairs (as a line feed) and tabs stay; everything else as
// EscapedText, so no override reaches past the text.
std::wstring EscapedLines(std::wstring_view text);

}  // namespace gh
