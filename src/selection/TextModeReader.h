// Reads the selection files and the restart list the way the runtime's
// Unicode text mode does: the whole file is decoded first (UTF-16
// little-endian with or without its FF FE mark, UTF-8 after an EF BB BF mark)
// and CR LF becomes one line end; then tokens and lines are read from it.
// Text stays in UTF-16 code units, so lengths and positions count the units
// the file holds on every system.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gh {

// Files above this size are refused as unreadable: a selection of any real
// size is a few hundred bytes, and the whole file is held in memory.
inline constexpr std::size_t kMaxSelectionFileBytes = 4u << 20;

// The file's bytes, or none when it cannot be read or exceeds the bound.
std::optional<std::string> ReadSelectionFileBytes(const std::wstring& path);

// The text of a file's bytes in text mode. A trailing odd byte of UTF-16 is
// dropped; invalid UTF-8 becomes U+FFFD.
std::u16string DecodeTextMode(std::string_view bytes);

// Space, TAB, CR, LF, vertical tab and form feed.
bool IsTextModeSpace(char16_t c);

class CTextModeReader {
public:
    explicit CTextModeReader(std::string_view bytes);

    // Skips white space and takes the run of characters up to the next white
    // space. False at the end of the text (nothing but white space was left).
    bool ReadToken(std::u16string& token);
    // Skips white space, blank lines included, and takes every character up
    // to the line end (not included) or the end of the text. False at the end.
    bool ReadLine(std::u16string& line);

private:
    bool SkipSpace();

    std::u16string m_text;
    std::size_t m_pos = 0;
};

}  // namespace gh
