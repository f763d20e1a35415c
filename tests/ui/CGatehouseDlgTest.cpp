#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/tooltip.h>

#include "GuiTest.h"
#include "launcher/ModInfoTexts.h"
#include "platform/SystemFolders.h"
#include "selection/ShareCode.h"
#include "support/CGameWorld.h"
#include "ui/CGatehouseDlg.h"
#include "ui/Clipboard.h"
#include "ui/ToolkitDifferences.h"
#include "workshop/WorkshopRecordFile.h"

namespace gh {
namespace {

using test::CGameWorld;
using ::testing::ElementsAre;
using Dlg = CGatehouseDlg;

constexpr std::int64_t kAlpha = 101;
constexpr std::int64_t kBravo = 102;
constexpr std::int64_t kCharlie = 103;
constexpr std::int64_t kDelta = 104;
constexpr std::int64_t kFirstFiller = 200;

// A path with every separator as '/', so that the program's native spelling
// and the test world's compare.
std::wstring Slashed(std::wstring path) {
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

// Mods in every status, named so that the list's order is plain: Alpha (OK),
// Bravo (other game version), Charlie (needs a missing mod), Delta (needs a
// newer Alpha), the editor's own record, and eleven usable fillers.
class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_world.AddMod({L"Alpha", kAlpha, 1});
        m_world.AddMod({L"Bravo", kBravo, 2, {}, true});
        m_world.AddMod({L"Charlie", kCharlie, 3, {{u"Ghost Pack", 999, 2}}});
        m_world.AddMod({L"Delta", kDelta, 4, {{u"Alpha Library", kAlpha, 5}}});
        m_world.AddMod({L"EDITOR", 150, 1});
        for (int i = 0; i < 11; ++i) {
            m_world.AddMod({L"Filler " + std::wstring(1, static_cast<wchar_t>(L'A' + i)), kFirstFiller + i, 1});
        }
    }

    void TearDown() override {
        m_dlg.reset();
        test::PumpFor(20);
    }

    // The manager on the test's world, or on another one.
    void Open(const CGameWorld* world = nullptr) {
        // The window before goes first: under Wine a window shown while
        // another one that had the focus is destroyed stays inactive.
        m_dlg.reset();
        m_dlg = std::make_unique<Dlg>((world ? *world : m_world).Folders());
        m_dlg->SetMessagePresenter([this](const std::wstring& text, const std::wstring& caption) {
            m_messages.push_back(text);
            m_captions.push_back(caption);
        });
        m_dlg->SetDesktopOpener([this](const std::wstring& target) {
            m_opened.push_back(target);
            return true;
        });
        test::ShowAndSettle(*m_dlg);
    }

    std::size_t RowOf(const std::wstring& name) const {
        for (std::size_t row = 0; row < m_dlg->ModList().GetCount(); ++row) {
            if (m_dlg->ModList().GetString(row) == name) {
                return row;
            }
        }
        ADD_FAILURE() << "no row " << wxString(name);
        return 0;
    }

    wxPoint BoxOf(std::size_t row) const {
        const wxRect area = m_dlg->ModList().CheckBoxArea(row);
        return test::ScreenPoint(m_dlg->ModList(), wxPoint(area.x + area.width / 2, area.y + area.height / 2));
    }

