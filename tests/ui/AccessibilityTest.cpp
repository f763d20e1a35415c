// What screen readers are told about the owner-drawn controls, asked the way
// a reader asks: through the accessible objects of the real windows and, on
// Windows, through MSAA itself.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "support/CGameWorld.h"
#include "ui/Accessibility.h"
#include "ui/CGatehouseDlg.h"
#include "ui/CSplashDialog.h"

#if wxUSE_ACCESSIBILITY
#include <wx/access.h>
#endif
#if defined(__WXMSW__) && wxUSE_ACCESSIBILITY
#include <oleacc.h>
#endif

namespace gh {
namespace {

#if wxUSE_ACCESSIBILITY

using test::CGameWorld;

wxString NameOf(wxWindow& window, int child = wxACC_SELF) {
    wxString name;
    EXPECT_NE(window.GetAccessible(), nullptr) << window.GetName();
    if (window.GetAccessible() != nullptr) {
        EXPECT_EQ(window.GetAccessible()->GetName(child, &name), wxACC_OK);
    }
    return name;
}

long StateOf(wxWindow& window, int child = wxACC_SELF) {
    long state = 0;
    EXPECT_EQ(window.GetAccessible()->GetState(child, &state), wxACC_OK);
    return state;
}

#if defined(__WXMSW__)
// The name MSAA gives for a window, as a screen reader asks for it.
std::wstring MsaaName(const wxWindow& window) {
    IAccessible* accessible = nullptr;
    if (AccessibleObjectFromWindow(static_cast<HWND>(window.GetHWND()), static_cast<DWORD>(OBJID_CLIENT),
                                   __uuidof(IAccessible), reinterpret_cast<void**>(&accessible)) != S_OK ||
        accessible == nullptr) {
        return L"(no accessible object)";
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result = L"(no name)";
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
        result = name;
        SysFreeString(name);
    }
    accessible->Release();
    return result;
}

// Whether MSAA gives `expected` within a few seconds: on a loaded machine
// Wine may answer a reader's first request before the window is ready.
bool MsaaNameBecomes(const wxWindow& window, const std::wstring& expected) {
    std::wstring last;
    const bool named = test::WaitUntil([&] {
        last = MsaaName(window);
        return last == expected;
    });
    if (!named) ADD_FAILURE() << "MSAA says \"" << wxString(last) << "\"";
    return named;
}
#endif

class AccessibilityTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_splash.reset();
        m_dlg.reset();
        test::PumpFor(20);
    }

    CGameWorld m_world;
    std::unique_ptr<CSplashDialog> m_splash;
    std::unique_ptr<CGatehouseDlg> m_dlg;
};

TEST_F(AccessibilityTest, StartWindowButtonsAreNamedPushButtonsThatClick) {
    m_splash = std::make_unique<CSplashDialog>(nullptr, m_world.Folders());
    test::ShowAndSettle(*m_splash);
    EXPECT_EQ(NameOf(m_splash->PlayButton()), "Play");
    EXPECT_EQ(NameOf(m_splash->PlayWithModsButton()), "Play with mods");
    EXPECT_EQ(NameOf(m_splash->CloseButton()), "Close");
#if defined(__WXMSW__)
    EXPECT_TRUE(MsaaNameBecomes(m_splash->PlayWithModsButton(), L"Play with mods"));
#endif

    wxAccessible& play = *m_splash->PlayWithModsButton().GetAccessible();
    wxAccRole role = wxROLE_NONE;
    EXPECT_EQ(play.GetRole(wxACC_SELF, &role), wxACC_OK);
    EXPECT_EQ(role, wxROLE_SYSTEM_PUSHBUTTON);
    wxString description;
    EXPECT_EQ(play.GetDescription(wxACC_SELF, &description), wxACC_OK);
    EXPECT_EQ(description, "Manage mods and play Emberwake II with mods");
    EXPECT_EQ(StateOf(m_splash->PlayWithModsButton()) & wxACC_STATE_SYSTEM_UNAVAILABLE, 0);
    m_splash->PlayWithModsButton().Enable(false);
    EXPECT_NE(StateOf(m_splash->PlayWithModsButton()) & wxACC_STATE_SYSTEM_UNAVAILABLE, 0);
    m_splash->PlayWithModsButton().Enable(true);

    int clicks = 0;
    m_splash->CloseButton().Bind(wxEVT_BUTTON, [&clicks](wxCommandEvent&) { ++clicks; });
    EXPECT_EQ(m_splash->CloseButton().GetAccessible()->DoDefaultAction(wxACC_SELF), wxACC_OK);
    EXPECT_TRUE(test::WaitUntil([&] { return clicks == 1; }));
}

