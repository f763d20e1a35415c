#include "catalogue/ModHeaderReader.h"

#include "CatalogueTestSupport.h"
#include "platform/Unicode.h"
#include "support/ModFileWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace gh::test {
namespace {

// A file that fills every field of its format with distinct values.
ModFile Sample(std::uint16_t format) {
    ModFile mod;
    mod.formatVersion = format;
    mod.version = 3;
    std::copy_n(std::begin({std::uint16_t{1}, std::uint16_t{2}, std::uint16_t{3}, std::uint16_t{4}}), 4,
                mod.gameVersion);
    mod.headerDword1 = 0x11223344;
    mod.headerDword2 = 0x55667788;
    mod.name = u"Sample Mod";
    mod.author = u"Someone \u00e9";
    mod.description = u"What it does";
    mod.website = u"https://example.org/mod";
    mod.downloadUrl = u"https://example.org/get";
    mod.guid = -0x0102030405060708LL;
    mod.headerDword3 = 0x99AABBCC;
    mod.headerQword = 0xDDEEFF0011223344ULL;
    mod.requirements = {{u"First", 1001, 2}, {u"", 1002, 9}, {u"Third one", -1003, 65535}};
    mod.headerStrings = {u"alpha", u"", u"gamma"};
    mod.content = std::string(64, '\x7F');
    return mod;
}

// What the reader must give for `mod`'s file cut after `cut` bytes: each
// field whose bytes are all there is read, each other field keeps what it
// held, and a text cut inside keeps its whole units.
ModInfo ExpectedAfterCut(const ModFile& mod, const ModFileLayout& at, std::size_t cut) {
    auto has = [&](const ByteSpan& span) { return cut >= span.end; };
    auto text = [&](const std::u16string& units, const ByteSpan& span, std::size_t limit) {
        std::u16string kept;
        if (cut >= span.begin + 2)
            kept = units.substr(0, std::min(units.size(), (std::min(cut, span.end) - span.begin - 2) / 2));
        kept = kept.substr(0, kept.find(u'\0'));
        return Utf16ToUtf8(std::u16string_view(kept).substr(0, std::min(limit, kept.size())));
    };
    ModInfo e;
    const std::uint16_t format = has(at.formatVersion) ? mod.formatVersion : 4;
    if (has(at.version)) e.version = mod.version;
    if (format >= 4 && has(at.gameVersion)) std::copy_n(mod.gameVersion, 4, e.gameVersion);
    if (has(at.headerDword1)) e.headerDword1 = mod.headerDword1;
    if (has(at.headerDword2)) e.headerDword2 = mod.headerDword2;
    e.name = text(mod.name, at.name, 255);
    e.author = text(mod.author, at.author, 255);
    e.description = text(mod.description, at.description, 512);
    e.website = text(mod.website, at.website, 512);
    e.downloadUrl = text(mod.downloadUrl, at.downloadUrl, 512);
    if (has(at.guid)) e.guid = mod.guid;
    if (has(at.headerDword3)) e.headerDword3 = mod.headerDword3;
    if (has(at.headerQword)) e.headerQword = mod.headerQword;
    const std::size_t count = has(at.requirementCount) ? mod.requirements.size() : 0;
    CModRequirement entry;  // starts at guid 0, version 0
    for (std::size_t i = 0; i < count; ++i) {
        entry.name = text(mod.requirements[i].name, at.requirements[i].name, 512);
        if (has(at.requirements[i].guid)) entry.guid = mod.requirements[i].guid;
        if (format != 1 && has(at.requirements[i].version)) entry.version = mod.requirements[i].version;
        e.requirements.push_back(entry);
        // The bytes end inside this entry: the entries after it are alike,
        // and only the first of them is kept.
        const ByteSpan& last = format == 1 ? at.requirements[i].guid : at.requirements[i].version;
        if (!has(last)) {
            std::size_t rest = count - i - 1;
            if (rest > 0 && !entry.name.empty()) {
                e.requirements.push_back({entry.guid, entry.version, ""});
                --rest;
            }
            e.requirementsPastEnd = static_cast<std::uint16_t>(rest);
            break;
        }
    }
    if (format >= 3 && has(at.headerStringCount))
        for (std::size_t i = 0; i < mod.headerStrings.size(); ++i) {
            e.headerStrings.push_back(text(mod.headerStrings[i], at.headerStrings[i], 512));
            if (!has(at.headerStrings[i])) {
                std::size_t rest = mod.headerStrings.size() - i - 1;
                if (rest > 0 && !e.headerStrings.back().empty()) {
                    e.headerStrings.emplace_back();
                    --rest;
                }
                e.headerStringsPastEnd = static_cast<std::uint16_t>(rest);
                break;
            }
        }
    return e;
}

class EveryFormat : public ::testing::TestWithParam<std::uint16_t> {};

TEST_P(EveryFormat, ReadsEachFieldItsFormatHas) {
    const ModFile mod = Sample(GetParam());
    const ModInfo info = ReadHeaderBytes(EncodeModFile(mod));
    const bool hasGameVersion = GetParam() >= 4;
    EXPECT_EQ(info.gameVersion[0], hasGameVersion ? 1 : 0);
    EXPECT_EQ(info.gameVersion[3], hasGameVersion ? 4 : 0);
    EXPECT_EQ(info.version, 3);
    EXPECT_EQ(info.headerDword1, 0x11223344u);
    EXPECT_EQ(info.headerDword2, 0x55667788u);
    EXPECT_EQ(info.name, "Sample Mod");
    EXPECT_EQ(info.author, "Someone \u00e9");
    EXPECT_EQ(info.description, "What it does");
    EXPECT_EQ(info.website, "https://example.org/mod");
    EXPECT_EQ(info.downloadUrl, "https://example.org/get");
    EXPECT_EQ(info.guid, -0x0102030405060708LL);
    EXPECT_EQ(info.headerDword3, 0x99AABBCCu);
    EXPECT_EQ(info.headerQword, 0xDDEEFF0011223344ULL);
    ASSERT_EQ(info.requirements.size(), 3u);
    EXPECT_EQ(info.requirements[0].name, "First");
    EXPECT_EQ(info.requirements[2].name, "Third one");
    EXPECT_EQ(info.requirements[2].guid, -1003);
    // Format 1 stores no requirement versions: the shared entry keeps its 0.
    EXPECT_EQ(info.requirements[1].version, GetParam() == 1 ? 0 : 9);
    EXPECT_EQ(info.requirements[2].version, GetParam() == 1 ? 0 : 65535);
    const std::vector<std::string> strings{"alpha", "", "gamma"};
    EXPECT_EQ(info.headerStrings, GetParam() >= 3 ? strings : std::vector<std::string>{});
}

TEST_P(EveryFormat, FileCutAtEveryByteKeepsWhatWasNotRead) {
    const ModFile mod = Sample(GetParam());
    ModFileLayout layout;
    const std::string bytes = EncodeModFile(mod, &layout);
    for (std::size_t cut = 0; cut <= layout.headerEnd; ++cut) {
        const ModInfo info = ReadHeaderBytes(bytes.substr(0, cut));
        EXPECT_EQ(FirstDifference(info, ExpectedAfterCut(mod, layout, cut)), "") << "cut after " << cut << " bytes";
    }
}

TEST_P(EveryFormat, ReadsTheSameFromAFileAsFromMemory) {
    TempFolder temp;
    const ModFile mod = Sample(GetParam());
    const std::string bytes = EncodeModFile(mod);
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{3}, bytes.size() / 2, bytes.size()}) {
        const std::wstring path = temp / (L"cut" + std::to_wstring(cut) + L".mod");
        ASSERT_TRUE(WriteModFile(path, mod, cut));
        ModInfo fromFile;
        EXPECT_TRUE(ReadModHeader(fromFile, path));
        ModInfo expected = ReadHeaderBytes(bytes.substr(0, cut));
        expected.filePath = path;
        EXPECT_EQ(FirstDifference(fromFile, expected), "") << "cut after " << cut << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(ModHeader, EveryFormat, ::testing::Values(0, 1, 2, 3, 4, 7));

TEST(ModHeader, LegacyEntriesOfFormatOneAreVersionPlusOne) {
    for (std::uint16_t version : {0, 3, 65535}) {
        ModFile mod = Sample(1);
        mod.version = version;
        ModFileLayout layout;
        const std::string bytes = EncodeModFile(mod, &layout);
        EXPECT_EQ(layout.legacyEntries.end - layout.legacyEntries.begin, (version + 1u) * 9u);
        const ModInfo info = ReadHeaderBytes(bytes);
        EXPECT_EQ(info.version, version);
        EXPECT_EQ(info.name, "Sample Mod") << "version " << version;
        EXPECT_EQ(info.guid, mod.guid) << "version " << version;
    }
}

TEST(ModHeader, HugeLegacyBlockIsSkippedInAFileAndEndsAShortOne) {
    TempFolder temp;
    ModFile mod = Sample(1);
    mod.version = 65535;
    ASSERT_TRUE(WriteModFile(temp / L"whole.mod", mod));
    ModInfo whole;
    ReadModHeader(whole, temp / L"whole.mod");
    EXPECT_EQ(whole.name, "Sample Mod");
    EXPECT_EQ(whole.requirements.size(), 3u);

    // Ends inside the legacy block: nothing after it is read.
    ASSERT_TRUE(WriteModFile(temp / L"short.mod", mod, 300000));
    ModInfo cut;
    ReadModHeader(cut, temp / L"short.mod");
    EXPECT_EQ(cut.version, 65535);
    EXPECT_EQ(cut.headerDword1, 0u);
    EXPECT_EQ(cut.name, "");
    EXPECT_EQ(cut.guid, -1);
    EXPECT_TRUE(cut.requirements.empty());
}

TEST(ModHeader, HeaderLongerThanOneReadIsReadWhole) {
    TempFolder temp;
    ModFile mod = Sample(4);
    mod.description = std::u16string(512, u'd');
    for (int i = 0; i < 40; ++i) mod.headerStrings.push_back(std::u16string(300, static_cast<char16_t>(u'A' + i % 26)));
    for (int i = 0; i < 50; ++i)
        mod.requirements.push_back({std::u16string(100, u'r'), 5000 + i, static_cast<std::uint16_t>(i)});
    const std::string bytes = EncodeModFile(mod);
    ASSERT_GT(bytes.size(), 30000u);
    ASSERT_TRUE(WriteModFile(temp / L"long.mod", mod));
    ModInfo info;
    ReadModHeader(info, temp / L"long.mod");
    ModInfo expected = ReadHeaderBytes(bytes);
    expected.filePath = temp / L"long.mod";
    EXPECT_EQ(FirstDifference(info, expected), "");
    ASSERT_EQ(info.headerStrings.size(), 43u);
    EXPECT_EQ(info.headerStrings.back(), std::string(300, 'A' + 39 % 26));
    EXPECT_EQ(info.requirements.back().guid, 5049);
}

TEST(ModHeader, HeadersAroundTheSizeOfOneReadAreReadWhole) {
    // Header sizes on both sides of the first read and of a whole buffer,
    // each file also cut one byte short.
    TempFolder temp;
    for (std::size_t target : {2047u, 2048u, 2049u, 2050u, 10239u, 10240u, 10241u}) {
        ModFile mod = Sample(4);
        mod.content.clear();
        mod.headerStrings.clear();
        const std::size_t base = EncodeModFile(mod).size();
        // Fill with texts of whole units; an odd byte goes into the content.
        std::size_t room = target - base;
        while (room >= 2 + 2 * 512) {
            mod.headerStrings.push_back(std::u16string(512, u's'));
            room -= 2 + 2 * 512;
        }
        if (room >= 2) mod.headerStrings.push_back(std::u16string((room - 2) / 2, u't'));
        mod.content = std::string(room >= 2 ? room % 2 : room, 'c');
        const std::string bytes = EncodeModFile(mod);
        ASSERT_EQ(bytes.size(), target);
        for (std::size_t cut : {target, target - 1}) {
            const std::wstring path = temp / (L"size" + std::to_wstring(cut) + L".mod");
            ASSERT_TRUE(WriteModFile(path, mod, cut));
            ModInfo fromFile;
            ReadModHeader(fromFile, path);
            ModInfo expected = ReadHeaderBytes(bytes.substr(0, cut));
            expected.filePath = path;
            EXPECT_EQ(FirstDifference(fromFile, expected), "") << "file of " << cut << " bytes";
        }
        ModInfo whole;
        ReadModHeader(whole, temp / (L"size" + std::to_wstring(target) + L".mod"));
        EXPECT_EQ(whole.headerStrings.size(), mod.headerStrings.size()) << target;
    }
}

TEST(ModHeader, TextsAreCutToTheirLimits) {
    ModFile mod = Sample(4);
    mod.name = std::u16string(300, u'n');
    mod.author = std::u16string(256, u'a');
    mod.website = std::u16string(512, u'w');
    const ModInfo info = ReadHeaderBytes(EncodeModFile(mod));
    EXPECT_EQ(info.name, std::string(255, 'n'));
    EXPECT_EQ(info.author, std::string(255, 'a'));
    EXPECT_EQ(info.website, std::string(512, 'w'));
    EXPECT_EQ(info.downloadUrl, "https://example.org/get");
}

TEST(ModHeader, TextOverTheCapLeavesItsRestToTheNextField) {
    ModFile mod = Sample(4);
    // Units 512 on read as the website's count and characters, then as the
    // download link's count (0).
    mod.description = std::u16string(512, u'd') + std::u16string{3, u'x', u'y', u'z', 0};
    const ModInfo info = ReadHeaderBytes(EncodeModFile(mod));
    EXPECT_EQ(info.description, std::string(512, 'd'));
    EXPECT_EQ(info.website, "xyz");
    EXPECT_EQ(info.downloadUrl, "");
    // What follows is read from the real website field on, so the guid is not the file's.
    EXPECT_NE(info.guid, mod.guid);
}

TEST(ModHeader, ZeroUnitEndsATextButAllUnitsAreConsumed) {
    ModFile mod = Sample(4);
    mod.name = std::u16string{u'a', u'b', 0, u'c', u'd'};
    mod.requirements[0].name = std::u16string{0, u'q'};
    const ModInfo info = ReadHeaderBytes(EncodeModFile(mod));
    EXPECT_EQ(info.name, "ab");
    EXPECT_EQ(info.author, "Someone \u00e9");
    EXPECT_EQ(info.requirements[0].name, "");
    EXPECT_EQ(info.requirements[0].guid, 1001);
}

TEST(ModHeader, SurrogatesAreCountedAsUnitsAndLoneOnesReplaced) {
    ModFile mod = Sample(4);
    mod.name = std::u16string(254, u'n') + u"\U0001F600";  // the pair straddles the 255-unit limit
    mod.author = std::u16string{u'a', 0xD800, u'b'};
    mod.description = u"\U0001F600";
    const ModInfo info = ReadHeaderBytes(EncodeModFile(mod));
    // The kept texts are valid UTF-8 on every system.
    EXPECT_EQ(info.name, std::string(254, 'n') + "\uFFFD");
    EXPECT_EQ(info.author, "a\uFFFDb");
    EXPECT_EQ(info.description, "\U0001F600");
}

TEST(ModHeader, CountsPastTheEndGiveEntriesFromTheSharedBuffer) {
    ModFile mod = Sample(4);
    mod.requirements = {{u"Only", 77, 5}};
    mod.requirementCount = 65535;
    mod.headerStrings.clear();
    mod.content.clear();
    const ModInfo info = ReadHeaderBytes(EncodeModFile(mod));
    // Every later entry lies past the end: no name, the last guid and
    // version. One stands for all of them; the others are counted.
    ASSERT_EQ(info.requirements.size(), 2u);
    EXPECT_EQ(info.requirements[0].name, "Only");
    EXPECT_EQ(info.requirements[1].name, "");
    EXPECT_EQ(info.requirements[1].guid, 77);
    EXPECT_EQ(info.requirements[1].version, 5);
    EXPECT_EQ(info.requirementsPastEnd, 65533u);
    EXPECT_TRUE(info.headerStrings.empty());  // the text count lies past the end too

    ModFile strings = Sample(3);
    strings.headerStringCount = 65535;
    strings.content.clear();
    const ModInfo many = ReadHeaderBytes(EncodeModFile(strings));
    ASSERT_EQ(many.headerStrings.size(), 4u);
    EXPECT_EQ(many.headerStrings[2], "gamma");
    EXPECT_EQ(many.headerStrings[3], "");
    EXPECT_EQ(many.headerStringsPastEnd, 65535u - 4u);
}

TEST(ModHeader, EmptyFileKeepsTheDefaults) {
    TempFolder temp;
    ASSERT_TRUE(WriteFileBytes(temp / L"empty.mod", ""));
    ModInfo info;
    EXPECT_TRUE(ReadModHeader(info, temp / L"empty.mod"));
    ModInfo expected;
    expected.filePath = temp / L"empty.mod";
    EXPECT_EQ(FirstDifference(info, expected), "");
}

TEST(ModHeader, FileThatCannotBeOpenedNamesItsFileAndWhyAndChangesNothingElse) {
    TempFolder temp;
    temp.MakeFolder(L"folder.mod");
    const struct {
        std::wstring path;
        StatusKind kind;
    } cases[] = {{temp / L"no such.mod", StatusKind::NotFound}, {temp / L"folder.mod", StatusKind::WrongType}};
    for (const auto& c : cases) {
        ModInfo info;
        info.requirements.push_back({});
        const Status read = ReadModHeader(info, c.path);
        EXPECT_EQ(read.Kind(), c.kind);
        EXPECT_FALSE(read.Text().empty());
        EXPECT_EQ(info.readError, WideToUtf8(read.Text()));
        EXPECT_EQ(info.filePath, c.path);
        EXPECT_EQ(info.guid, -1);
        EXPECT_EQ(info.requirements.size(), 1u);
    }
}

TEST(ModHeader, ForeignBytesBecomeARecordWithoutHarm) {
    // A count of 0xFFFF everywhere: every text is capped, every list bounded.
    const ModInfo info = ReadHeaderBytes(std::string(6000, '\xFF'));
    EXPECT_EQ(info.version, 0xFFFF);
    EXPECT_EQ(Utf8ToWide(info.name), std::wstring(255, static_cast<wchar_t>(0xFFFF)));
    EXPECT_LE(info.requirements.size(), 65535u);
}

TEST(ModHeader, SetLimitedTextCutsInUtf16Units) {
    std::string field = "old";
    SetLimitedText(field, u"abcdef", 4);
    EXPECT_EQ(field, "abcd");
    SetLimitedText(field, u"ab", 4);
    EXPECT_EQ(field, "ab");
    SetLimitedText(field, u"", 4);
    EXPECT_EQ(field, "");
}

}  // namespace
}  // namespace gh::test
