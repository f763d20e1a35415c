// Names go between the system and the program's text without loss, and
// text for people never shows the stand-ins of bytes that are not text.
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "platform/Unicode.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>

#include <fstream>
#endif

namespace gh::platform {
namespace {

using test::TempFolder;

#ifndef _WIN32

const std::wstring kFf(1, static_cast<wchar_t>(0xDCFF));  // stands for the byte 0xFF of a name
const std::wstring kE9(1, static_cast<wchar_t>(0xDCE9));

TEST(NameTextTest, EveryByteStringRoundTripsAndValidTextStaysText) {
    EXPECT_EQ(SystemNameToWide("caf\xC3\xA9 \xF0\x9F\x98\x80"), L"caf\u00E9 \U0001F600");
    EXPECT_EQ(SystemNameToWide("a\xFF"
                               "b"),
              L"a" + kFf + L"b");
    // Bytes that spell a surrogate are three bad bytes, not the stand-in they
    // would look like: the decoding must not let two names meet.
    EXPECT_EQ(SystemNameToWide("\xED\xB3\xBF").size(), 3u);
    EXPECT_NE(SystemNameToWide("\xED\xB3\xBF"), SystemNameToWide("\xFF"));
    for (const std::string bytes : {"\xE2\x82", "\xC0\xAF", "\x80\x80", "\xF5\x80\x80\x80", "\xF4\x90\x80\x80",
                                    "ok\xED\xB2\x80", "\xE9t\xE9", "\xFF\xFE/\xC3"})
        EXPECT_EQ(WideToSystemName(SystemNameToWide(bytes)), bytes);
    for (unsigned first = 0; first < 256; ++first)
        for (unsigned second = 0; second < 256; ++second) {
            const std::string bytes{static_cast<char>(first), static_cast<char>(second)};
            ASSERT_EQ(WideToSystemName(SystemNameToWide(bytes)), bytes) << first << " " << second;
        }
}

TEST(NameTextTest, FilesNamedWithBytesThatAreNotTextAreFoundByTheirListedNames) {
    TempFolder dir;
    const std::string base = WideToUtf8(dir.Path());
    ASSERT_EQ(mkdir((base + "docs\xFF").c_str(), 0777), 0);
    std::ofstream(base + "docs\xFF/mod\xE9.mod") << "mod bytes";

    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(dir.Path(), L"d*", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, L"docs" + kFf);
    EXPECT_TRUE(entries[0].isFolder);
    const std::wstring folder = dir.Path() + entries[0].name;
    EXPECT_TRUE(FileExists(folder));
    EXPECT_TRUE(FileExists(dir.Path() + L"DOCS" + kFf)) << "the name matching ignores case around such bytes too";

    entries.clear();
    ASSERT_TRUE(ListFolder(folder, L"*.mod", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, L"mod" + kE9 + L".mod");
    EXPECT_EQ(ReadWholeFile(folder + L"/" + entries[0].name, 100), std::optional<std::string>("mod bytes"));
    EXPECT_EQ(ExactCasePath(dir.Path() + L"DOCS" + kFf + L"/MOD" + kE9 + L".MOD"), folder + L"/" + entries[0].name);

    // A name typed on the command line reaches the same folder.
    std::string argument = base + "docs\xFF";
    char program[] = "gatehouse", option[] = "--documents";
    char* argv[] = {program, option, argument.data(), nullptr};
    EXPECT_EQ(ProgramArguments(3, argv), (std::vector<std::wstring>{L"--documents", folder}));

    // Names made by the program are the bytes they stand for.
    EXPECT_TRUE(CreateFolders(folder + L"/sub" + kE9));
    EXPECT_TRUE(WriteFileAtomically(folder + L"/sub" + kE9 + L"/set" + kFf + L".sch", "set", 3));
    struct stat st {};
    EXPECT_EQ(stat((base + "docs\xFF/sub\xE9/set\xFF.sch").c_str(), &st), 0);
    EXPECT_TRUE(DeleteFileAt(folder + L"/sub" + kE9 + L"/set" + kFf + L".sch"));

    // Shown to people, such a byte is the replacement character.
    EXPECT_EQ(WideToUtf8(L"docs" + kFf), "docs\xEF\xBF\xBD");
    EXPECT_EQ(WideToSystemNarrow(L"docs" + kFf), "docs\xEF\xBF\xBD");
    EXPECT_EQ(DisplayText(L"docs" + kFf), L"docs\uFFFD");
    EXPECT_EQ(WideToUtf16(L"docs" + kFf), u"docs\uFFFD");
}

#endif

TEST(NameTextTest, TextForPeopleHasNoLoneSurrogates) {
    const std::wstring pair = Utf8ToWide("\xF0\x9F\x98\x80");
    EXPECT_EQ(DisplayText(L"a" + pair + L"b"), L"a" + pair + L"b");
    std::wstring lone = L"a";
    lone.push_back(static_cast<wchar_t>(0xD800));
    lone += L"b";
    lone.push_back(static_cast<wchar_t>(0xDC80));
    EXPECT_EQ(DisplayText(lone), L"a\uFFFDb\uFFFD");
    EXPECT_EQ(WideToUtf8(lone),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(WideToSystemNarrow(lone),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace gh::platform
