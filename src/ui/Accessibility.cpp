#include "ui/Accessibility.h"

#include <utility>

#if wxUSE_ACCESSIBILITY
#include <wx/access.h>
#include <wx/tooltip.h>
#endif

#include "ui/CHoverButton.h"
#include "ui/CModCheckListBox.h"

namespace gh {

#if wxUSE_ACCESSIBILITY

namespace {

// The description of a control: its tooltip, which says what it does.
wxAccStatus ToolTipOf(const wxWindow& window, wxString* description) {
    const wxToolTip* tip = window.GetToolTip();
    if (tip == nullptr) {
        return wxACC_NOT_IMPLEMENTED;
    }
    *description = tip->GetTip();
    return wxACC_OK;
}

// A native control: only its name is ours.
class CNamedAccessible : public wxAccessible {
public:
    CNamedAccessible(wxWindow* window, wxString name) : wxAccessible(window), m_name(std::move(name)) {}

    wxAccStatus GetName(int childId, wxString* name) override {
        if (childId != wxACC_SELF) {
            return wxACC_NOT_IMPLEMENTED;
        }
        *name = m_name;
        return wxACC_OK;
    }

private:
    wxString m_name;
};

// An owner-drawn button: name, role, state and action are all ours.
class CButtonAccessible : public CNamedAccessible {
public:
    CButtonAccessible(CHoverButton* button, wxString name)
        : CNamedAccessible(button, std::move(name)), m_button(button) {}

    wxAccStatus GetRole(int childId, wxAccRole* role) override {
        if (childId != wxACC_SELF) {
            return wxACC_NOT_IMPLEMENTED;
        }
        *role = wxROLE_SYSTEM_PUSHBUTTON;
        return wxACC_OK;
    }

    wxAccStatus GetState(int childId, long* state) override {
        if (childId != wxACC_SELF) {
            return wxACC_NOT_IMPLEMENTED;
        }
        long flags = 0;
        if (!m_button->IsEnabled()) {
            flags |= wxACC_STATE_SYSTEM_UNAVAILABLE;
        } else {
            flags |= wxACC_STATE_SYSTEM_FOCUSABLE;
        }
        if (wxWindow::FindFocus() == m_button) {
            flags |= wxACC_STATE_SYSTEM_FOCUSED;
        }
        if (m_button->IsPressed()) {
            flags |= wxACC_STATE_SYSTEM_PRESSED;
        }
        if (m_button->IsHover()) {
            flags |= wxACC_STATE_SYSTEM_HOTTRACKED;
        }
        if (!m_button->IsShownOnScreen()) {
            flags |= wxACC_STATE_SYSTEM_INVISIBLE;
        }
        *state = flags;
        return wxACC_OK;
    }

    wxAccStatus GetDescription(int childId, wxString* description) override {
        return childId == wxACC_SELF ? ToolTipOf(*m_button, description) : wxACC_NOT_IMPLEMENTED;
    }

    wxAccStatus GetDefaultAction(int childId, wxString* action) override {
        if (childId != wxACC_SELF) {
            return wxACC_NOT_IMPLEMENTED;
        }
        *action = "Press";
        return wxACC_OK;
    }

    wxAccStatus DoDefaultAction(int childId) override {
        if (childId != wxACC_SELF) {
            return wxACC_NOT_IMPLEMENTED;
        }
        // After the reader's call has returned: the click may end a modal loop.
        m_button->CallAfter([button = m_button] { button->Click(); });
        return wxACC_OK;
    }

private:
    CHoverButton* m_button;
};

// The mod list: the list itself is child 0, row n is child n + 1.
class CModListAccessible : public CNamedAccessible {
public:
    CModListAccessible(CModCheckListBox* list, wxString name, std::function<wxString(std::size_t)> statusOf)
        : CNamedAccessible(list, std::move(name)), m_list(list), m_statusOf(std::move(statusOf)) {}