    wxPoint TextOf(std::size_t row) const {
        const wxRect rect = m_dlg->ModList().GetItemRect(row);
        return test::ScreenPoint(m_dlg->ModList(), wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
    }

    std::vector<wxString> SelectedTexts() const {
        std::vector<wxString> texts;
        for (unsigned i = 0; i < m_dlg->SelectedList().GetCount(); ++i) {
            texts.push_back(m_dlg->SelectedList().GetString(i));
        }
        return texts;
    }

    void Check(const std::wstring& name) { m_dlg->ModList().ClickCheckBox(RowOf(name)); }

    wxString Text(int id) const { return m_dlg->FieldText(id); }

    CGameWorld m_world;
    std::unique_ptr<Dlg> m_dlg;
    std::vector<std::wstring> m_messages;
    std::vector<std::wstring> m_captions;
    std::vector<std::wstring> m_opened;
};

TEST_F(ManagerTest, ListsEveryModButTheEditorInItsStatusColour) {
    Open();
    const CModCheckListBox& list = m_dlg->ModList();
    ASSERT_EQ(list.GetCount(), 15u);
    EXPECT_EQ(list.GetString(0), "Alpha");
    for (std::size_t row = 0; row < list.GetCount(); ++row) {
        EXPECT_NE(list.GetString(row), "EDITOR");
    }
    EXPECT_EQ(list.GetItem(RowOf(L"Alpha")).textColor, wxColour(0, 0, 0));
    EXPECT_EQ(list.GetItem(RowOf(L"Bravo")).textColor, wxColour(100, 70, 0));
    EXPECT_EQ(list.GetItem(RowOf(L"Charlie")).textColor, wxColour(150, 0, 0));
    EXPECT_EQ(list.GetItem(RowOf(L"Delta")).textColor, wxColour(150, 0, 0));
    EXPECT_EQ(list.GetCheck(RowOf(L"Charlie")), kIndeterminate);
    EXPECT_EQ(list.GetCheck(RowOf(L"Delta")), kIndeterminate);
    EXPECT_EQ(list.GetCheck(RowOf(L"Bravo")), kUnchecked);
    EXPECT_EQ(Text(Dlg::kIdVersionLine), "Emberwake II Version 1.25.5.2");
    EXPECT_EQ(m_dlg->GetTitle(), "Gatehouse");
}

TEST_F(ManagerTest, VersionLineKeepsItsTemplateTextWithoutAGame) {
    CGameWorld noGame(false);
    noGame.AddMod({L"Alpha", kAlpha, 1});
    Open(&noGame);
    EXPECT_EQ(Text(Dlg::kIdVersionLine), "Emberwake II Version x.x.x.x");
    EXPECT_EQ(m_dlg->ModList().GetItem(0).textColor, wxColour(100, 70, 0));
}

TEST_F(ManagerTest, HighlightingARowFillsTheInfoPane) {
    Open();
    test::ClickAt(TextOf(RowOf(L"Alpha")));
    EXPECT_EQ(Text(Dlg::kIdName), "Alpha");
    EXPECT_EQ(Text(Dlg::kIdWebsite), "https://example.org/mods");
    EXPECT_EQ(Text(Dlg::kIdDownload), "https://example.org/mods/get");
    EXPECT_EQ(Text(Dlg::kIdDescription), "About Alpha");
    EXPECT_EQ(Text(Dlg::kIdAuthor), "Author of Alpha");
    EXPECT_EQ(Text(Dlg::kIdModVersion), "1");
    EXPECT_EQ(Text(Dlg::kIdGameVersion), "1.25.5.2");
    EXPECT_EQ(Text(Dlg::kIdStatus), "OK");
    EXPECT_EQ(m_dlg->Control(Dlg::kIdStatus).GetToolTip(), nullptr);

    test::ClickAt(TextOf(RowOf(L"Charlie")));
    EXPECT_EQ(Text(Dlg::kIdStatus), "-Requires Missing Dependencies-");
    ASSERT_NE(m_dlg->Control(Dlg::kIdStatus).GetToolTip(), nullptr);
    EXPECT_EQ(m_dlg->Control(Dlg::kIdStatus).GetToolTip()->GetTip(),
              ShownText(L"Needs \u2068Ghost Pack\u2069 version 2 or later; it is not installed"));

    test::PressKey(WXK_DOWN);
    EXPECT_EQ(Text(Dlg::kIdName), "Delta");
    EXPECT_EQ(Text(Dlg::kIdStatus), "-Requires Update-");
    EXPECT_EQ(m_dlg->Control(Dlg::kIdStatus).GetToolTip()->GetTip(),
              ShownText(L"Needs \u2068Alpha Library\u2069 version 5 or later; version 1 is installed"));

    test::PressKey(WXK_UP);
    test::PressKey(WXK_UP);
    EXPECT_EQ(Text(Dlg::kIdStatus), "Compiled for outdated Game Ver.");
}

TEST_F(ManagerTest, StatusTipNamesTheFilesARowHides) {
    CGameWorld::Mod copy{L"Alpha, an old copy", kAlpha, 0};
    copy.file = L"old/Alpha.mod";
    m_world.AddMod(copy);
    copy.file = L"older/Alpha.mod";
    m_world.AddMod(copy);
    Open();
    test::ClickAt(TextOf(RowOf(L"Alpha")));
    EXPECT_EQ(Text(Dlg::kIdStatus), "OK");
    ASSERT_NE(m_dlg->Control(Dlg::kIdStatus).GetToolTip(), nullptr);
    const wxString tip = m_dlg->Control(Dlg::kIdStatus).GetToolTip()->GetTip();
    const wxArrayString lines = wxSplit(tip, '\n', '\0');
    ASSERT_EQ(lines.size(), 2u) << tip;
    // Each file is named as the system spells it, so it can be found.
    const wxString separator(platform::NativeSeparator());
    for (const wxString& line : lines) {
        EXPECT_TRUE(line.StartsWith("Hides ")) << line;
        EXPECT_TRUE(line.EndsWith(separator + ShownText(L"Alpha.mod\u2069 (version 0): it has the same identity")))
            << line;
    }
    EXPECT_NE(tip.Find(separator + "old" + separator + "Alpha.mod"), wxNOT_FOUND);
    EXPECT_NE(tip.Find(separator + "older" + separator + "Alpha.mod"), wxNOT_FOUND);
    // A row that hides nothing has no tip.
    test::ClickAt(TextOf(RowOf(L"Filler A")));
    EXPECT_EQ(m_dlg->Control(Dlg::kIdStatus).GetToolTip(), nullptr);
}

// A name cannot break its row or turn round what follows it, and a mod that
// needs hundreds of others has a tooltip that fits the screen.
TEST_F(ManagerTest, OutsideTextsShowTheirControlsAndTheTipListsAtMostTwentyProblems) {
    CGameWorld::Mod hostile{L"Aaa evil\u202E\nlive", 400, 1};
    hostile.file = L"hostile.mod";
    for (std::int64_t guid = 1000; guid < 1500; ++guid) hostile.requirements.push_back({u"Gone", guid, 1});
    m_world.AddMod(hostile);
    Open();
    const std::wstring shown = L"Aaa evil\\u202E\\u000Alive";
    m_dlg->ModList().SetSelection(static_cast<int>(RowOf(shown)));
    m_dlg->OnLbnSelchangeModList();
    EXPECT_EQ(Text(Dlg::kIdName), shown);
    EXPECT_EQ(Text(Dlg::kIdDescription), L"About Aaa evil\\u202E\nlive");
    ASSERT_NE(m_dlg->Control(Dlg::kIdStatus).GetToolTip(), nullptr);
    const wxArrayString lines = wxSplit(m_dlg->Control(Dlg::kIdStatus).GetToolTip()->GetTip(), '\n', '\0');
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines.back(), "and 480 more");
}

TEST_F(ManagerTest, LinksShowTheirAddressAsPlainText) {
    m_world.AddMod({L"Aaa Markup", 300, 1, {}, false, L"https://example.org/?a=1&b=<b>2</b>", L"file:///etc/passwd"});
    Open();
    m_dlg->ModList().SetSelection(static_cast<int>(RowOf(L"Aaa Markup")));
    m_dlg->OnLbnSelchangeModList();
    EXPECT_EQ(m_dlg->Control(Dlg::kIdWebsite).GetLabel(), "https://example.org/?a=1&b=<b>2</b>");
    EXPECT_EQ(m_dlg->Control(Dlg::kIdDownload).GetLabel(), "file:///etc/passwd");
}

TEST_F(ManagerTest, LinksShowTheHighlightedModsAddressesOnScreen) {
    m_world.AddMod({L"Aaa Other", 300, 1, {}, false, L"https://example.net/x", L"https://example.net/x/get"});
    Open();
    for (const int id : {Dlg::kIdWebsite, Dlg::kIdDownload}) {
        SCOPED_TRACE(id);
        wxWindow& link = m_dlg->Control(id);
        m_dlg->ModList().SetFocus();
        EXPECT_TRUE(test::IsOneColour(test::ScreenPixels(link))) << "a link shows before a mod is highlighted";
        test::ClickAt(TextOf(RowOf(L"Alpha")));
        const wxImage alpha = test::ScreenPixels(link);
        EXPECT_FALSE(test::IsOneColour(alpha));
        test::ClickAt(TextOf(RowOf(L"Aaa Other")));
        EXPECT_FALSE(test::SamePixels(alpha, test::ScreenPixels(link)));
        EXPECT_EQ(link.GetLabel(), Text(id));
        EXPECT_GE(link.GetBestSize().x, link.GetTextExtent(link.GetLabel()).x);
        // Back to a fresh window for the other link.
        Open();
    }
}

TEST_F(ManagerTest, LinksOpenOnlyWebAddresses) {
    Open();
    test::ClickAt(TextOf(RowOf(L"Alpha")));
    test::ClickAt(test::ScreenPoint(m_dlg->Control(Dlg::kIdWebsite), wxPoint(10, 4)));
    EXPECT_THAT(m_opened, ElementsAre(L"https://example.org/mods"));
    EXPECT_FALSE(m_dlg->OnNMClickLink(L"file:///etc/passwd"));
    EXPECT_FALSE(m_dlg->OnNMClickLink(L"C:\\Windows\\notepad.exe"));
    EXPECT_FALSE(m_dlg->OnNMClickLink(L"javascript:alert(1)"));
    EXPECT_TRUE(m_dlg->OnNMClickLink(L"HTTP://example.org/x"));
    EXPECT_THAT(m_opened, ElementsAre(L"https://example.org/mods", L"HTTP://example.org/x"));
}

TEST_F(ManagerTest, FolderButtonsOpenTheModsAndSavesFolders) {
    Open();
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdOpenMods)));
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdOpenSaves)));
    // One argument each, spaces and all.
    ASSERT_EQ(m_opened.size(), 2u);
    EXPECT_EQ(Slashed(m_opened[0]), Slashed(m_world.UserGameFolder() + L"mods/"));
    EXPECT_EQ(Slashed(m_opened[1]), Slashed(m_world.UserGameFolder() + L"modsave/"));
}

