// JSON for scripts that may show it to people as it is: the characters
// that the terminal shows escaped (IsShownEscaped, launcher/OutsideText.h)
// are written as \u escapes in JSON too, never raw.
#pragma once

#include <string>
#include <string_view>

namespace gh {

// The code point of one valid UTF-8 sequence (as ValidUtf8SequenceLength
// measures it).
char32_t JsonCodePoint(std::string_view sequence);

// `json`, valid UTF-8 JSON text such as nlohmann::json dumps, with every
// character that IsShownEscaped names and that it holds raw written as
// "\u" and four lower-case hexadecimal digits. Outside its strings JSON
// holds only ASCII that is none of them, and inside a string the escape
// stands for the same character, so the document read back is the same.
std::string WithShownEscapes(std::string_view json);

}  // namespace gh
