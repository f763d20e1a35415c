// The byte-level pieces of share codes, each as its standard defines it, so
// that any other program can make and check codes: base64url (RFC 4648,
// section 5: A-Z a-z 0-9 - _, without padding) and CRC-32 (the IEEE
// polynomial, reflected, 0xEDB88320: the checksum of zlib and of ZIP files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gh {

// The value (0 to 63) of a base64url character; none for any other byte,
// the padding "=" and the "+" and "/" of plain base64 included.
std::optional<std::uint8_t> Base64UrlValue(char c);

// `bytes` in base64url without padding: 4 characters for every 3 bytes, and
// 2 or 3 characters for a last 1 or 2 bytes.
std::string EncodeBase64Url(std::string_view bytes);

// What a run of base64url characters holds.
struct Base64UrlBytes {
    std::string bytes;
    // The run ended in one character alone, which holds no whole byte and
    // which no encoder makes.
    bool loneCharacter = false;
    // The last character's bits beyond the last whole byte are not all zero,
    // which no encoder makes either.
    bool spareBitsSet = false;
    // The index of the first character that is not of the alphabet; the
    // bytes then hold only what the characters before it make.
    std::optional<std::size_t> outside;
};

// Decodes `characters` up to the first one that is not of the alphabet. The
// bytes are the same whatever the run is followed by, so a longer run holds
// a shorter one's bytes at its start.
Base64UrlBytes DecodeBase64Url(std::string_view characters);

// The CRC-32 of `bytes`; the check value of "123456789" is 0xCBF43926.
std::uint32_t Crc32(std::string_view bytes);

}  // namespace gh