TEST_F(ManagerTest, CheckingShowsTheCountAndTheEleventhIsRefused) {
    Open();
    test::ClickAt(BoxOf(RowOf(L"Alpha")));
    EXPECT_EQ(Text(Dlg::kIdName), "1 mods selected!");
    EXPECT_THAT(SelectedTexts(), ElementsAre("Alpha"));
    EXPECT_EQ(m_dlg->SelectedList().GetSelection(), 0);
    test::ClickAt(BoxOf(RowOf(L"Bravo")));  // another game version, still usable
    for (int i = 0; i < 8; ++i) {
        Check(L"Filler " + std::wstring(1, static_cast<wchar_t>(L'A' + i)));
    }
    EXPECT_EQ(Text(Dlg::kIdName), "10 mods selected!");
    EXPECT_EQ(m_dlg->SelectedList().GetSelection(), 9) << "the new entry is highlighted";
    EXPECT_TRUE(m_messages.empty());

    test::ClickAt(BoxOf(RowOf(L"Filler I")));
    EXPECT_THAT(m_messages, ElementsAre(L"10 mod maximum limit reached!"));
    EXPECT_THAT(m_captions, ElementsAre(ApplicationName()));
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Filler I")), kUnchecked);
    EXPECT_EQ(m_dlg->SelectedList().GetCount(), 10u);
}

TEST_F(ManagerTest, BlockedModsStayIndeterminateAndUnselectedAndSayWhy) {
    Open();
    EXPECT_FALSE(m_dlg->NoticeLine().IsShown());
    const wxRect fullList = m_dlg->SelectedList().GetRect();
    test::ClickAt(BoxOf(RowOf(L"Charlie")));
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Charlie")), kIndeterminate);
    EXPECT_EQ(m_dlg->SelectedList().GetCount(), 0u);
    EXPECT_TRUE(m_messages.empty()) << "a notice, not a dialog";
    // The reason is in view, above the order list, which makes room for it.
    ASSERT_TRUE(m_dlg->NoticeLine().IsShown());
    const wxString notice = m_dlg->NoticeLine().Line();
    EXPECT_NE(notice.Find("Charlie"), wxNOT_FOUND) << notice;
    EXPECT_NE(notice.Find("Ghost Pack"), wxNOT_FOUND) << notice;
    EXPECT_FALSE(m_dlg->SelectedList().GetRect().Intersects(m_dlg->NoticeLine().GetRect()));
    EXPECT_EQ(m_dlg->SelectedList().GetRect().GetBottom(), fullList.GetBottom());

    test::PressKey(WXK_SPACE);
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Charlie")), kIndeterminate);
    EXPECT_EQ(m_dlg->SelectedList().GetCount(), 0u);
    test::ClickAt(TextOf(RowOf(L"Delta")));
    EXPECT_NE(m_dlg->NoticeLine().Line().find(L"version 1 is installed"), std::wstring::npos)
        << m_dlg->NoticeLine().Line();
    // A usable row takes the reason away, and the list its place back.
    test::ClickAt(TextOf(RowOf(L"Alpha")));
    EXPECT_FALSE(m_dlg->NoticeLine().IsShown());
    EXPECT_EQ(m_dlg->SelectedList().GetRect(), fullList);
}

