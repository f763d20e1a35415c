#include "launcher/OutsideText.h"
#include "launcher/WindowSyncTexts.h"
#include "workshop/WorkshopText.h"

#include "platform/Unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gh {
namespace {

// Reads EscapedText's form back: "\u" and four hexadecimal digits stand for
// one character, everything else for itself.
std::wstring Unescaped(std::wstring_view shown) {
    std::wstring text;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown.substr(i, 2) == L"\\u" && i + 6 <= shown.size()) {
            const std::wstring digits(shown.substr(i + 2, 4));
            if (digits.find_first_not_of(L"0123456789abcdefABCDEF") == std::wstring::npos) {
                text += static_cast<wchar_t>(std::stoul(digits, nullptr, 16));
                i += 5;
                continue;
            }
        }
        text += shown[i];
    }
    return text;
}

TEST(OutsideTextTest, EveryControlOverrideAndSeparatorIsOneVisibleEscape) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases{
        {L"plain name", L"plain name"},
        {L"line\nfeed", L"line\\u000Afeed"},
        {L"\x1b[2J\r\t", L"\\u001B[2J\\u000D\\u0009"},
        {L"del\x7f c1\x85\x9b", L"del\\u007F c1\\u0085\\u009B"},
        {L"\u202Eevil", L"\\u202Eevil"},
        {L"\u200E\u200F\u061C\u202A\u202B\u202C\u202D", L"\\u200E\\u200F\\u061C\\u202A\\u202B\\u202C\\u202D"},
        {L"\u2066\u2067\u2068\u2069", L"\\u2066\\u2067\\u2068\\u2069"},
        {L"a\u2028b\u2029c", L"a\\u2028b\\u2029c"},
        {L"caf\u00e9 \u4e16 \u05d0\u05d1 \u200B", L"caf\u00e9 \u4e16 \u05d0\u05d1 \u200B"},
        // A backslash is written as an escape only where it would read as one.
        {L"C:\\Users\\ucafe\\mods\\u.mod", L"C:\\Users\\u005Cucafe\\mods\\u.mod"},
        {L"\\u202E", L"\\u005Cu202E"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(EscapedText(text), shown);
        EXPECT_EQ(EscapedText(WideToUtf8(text)), shown);
        EXPECT_EQ(EscapedLength(WideToUtf8(text)), shown.size());
        EXPECT_EQ(IsolatedText(text), L"\u2068" + shown + L"\u2069");
    }
}

TEST(OutsideTextTest, EveryEscapedTextReadsBackToItsText) {
    for (const std::wstring text : {L"\\\\u0041", L"\\\n", L"\\u00", L"\\u005C", L"\\\\\\uFFFF\\", L"u0041\\\\u",
                                    L"\\u12\x0A", L"\\\u202E\\u202e"})
        EXPECT_EQ(Unescaped(EscapedText(text)), text) << WideToUtf8(EscapedText(text));
}

TEST(OutsideTextTest, DescriptionsKeepTheirLinesAndTabsButNoOverride) {
    EXPECT_EQ(EscapedLines(L"one\r\ntwo\n\tthree\rfour\u2028\u202Efive"),
              L"one\ntwo\n\tthree\\u000Dfour\\u2028\\u202Efive");
}

// The start window's status line: the Workshop name is escaped and isolated
// from the fixed words after it, also when it is cut to fit.
TEST(OutsideTextTest, TheStartWindowIsolatesWorkshopNamesFromTheirStatus) {
    SyncEvent installed{SyncEventKind::Installed, "live\x1B.mod"};
    EXPECT_EQ(WindowSyncEventText(installed), L"\u2068live\\u001B.mod\u2069 - Updated! Writing to mod folder...");
    installed.fileName = std::string(600, '\n');
    const std::wstring cut = WindowSyncEventText(installed);
    EXPECT_LE(cut.size(), kStatusTextMax);
    EXPECT_TRUE(cut.starts_with(L"\u2068\\u000A")) << WideToUtf8(cut);
    EXPECT_TRUE(cut.ends_with(L"...\u2069 - Updated! Writing to mod folder...")) << WideToUtf8(cut);
    EXPECT_EQ(WindowSyncEventText({SyncEventKind::AllUpToDate}), L"All subscriptions up to date!");
    EXPECT_EQ(WindowProgressLineText(L"a\u2067b", 1024, 2048), L"\u2068a\\u2067b\u2069 - 1.00 KB/2.00 KB");
}

}  // namespace
}  // namespace gh
