#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "selection/ShareCode.h"
#include "selection/ShareCodeBytes.h"

namespace gh::test {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::uint32_t kTopVersion = std::numeric_limits<std::uint32_t>::max();

// Written by an independent encoder (Python's struct, zlib.crc32 and
// base64.urlsafe_b64encode), so that these codes read the same on every
// system and a change of the format shows.
const std::string kThreeEntries =
    "GH1-AwsAAAAAAAAAAwAAAAVBbHBoYQAAAAAAAACAAAAAAAD_________f_____8SR3Jvw59lIFN0cmHDn2Ug5YyXROXxhQ";
const std::vector<SharedEntry> kThree = {
    {11, 3, "Alpha"}, {kMin, 0, ""}, {kMax, kTopVersion, "Gro\xC3\x9F\x65 Stra\xC3\x9F\x65 \xE5\x8C\x97"}};
const std::string kNoEntries = "GH1-AI3vAtI";

// A code of any payload, with its checksum: for payloads no encoder writes.
std::string CodeOf(std::string payload) {
    const std::uint32_t crc = Crc32(payload);
    for (int i = 0; i < 4; ++i) payload.push_back(static_cast<char>(crc >> (8 * i)));
    return "GH1-" + EncodeBase64Url(payload);
}

TEST(ShareCodeTest, KnownCodesReadAndWriteByteForByte) {
    EXPECT_EQ(EncodeShareCode(kThree).Value(), kThreeEntries);
    EXPECT_EQ(DecodeShareCode(kThreeEntries).Value(), kThree);
    EXPECT_EQ(EncodeShareCode({}).Value(), kNoEntries);
    EXPECT_TRUE(DecodeShareCode(kNoEntries).Value().empty());
}

std::string Repeat(const std::string& text, int times) { return times == 0 ? "" : text + Repeat(text, times - 1); }

TEST(ShareCodeTest, NamesAreCutToThirtyTwoBytesBetweenCharacters) {
    const std::string a = "a", e = "\xC3\xA9", euro = "\xE2\x82\xAC", smile = "\xF0\x9F\x98\x80";
    const struct {
        std::string name, kept;
    } cases[] = {
        {Repeat(a, 33), Repeat(a, 32)},         {"x" + Repeat(e, 16), "x" + Repeat(e, 15)},
        {Repeat(a, 30) + euro, Repeat(a, 30)},  {Repeat(a, 29) + euro, Repeat(a, 29) + euro},
        {Repeat(a, 29) + smile, Repeat(a, 29)}, {Repeat(a, 28) + smile + "b", Repeat(a, 28) + smile},
        {"a\xFF\x62", "a\xEF\xBF\xBD\x62"},  // not UTF-8: U+FFFD
    };
    std::vector<SharedEntry> entries;
    std::vector<SharedEntry> expected;
    for (const auto& c : cases) {
        const auto i = static_cast<std::int64_t>(entries.size());
        entries.push_back({i % 2 ? kMin + i - 1 : kMax - i, i % 2 ? kTopVersion : 0u, c.name});
        expected.push_back({entries.back().guid, entries.back().version, c.kept});
    }
    EXPECT_EQ(DecodeShareCode(EncodeShareCode(entries).Value()).Value(), expected);
}

TEST(ShareCodeTest, TenEntriesFitInAThousandCharactersAndWhatCannotBeSharedIsRefusedByName) {
    std::vector<SharedEntry> entries(10, SharedEntry{kMin, kTopVersion, std::string(40, 'n')});
    EXPECT_LE(EncodeShareCode(entries).Value().size(), 1000u);
    entries.resize(kShareCodeMaxEntries, entries.back());
    EXPECT_EQ(DecodeShareCode(EncodeShareCode(entries).Value()).Value().size(), kShareCodeMaxEntries);
    entries.push_back(entries.back());
    EXPECT_EQ(EncodeShareCode(entries).Error().Kind(), StatusKind::Refused);

    const Status refused = EncodeShareCode({{5, 1, "Fine"}, {-1, 1, "Nameless Wonder"}, {-1, 1, "Other"}}).Error();
    EXPECT_EQ(refused.Kind(), StatusKind::Refused);
    EXPECT_THAT(refused.Text(), ::testing::HasSubstr(L"Nameless Wonder"));
    EXPECT_THAT(refused.Text(), ::testing::Not(::testing::HasSubstr(L"Other")));
}

TEST(ShareCodeTest, EveryKindOfDamageIsRefusedAndWhiteSpaceIsForgiven) {
    const std::string& code = kThreeEntries;
    std::string flipped = code;
    flipped[12] = flipped[12] == 'A' ? 'B' : 'A';  // inside the first identity
    std::string broken;                            // as a mail program breaks long lines
    for (std::size_t i = 0; i < code.size(); i += 20) broken += code.substr(i, 20) + "\r\n  ";
    const std::string wholeGroups = EncodeShareCode({{1, 0, ""}}).Value();  // 18 bytes, 24 characters
    const std::string noIdentity = std::string("\x01") + std::string(8, '\xFF') + std::string(5, '\0');
    const std::string longName = std::string("\x01") + std::string(12, '\x01') + '\x21' + std::string(33, 'a');
    const struct {
        const char* what;
        std::string text;
        ShareCodeFault fault;
        std::size_t place = 0;
    } cases[] = {
        {"a flipped character", flipped, ShareCodeFault::Checksum},
        {"unused bits set", "GH1-AI3vAtJ", ShareCodeFault::Checksum},
        {"cut by one character", code.substr(0, code.size() - 1), ShareCodeFault::Truncated},
        {"cut in an entry", code.substr(0, 40), ShareCodeFault::Truncated},
        {"cut to its prefix", "GH1-", ShareCodeFault::Truncated},
        {"one character more", code + "A", ShareCodeFault::TrailingBytes},
        {"one character after whole groups", wholeGroups + "A", ShareCodeFault::TrailingBytes},
        {"bytes appended", code + "QUJD", ShareCodeFault::TrailingBytes},
        {"a newer version", "GH2-" + code.substr(4), ShareCodeFault::UnknownVersion},
        {"another prefix", "XX1-" + code.substr(4), ShareCodeFault::NotAShareCode},
        {"no prefix", code.substr(4), ShareCodeFault::NotAShareCode},
        {"plain base64", code.substr(0, 30) + "+" + code.substr(30), ShareCodeFault::OutsideAlphabet, 31},
        {"padding", " " + code + "==", ShareCodeFault::OutsideAlphabet, code.size() + 2},
        {"a letter of another alphabet", code.substr(0, 9) + "\xC3\xA9" + code.substr(9),
         ShareCodeFault::OutsideAlphabet, 10},
        {"more than 64 KiB", code + std::string(65537 - code.size(), ' '), ShareCodeFault::TooLong},
        {"white space only", " \r\n\t", ShareCodeFault::Empty},
        {"an entry without identity", CodeOf(noIdentity), ShareCodeFault::NotASelection},
        {"a name over 32 bytes", CodeOf(longName), ShareCodeFault::NotASelection},
        {"lines broken and indented", broken, ShareCodeFault::None},
        {"a pasted line end", code + "\n", ShareCodeFault::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ShareCodeReading reading = ReadShareCode(c.text);
        EXPECT_EQ(reading.fault, c.fault);
        EXPECT_EQ(reading.place, c.place);
        const Result<std::vector<SharedEntry>> decoded = DecodeShareCode(c.text);
        if (c.fault == ShareCodeFault::None) {
            EXPECT_EQ(decoded.Value(), kThree);
        } else {
            EXPECT_TRUE(reading.entries.empty());
            EXPECT_EQ(decoded.Error().Kind(), StatusKind::BadData);
            EXPECT_FALSE(decoded.Error().Text().empty());
        }
    }
}

TEST(ShareCodeTest, WideTextReadsAsItsUtf8) {
    const std::wstring wide(kThreeEntries.begin(), kThreeEntries.end());
    EXPECT_EQ(DecodeShareCode(L"\r\n" + wide + L"\r\n").Value(), kThree);
    EXPECT_EQ(DecodeShareCode(L"GH1-\x00E9" + wide.substr(4)).Error().Text(),
              DecodeShareCode("GH1-\xC3\xA9" + kThreeEntries.substr(4)).Error().Text());
    // 32,769 characters, but 65,538 bytes.
    EXPECT_EQ(DecodeShareCode(std::wstring(kShareCodeMaxTextBytes / 2 + 1, L'\x00E9')).Error().Text(),
              DecodeShareCode(std::string(kShareCodeMaxTextBytes + 1, 'A')).Error().Text());
}

}  // namespace
}  // namespace gh::test
