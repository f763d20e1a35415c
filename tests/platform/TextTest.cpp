#include "platform/Text.h"
#include "platform/Unicode.h"

#include <gtest/gtest.h>

namespace gh {
namespace {

TEST(UnicodeTest, Utf8RoundTripsEveryPlane) {
    const std::wstring text = L"a\u00e9\u20ac" + Utf8ToWide("\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(WideToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(UnicodeTest, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              std::wstring(L"a\uFFFDb"));
    EXPECT_EQ(Utf8ToWide("\xE2\x82"), std::wstring(L"\uFFFD"));        // cut short
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), std::wstring(L"\uFFFD\uFFFD"));  // overlong
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), std::wstring(L"\uFFFD"));    // encoded surrogate
}

TEST(UnicodeTest, Utf16PairsJoinAndLoneSurrogatesAreReplaced) {
    const std::u16string pair = u"x\xD83D\xDE00y";
    EXPECT_EQ(WideToUtf8(Utf16ToWide(pair)), "x\xF0\x9F\x98\x80y");
    EXPECT_EQ(WideToUtf16(Utf16ToWide(pair)), pair);
    const std::u16string lone =
        u"a\xD800"
        u"b";
    const std::wstring wide = Utf16ToWide(lone);
    if (sizeof(wchar_t) == 4)
        EXPECT_EQ(wide, std::wstring(L"a\uFFFDb"));
    else
        EXPECT_EQ(wide.size(), 3u);  // UTF-16 wide text keeps the unit as stored
}

TEST(SystemTextTest, NarrowTextBecomesWideAndInvalidBytesAreReplaced) {
    EXPECT_EQ(platform::SystemNarrowToWide("mods/abc.mod"), L"mods/abc.mod");
    EXPECT_EQ(platform::SystemNarrowToWide(""), L"");
#ifndef _WIN32
    EXPECT_EQ(platform::SystemNarrowToWide("caf\xC3\xA9"), L"caf\u00e9");
    EXPECT_EQ(platform::SystemNarrowToWide("bad\xFF"), L"bad\uFFFD");
#endif
}

}  // namespace
}  // namespace gh
