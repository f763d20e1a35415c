// Conversions between the system's 8-bit text and wide text. Two kinds, kept
// apart on purpose:
//
// - Names (file names, paths, program arguments, environment values): what
//   the system hands over must come back to it byte for byte, or a file
//   could not be found again. SystemNameToWide / WideToSystemName.
// - Text for people (the terminal, messages): must be valid text.
//   SystemNarrowToWide / WideToSystemNarrow, and DisplayText, WideToUtf8 in
//   Unicode.h.
//
// A name shown to people goes through a display conversion, which turns
// the stand-ins for bytes that are not text into U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace gh::platform {

// A name as the system spells it to wide text, without loss. Linux: UTF-8,
// whatever the locale; each byte that is not part of valid UTF-8 becomes the
// code point U+DC00 + byte (U+DC80 to U+DCFF, a lone low surrogate, which no
// valid text decodes to). Windows, whose names are UTF-16 already and reach
// the system through the wide calls: UTF-8 (invalid bytes become U+FFFD).
std::wstring SystemNameToWide(std::string_view bytes);

// The reverse: wide text to the bytes of a name. Linux: each U+DC80 to U+DCFF
// becomes the byte it stands for, everything else UTF-8 (other code points
// that valid text cannot hold become U+FFFD). So for any bytes b,
// WideToSystemName(SystemNameToWide(b)) == b. Windows: UTF-8.
std::string WideToSystemName(std::wstring_view name);

// 8-bit text in the system's code page (Windows: CP_ACP; Linux: the
// locale's character set, normally UTF-8) to wide text, for text that is
// shown or compared, not for names. Invalid or incomplete byte sequences
// become U+FFFD. Never throws for bad input.
std::wstring SystemNarrowToWide(std::string_view narrow);

// Wide text to the bytes the terminal shows (UTF-8 on Linux; the console's
// UTF-8 on Windows). For people: unpaired surrogates, the stand-ins of
// undecodable name bytes among them, become U+FFFD. Not for names.
std::string WideToSystemNarrow(std::wstring_view wide);

// `text` in lower case, each character on its own by Unicode's simple case
// mapping (accented letters and other scripts too, not only A to Z), the
// same whatever the user's locale: for finding text the way people read it.
std::wstring LowerCaseForSearch(std::wstring_view text);

}  // namespace gh::platform