TEST_F(ManagerTest, OverLimitAfterARestartListUntilTwoAreCleared) {
    std::vector<std::int64_t> twelve = {kAlpha, kBravo};
    for (int i = 0; i < 10; ++i) {
        twelve.push_back(kFirstFiller + i);
    }
    m_world.WriteUserFile(L"restart.txt", test::RestartListBytes(twelve));
    Open();
    EXPECT_EQ(m_dlg->StartSource(), StartSelectionSource::RestartList);
    EXPECT_EQ(m_dlg->SelectedList().GetCount(), 12u);
    EXPECT_FALSE(m_dlg->PlayButton().IsEnabled());
    EXPECT_FALSE(m_dlg->Control(Dlg::kIdSaveSet).IsEnabled());

    ASSERT_FALSE(m_dlg->PlayButton().IsEnabled());
    ASSERT_TRUE(test::WaitUntil([&] { return wxWindow::FindFocus() == &m_dlg->ModList(); }));
    test::PressKey(WXK_RETURN);
    ASSERT_TRUE(m_dlg->IsShown()) << "Enter does not play while play is disabled";

    test::ClickAt(BoxOf(RowOf(L"Alpha")));
    EXPECT_THAT(m_messages,
                ElementsAre(L"You now have 11 mods selected.\n\nPlease remove 1 mod before launching Emberwake 2."));
    EXPECT_FALSE(m_dlg->PlayButton().IsEnabled());
    test::ClickAt(BoxOf(RowOf(L"Bravo")));
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_dlg->PlayButton().IsEnabled());
    EXPECT_TRUE(m_dlg->Control(Dlg::kIdSaveSet).IsEnabled());
    EXPECT_EQ(Text(Dlg::kIdName), "10 mods selected!");
}

TEST_F(ManagerTest, StartsWithTheLastLaunchedSelection) {
    m_world.WriteUserFile(L"gatehouse.sch", test::SelectionFileBytes({kBravo, kCharlie, kAlpha}));
    Open();
    EXPECT_THAT(SelectedTexts(), ElementsAre("Bravo", "Alpha"));
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Alpha")), kChecked);
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Charlie")), kIndeterminate);
}

TEST_F(ManagerTest, MoveAndRemoveKeepTheHighlightedEntry) {
    m_world.WriteUserFile(L"gatehouse.sch", test::SelectionFileBytes({kAlpha, kBravo, kFirstFiller}));
    Open();
    wxListBox& selected = m_dlg->SelectedList();
    test::ClickAt(test::ScreenPoint(selected, wxPoint(20, selected.GetCharHeight() * 3 / 2 + 4)));
    ASSERT_EQ(selected.GetSelection(), 1);
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdMoveUp)));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Bravo", "Alpha", "Filler A"));
    EXPECT_EQ(selected.GetSelection(), 0);
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdMoveUp)));  // at the top: nothing
    EXPECT_THAT(SelectedTexts(), ElementsAre("Bravo", "Alpha", "Filler A"));

    selected.SetFocus();
    test::WaitUntil([&] { return wxWindow::FindFocus() == &selected; });
    test::PressKey(WXK_DOWN, wxMOD_CONTROL);
    EXPECT_THAT(SelectedTexts(), ElementsAre("Alpha", "Bravo", "Filler A"));
    EXPECT_EQ(selected.GetSelection(), 1);
    test::PressKey(WXK_DOWN, wxMOD_CONTROL);
    EXPECT_THAT(SelectedTexts(), ElementsAre("Alpha", "Filler A", "Bravo"));
    EXPECT_EQ(selected.GetSelection(), 2);

    // Removing the last entry highlights the new last one and clears the check.
    test::PressKey(WXK_DELETE);
    EXPECT_THAT(SelectedTexts(), ElementsAre("Alpha", "Filler A"));
    EXPECT_EQ(selected.GetSelection(), 1);
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Bravo")), kUnchecked);
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdRemove)));
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdRemove)));
    EXPECT_TRUE(SelectedTexts().empty());
    EXPECT_EQ(selected.GetSelection(), wxNOT_FOUND);
}

// The middle of a row of the selected-order list, found through the list's
// own hit test, in screen coordinates.
wxPoint SelectedRowPoint(const wxListBox& list, int row) {
    int top = -1, bottom = -1;
    for (int y = 0; y < list.GetClientSize().y; ++y) {
        if (list.HitTest(wxPoint(20, y)) == row) {
            if (top < 0) top = y;
            bottom = y;
        }
    }
    EXPECT_GE(top, 0) << "row " << row << " is not shown";
    return test::ScreenPoint(list, wxPoint(20, (top + bottom) / 2));
}

void Drag(const wxPoint& from, const wxPoint& to) {
    test::MoveMouseTo(from);
    test::MouseDownAt(from);
    // In steps, as a hand moves, past the drag distance.
    for (int step = 1; step <= 4; ++step) {
        test::MoveMouseTo(from + wxPoint((to.x - from.x) * step / 4, (to.y - from.y) * step / 4));
    }
    test::MouseUpAt(to);
    test::PumpFor(50);
}

