#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SelectionTestFiles.h"
#include "selection/TextModeReader.h"

namespace gh::test {
namespace {

using ::testing::ElementsAre;

std::vector<std::u16string> Tokens(const std::string& bytes) {
    CTextModeReader reader(bytes);
    std::vector<std::u16string> out;
    std::u16string token;
    while (reader.ReadToken(token)) out.push_back(token);
    return out;
}

std::vector<std::u16string> Lines(const std::string& bytes) {
    CTextModeReader reader(bytes);
    std::vector<std::u16string> out;
    std::u16string line;
    while (reader.ReadLine(line)) out.push_back(line);
    return out;
}

TEST(TextModeReaderTest, DecodesUtf16WithOrWithoutItsMarkAndUtf8AfterItsMark) {
    EXPECT_EQ(DecodeTextMode(Utf16Le(u"a\u00E9\U0001F600")), u"a\u00E9\U0001F600");
    EXPECT_EQ(DecodeTextMode(Utf16Le(u"a\u00E9", false)), u"a\u00E9");
    EXPECT_EQ(DecodeTextMode("\xEF\xBB\xBF"
                             "a\xC3\xA9\xF0\x9F\x98\x80"),
              u"a\u00E9\U0001F600");
    EXPECT_EQ(DecodeTextMode("\xEF\xBB\xBF"
                             "a\xFF"),
              u"a\uFFFD");
    EXPECT_EQ(DecodeTextMode(Utf16Le(u"ab") + "c"), u"ab");  // a trailing odd byte
    EXPECT_EQ(DecodeTextMode("\xFF"), u"");
    // Only the start of a file is a mark; a UTF-16 mark later is a character.
    EXPECT_EQ(DecodeTextMode(Utf16Le(u"\uFEFFx")), u"\uFEFFx");
}

TEST(TextModeReaderTest, CrLfIsOneLineEndAndALoneCrIsKept) {
    EXPECT_EQ(DecodeTextMode(Utf16Le(u"a\r\nb\rc\r\r\nd\n\r")), u"a\nb\rc\r\nd\n\r");
    EXPECT_THAT(Lines(Utf16Le(u"one\r\ntwo\r\r\nthree")), ElementsAre(u"one", u"two\r", u"three"));
}

TEST(TextModeReaderTest, TokensAreSeparatedByTheSixWhiteSpaceCharacters) {
    EXPECT_THAT(Tokens(Utf16Le(u" a\tb\r\nc\vd\fe\rf \u00A0g ")),
                ElementsAre(u"a", u"b", u"c", u"d", u"e", u"f", u"\u00A0g"));
    EXPECT_THAT(Tokens(Utf16Le(u"\r\n \t")), ElementsAre());
}

TEST(TextModeReaderTest, LinesSkipLeadingWhiteSpaceAndBlankLinesButKeepTheRest) {
    EXPECT_THAT(Lines(Utf16Le(u"\r\n\r\n  \tfirst line \t\r\n\v\f\r\n last")), ElementsAre(u"first line \t", u"last"));
}

TEST(TextModeReaderTest, TokensAndLinesShareOnePosition) {
    CTextModeReader reader(Utf16Le(u"[MODS] rest of line\r\nnext"));
    std::u16string text;
    ASSERT_TRUE(reader.ReadToken(text));
    EXPECT_EQ(text, u"[MODS]");
    ASSERT_TRUE(reader.ReadLine(text));
    EXPECT_EQ(text, u"rest of line");
    ASSERT_TRUE(reader.ReadToken(text));
    EXPECT_EQ(text, u"next");
    EXPECT_FALSE(reader.ReadToken(text));
    EXPECT_FALSE(reader.ReadLine(text));
}

TEST(TextModeReaderTest, TokensAndLinesOfAnyLengthAreReadWhole) {
    const std::u16string longToken(300000, u'x');
    EXPECT_THAT(Tokens(Utf16Le(u"a " + longToken + u" b")), ElementsAre(u"a", longToken, u"b"));
    EXPECT_THAT(Lines(Utf16Le(longToken + u" " + longToken)), ElementsAre(longToken + u" " + longToken));
}

}  // namespace
}  // namespace gh::test
