#include "cli/TerminalSyncView.h"
#include "cli/TerminalText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gh {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class RecordingConsole final : public IConsole {
public:
    void Out(std::wstring_view text) override { out += text; }
    void OutBytes(std::string_view bytes) override { out += std::wstring(bytes.begin(), bytes.end()); }
    void Err(std::wstring_view text) override { err += text; }
    bool OutputIsTerminal() const override { return false; }
    std::wstring out, err;
};

bool IsProgress(const std::wstring& text) { return text.starts_with(L"PROGRESS "); }

TEST(TerminalSyncViewTest, OffATerminalOnlyTheStatusTextsArePrinted) {
    RecordingConsole console;
    CTerminalSyncView view(console, false);
    view.SetProgressLineTest(IsProgress);
    view.SetStatusText(L"Waiting");
    view.SetProgressRange(0, 10);
    view.SetProgressPos(5);
    view.SetStatusText(L"PROGRESS a - 1 B/2 B");
    view.SetStatusText(L"a - Updated! Writing to mod folder...");
    view.Finish();
    EXPECT_EQ(console.out, L"Waiting\na - Updated! Writing to mod folder...\n");
    EXPECT_EQ(view.LastStatus(), L"a - Updated! Writing to mod folder...");
    EXPECT_EQ(view.GetProgressUpper(), 10);
}

TEST(TerminalSyncViewTest, OnATerminalTheBarAndProgressLineAreDrawnInPlace) {
    RecordingConsole console;
    CTerminalSyncView view(console, true);
    view.SetProgressLineTest(IsProgress);
    view.SetProgressRange(0, 4);
    view.SetProgressPos(1);
    view.SetStatusText(L"PROGRESS f - 1 B/4 B");
    const std::wstring drawn = console.out;
    EXPECT_THAT(drawn, HasSubstr(L"\r[#####...............]  25%  PROGRESS f - 1 B/4 B"));
    EXPECT_THAT(drawn, Not(HasSubstr(L"\n")));

    console.out.clear();
    view.SetStatusText(L"f - Updated! Writing to mod folder...");
    // The in-place line is blanked, the status printed whole, the bar drawn again without the per-file line.
    EXPECT_EQ(console.out.find(L"\r    "), 0u);
    EXPECT_THAT(console.out, HasSubstr(L"\rf - Updated! Writing to mod folder...\n\r[#####"));
    EXPECT_THAT(console.out.substr(console.out.rfind(L'\n')), Not(HasSubstr(L"PROGRESS")));

    console.out.clear();
    view.Finish();
    EXPECT_EQ(console.out.front(), L'\r');
    EXPECT_EQ(console.out.back(), L'\r');
    EXPECT_EQ(console.out.find_first_not_of(L"\r "), std::wstring::npos);
}

TEST(TerminalSyncViewTest, LongProgressLineKeepsItsSizesWithinTheWidth) {
    RecordingConsole console;
    CTerminalSyncView view(console, true);
    view.SetProgressLineTest(IsProgress);
    view.SetStatusText(L"PROGRESS " + std::wstring(200, L'n') + L" - 1.50 KB/2.00 KB");
    const std::wstring line = console.out.substr(console.out.rfind(L'\r') + 1);
    EXPECT_LE(line.size(), 79u);
    EXPECT_THAT(line, HasSubstr(L"  ...nnn"));
    EXPECT_THAT(line, ::testing::EndsWith(L"n - 1.50 KB/2.00 KB"));
}

TEST(TerminalSyncViewTest, ControlCharactersNeverReachTheTerminal) {
    EXPECT_EQ(TerminalSafe(L"a\x1b[2Jb\rc\nd\x7f\x9b"), L"a?[2Jb?c?d??");
    RecordingConsole console;
    CTerminalSyncView view(console, false);
    view.SetStatusText(L"evil\x1b]0;title\x07 - up to date");
    EXPECT_EQ(console.out, L"evil?]0;title? - up to date\n");
    EXPECT_EQ(view.LastStatus(), L"evil\x1b]0;title\x07 - up to date") << "the status itself is kept as set";
}

}  // namespace
}  // namespace gh
