#include "CliFixture.h"

#include "platform/Unicode.h"

#include <sstream>

namespace gh::test {

std::string CliFixture::SelectionBytes(const std::vector<std::int64_t>& guids, const std::wstring& first,
                                       const std::wstring& entry) {
    std::wstring text = first + L"\r\n";
    for (const std::int64_t guid : guids) text += entry + std::to_wstring(guid) + L"\r\n";
    text += L"[/MODS]\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : WideToUtf16(text)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::vector<std::int64_t> CliFixture::SelectionGuids(const std::string& bytes) {
    std::u16string units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    std::vector<std::int64_t> guids;
    std::istringstream lines(WideToUtf8(Utf16ToWide(units)));
    std::string line;
    const std::string prefix = "\t<INTEGER64>MODGUID:";
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) == 0) guids.push_back(std::stoll(line.substr(prefix.size())));
    return guids;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace gh::test
