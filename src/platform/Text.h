// Conversions between the system's 8-bit text and wide text.
#pragma once

#include <string>
#include <string_view>

namespace gh::platform {

// 8-bit text in the system's code page (Windows: CP_ACP; Linux: the
// locale's character set, normally UTF-8) to wide text. Invalid or
// incomplete byte sequences become U+FFFD. Never throws for bad input.
std::wstring SystemNarrowToWide(std::string_view narrow);

// Wide text to the bytes the system uses for file names and the terminal
// (UTF-8 on Linux; the console's UTF-8 on Windows).
std::string WideToSystemNarrow(std::wstring_view wide);

}  // namespace gh::platform
