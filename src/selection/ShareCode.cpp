#include "selection/ShareCode.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <optional>

#include "platform/Unicode.h"
#include "selection/ShareCodeBytes.h"

namespace gh {

namespace {

constexpr std::size_t kEntryFixedBytes = 8 + 4 + 1;  // guid, version, name length
constexpr std::size_t kChecksumBytes = 4;
constexpr std::int64_t kNoIdentity = -1;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
// "GH" and up to this many digits before the "-" read as a code of another
// version; anything else is no code at all.
constexpr std::size_t kMaxVersionDigits = 9;

void AppendLe(std::string& out, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Reads little-endian numbers and byte runs, each only when all its bytes
// are left.
class CPayloadReader {
public:
    explicit CPayloadReader(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t Offset() const { return m_at; }
    std::size_t Left() const { return m_bytes.size() - m_at; }

    std::optional<std::uint64_t> Le(std::size_t bytes) {
        if (Left() < bytes) return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(m_bytes[m_at + i])) << (8 * i);
        m_at += bytes;
        return value;
    }
    std::optional<std::string_view> Run(std::size_t length) {
        if (Left() < length) return std::nullopt;
        const std::string_view run = m_bytes.substr(m_at, length);
        m_at += length;
        return run;
    }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
};

// `name` as valid UTF-8 of at most kShareCodeNameBytes bytes, cut between
// two characters.
std::string NameForCode(std::string_view name) {
    std::string out;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = ValidUtf8SequenceLength(name, at);
        const std::string_view character = length == 0 ? kReplacement : name.substr(at, length);
        if (out.size() + character.size() > kShareCodeNameBytes) break;
        out += character;
        at += length == 0 ? 1 : length;
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = ValidUtf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

bool IsCodeSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The place, counted from 1, of the significant (not white space) byte
// `index` of `text`. Every byte before the first one that is not of the
// alphabet is ASCII, so there bytes and characters are the same.
std::size_t PlaceOf(std::string_view text, std::size_t index) {
    std::size_t at = 0;
    for (; at < text.size(); ++at)
        if (!IsCodeSpace(text[at]) && index-- == 0) break;
    return at + 1;
}

ShareCodeReading Fault(ShareCodeFault fault, std::size_t place = 0) {
    ShareCodeReading reading;
    reading.fault = fault;
    reading.place = place;
    return reading;
}

// Reads the payload's entries. Only their structure is checked here, so
// that a cut or a tail can be told from a changed byte.
ShareCodeReading ReadPayload(const Base64UrlBytes& decoded) {
    const std::string_view payload = decoded.bytes;
    CPayloadReader reader(payload);
    ShareCodeReading reading;
    const std::optional<std::uint64_t> count = reader.Le(1);
    if (!count) return Fault(ShareCodeFault::Truncated);
    for (std::uint64_t i = 0; i < *count; ++i) {
        if (reader.Left() < kEntryFixedBytes) return Fault(ShareCodeFault::Truncated);
        const std::optional<std::uint64_t> guid = reader.Le(8);
        const std::optional<std::uint64_t> version = reader.Le(4);
        const std::optional<std::uint64_t> length = reader.Le(1);
        const std::optional<std::string_view> name = reader.Run(*length);
        if (!name) return Fault(ShareCodeFault::Truncated);
        reading.entries.push_back(
            {static_cast<std::int64_t>(*guid), static_cast<std::uint32_t>(*version), std::string(*name)});
    }
    const std::size_t checked = reader.Offset();
    const std::optional<std::uint64_t> checksum = reader.Le(kChecksumBytes);
    if (!checksum) return Fault(ShareCodeFault::Truncated);
    if (*checksum != Crc32(payload.substr(0, checked))) return Fault(ShareCodeFault::Checksum);
    if (reader.Left() > 0 || decoded.loneCharacter) return Fault(ShareCodeFault::TrailingBytes);
    // The checksum holds, so only the last character's unused bits changed.
    if (decoded.spareBitsSet) return Fault(ShareCodeFault::Checksum);

    if (reading.entries.size() > kShareCodeMaxEntries) return Fault(ShareCodeFault::NotASelection);
    for (const SharedEntry& entry : reading.entries)
        if (entry.guid == kNoIdentity || entry.name.size() > kShareCodeNameBytes || !IsValidUtf8(entry.name))
            return Fault(ShareCodeFault::NotASelection);
    return reading;
}

}  // namespace

Result<std::string> EncodeShareCode(const std::vector<SharedEntry>& entries) {
    if (entries.size() > kShareCodeMaxEntries)
        return Status(StatusKind::Refused, fmt::format(L"A share code holds at most {} mods, and this selection has {}",
                                                       kShareCodeMaxEntries, entries.size()));
    std::string payload;
    AppendLe(payload, entries.size(), 1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SharedEntry& entry = entries[i];
        if (entry.guid == kNoIdentity) {
            const std::wstring which =
                entry.name.empty() ? fmt::format(L"Number {} in the order", i + 1)
                                   : fmt::format(L"\"{}\" (number {} in the order)", Utf8ToWide(entry.name), i + 1);
            return Status(StatusKind::Refused,
                          which + L" has no identity (guid -1), so the selection cannot be shared");
        }
        const std::string name = NameForCode(entry.name);
        AppendLe(payload, static_cast<std::uint64_t>(entry.guid), 8);
        AppendLe(payload, entry.version, 4);
        AppendLe(payload, name.size(), 1);
        payload += name;
    }
    AppendLe(payload, Crc32(payload), kChecksumBytes);
    return std::string(kShareCodePrefix) + EncodeBase64Url(payload);
}

ShareCodeReading ReadShareCode(std::string_view text) {
    if (text.size() > kShareCodeMaxTextBytes) return Fault(ShareCodeFault::TooLong);
    std::string significant;
    significant.reserve(text.size());
    for (const char c : text)
        if (!IsCodeSpace(c)) significant.push_back(c);
    if (significant.empty()) return Fault(ShareCodeFault::Empty);

    const std::string_view code = significant;
    if (!code.starts_with(kShareCodePrefix)) {
        std::size_t digits = 0;
        while (code.starts_with("GH") && 2 + digits < code.size() && IsDigit(code[2 + digits])) ++digits;
        const bool versioned =
            digits > 0 && digits <= kMaxVersionDigits && 2 + digits < code.size() && code[2 + digits] == '-';
        return Fault(versioned ? ShareCodeFault::UnknownVersion : ShareCodeFault::NotAShareCode);
    }
    const Base64UrlBytes decoded = DecodeBase64Url(code.substr(kShareCodePrefix.size()));
    if (decoded.outside)
        return Fault(ShareCodeFault::OutsideAlphabet, PlaceOf(text, kShareCodePrefix.size() + *decoded.outside));
    return ReadPayload(decoded);
}

Status ShareCodeStatus(const ShareCodeReading& reading) {
    const auto damaged = [](std::wstring_view what) {
        return Status(StatusKind::BadData, L"This share code is damaged: " + std::wstring(what));
    };
    switch (reading.fault) {
        case ShareCodeFault::None: return Status();
        case ShareCodeFault::Empty: return Status(StatusKind::BadData, L"There is no share code: the text is empty");
        case ShareCodeFault::TooLong:
            return Status(StatusKind::BadData, L"This is not a share code: it is longer than 64 KiB");
        case ShareCodeFault::NotAShareCode:
            return Status(StatusKind::BadData, L"This is not a share code: a share code starts with \"GH1-\"");
        case ShareCodeFault::UnknownVersion:
            return Status(StatusKind::BadData,
                          L"This share code is of a kind this Gatehouse cannot read: a newer Gatehouse may load it");
        case ShareCodeFault::OutsideAlphabet:
            return damaged(fmt::format(L"character {} cannot be part of a share code", reading.place));
        case ShareCodeFault::Truncated: return damaged(L"it has been cut short");
        case ShareCodeFault::TrailingBytes: return damaged(L"more follows its end");
        case ShareCodeFault::Checksum: return damaged(L"its checksum does not match");
        case ShareCodeFault::NotASelection: return damaged(L"it does not hold a valid selection");
    }
    return damaged(L"it cannot be read");
}

Result<std::vector<SharedEntry>> DecodeShareCode(std::string_view text) {
    ShareCodeReading reading = ReadShareCode(text);
    if (reading.fault != ShareCodeFault::None) return ShareCodeStatus(reading);
    return std::move(reading.entries);
}

Result<std::vector<SharedEntry>> DecodeShareCode(std::wstring_view text) {
    // Every character takes at least one byte, so this spares converting
    // text that is too long anyway.
    if (text.size() > kShareCodeMaxTextBytes) return ShareCodeStatus(Fault(ShareCodeFault::TooLong));
    return DecodeShareCode(WideToUtf8(text));
}

}  // namespace gh