    wxAccStatus GetChildCount(int* count) override {
        *count = static_cast<int>(m_list->GetCount());
        return wxACC_OK;
    }

    wxAccStatus GetChild(int childId, wxAccessible** child) override {
        if (!IsRow(childId) && childId != wxACC_SELF) {
            return wxACC_INVALID_ARG;
        }
        *child = childId == wxACC_SELF ? this : nullptr;  // rows are simple elements
        return wxACC_OK;
    }

    wxAccStatus GetParent(wxAccessible** parent) override {
        *parent = nullptr;  // the system's object for the window stands above
        return wxACC_NOT_IMPLEMENTED;
    }

    wxAccStatus GetName(int childId, wxString* name) override {
        if (childId == wxACC_SELF) {
            return CNamedAccessible::GetName(childId, name);
        }
        if (!IsRow(childId)) {
            return wxACC_INVALID_ARG;
        }
        *name = m_list->GetString(Row(childId));
        return wxACC_OK;
    }

    wxAccStatus GetRole(int childId, wxAccRole* role) override {
        if (childId != wxACC_SELF && !IsRow(childId)) {
            return wxACC_INVALID_ARG;
        }
        *role = childId == wxACC_SELF ? wxROLE_SYSTEM_LIST : wxROLE_SYSTEM_LISTITEM;
        return wxACC_OK;
    }

    wxAccStatus GetState(int childId, long* state) override {
        if (childId == wxACC_SELF) {
            *state = wxACC_STATE_SYSTEM_FOCUSABLE;
            if (wxWindow::FindFocus() == m_list) {
                *state |= wxACC_STATE_SYSTEM_FOCUSED;
            }
            return wxACC_OK;
        }
        if (!IsRow(childId)) {
            return wxACC_INVALID_ARG;
        }
        const std::size_t row = Row(childId);
        long flags = wxACC_STATE_SYSTEM_SELECTABLE | wxACC_STATE_SYSTEM_FOCUSABLE;
        if (m_list->GetSelection() == static_cast<int>(row)) {
            flags |= wxACC_STATE_SYSTEM_SELECTED;
            if (wxWindow::FindFocus() == m_list) {
                flags |= wxACC_STATE_SYSTEM_FOCUSED;
            }
        }
        const int check = m_list->GetCheck(row);
        if (check == kChecked) {
            flags |= wxACC_STATE_SYSTEM_CHECKED;
        } else if (check == kIndeterminate) {
            flags |= wxACC_STATE_SYSTEM_MIXED;
        }
        if (!m_list->IsVisible(row)) {
            flags |= wxACC_STATE_SYSTEM_INVISIBLE | wxACC_STATE_SYSTEM_OFFSCREEN;
        }
        *state = flags;
        return wxACC_OK;
    }

    wxAccStatus GetDescription(int childId, wxString* description) override {
        if (childId == wxACC_SELF) {
            return wxACC_NOT_IMPLEMENTED;
        }
        if (!IsRow(childId)) {
            return wxACC_INVALID_ARG;
        }
        *description = m_statusOf ? m_statusOf(Row(childId)) : wxString();
        return wxACC_OK;
    }

    wxAccStatus GetDefaultAction(int childId, wxString* action) override {
        if (childId == wxACC_SELF) {
            return wxACC_NOT_IMPLEMENTED;
        }
        if (!IsRow(childId)) {
            return wxACC_INVALID_ARG;
        }
        *action = m_list->GetCheck(Row(childId)) == kChecked ? "Uncheck" : "Check";
        return wxACC_OK;
    }

    wxAccStatus DoDefaultAction(int childId) override {
        if (!IsRow(childId)) {
            return childId == wxACC_SELF ? wxACC_NOT_IMPLEMENTED : wxACC_INVALID_ARG;
        }
        // As a click on the row's box, after the reader's call has returned.
        m_list->CallAfter([list = m_list, row = Row(childId)] { list->ClickCheckBox(row); });
        return wxACC_OK;
    }