TEST_F(ManagerTest, DraggingAnEntryMovesItByTheRulesOfTheMoveButtons) {
    m_world.WriteUserFile(L"gatehouse.sch", test::SelectionFileBytes({kAlpha, kBravo, kFirstFiller, kFirstFiller + 1}));
    Open();
    wxListBox& selected = m_dlg->SelectedList();
    ASSERT_THAT(SelectedTexts(), ElementsAre("Alpha", "Bravo", "Filler A", "Filler B"));
    const bool playable = m_dlg->PlayButton().IsEnabled();

    Drag(SelectedRowPoint(selected, 0), SelectedRowPoint(selected, 2));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Bravo", "Filler A", "Alpha", "Filler B"));
    EXPECT_EQ(selected.GetSelection(), 2);

    Drag(SelectedRowPoint(selected, 3), SelectedRowPoint(selected, 0));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Filler B", "Bravo", "Filler A", "Alpha"));
    EXPECT_EQ(selected.GetSelection(), 0);

    // Below the rows is the end of the list.
    const wxPoint belowRows = test::ScreenPoint(selected, wxPoint(20, selected.GetClientSize().y - 4));
    ASSERT_EQ(selected.HitTest(selected.ScreenToClient(belowRows)), wxNOT_FOUND);
    Drag(SelectedRowPoint(selected, 1), belowRows);
    EXPECT_THAT(SelectedTexts(), ElementsAre("Filler B", "Filler A", "Alpha", "Bravo"));
    EXPECT_EQ(selected.GetSelection(), 3);

    // A click only highlights; a drop outside the list changes nothing.
    test::ClickAt(SelectedRowPoint(selected, 2));
    EXPECT_EQ(selected.GetSelection(), 2);
    Drag(SelectedRowPoint(selected, 0), test::CentreOf(m_dlg->Control(Dlg::kIdName)));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Filler B", "Filler A", "Alpha", "Bravo"));

    // The check list and the play button are as the selection leaves them.
    for (const wchar_t* name : {L"Alpha", L"Filler A", L"Filler B"}) {
        EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(name)), kChecked) << wxString(name);
    }
    EXPECT_EQ(m_dlg->PlayButton().IsEnabled(), playable);
    const std::vector<std::uint32_t>& order = m_dlg->Rules().Selection();
    ASSERT_EQ(order.size(), 4u);
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(m_dlg->ModList().GetString(order[i]), SelectedTexts()[i]);
    }
}

TEST_F(ManagerTest, SavesAndLoadsSetsThroughTheFileDialog) {
    Open();
    std::vector<Dlg::FileRequest> requests;
    std::wstring answer = m_world.UserGameFolder() + L"My Set.sch";
    m_dlg->SetFileChooser([&](const Dlg::FileRequest& request) {
        requests.push_back(request);
        return answer;
    });
    Check(L"Bravo");
    Check(L"Alpha");
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdSaveSet)));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(Slashed(requests[0].folder), Slashed(m_world.UserGameFolder()));
    EXPECT_EQ(requests[0].wildcard, L"SCH files (*.sch)|*.sch|All Files (*.*)|*.*");
    EXPECT_EQ(m_world.ReadUserFile(L"My Set.sch"), test::SelectionFileBytes({kBravo, kAlpha}));

    Check(L"Bravo");  // cleared
    EXPECT_THAT(SelectedTexts(), ElementsAre("Alpha"));
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdLoadSet)));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].save);
    EXPECT_THAT(SelectedTexts(), ElementsAre("Bravo", "Alpha"));
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Bravo")), kChecked);

    // Cancelling the dialog changes nothing.
    answer.clear();
    Check(L"Alpha");
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdLoadSet)));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Bravo"));
}

TEST_F(ManagerTest, SetsKeepTheirExtensionAndReplacingOneIsAskedFirst) {
    Open();
    std::wstring answer = m_world.UserGameFolder() + L"My Ten";
    m_dlg->SetFileChooser([&](const Dlg::FileRequest&) { return answer; });
    std::vector<std::wstring> questions;
    bool replace = false;
    m_dlg->SetQuestionAsker([&](const std::wstring& text) {
        questions.push_back(text);
        return replace;
    });
    Check(L"Alpha");
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdSaveSet)));
    EXPECT_EQ(m_world.ReadUserFile(L"My Ten.sch"), test::SelectionFileBytes({kAlpha}));
    EXPECT_FALSE(m_world.UserFileExists(L"My Ten"));
    EXPECT_TRUE(questions.empty());

    // The name typed again: the set it becomes exists, so the player is asked.
    Check(L"Filler A");
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdSaveSet)));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(m_world.ReadUserFile(L"My Ten.sch"), test::SelectionFileBytes({kAlpha}));
    replace = true;
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdSaveSet)));
    EXPECT_EQ(m_world.ReadUserFile(L"My Ten.sch"), test::SelectionFileBytes({kAlpha, kFirstFiller}));
}

TEST_F(ManagerTest, LoadingASetSaysWhichOfItsModsWereLeftOutAndWhy) {
    m_world.WriteUserFile(L"Favourites.sch", test::SelectionFileBytes({kAlpha, kDelta, 777, kFirstFiller}));
    Open();
    m_dlg->SetFileChooser([&](const Dlg::FileRequest&) { return m_world.UserGameFolder() + L"Favourites.sch"; });
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdLoadSet)));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Alpha", "Filler A"));
    const wxString notice = m_dlg->NoticeLine().Line();
    EXPECT_NE(notice.Find("Favourites"), wxNOT_FOUND) << notice;
    EXPECT_NE(notice.Find("2 of 4 mods"), wxNOT_FOUND) << notice;
    EXPECT_NE(notice.Find("Delta"), wxNOT_FOUND) << notice;
    // Each one left out is named with its reason where the line has no room.
    const wxString details = m_dlg->NoticeLine().TipText();
    EXPECT_NE(details.Find(ShownText(L"it needs \u2068Alpha\u2069 5")), wxNOT_FOUND) << details;
    EXPECT_NE(details.Find("mod 777 was left out: it is not installed"), wxNOT_FOUND) << details;
}

