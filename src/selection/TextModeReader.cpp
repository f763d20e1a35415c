#include "selection/TextModeReader.h"

#include "platform/InputFile.h"
#include "platform/Unicode.h"

namespace gh {

std::optional<std::string> ReadSelectionFileBytes(const std::wstring& path) {
    return platform::ReadWholeFile(path, kMaxSelectionFileBytes);
}

std::u16string DecodeTextMode(std::string_view bytes) {
    std::u16string units;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
        units = WideToUtf16(Utf8ToWide(bytes.substr(3)));
    } else {
        // With its mark or without one, the file is UTF-16 little-endian.
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xFE)
            bytes.remove_prefix(2);
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }

    // CR LF is one line end; a CR on its own stays a character.
    std::u16string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') continue;
        text.push_back(units[i]);
    }
    return text;
}

bool IsTextModeSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

CTextModeReader::CTextModeReader(std::string_view bytes) : m_text(DecodeTextMode(bytes)) {}

bool CTextModeReader::SkipSpace() {
    while (m_pos < m_text.size() && IsTextModeSpace(m_text[m_pos])) ++m_pos;
    return m_pos < m_text.size();
}

bool CTextModeReader::ReadToken(std::u16string& token) {
    if (!SkipSpace()) return false;
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !IsTextModeSpace(m_text[m_pos])) ++m_pos;
    token.assign(m_text, start, m_pos - start);
    return true;
}

bool CTextModeReader::ReadLine(std::u16string& line) {
    if (!SkipSpace()) return false;
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] != u'\n') ++m_pos;
    line.assign(m_text, start, m_pos - start);
    return true;
}

}  // namespace gh