TEST_F(AccessibilityTest, ManagerNamesItsIconButtonsAndExposesEveryRow) {
    m_world.AddMod({L"Alpha", 101, 1});
    m_world.AddMod({L"Blocked", 102, 1, {{u"Ghost", 999, 2}}});
    m_dlg = std::make_unique<CGatehouseDlg>(m_world.Folders());
    test::ShowAndSettle(*m_dlg);
    for (int id :
         {CGatehouseDlg::kIdMoveUp, CGatehouseDlg::kIdMoveDown, CGatehouseDlg::kIdRemove, CGatehouseDlg::kIdLoadSet,
          CGatehouseDlg::kIdSaveSet, CGatehouseDlg::kIdOpenMods, CGatehouseDlg::kIdOpenSaves, CGatehouseDlg::kIdSort}) {
        wxWindow& button = m_dlg->Control(id);
        ASSERT_NE(button.GetToolTip(), nullptr);
        EXPECT_EQ(NameOf(button), button.GetToolTip()->GetTip());
    }
    EXPECT_EQ(NameOf(m_dlg->PlayButton()), "Play");
    EXPECT_EQ(NameOf(*m_dlg->NoticeLine().ActionButton()), "Add them");
#if defined(__WXMSW__)
    EXPECT_TRUE(MsaaNameBecomes(m_dlg->Control(CGatehouseDlg::kIdOpenMods), L"Open the Emberwake II mods folder"));
#endif

    CModCheckListBox& list = m_dlg->ModList();
    wxAccessible& rows = *list.GetAccessible();
    int count = 0;
    EXPECT_EQ(rows.GetChildCount(&count), wxACC_OK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(NameOf(list), "Installed mods");
    EXPECT_EQ(NameOf(list, 1), "Alpha");
    EXPECT_EQ(NameOf(list, 2), "Blocked");
    wxString status;
    EXPECT_EQ(rows.GetDescription(1, &status), wxACC_OK);
    EXPECT_EQ(status, "OK");
    EXPECT_EQ(rows.GetDescription(2, &status), wxACC_OK);
    EXPECT_EQ(status, "-Requires Missing Dependencies-");
    EXPECT_NE(StateOf(list, 2) & wxACC_STATE_SYSTEM_MIXED, 0);
    EXPECT_EQ(StateOf(list, 1) & (wxACC_STATE_SYSTEM_CHECKED | wxACC_STATE_SYSTEM_SELECTED), 0);
    EXPECT_EQ(rows.GetName(3, &status), wxACC_INVALID_ARG);

    // The default action checks the row as a click on its box does.
    EXPECT_EQ(rows.DoDefaultAction(1), wxACC_OK);
    EXPECT_TRUE(test::WaitUntil([&] { return list.GetCheck(0) == kChecked; }));
    EXPECT_NE(StateOf(list, 1) & wxACC_STATE_SYSTEM_CHECKED, 0);
    EXPECT_NE(StateOf(list, 1) & wxACC_STATE_SYSTEM_SELECTED, 0);
    EXPECT_EQ(m_dlg->SelectedList().GetCount(), 1u);
    // A reader's point on the second row's location hits that row; asked
    // again until the window has settled where the system put it.
    int hit = 0;
    EXPECT_TRUE(test::WaitUntil([&] {
        wxRect rect;
        wxAccessible* object = nullptr;
        return rows.GetLocation(rect, 2) == wxACC_OK &&
               rows.HitTest(rect.GetPosition() + wxPoint(3, rect.height / 2), &hit, &object) == wxACC_OK && hit == 2;
    })) << "hit "
        << hit;
}

#else

TEST(AccessibilityTest, ThisToolkitHasNoAccessibilitySupport) {
    // wxGTK 3.2 builds without wxUSE_ACCESSIBILITY: there is nothing to ask.
    EXPECT_FALSE(HasAccessibility());
    GTEST_SKIP() << "the toolkit of this build has no accessibility support";
}

#endif

}  // namespace
}  // namespace gh