// Harbor needs Core and Tools, Tools needs Core, Sketch needs the editor's
// record, which has no row; Ring A and Ring B need each other.
class RequirementsTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        m_world.AddMod({L"Harbor", 500, 1, {{u"Core", 501, 1}, {u"Tools", 502, 1}}});
        m_world.AddMod({L"Core", 501, 1});
        m_world.AddMod({L"Tools", 502, 1, {{u"Core", 501, 1}}});
        m_world.AddMod({L"Sketch", 503, 1, {{u"Editor", 150, 1}}});
        m_world.AddMod({L"Ring A", 504, 1, {{u"Ring B", 505, 1}}});
        m_world.AddMod({L"Ring B", 505, 1, {{u"Ring A", 504, 1}}});
    }

    CNoticeLine& Notice() { return m_dlg->NoticeLine(); }
    bool Has(const wchar_t* part) { return Notice().IsShown() && Notice().Line().find(part) != std::wstring::npos; }
};

TEST_F(RequirementsTest, AddThemFromTheKeyboardAddsWhatIsMissingAheadOfWhatNeedsIt) {
    Open();
    Check(L"Filler A");
    Check(L"Harbor");
    EXPECT_TRUE(Has(L"\u2068Harbor\u2069 needs \u2068Core\u2069 and \u2068Tools\u2069.")) << Notice().Line();
    ASSERT_TRUE(Notice().ShowsAction());
    EXPECT_TRUE(m_messages.empty()) << "a notice, not a dialog";
    EXPECT_FALSE(m_dlg->SelectedList().GetRect().Intersects(Notice().GetRect()));

    m_dlg->SelectedList().SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return wxWindow::FindFocus() == &m_dlg->SelectedList(); }));
    test::PressKey(WXK_TAB);
    ASSERT_EQ(wxWindow::FindFocus(), Notice().ActionButton());
    test::PressKey(WXK_RETURN);
    ASSERT_TRUE(m_dlg->IsShown()) << "Enter pressed the button, not play";
    EXPECT_THAT(SelectedTexts(), ElementsAre("Filler A", "Core", "Tools", "Harbor"));
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Tools")), kChecked);
    EXPECT_EQ(Text(Dlg::kIdName), "4 mods selected!");
    EXPECT_FALSE(Notice().IsShown()) << "nothing is missing";

    // A requirement without a row cannot be added, and is named as such.
    Check(L"Sketch");
    EXPECT_TRUE(Has(L"\u2068Sketch\u2069 needs \u2068Editor\u2069 (not installed).")) << Notice().Line();
    EXPECT_FALSE(Notice().ShowsAction());
}

TEST_F(RequirementsTest, AddThemPastTheLimitAddsNothingAndSaysHowManyPlacesAreMissing) {
    Open();
    for (int i = 0; i < 9; ++i) Check(L"Filler " + std::wstring(1, static_cast<wchar_t>(L'A' + i)));
    Check(L"Harbor");
    ASSERT_EQ(SelectedTexts().size(), 10u);
    test::ClickAt(test::CentreOf(*Notice().ActionButton()));
    EXPECT_EQ(SelectedTexts().size(), 10u);
    EXPECT_TRUE(Has(L"Nothing was added: 2 places are missing")) << Notice().Line();
    EXPECT_TRUE(m_messages.empty());

    // Room made, the same button adds them.
    Check(L"Filler A");
    Check(L"Filler B");
    EXPECT_FALSE(Has(L"places are missing")) << Notice().Line();
    test::ClickAt(test::CentreOf(*Notice().ActionButton()));
    EXPECT_EQ(SelectedTexts().size(), 10u);
    EXPECT_EQ(SelectedTexts()[7], "Core");
    EXPECT_TRUE(m_dlg->PlayButton().IsEnabled());
}

TEST_F(RequirementsTest, EntriesBeforeWhatTheyNeedAreMarkedAndSortPutsThemAfterIt) {
    Open();
    for (const wchar_t* name : {L"Ring B", L"Tools", L"Ring A", L"Core"}) Check(name);
    const std::vector<wxString> marked = SelectedTexts();
    ASSERT_EQ(marked.size(), 4u);
    for (const wxString& text : marked) EXPECT_NE(text, text.AfterFirst(' ')) << "every entry has a mark: " << text;
    EXPECT_NE(marked[0].BeforeFirst(' '), marked[1].BeforeFirst(' ')) << "a ring's mark is its own";
    EXPECT_EQ(marked[1].AfterLast(' '), "Tools");

    wxListBox& list = m_dlg->SelectedList();
    test::PumpFor(300);  // the list settles in the place the notice gave back
    test::MoveMouseTo(SelectedRowPoint(list, 1));
    ASSERT_TRUE(test::WaitUntil([&] { return list.GetToolTip() != nullptr; }));
    EXPECT_EQ(list.GetToolTip()->GetTip(), ShownText(L"loads before \u2068Core\u2069, which it needs"));

    test::ClickAt(SelectedRowPoint(list, 1));
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdSort)));
    // The earliest entry whose needs are placed goes first; a ring is one
    // unit that keeps its order and its mark.
    const std::vector<wxString> sorted = SelectedTexts();
    ASSERT_EQ(sorted.size(), 4u);
    EXPECT_EQ(sorted[0], marked[0]);
    EXPECT_EQ(sorted[1], marked[2]);
    EXPECT_THAT(std::vector<wxString>(sorted.begin() + 2, sorted.end()), ElementsAre("Core", "Tools"));
    EXPECT_EQ(list.GetSelection(), 3) << "the highlighted entry moved with its mod";
    // Sorted once, a second Sort changes nothing.
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdSort)));
    EXPECT_EQ(SelectedTexts(), sorted);
}

