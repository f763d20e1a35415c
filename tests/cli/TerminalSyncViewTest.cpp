#include "RecordingConsole.h"
#include "cli/TerminalSyncView.h"
#include "cli/TerminalText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gh {
namespace {

using test::CRecordingConsole;

using ::testing::HasSubstr;
using ::testing::Not;

SyncEvent Event(SyncEventKind kind, std::string name = {}) {
    SyncEvent event;
    event.kind = kind;
    event.fileName = std::move(name);
    return event;
}

TEST(TerminalSyncViewTest, OffATerminalOnlyTheStatusTextsArePrinted) {
    CRecordingConsole console;
    CTerminalSyncView view(console, false);
    view.OnSyncEvent(Event(SyncEventKind::WaitingForList));
    view.SetProgressRange(0, 10);
    view.SetProgressPos(5);
    view.OnDownloadProgress(L"a", 1, 2);
    view.OnSyncEvent(Event(SyncEventKind::Installed, "a"));
    view.Finish();
    EXPECT_EQ(console.out, L"Waiting for response from Steam...\na - Updated! Writing to mod folder...\n");
    EXPECT_EQ(view.GetProgressUpper(), 10);
}

TEST(TerminalSyncViewTest, OnATerminalTheBarAndProgressLineAreDrawnInPlace) {
    CRecordingConsole console;
    CTerminalSyncView view(console, true);
    view.SetProgressRange(0, 4);
    view.SetProgressPos(1);
    view.OnDownloadProgress(L"f", 1, 4);
    const std::wstring drawn = console.out;
    EXPECT_THAT(drawn, HasSubstr(L"\r[#####...............]  25%  f - 1 B/4 B"));
    EXPECT_THAT(drawn, Not(HasSubstr(L"\n")));

    console.out.clear();
    view.OnSyncEvent(Event(SyncEventKind::Installed, "f"));
    // The in-place line is blanked, the status printed whole, the bar drawn again without the per-file line.
    EXPECT_EQ(console.out.find(L"\r    "), 0u);
    EXPECT_THAT(console.out, HasSubstr(L"\rf - Updated! Writing to mod folder...\n\r[#####"));
    EXPECT_THAT(console.out.substr(console.out.rfind(L'\n')), Not(HasSubstr(L"B/4 B")));

    console.out.clear();
    view.Finish();
    EXPECT_EQ(console.out.front(), L'\r');
    EXPECT_EQ(console.out.back(), L'\r');
    EXPECT_EQ(console.out.find_first_not_of(L"\r "), std::wstring::npos);
}

TEST(TerminalSyncViewTest, LongProgressLineKeepsItsSizesWithinTheWidth) {
    CRecordingConsole console;
    CTerminalSyncView view(console, true);
    view.OnDownloadProgress(std::wstring(200, L'n'), 1536, 2048);
    const std::wstring line = console.out.substr(console.out.rfind(L'\r') + 1);
    EXPECT_LE(line.size(), 79u);
    EXPECT_THAT(line, HasSubstr(L"  ...nnn"));
    EXPECT_THAT(line, ::testing::EndsWith(L"n - 1.50 KB/2.00 KB"));
}

TEST(TerminalSyncViewTest, ControlCharactersNeverReachTheTerminal) {
    CRecordingConsole console;
    CTerminalSyncView view(console, false);
    view.OnSyncEvent(Event(SyncEventKind::UpToDate, "evil\x1b]0;title\x07"));
    EXPECT_EQ(console.out, L"evil\\u001B]0;title\\u0007 - up to date\n");
}

}  // namespace
}  // namespace gh