    wxAccStatus GetLocation(wxRect& rect, int elementId) override {
        if (elementId == wxACC_SELF) {
            rect = m_list->GetScreenRect();
            return wxACC_OK;
        }
        if (!IsRow(elementId)) {
            return wxACC_INVALID_ARG;
        }
        rect = m_list->GetItemRect(Row(elementId));
        rect.SetPosition(m_list->ClientToScreen(rect.GetPosition()));
        return wxACC_OK;
    }

    wxAccStatus HitTest(const wxPoint& point, int* childId, wxAccessible** childObject) override {
        const wxPoint client = m_list->ScreenToClient(point);
        if (!wxRect(m_list->GetClientSize()).Contains(client)) {
            *childId = 0;
            *childObject = nullptr;
            return wxACC_FALSE;
        }
        const int row = m_list->VirtualHitTest(client.y);
        *childId = row == wxNOT_FOUND ? wxACC_SELF : row + 1;
        *childObject = row == wxNOT_FOUND ? this : nullptr;
        return wxACC_OK;
    }

    wxAccStatus GetFocus(int* childId, wxAccessible** child) override {
        if (wxWindow::FindFocus() != m_list) {
            *childId = 0;
            *child = nullptr;
            return wxACC_FALSE;
        }
        const int row = m_list->GetSelection();
        *childId = row == wxNOT_FOUND ? wxACC_SELF : row + 1;
        *child = row == wxNOT_FOUND ? this : nullptr;
        return wxACC_OK;
    }

    wxAccStatus GetSelections(wxVariant* selections) override {
        const int row = m_list->GetSelection();
        if (row == wxNOT_FOUND) {
            selections->MakeNull();
        } else {
            *selections = static_cast<long>(row + 1);
        }
        return wxACC_OK;
    }

private:
    bool IsRow(int childId) const { return childId > 0 && static_cast<std::size_t>(childId) <= m_list->GetCount(); }
    static std::size_t Row(int childId) { return static_cast<std::size_t>(childId - 1); }

    CModCheckListBox* m_list;
    std::function<wxString(std::size_t)> m_statusOf;
};

}  // namespace

bool HasAccessibility() { return true; }

void ExposeName(wxWindow& control, const wxString& name) {
    if (auto* hover = dynamic_cast<CHoverButton*>(&control)) {
        control.SetAccessible(new CButtonAccessible(hover, name));
    } else {
        control.SetAccessible(new CNamedAccessible(&control, name));
    }
}

void ExposeModList(CModCheckListBox& list, const wxString& name, std::function<wxString(std::size_t row)> statusOf) {
    list.SetAccessible(new CModListAccessible(&list, name, std::move(statusOf)));
    // Readers follow the focus to the new current row, and hear a check change.
    list.Bind(wxEVT_LISTBOX, [&list](wxCommandEvent& event) {
        event.Skip();
        if (list.HasFocus()) {
            wxAccessible::NotifyEvent(wxACC_EVENT_OBJECT_FOCUS, &list, wxOBJID_CLIENT, event.GetInt() + 1);
        }
        wxAccessible::NotifyEvent(wxACC_EVENT_OBJECT_SELECTION, &list, wxOBJID_CLIENT, event.GetInt() + 1);
    });
    list.Bind(wxEVT_CHECKLISTBOX, [&list](wxCommandEvent& event) {
        event.Skip();
        wxAccessible::NotifyEvent(wxACC_EVENT_OBJECT_STATECHANGE, &list, wxOBJID_CLIENT, event.GetInt() + 1);
    });
}

#else

bool HasAccessibility() { return false; }

void ExposeName(wxWindow&, const wxString&) {}

void ExposeModList(CModCheckListBox&, const wxString&, std::function<wxString(std::size_t)>) {}

#endif

}  // namespace gh