// The identities of the share code on the clipboard; empty when it holds
// none that reads.
std::vector<std::int64_t> ClipboardCode() {
    std::vector<std::int64_t> guids;
    const std::optional<wxString> text = ClipboardText();
    if (!text) {
        return guids;
    }
    const Result<std::vector<SharedEntry>> entries = DecodeShareCode(text->ToStdWstring());
    for (const SharedEntry& entry : entries ? *entries : std::vector<SharedEntry>{}) {
        guids.push_back(entry.guid);
    }
    return guids;
}

TEST_F(ManagerTest, ShareCodesGoThroughTheClipboardAndADamagedOneChangesNothing) {
    m_world.WriteUserFile(L"gatehouse.sch", test::SelectionFileBytes({kAlpha, kBravo, kFirstFiller}));
    Open();
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdCopyCode)));
    EXPECT_THAT(ClipboardCode(), ElementsAre(kAlpha, kBravo, kFirstFiller));

    // Ctrl+V in the order list brings the copied order back.
    Check(L"Filler B");
    Check(L"Alpha");
    wxListBox& selected = m_dlg->SelectedList();
    selected.SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return wxWindow::FindFocus() == &selected; }));
    test::PressKey('V', wxMOD_CONTROL);
    EXPECT_THAT(SelectedTexts(), ElementsAre("Alpha", "Bravo", "Filler A"));
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Filler B")), kUnchecked);

    // Another player's code: a mod that is not installed is named and
    // skipped, and an Alpha newer than this one is named as outdated.
    const std::string code =
        EncodeShareCode({{kFirstFiller + 1, 1, "Filler B"}, {999, 1, "Ghost Pack"}, {kAlpha, 5, "Alpha"}}).Value();
    ASSERT_TRUE(CopyToClipboard(wxString::FromUTF8(code)));
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdPasteCode)));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Filler B", "Alpha"));
    const wxString notice = m_dlg->NoticeLine().Line();
    for (const char* named : {"Ghost Pack", "999", "Alpha", "5"}) {
        EXPECT_NE(notice.Find(named), wxNOT_FOUND) << named << " in " << notice;
    }

    // A damaged code says so and changes nothing.
    ASSERT_TRUE(CopyToClipboard(wxString::FromUTF8(code.substr(0, code.size() - 2))));
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdPasteCode)));
    EXPECT_THAT(SelectedTexts(), ElementsAre("Filler B", "Alpha"));
    EXPECT_NE(m_dlg->NoticeLine().Line(), notice);
    EXPECT_EQ(m_dlg->ModList().GetCheck(RowOf(L"Filler B")), kChecked);

    // Ctrl+C copies the order as it stands.
    selected.SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return wxWindow::FindFocus() == &selected; }));
    test::PressKey('C', wxMOD_CONTROL);
    EXPECT_THAT(ClipboardCode(), ElementsAre(kFirstFiller + 1, kAlpha));
}

TEST_F(ManagerTest, TheListForABugReportGoesToTheClipboardWithoutFullPaths) {
    m_world.AddMod({L"Echo", 105, 1, {}, false, L"https://example.org", L"https://example.org", L"Sub/Echo.mod"});
    m_world.WriteUserFile(L"gatehouse.sch", test::SelectionFileBytes({kAlpha, 105}));
    Open();
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdCopyReport)));
    const wxString report = ClipboardText().value_or(wxString());
    EXPECT_NE(report.Find("mods/Sub/Echo.mod"), wxNOT_FOUND) << report;
    EXPECT_NE(report.Find("Ghost Pack"), wxNOT_FOUND) << report;  // what Charlie lacks
    std::wstring root = m_world.Root().Path();
    root.pop_back();
    EXPECT_EQ(report.Find(wxString(root.substr(root.find_last_of(L"/\\") + 1))), wxNOT_FOUND) << report;
    EXPECT_EQ(report.Find("held"), wxNOT_FOUND);

    // With the Workshop's record of the last start, the list names the
    // selected mods it holds.
    m_dlg->SetWorkshopChanges({{105, true, false}, {kFirstFiller, true, true}});
    test::ClickAt(test::CentreOf(m_dlg->Control(Dlg::kIdCopyReport)));
    const wxString withRecord = ClipboardText().value_or(wxString());
    EXPECT_NE(withRecord.Find("Echo (identity 105): held"), wxNOT_FOUND) << withRecord;
    EXPECT_EQ(withRecord.Find("identity 200"), wxNOT_FOUND) << "Filler A is not selected";
}

