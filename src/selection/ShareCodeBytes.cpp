#include "selection/ShareCodeBytes.h"

#include <array>

namespace gh {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

constexpr std::uint32_t kCrcPolynomial = 0xEDB88320;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

std::optional<std::uint8_t> Base64UrlValue(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(c - 'A');
    if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 'a' + 26);
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0' + 52);
    if (c == '-') return 62;
    if (c == '_') return 63;
    return std::nullopt;
}

std::string EncodeBase64Url(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() * 4 + 2) / 3);
    std::uint32_t bits = 0;  // pending bits, most significant first
    int count = 0;           // how many of them
    for (const char byte : bytes) {
        bits = (bits << 8) | static_cast<std::uint8_t>(byte);
        count += 8;
        while (count >= 6) {
            count -= 6;
            out.push_back(kAlphabet[(bits >> count) & 0x3F]);
        }
        bits &= (1u << count) - 1;
    }
    if (count > 0) out.push_back(kAlphabet[(bits << (6 - count)) & 0x3F]);
    return out;
}

Base64UrlBytes DecodeBase64Url(std::string_view characters) {
    Base64UrlBytes decoded;
    decoded.bytes.reserve(characters.size() * 3 / 4);
    std::uint32_t bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const std::optional<std::uint8_t> value = Base64UrlValue(characters[i]);
        if (!value) {
            decoded.outside = i;
            break;
        }
        bits = (bits << 6) | *value;
        count += 6;
        if (count >= 8) {
            count -= 8;
            decoded.bytes.push_back(static_cast<char>((bits >> count) & 0xFF));
        }
        bits &= (1u << count) - 1;
    }
    // 6 bits left over: a character alone; 2 or 4: the padding bits of the
    // last byte's character.
    decoded.loneCharacter = count == 6;
    decoded.spareBitsSet = count != 6 && bits != 0;
    return decoded;
}

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char byte : bytes) crc = kCrcTable[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
}

}  // namespace gh
