#include "platform/FileVersion.h"
#include "platform/PeVersionReader.h"
#include "support/PeWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gh {
namespace {

using test::COwnedByteSource;
using test::PeImage;
using test::PeKind;
using test::PeResource;
using test::VersionParts;
using test::VersionResource;
using test::WritePe;
using test::WriteVersionedPe;

constexpr std::uint16_t kUntouched = 0xBEEF;

// The reader's answer, or nothing; also checks that a failure leaves the
// caller's parts alone.
std::optional<VersionParts> ReadVersion(const std::string& bytes) {
    COwnedByteSource source(bytes);
    std::uint16_t parts[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    if (!platform::ReadPeFileVersion(source, parts)) {
        for (std::uint16_t part : parts) EXPECT_EQ(part, kUntouched) << "a failed read wrote the result";
        return std::nullopt;
    }
    return VersionParts{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<VersionParts> ReadVersionFromFile(const std::wstring& path) {
    std::uint16_t parts[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    if (!platform::ReadFileVersion(path, parts)) return std::nullopt;
    return VersionParts{parts[0], parts[1], parts[2], parts[3]};
}

PeResource Resource(std::uint16_t type, std::wstring typeName, std::uint16_t id, std::wstring name, std::string data) {
    PeResource r;
    r.type = type;
    r.typeName = std::move(typeName);
    r.id = id;
    r.name = std::move(name);
    r.data = std::move(data);
    return r;
}

class PeVersionOfKind : public ::testing::TestWithParam<PeKind> {};

INSTANTIATE_TEST_SUITE_P(BothKinds, PeVersionOfKind, ::testing::Values(PeKind::Pe32, PeKind::Pe32Plus),
                         [](const auto& param) { return param.param == PeKind::Pe32 ? "Pe32" : "Pe32Plus"; });

TEST_P(PeVersionOfKind, ReadsTheFileVersionNotTheProductVersion) {
    const PeImage image = WriteVersionedPe(GetParam(), {1, 25, 5, 2}, {4, 3, 2, 1});
    EXPECT_EQ(ReadVersion(image.bytes), (VersionParts{1, 25, 5, 2}));
    const PeImage extremes = WriteVersionedPe(GetParam(), {65535, 0, 65535, 1}, {1, 1, 1, 1});
    EXPECT_EQ(ReadVersion(extremes.bytes), (VersionParts{65535, 0, 65535, 1}));
}

// On Windows this goes through the system's version functions, so it also
// shows that the written images are ones the system accepts.
TEST_P(PeVersionOfKind, ReadsTheFileVersionOfAFileOnDisk) {
    test::TempFolder folder;
    folder.WriteFile(L"Game.exe", WriteVersionedPe(GetParam(), {1, 25, 5, 2}).bytes);
    EXPECT_EQ(ReadVersionFromFile(folder / L"Game.exe"), (VersionParts{1, 25, 5, 2}));
    // The same file reached with forward slashes and another letter case.
    std::wstring canonical = folder / L"GAME.EXE";
    for (wchar_t& c : canonical)
        if (c == L'\\') c = L'/';
    EXPECT_EQ(ReadVersionFromFile(canonical), (VersionParts{1, 25, 5, 2}));
}

TEST_P(PeVersionOfKind, FindsTheVersionAmongOtherResources) {
    const std::vector<PeResource> resources = {
        Resource(0, L"GHDATA", 0, L"BLOB", "named type, named entry"),
        Resource(10, L"", 7, L"", "raw data before the version"),
        Resource(10, L"", 0, L"INTRO", std::string(700, 'x')),
        VersionResource({2, 0, 1, 9}, {8, 8, 8, 8}),
        Resource(24, L"", 1, L"", "<assembly/>"),
    };
    test::TempFolder folder;
    const PeImage image = WritePe(GetParam(), resources);
    folder.WriteFile(L"Game.exe", image.bytes);
    EXPECT_EQ(ReadVersion(image.bytes), (VersionParts{2, 0, 1, 9}));
    EXPECT_EQ(ReadVersionFromFile(folder / L"Game.exe"), (VersionParts{2, 0, 1, 9}));
}

TEST(PeVersionReader, PrefersTheVersionInfoIdOverOtherVersionEntries) {
    PeResource named = VersionResource({6, 6, 6, 6}, {6, 6, 6, 6});
    named.id = 0;
    named.name = L"ALTERNATE";
    named.traced = false;
    PeResource second = VersionResource({2, 2, 2, 2}, {2, 2, 2, 2}, 2);
    second.traced = false;
    const std::vector<PeResource> resources = {named, second, VersionResource({1, 25, 5, 2}, {1, 1, 1, 1})};
    const PeImage image = WritePe(PeKind::Pe32Plus, resources);
    EXPECT_EQ(ReadVersion(image.bytes), (VersionParts{1, 25, 5, 2}));
    test::TempFolder folder;
    folder.WriteFile(L"Game.exe", image.bytes);
    EXPECT_EQ(ReadVersionFromFile(folder / L"Game.exe"), (VersionParts{1, 25, 5, 2}));
}

// The system's version functions look up the id 1 only; a version resource
// under another id or a name is no file version on either system.
TEST(PeVersionReader, IgnoresVersionResourcesUnderAnotherIdOrAName) {
    PeResource named = VersionResource({3, 1, 4, 1}, {5, 9, 2, 6});
    named.id = 0;
    named.name = L"VS_VERSION_INFO";
    test::TempFolder folder;
    folder.WriteFile(L"named.exe", WritePe(PeKind::Pe32, {named}).bytes);
    folder.WriteFile(L"other-id.exe",
                     WritePe(PeKind::Pe32Plus, {VersionResource({7, 0, 0, 3}, {1, 1, 1, 1}, 102)}).bytes);
    for (const wchar_t* name : {L"named.exe", L"other-id.exe"}) {
        EXPECT_EQ(ReadVersion(folder.ReadFile(name)), std::nullopt);
        EXPECT_EQ(ReadVersionFromFile(folder / name), std::nullopt);
    }
}

TEST(PeVersionReader, TakesTheLowestLanguage) {
    PeResource german = VersionResource({4, 0, 0, 7}, {1, 1, 1, 1});
    german.language = 0x0407;
    german.traced = false;
    PeResource english = VersionResource({4, 0, 0, 9}, {1, 1, 1, 1});
    english.language = 0x0409;
    EXPECT_EQ(ReadVersion(WritePe(PeKind::Pe32Plus, {english, german}).bytes), (VersionParts{4, 0, 0, 7}));
}

// A named entry holds an offset to its name with the high bit set; with the
// bit ignored, a name at offset 16 would pass for the version type. Here the
// counts claim no named entries, so the named one is met among the ids.
TEST(PeVersionReader, NeverTakesANamedEntryForAnId) {
    PeResource decoy = VersionResource({6, 6, 6, 6}, {6, 6, 6, 6});
    decoy.type = 0;
    decoy.typeName = L"XX";
    decoy.traced = false;
    PeImage image = WritePe(PeKind::Pe32Plus, {decoy, VersionResource({1, 2, 3, 4}, {1, 1, 1, 1})});
    const std::size_t root = image.layout.rootDirectory;
    ASSERT_EQ(image.Get16(root + 12), 1);
    image.Put16(root + 12, 0);
    image.Put16(root + 14, 2);
    image.Put32(root + 16, 0x80000000u | 16);
    EXPECT_EQ(ReadVersion(image.bytes), (VersionParts{1, 2, 3, 4}));
}

// The walk is three levels deep whatever the offsets say, but a directory
// met twice means the tree is damaged, even where the second visit would
// find something that passes for a data entry.
TEST(PeVersionReader, RefusesADirectoryMetTwice) {
    PeResource other;
    other.type = 10;
    other.id = 1;
    other.data = "x";
    PeImage image = WritePe(PeKind::Pe32Plus, {other, VersionResource({1, 2, 3, 4}, {1, 1, 1, 1})});
    ASSERT_EQ(ReadVersion(image.bytes), (VersionParts{1, 2, 3, 4}));
    const std::size_t firstTypeEntry = image.layout.rootDirectory + 16;
    ASSERT_EQ(image.Get32(firstTypeEntry), 10u);
    image.Put32(firstTypeEntry + 4, image.TreeOffset(image.layout.dataEntry));
    image.LoopNameEntryToRoot();
    EXPECT_EQ(ReadVersion(image.bytes), std::nullopt);
}

// Bytes of a section beyond its raw data are zeros in memory; whatever
// follows the section in the file is not part of it.
TEST(PeVersionReader, NeverReadsDataBeyondItsSectionsRawData) {
    PeImage image = WriteVersionedPe(PeKind::Pe32, {1, 2, 3, 4});
    const std::uint32_t rawSize = image.Get32(image.layout.sectionHeader + 16);
    ASSERT_EQ(image.bytes.size(), image.layout.resourceSection + rawSize);
    image.bytes +=
        std::string(8, '\0') + image.bytes.substr(image.layout.data, image.Get32(image.layout.dataEntry + 4));
    image.Put32(image.layout.sectionHeader + 8, rawSize + 0x1000);
    image.Put32(image.layout.dataEntry, image.layout.resourceRva + rawSize + 8);
    EXPECT_EQ(ReadVersion(image.bytes), std::nullopt);
}

TEST(PeVersionReader, FindsNothingInImagesWithoutAVersionResource) {
    EXPECT_EQ(ReadVersion(WritePe(PeKind::Pe32Plus, {}).bytes), std::nullopt);
    EXPECT_EQ(ReadVersion(WritePe(PeKind::Pe32, {Resource(10, L"", 1, L"", "data")}).bytes), std::nullopt);
    // Version data that is not a version block.
    EXPECT_EQ(ReadVersion(WritePe(PeKind::Pe32Plus, {Resource(16, L"", 1, L"", std::string(200, 'v'))}).bytes),
              std::nullopt);
    EXPECT_EQ(ReadVersion(""), std::nullopt);
    EXPECT_EQ(ReadVersion("MZ"), std::nullopt);
    EXPECT_EQ(ReadVersion(std::string(4096, '\0')), std::nullopt);
}

TEST(PeVersionReader, EveryTruncationBeforeTheEndOfTheVersionDataFails) {
    for (PeKind kind : {PeKind::Pe32, PeKind::Pe32Plus}) {
        const PeImage image = WriteVersionedPe(kind, {1, 25, 5, 2});
        const std::size_t end = image.layout.data + image.Get32(image.layout.dataEntry + 4);
        for (std::size_t size = 0; size < end; ++size) {
            PeImage cut = image;
            cut.Truncate(size);
            ASSERT_EQ(ReadVersion(cut.bytes), std::nullopt) << "cut at " << size;
        }
        PeImage cut = image;
        cut.Truncate(end);  // the section's padding may go
        EXPECT_EQ(ReadVersion(cut.bytes), (VersionParts{1, 25, 5, 2}));
    }
}

struct Damage {
    const char* what;
    std::function<void(PeImage&)> apply;
};

const std::vector<Damage>& Damages() {
    static const std::vector<Damage> damages = {
        {"DOS magic", [](PeImage& i) { i.Put16(0, 0x5A4E); }},
        {"PE offset past the end", [](PeImage& i) { i.Put32(0x3C, static_cast<std::uint32_t>(i.bytes.size())); }},
        {"PE offset huge", [](PeImage& i) { i.Put32(0x3C, 0xFFFFFFFC); }},
        {"PE signature", [](PeImage& i) { i.Put32(i.layout.peHeader, 0x00004551); }},
        {"optional header magic", [](PeImage& i) { i.Put16(i.layout.optionalHeader, 0x107); }},
        {"optional header too small for the resource entry",
         [](PeImage& i) {
             i.Put16(i.layout.peHeader + 20,
                     static_cast<std::uint16_t>(i.layout.resourceDirectoryEntry - i.layout.optionalHeader));
         }},
        {"two data directories only", [](PeImage& i) { i.Put32(i.layout.resourceDirectoryEntry - 16 - 4, 2); }},
        {"no resource RVA", [](PeImage& i) { i.Put32(i.layout.resourceDirectoryEntry, 0); }},
        {"no resource size", [](PeImage& i) { i.Put32(i.layout.resourceDirectoryEntry + 4, 0); }},
        {"resource RVA in no section", [](PeImage& i) { i.Put32(i.layout.resourceDirectoryEntry, 0x00900000); }},
        {"resource RVA at the end of its section",
         [](PeImage& i) {
             i.Put32(i.layout.resourceDirectoryEntry, i.layout.resourceRva + i.Get32(i.layout.sectionHeader + 8));
         }},
        {"resource size smaller than the tree", [](PeImage& i) { i.Put32(i.layout.resourceDirectoryEntry + 4, 24); }},
        {"no sections", [](PeImage& i) { i.Put16(i.layout.peHeader + 6, 0); }},
        {"section count past the end of the file", [](PeImage& i) { i.Put16(i.layout.peHeader + 6, 0xFFFF); }},
        {"section raw data past the end", [](PeImage& i) { i.Put32(i.layout.sectionHeader + 20, 0x7FFFFFF0); }},
        {"section raw data at the very top", [](PeImage& i) { i.Put32(i.layout.sectionHeader + 20, 0xFFFFFFF0); }},
        {"section without raw data", [](PeImage& i) { i.Put32(i.layout.sectionHeader + 16, 0); }},
        {"section raw size huge",
         [](PeImage& i) {
             i.Put32(i.layout.sectionHeader + 8, 0xFFFFFFFF);
             i.Put32(i.layout.sectionHeader + 16, 0xFFFFFFFF);
             i.Put32(i.layout.resourceDirectoryEntry + 4, 0xFFFFFFFF);
             i.Truncate(i.layout.data + 60);
         }},
        {"no version type", [](PeImage& i) { i.Put32(i.layout.typeEntry, 17); }},
        {"type entry leads to data",
         [](PeImage& i) { i.Put32(i.layout.typeEntry + 4, i.TreeOffset(i.layout.dataEntry)); }},
        {"type entry past the tree", [](PeImage& i) { i.Put32(i.layout.typeEntry + 4, 0x80000000u | 0x100000); }},
        {"type entry at the top offset", [](PeImage& i) { i.Put32(i.layout.typeEntry + 4, 0xFFFFFFFF); }},
        {"root claims more named entries than it holds",
         [](PeImage& i) { i.Put16(i.layout.rootDirectory + 12, 0xFFFF); }},
        {"empty name directory", [](PeImage& i) { i.Put16(i.layout.nameDirectory + 14, 0); }},
        {"name entry loops to the root", [](PeImage& i) { i.LoopNameEntryToRoot(); }},
        {"name entry loops to its own directory",
         [](PeImage& i) { i.Put32(i.layout.nameEntry + 4, 0x80000000u | i.TreeOffset(i.layout.nameDirectory)); }},
        {"name entry leads to data",
         [](PeImage& i) { i.Put32(i.layout.nameEntry + 4, i.TreeOffset(i.layout.dataEntry)); }},
        {"language entry loops to its own directory", [](PeImage& i) { i.LoopLanguageEntryToItself(); }},
        {"language entry leads to the name directory",
         [](PeImage& i) { i.Put32(i.layout.languageEntry + 4, 0x80000000u | i.TreeOffset(i.layout.nameDirectory)); }},
        {"data entry past the tree", [](PeImage& i) { i.Put32(i.layout.languageEntry + 4, 0x7FFFFFF8); }},
        {"data RVA in no section", [](PeImage& i) { i.Put32(i.layout.dataEntry, 0x7FFF0000); }},
        {"data RVA at the top", [](PeImage& i) { i.Put32(i.layout.dataEntry, 0xFFFFFFF0); }},
        {"data size huge", [](PeImage& i) { i.Put32(i.layout.dataEntry + 4, 0xFFFFFFFF); }},
        {"data runs past its section",
         [](PeImage& i) {
             i.Put32(i.layout.dataEntry + 4, i.Get32(i.layout.sectionHeader + 8) - i.TreeOffset(i.layout.data) + 1);
         }},
        {"data too small for the fixed information", [](PeImage& i) { i.Put32(i.layout.dataEntry + 4, 80); }},
        {"block length too small", [](PeImage& i) { i.Put16(i.layout.data, 90); }},
        {"block longer than its resource",
         [](PeImage& i) { i.Put16(i.layout.data, static_cast<std::uint16_t>(i.Get32(i.layout.dataEntry + 4) + 1)); }},
        {"no value", [](PeImage& i) { i.Put16(i.layout.data + 2, 0); }},
        {"value shorter than the fixed information", [](PeImage& i) { i.Put16(i.layout.data + 2, 48); }},
        {"key", [](PeImage& i) { i.Put16(i.layout.data + 6, 'v'); }},
        {"key terminator", [](PeImage& i) { i.Put16(i.layout.data + 6 + 30, 'X'); }},
        {"fixed information signature", [](PeImage& i) { i.Put32(i.layout.fixedFileInfo, 0xFEEF04BE); }},
    };
    return damages;
}

TEST(PeVersionReader, EveryDamageFailsWithinFewReads) {
    for (PeKind kind : {PeKind::Pe32, PeKind::Pe32Plus}) {
        const PeImage good = WriteVersionedPe(kind, {1, 25, 5, 2});
        ASSERT_EQ(ReadVersion(good.bytes), (VersionParts{1, 25, 5, 2}));
        for (const Damage& damage : Damages()) {
            PeImage image = good;
            damage.apply(image);
            COwnedByteSource source(image.bytes);
            std::uint16_t parts[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
            EXPECT_FALSE(platform::ReadPeFileVersion(source, parts)) << damage.what;
            EXPECT_EQ(parts[0], kUntouched) << damage.what;
            EXPECT_LT(source.Reads(), 5000u) << damage.what;
        }
    }
}

// Entry counts and section counts are 16-bit; a file that maxes them out
// must not turn into a long walk.
TEST(PeVersionReader, BoundsTheWalkOverHostileCounts) {
    PeImage image = WritePe(PeKind::Pe32Plus, {Resource(10, L"", 1, L"", std::string(300000, 'e')),
                                               VersionResource({1, 2, 3, 4}, {1, 1, 1, 1})});
    // Fill the tree's start with id entries that all lead nowhere useful.
    image.Put16(image.layout.rootDirectory + 12, 0);
    image.Put16(image.layout.rootDirectory + 14, 0xFFFF);
    for (std::uint32_t i = 0; i < 0xFFFF && image.layout.rootDirectory + 16 + 8 * (i + 1) <= image.bytes.size(); ++i) {
        image.Put32(image.layout.rootDirectory + 16 + 8 * i, 15);
        image.Put32(image.layout.rootDirectory + 20 + 8 * i, 0x80000000u);
    }
    image.Put32(image.layout.resourceDirectoryEntry + 4, 0xFFFFFFFF);
    COwnedByteSource source(image.bytes);
    std::uint16_t parts[4] = {};
    EXPECT_FALSE(platform::ReadPeFileVersion(source, parts));
    EXPECT_LT(source.Reads(), 6000u);
}

TEST(PeVersionReader, RefusesFilesThatAreNotExecutables) {
    test::TempFolder folder;
    folder.WriteFile(L"text.exe", "MZ but nothing else of an executable");
    PeImage badSignature = WriteVersionedPe(PeKind::Pe32Plus, {1, 2, 3, 4});
    badSignature.Put32(badSignature.layout.fixedFileInfo, 0x12345678);
    folder.WriteFile(L"unsigned.exe", badSignature.bytes);
    PeImage cut = WriteVersionedPe(PeKind::Pe32Plus, {1, 2, 3, 4});
    cut.Truncate(cut.layout.resourceSection + 8);
    folder.WriteFile(L"cut.exe", cut.bytes);

    EXPECT_EQ(ReadVersionFromFile(folder / L"missing.exe"), std::nullopt);
    EXPECT_EQ(ReadVersionFromFile(folder / L"text.exe"), std::nullopt);
    EXPECT_EQ(ReadVersionFromFile(folder / L"unsigned.exe"), std::nullopt);
    EXPECT_EQ(ReadVersionFromFile(folder / L"cut.exe"), std::nullopt);
    EXPECT_EQ(ReadVersionFromFile(folder.Path()), std::nullopt);  // a folder
}

}  // namespace
}  // namespace gh