// Alpha came from the Workshop as subscription 11 and has an earlier
// version 3 kept; Bravo's subscription is gone; the rest are the player's own.
TEST_F(ManagerTest, WorkshopRowsAreHeldReleasedAndRestoredFromTheirContextMenu) {
    CGameWorld older;
    older.AddMod({L"Alpha", kAlpha, 3});
    m_world.WriteUserFile(L"Gatehouse/history/11/1/mods/Alpha.mod", older.ReadUserFile(L"mods/Alpha.mod"));
    WorkshopRecord record;
    RecordedSubscription& alpha = record.subscriptions[11];
    alpha.id = 11;
    alpha.files = {{"mods/Alpha.mod", m_world.ReadUserFile(L"mods/Alpha.mod").size(), 0}};
    alpha.mods = {{"mods/Alpha.mod", kAlpha, 1}};
    alpha.history = {{1, 1793620800, 0, {{"mods/Alpha.mod", 0, 0}}, {{"mods/Alpha.mod", kAlpha, 3}}}};
    RecordedSubscription& bravo = record.subscriptions[12];
    bravo.id = 12;
    bravo.subscribed = false;
    bravo.files = {{"mods/Bravo.mod", 0, 0}};
    CWorkshopRecordFile file(m_world.UserGameFolder());
    ASSERT_TRUE(file.Lock());
    ASSERT_TRUE(file.Save(record));
    file.Unlock();
    m_world.WriteUserFile(L"gatehouse.sch", test::SelectionFileBytes({kAlpha}));
    Open();
    std::vector<std::vector<std::wstring>> menus;
    std::optional<std::size_t> answer;
    m_dlg->SetMenuPresenter([&](const std::vector<Dlg::MenuEntry>& entries, const wxPoint&) {
        std::vector<std::wstring> texts;
        for (const Dlg::MenuEntry& entry : entries) texts.push_back((entry.enabled ? L"" : L"(off) ") + entry.text);
        menus.push_back(texts);
        return answer;
    });
    CModCheckListBox& list = m_dlg->ModList();
    const std::size_t alphaRow = RowOf(L"Alpha");
    const auto rowPoint = [&](std::size_t row) {
        const wxRect rect = list.GetItemRect(row);
        return test::ScreenPoint(list, wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
    };

    // A right click holds the row under the pointer.
    answer = 0;
    test::RightClickAt(rowPoint(alphaRow));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_THAT(menus.back(),
                ElementsAre(L"Hold at the installed version", L"Restore version 1 (installed 2026-11-02)"));
    EXPECT_TRUE(file.Peek().subscriptions.at(11).held);
    EXPECT_TRUE(list.GetItem(alphaRow).held);
    EXPECT_NE(m_dlg->NoticeLine().ShownText().Find("Held"), wxNOT_FOUND);

    // The menu key offers the release, and restores version 1: the files,
    // the info pane and the record agree, and the selection stays.
    answer = 1;
    list.SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return list.HasFocus(); }));
    test::PressKey(WXK_MENU);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus.back().front(), L"Release: let the Workshop sync update it");
    EXPECT_EQ(m_world.ReadUserFile(L"mods/Alpha.mod"), older.ReadUserFile(L"mods/Alpha.mod"));
    const WorkshopRecord restored = file.Peek();
    EXPECT_TRUE(restored.subscriptions.at(11).held);
    ASSERT_EQ(restored.subscriptions.at(11).history.size(), 1u);
    EXPECT_EQ(restored.subscriptions.at(11).history[0].mods[0].version, 1u) << "the replaced version is kept";
    EXPECT_EQ(m_dlg->FieldText(Dlg::kIdModVersion), "3");
    EXPECT_EQ(m_dlg->Rules().Selection().size(), 1u);
    EXPECT_TRUE(list.GetItem(RowOf(L"Alpha")).held);

    // Shift+F10 on a mod of the player's own: nothing to choose.
    answer.reset();
    list.SetSelection(static_cast<int>(RowOf(L"Filler A")));
    test::PressKey(WXK_F10, wxMOD_SHIFT);
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_THAT(menus.back(), ElementsAre(::testing::StartsWith(L"(off) ")));

    // A gone subscription says so under the pointer.
    test::MoveMouseTo(rowPoint(RowOf(L"Bravo")));
    test::MoveMouseTo(rowPoint(RowOf(L"Bravo")) + wxPoint(2, 1));
    ASSERT_TRUE(test::WaitUntil([&] { return list.GetToolTip() != nullptr; }));
    EXPECT_NE(list.GetToolTipText().Find("No longer subscribed"), wxNOT_FOUND);
}

TEST_F(ManagerTest, PlayButtonAndEnterEndWithOkEscapeCancels) {
    Open();
    test::ClickAt(test::CentreOf(m_dlg->PlayButton()));
    EXPECT_EQ(m_dlg->GetReturnCode(), wxID_OK);

    // The mod list has the focus from the start.
    Open();
    ASSERT_TRUE(test::WaitUntil([&] { return wxWindow::FindFocus() == &m_dlg->ModList(); }));
    test::PressKey(WXK_RETURN);
    EXPECT_EQ(m_dlg->GetReturnCode(), wxID_OK);

    // A focused push button takes Enter itself.
    Open();
    std::vector<Dlg::FileRequest> requests;
    m_dlg->SetFileChooser([&](const Dlg::FileRequest& request) {
        requests.push_back(request);
        return std::wstring();
    });
    m_dlg->Control(Dlg::kIdLoadSet).SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return wxWindow::FindFocus() == &m_dlg->Control(Dlg::kIdLoadSet); }));
    test::PressKey(WXK_RETURN);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_TRUE(m_dlg->IsShown());

    Open();
    test::ClickAt(TextOf(0));
    test::PressKey(WXK_ESCAPE);
    EXPECT_EQ(m_dlg->GetReturnCode(), wxID_CANCEL);
}

TEST_F(ManagerTest, EightButtonsCarryTheirTooltips) {
    Open();
    auto tip = [&](int id) {
        const wxToolTip* toolTip = m_dlg->Control(id).GetToolTip();
        return toolTip ? toolTip->GetTip() : wxString("<none>");
    };
    EXPECT_EQ(tip(Dlg::kIdMoveUp), "Move the highlighted mod earlier in the mod order");
    EXPECT_EQ(tip(Dlg::kIdMoveDown), "Move the highlighted mod later in the mod order");
    EXPECT_EQ(tip(Dlg::kIdLoadSet), "Load a pre-saved set of selected mods");
    EXPECT_EQ(tip(Dlg::kIdSaveSet), "Save the current mod selection");
    EXPECT_EQ(tip(Dlg::kIdOpenMods), "Open the Emberwake II mods folder");
    EXPECT_EQ(tip(Dlg::kIdOpenSaves), "Open the Emberwake II mod saves folder");
    EXPECT_EQ(tip(Dlg::kIdPlay), "Launch Emberwake II with mods");
    EXPECT_EQ(tip(Dlg::kIdRemove), "Remove the highlighted mod from current mod selection");
    EXPECT_EQ(m_dlg->PlayButton().GetSize(), wxSize(120, 30));
}

}  // namespace
}  // namespace gh
