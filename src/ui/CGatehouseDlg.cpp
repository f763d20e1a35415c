#include "ui/CGatehouseDlg.h"

#include <algorithm>
#include <utility>

#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/statbox.h>

#include "launcher/ModInfoTexts.h"
#include "launcher/ModStatusText.h"
#include "launcher/NoticeTexts.h"
#include "launcher/OutsideText.h"
#include "launcher/WorkshopActions.h"
#include "launcher/WorkshopChanges.h"
#include "launcher/WorkshopMenu.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Unicode.h"
#include "selection/SelectionSets.h"
#include "selection/ShareCode.h"
#include "selection/SharedSelection.h"
#include "selection/StartSelection.h"
#include "ui/Accessibility.h"
#include "ui/CDialogUnits.h"
#include "ui/Clipboard.h"
#include "ui/DisplayScale.h"
#include "ui/EndDialog.h"
#include "ui/ResourceImages.h"
#include "ui/ToolkitDifferences.h"
#include "workshop/WorkshopRecordFile.h"

namespace gh {

namespace {

// The templates were laid out for an 8-point dialog font.
constexpr int kDialogPointSize = 8;

wxColour ToColour(const Rgb& rgb) { return {rgb.red, rgb.green, rgb.blue}; }

// The marks in front of an entry of the order list: it loads before a mod
// it needs; its mod is part of a ring. Shown only: the rules never read the
// list's texts.
constexpr wchar_t kLoadsBeforeMark[] = L"\u26A0 ";
constexpr wchar_t kRingMark[] = L"\u21BB ";

std::wstring MarkPrefix(const OrderMark& mark) {
    std::wstring prefix;
    if (!mark.loadsBefore.empty()) prefix += kLoadsBeforeMark;
    if (mark.inRing) prefix += kRingMark;
    return prefix;
}

// An icon larger than its button is shown centred and cut at the button's
// inner edges, as a button shows an icon too large for it.
wxBitmap FitIcon(const wxBitmap& icon, const wxSize& button) {
    if (!icon.IsOk()) {
        return icon;
    }
    constexpr int kPadding = 8;
    const int width = std::min(icon.GetWidth(), std::max(8, button.x - kPadding));
    const int height = std::min(icon.GetHeight(), std::max(8, button.y - kPadding));
    if (width == icon.GetWidth() && height == icon.GetHeight()) {
        return icon;
    }
    return icon.GetSubBitmap(wxRect((icon.GetWidth() - width) / 2, (icon.GetHeight() - height) / 2, width, height));
}

// Shows `label` as the link's text, leading to `address`. The link draws its
// text only when it paints, and a new text does not make it paint, so it is
// repainted here; the text may be cut at the field's edge, so the tooltip
// shows it whole.
void ShowLink(wxGenericHyperlinkCtrl& link, const wxString& label, const wxString& address) {
    link.SetLabel(label);
    link.SetURL(address);
    link.SetVisited(false);
    if (label.empty()) {
        link.UnsetToolTip();
    } else {
        link.SetToolTip(label);
    }
    link.InvalidateBestSize();
    link.Refresh();
}

// Gives `list` the tooltip `tip` of its item `item`, or none when `tip` is
// empty, unless it shows that item's already (`shown` remembers whose). A
// tooltip taken away and given anew shows again for the next item.
void ShowItemTip(wxWindow& list, std::optional<std::size_t>& shown, std::size_t item, const std::wstring& tip) {
    const std::optional<std::size_t> now = tip.empty() ? std::nullopt : std::optional<std::size_t>(item);
    if (now == shown) {
        return;
    }
    shown = now;
    list.UnsetToolTip();
    if (now) {
        list.SetToolTip(ShownText(tip));
    }
}

}  // namespace

CGatehouseDlg::CGatehouseDlg(const CGameFolders& folders)
    : wxDialog(nullptr, wxID_ANY, "Gatehouse", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxCLOSE_BOX),
      m_folders(folders),
      m_rules(*this) {
    SetIcons(LoadApplicationIcons());  // also what the minimized window shows
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPointSize(kDialogPointSize);
    SetFont(font);
    CreateControls();
    Bind(wxEVT_CHAR_HOOK, &CGatehouseDlg::OnCharHook, this);
    // The player starts in the mod list, where Enter plays, rather than on a
    // button that Enter would press.
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        event.Skip();
        CallAfter([this] { m_modList->SetFocus(); });
    });

    m_pCatalogue = std::make_unique<CModCatalogue>(m_folders.GetModsFolderToScan());
    m_versionLine->SetLabel(GameVersionLine(m_folders.GameVersion()));
    FillModList();
    m_startSource = LoadStartSelection(m_rules, m_folders);
    if (m_startSource != StartSelectionSource::None && m_rules.LastLoad().leftOutCount > 0) {
        ShowReport(
            LoadNotice(m_startSource == StartSelectionSource::RestartList ? L"the restart list" : L"the last selection",
                       m_rules.LastLoad(), *m_rows, TextFor::Window));
    }
    Centre();
}

CGatehouseDlg::~CGatehouseDlg() = default;

wxBitmapButton* CGatehouseDlg::IconButton(int id, const wxString& name, const char* icon, const wxPoint& pos,
                                          const wxSize& size) {
    // Above 100% the icons grow with their buttons, which are laid out in the
    // dialog font's units.
    const double layoutScale =
        static_cast<double>(CDialogUnits::ForWindow(*this).BaseY()) / CDialogUnits::Reference().BaseY();
    auto* button = new wxBitmapButton(
        this, id, FitIcon(ScaledWithLayout(*this, LoadResourceBitmap(icon), layoutScale), size), pos, size);
    button->SetName(name);  // the icon is all it shows; the name tells what it is
    return button;
}

void CGatehouseDlg::CreateControls() {
    const CDialogUnits du = CDialogUnits::ForWindow(*this);
    SetClientSize(du.Size(602, 215));

    // A label wider in this font than its place keeps its centre (or its left
    // edge) and grows, rather than wrapping out of sight.
    auto label = [&](const wxString& text, int x, int y, int w, int h, bool centred) {
        wxRect rect = du.Rect(x, y, w, h);
        const int needed = GetTextExtent(text).x + 2;
        if (needed > rect.width) {
            if (centred) {
                rect.x -= (needed - rect.width) / 2;
            }
            rect.width = needed;
        }
        return new wxStaticText(this, wxID_ANY, text, rect.GetPosition(), rect.GetSize(),
                                (centred ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT) | wxST_NO_AUTORESIZE);
    };
    auto field = [&](int id, int x, int y, int w, int h, long style = 0) {
        return new wxTextCtrl(this, id, wxEmptyString, du.Point(x, y), du.Size(w, h), wxTE_READONLY | style);
    };

    // In template order, which is also the tab order.
    label("Mod Version", 210, 66, 50, 8, true);
    new wxStaticBox(this, wxID_ANY, wxEmptyString, du.Point(171, 168), du.Size(129, 16));
    new wxStaticBox(this, wxID_ANY, wxEmptyString, du.Point(171, 144), du.Size(129, 16));
    m_description = field(kIdDescription, 310, 26, 129, 158, wxTE_MULTILINE | wxTE_WORDWRAP | wxVSCROLL);
    m_playButton = new CHoverButton(this, kIdPlay, "SPLAYM", du.Point(516, 192));
    ScaleForDisplay(*m_playButton);
    m_modList = new CModCheckListBox(this, kIdModList, du.Point(6, 30), du.Size(149, 160));
    label("Mods", 72, 4, 18, 8, false);
    label("Description", 357, 17, 36, 8, false);
    new wxStaticBox(this, wxID_ANY, "Selected Mod Info", du.Point(165, 10), du.Size(282, 181));
    label("Website", 222, 138, 27, 8, false);
    label("Download Link", 213, 162, 46, 8, false);
    m_selectedList = new wxListBox(this, kIdSelectedList, du.Point(456, 13), du.Size(140, 160), 0, nullptr,
                                   wxLB_SINGLE | wxLB_ALWAYS_SB);
    // Above the order list, which gives up its top while a notice shows.
    m_notice = new CNoticeLine(this, kIdNotice, du.Point(456, 13), du.Size(140, 26), 3);
    const double layoutScale = static_cast<double>(du.BaseY()) / CDialogUnits::Reference().BaseY();
    m_notice->SetAction(kIdAddRequirements, "Add them",
                        ScaledWithLayout(*this, LoadResourceBitmap(kIconAddRequirements), layoutScale), "Add them",
                        "Add the mods they need, each before the first mod that needs it",
                        [this] { OnBnClickedAddRequirements(); });
    label("Selected Mod Order (Max 10)", 478, 4, 95, 8, false);
    wxBitmapButton* moveDown = IconButton(kIdMoveDown, "Move Down", kIconMoveDown, du.Point(481, 176), du.Size(21, 15));
    wxBitmapButton* moveUp = IconButton(kIdMoveUp, "Move Up", kIconMoveUp, du.Point(456, 176), du.Size(21, 15));
    wxBitmapButton* sort = IconButton(kIdSort, "Sort", kIconSort, du.Point(506, 176), du.Size(21, 15));
    label("Name", 226, 18, 19, 8, false);
    wxBitmapButton* remove = IconButton(kIdRemove, "Remove", kIconRemove, du.Point(576, 176), du.Size(20, 14));
    wxBitmapButton* copyCode =
        IconButton(kIdCopyCode, "Copy share code", kIconCopyCode, du.Point(530, 176), du.Size(21, 15));
    wxBitmapButton* pasteCode =
        IconButton(kIdPasteCode, "Paste share code", kIconPasteCode, du.Point(553, 176), du.Size(21, 15));
    m_name = field(kIdName, 171, 27, 129, 12);
    wxBitmapButton* loadSet =
        IconButton(kIdLoadSet, "Load Mod Selection Set", kIconLoadSet, du.Point(6, 12), du.Size(21, 16));
    m_saveSetButton = IconButton(kIdSaveSet, "Save Mod Selection Set", kIconSaveSet, du.Point(30, 12), du.Size(21, 16));
    wxBitmapButton* copyReport =
        IconButton(kIdCopyReport, "Copy list for a bug report", kIconCopyReport, du.Point(54, 12), du.Size(21, 16));
    m_author = field(kIdAuthor, 171, 51, 129, 12);
    label("Author", 221, 42, 28, 8, true);
    label("Status", 225, 90, 22, 8, false);
    m_status = field(kIdStatus, 172, 99, 129, 12);
    // A link may not be created empty, and its text is drawn underlined (a
    // blank would show as a dash): it is emptied until a mod is highlighted.
    m_website = new wxGenericHyperlinkCtrl(this, kIdWebsite, " ", wxEmptyString, du.Point(175, 150), du.Size(121, 8),
                                           wxHL_ALIGN_LEFT | wxBORDER_NONE);
    m_download = new wxGenericHyperlinkCtrl(this, kIdDownload, " ", wxEmptyString, du.Point(176, 173), du.Size(119, 9),
                                            wxHL_ALIGN_LEFT | wxBORDER_NONE);
    for (wxGenericHyperlinkCtrl* link : {m_website, m_download}) {
        ShowLink(*link, wxEmptyString, wxEmptyString);
    }
    wxBitmapButton* openMods = IconButton(kIdOpenMods, "Open Mods", kIconOpenMods, du.Point(115, 12), du.Size(40, 16));
    m_modVersion = field(kIdModVersion, 172, 75, 129, 12);
    wxBitmapButton* openSaves =
        IconButton(kIdOpenSaves, "Open Saves", kIconOpenSaves, du.Point(6, 193), du.Size(40, 16));
    label("EW2 Version", 217, 113, 38, 8, true);
    m_gameVersion = field(kIdGameVersion, 172, 123, 129, 12);
    m_versionLine = label("Emberwake II Version x.x.x.x", 172, 201, 128, 8, true);
    m_versionLine->SetId(kIdVersionLine);

    // The icon buttons are named by their tooltips, the play button by the
    // caption its image shows.
    const std::pair<wxWindow*, const char*> tips[] = {
        {moveUp, "Move the highlighted mod earlier in the mod order"},
        {moveDown, "Move the highlighted mod later in the mod order"},
        {loadSet, "Load a pre-saved set of selected mods"},
        {m_saveSetButton, "Save the current mod selection"},
        {openMods, "Open the Emberwake II mods folder"},
        {openSaves, "Open the Emberwake II mod saves folder"},
        {m_playButton, "Launch Emberwake II with mods"},
        {remove, "Remove the highlighted mod from current mod selection"},
        {sort, "Sort the mod order so that each mod loads after the mods it needs"},
    };
    for (const auto& [control, tip] : tips) {
        control->SetToolTip(tip);
        if (control != m_playButton) {
            ExposeName(*control, tip);
        }
    }
    // The clipboard's buttons go by their names; the tooltips say more.
    const std::pair<wxWindow*, const char*> clipboardTips[] = {
        {copyCode, "Copy the mod order as a share code to send to other players (Ctrl+C)"},
        {pasteCode, "Load the mod order of a share code on the clipboard (Ctrl+V)"},
        {copyReport, "Copy the list of mods, versions and problems for a bug report"},
    };
    for (const auto& [control, tip] : clipboardTips) {
        control->SetToolTip(tip);
        ExposeName(*control, control->GetName());
    }
    ExposeName(*m_playButton, "Play");
    ExposeName(*m_selectedList, "Mod order");
    ExposeModList(*m_modList, "Installed mods", [this](std::size_t row) {
        if (row >= m_rules.Mods().size()) return wxString();
        const RecordedSubscription* subscription = SubscriptionOfRow(row);
        return wxString(ModStatusText(m_rules.Mods()[row].status)) +
               (subscription != nullptr && subscription->held ? ", held" : "");
    });

    for (wxWindow* scrolled : {static_cast<wxWindow*>(m_selectedList), static_cast<wxWindow*>(m_description)}) {
        KeepScrollBarsVisible(*scrolled);
    }
    m_modList->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { OnLbnSelchangeModList(); });
    m_modList->Bind(wxEVT_CHECKLISTBOX, [this](wxCommandEvent&) { OnCheckChangeModList(); });
    m_modList->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) {
        // A position from the keyboard is wxDefaultPosition; the mouse's is
        // on the screen.
        const wxPoint where = event.GetPosition();
        OnModListContextMenu(where == wxDefaultPosition ? where : m_modList->ScreenToClient(where));
    });
    m_modList->Bind(wxEVT_MOTION, &CGatehouseDlg::OnModListMotion, this);
    m_selectedList->Bind(wxEVT_KEY_DOWN, &CGatehouseDlg::OnSelectedListKey, this);
    m_selectedList->Bind(wxEVT_MOTION, &CGatehouseDlg::OnSelectedListMotion, this);
    m_selectedDrag = std::make_unique<CListRowDragger>(
        *m_selectedList, [this](std::size_t from, std::size_t to) { m_rules.MoveEntry(from, to); });
    moveUp->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedMoveUp(); });
    moveDown->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedMoveDown(); });
    remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedRemove(); });
    sort->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedSort(); });
    loadSet->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedLoadSet(); });
    m_saveSetButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedSaveSet(); });
    openMods->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedOpenMods(); });
    openSaves->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedOpenSaves(); });
    copyCode->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedCopyShareCode(); });
    pasteCode->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedPasteShareCode(); });
    copyReport->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedCopyReport(); });
    m_playButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedPlayWithMods(); });
    // The links' own handling would open any address; these handlers decide.
    for (wxGenericHyperlinkCtrl* link : {m_website, m_download}) {
        link->Bind(wxEVT_HYPERLINK, [this](wxHyperlinkEvent& event) { OnNMClickLink(event.GetURL().ToStdWstring()); });
    }
}

void CGatehouseDlg::FillModList() {
    if (!m_pCatalogue) {
        m_pCatalogue = std::make_unique<CModCatalogue>(m_folders.GetModsFolderToScan());
    }
    m_rows = std::make_unique<CModRows>(*m_pCatalogue, m_folders.GameVersion());
    ReadWorkshopRecord();
    // One colour object per status, shared by the rows that have it.
    const wxColour colours[] = {ToColour(StatusColour(StatusOk)), ToColour(StatusColour(StatusWrongGameVersion)),
                                ToColour(StatusColour(StatusMissingRequirement)),
                                ToColour(StatusColour(StatusOutdatedRequirement))};
    const auto colourOf = [&colours](std::int32_t status) {
        return status >= 0 && status < static_cast<std::int32_t>(std::size(colours)) ? colours[status]
                                                                                     : ToColour(StatusColour(status));
    };
    // The rules take each row's identity and status; the info pane asks the
    // rows for the texts of the one mod highlighted, so no text is copied
    // for the rows that are never looked at.
    const std::size_t count = m_rows->RowCount();
    std::vector<ModData> rows(count);
    std::vector<ModListItem> items;
    items.reserve(count);
    for (std::size_t row = 0; row < count; ++row) {
        const ModInfo& record = m_rows->RecordOf(row);
        ModData& mod = rows[row];
        mod.name = Utf8ToWide(record.name);
        mod.guid = record.guid;
        mod.version = record.version;
        mod.status = m_rows->StatusOf(row);
        // A row shows the name alone, on one line, its controls escaped.
        items.push_back(ModListItem{EscapedText(mod.name), colourOf(mod.status), *wxWHITE});
    }
    // One fill for all rows: a count update per row would measure the rows
    // and repaint the list once for each of them.
    m_modList->AddColoredStrings(std::move(items));
    MarkHeldRows();
    // The rules hold blocked rows indeterminate from here on.
    m_rules.SetMods(std::move(rows));
}

void CGatehouseDlg::ReadWorkshopRecord() {
    m_workshop.reset();
    m_rowSubscriptions.assign(m_rows ? m_rows->RowCount() : 0, 0);
    const CWorkshopRecordFile file(m_folders.GetUserGameFolder());
    if (!platform::FileExists(file.RecordPath())) {
        return;
    }
    WorkshopRecord record = file.Peek();
    if (!m_workshopChanges) {
        m_workshopChanges = RecordedModChanges(record);
    }
    m_workshop = std::make_unique<CWorkshopMods>(std::move(record), m_folders.GetUserGameFolder());
    for (std::size_t row = 0; row < m_rowSubscriptions.size(); ++row) {
        if (const RecordedSubscription* subscription = m_workshop->Of(m_rows->RecordOf(row).filePath)) {
            m_rowSubscriptions[row] = subscription->id;
        }
    }
}

void CGatehouseDlg::MarkHeldRows() {
    for (std::size_t row = 0; row < m_rowSubscriptions.size(); ++row) {
        const RecordedSubscription* subscription = SubscriptionOfRow(row);
        m_modList->SetHeld(row, subscription != nullptr && subscription->held);
    }
}

const RecordedSubscription* CGatehouseDlg::SubscriptionOfRow(std::size_t row) const {
    if (!m_workshop || row >= m_rowSubscriptions.size() || m_rowSubscriptions[row] == 0) {
        return nullptr;
    }
    const auto& subscriptions = m_workshop->Record().subscriptions;
    const auto found = subscriptions.find(m_rowSubscriptions[row]);
    return found == subscriptions.end() ? nullptr : &found->second;
}

void CGatehouseDlg::OnModListMotion(wxMouseEvent& event) {
    event.Skip();
    const int hit = m_modList->VirtualHitTest(event.GetPosition().y);
    const std::wstring tip =
        hit == wxNOT_FOUND ? std::wstring() : WorkshopRowTip(SubscriptionOfRow(static_cast<std::size_t>(hit)));
    ShowItemTip(*m_modList, m_modTipRow, static_cast<std::size_t>(hit), tip);
}

void CGatehouseDlg::OnModListContextMenu(const wxPoint& where) {
    const std::optional<std::size_t> row = CurrentModRow();
    if (!row || *row >= m_rowSubscriptions.size()) {
        return;
    }
    // A click below the last row is about no mod.
    if (where != wxDefaultPosition && m_modList->VirtualHitTest(where.y) != static_cast<int>(*row)) {
        return;
    }
    const std::vector<WorkshopMenuItem> items = WorkshopMenuItems(SubscriptionOfRow(*row));
    std::vector<MenuEntry> entries;
    for (const WorkshopMenuItem& item : items) {
        entries.push_back({item.text, item.action != WorkshopMenuAction::None});
    }
    // From the keyboard, the menu opens at the row.
    wxPoint at = where;
    if (at == wxDefaultPosition) {
        const wxRect rect = m_modList->GetItemRect(*row);
        at = rect.IsEmpty() ? wxPoint(0, 0) : wxPoint(rect.x + rect.width / 4, rect.GetBottom());
    }
    std::optional<std::size_t> chosen;
    if (m_menuPresenter) {
        chosen = m_menuPresenter(entries, at);
    } else {
        wxMenu menu;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            menu.Append(static_cast<int>(wxID_HIGHEST + 1 + i), ShownText(entries[i].text))->Enable(entries[i].enabled);
        }
        const int id = m_modList->GetPopupMenuSelectionFromUser(menu, at);
        if (id > wxID_HIGHEST && static_cast<std::size_t>(id - wxID_HIGHEST - 1) < entries.size()) {
            chosen = static_cast<std::size_t>(id - wxID_HIGHEST - 1);
        }
    }
    if (!chosen || *chosen >= items.size() || items[*chosen].action == WorkshopMenuAction::None) {
        return;
    }
    const WorkshopMenuItem& item = items[*chosen];
    const std::wstring modName = m_rules.Mods()[*row].name;
    const std::wstring target = std::to_wstring(m_rowSubscriptions[*row]);
    const Result<SubscriptionActed> acted =
        item.action == WorkshopMenuAction::Restore
            ? RestoreSubscription(m_folders.GetUserGameFolder(), target, item.entry)
            : HoldSubscription(m_folders.GetUserGameFolder(), target, item.action == WorkshopMenuAction::Hold);
    // A restore changed the files, and one that stopped part way may have:
    // the list is read anew either way; a hold changed the record only.
    if (item.action == WorkshopMenuAction::Restore) {
        ReloadMods();
    } else {
        m_workshopChanges.reset();
        ReadWorkshopRecord();
        MarkHeldRows();
    }
    m_modTipRow.reset();
    m_modList->UnsetToolTip();
    if (!acted) {
        ShowMessage(acted.Error().Text());
        return;
    }
    ShowReport({WorkshopActionDoneText(item, *acted, modName), {}});
}

void CGatehouseDlg::ReloadMods() {
    const std::vector<std::int64_t> selected = SelectionGuids(m_rules);
    const std::optional<std::size_t> current = CurrentModRow();
    const std::wstring currentPath =
        current && m_rows && *current < m_rows->RowCount() ? m_rows->RecordOf(*current).filePath : std::wstring();
    m_modList->Clear();
    m_workshopChanges.reset();
    m_rows.reset();
    m_pCatalogue.reset();
    FillModList();
    m_rules.BeginLoad(false);
    for (const std::int64_t guid : selected) {
        m_rules.LoadEntry(guid, selected.size());
    }
    m_rules.FinishLoad();
    for (std::size_t row = 0; row < m_rows->RowCount(); ++row) {
        if (!currentPath.empty() && m_rows->RecordOf(row).filePath == currentPath) {
            m_modList->SetSelection(static_cast<int>(row));
            OnLbnSelchangeModList();
            break;
        }
    }
}

void CGatehouseDlg::SetFileChooser(FileChooser chooser) { m_fileChooser = std::move(chooser); }
void CGatehouseDlg::SetDesktopOpener(DesktopOpener opener) { m_desktopOpener = std::move(opener); }
void CGatehouseDlg::SetMessagePresenter(MessagePresenter presenter) { m_messagePresenter = std::move(presenter); }
void CGatehouseDlg::SetQuestionAsker(QuestionAsker asker) { m_questionAsker = std::move(asker); }
void CGatehouseDlg::SetMenuPresenter(MenuPresenter presenter) { m_menuPresenter = std::move(presenter); }
void CGatehouseDlg::SetWorkshopChanges(std::vector<WorkshopModChange> changes) {
    m_workshopChanges = std::move(changes);
}

std::optional<std::size_t> CGatehouseDlg::CurrentModRow() const {
    const int row = m_modList->GetSelection();
    if (row == wxNOT_FOUND) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row);
}

std::optional<std::size_t> CGatehouseDlg::CurrentSelectedRow() const {
    const int row = m_selectedList->GetSelection();
    if (row == wxNOT_FOUND) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row);
}

void CGatehouseDlg::SetCurrentSelectedRow(std::optional<std::size_t> row) {
    if (row && *row < m_selectedList->GetCount()) {
        m_selectedList->SetSelection(static_cast<int>(*row));
    } else {
        m_selectedList->SetSelection(wxNOT_FOUND);
    }
}

CheckState CGatehouseDlg::GetCheck(std::size_t row) const { return static_cast<CheckState>(m_modList->GetCheck(row)); }

void CGatehouseDlg::SetCheck(std::size_t row, CheckState state) { m_modList->SetCheck(row, static_cast<int>(state)); }

std::wstring CGatehouseDlg::ModRowText(std::size_t row) const { return m_modList->GetString(row).ToStdWstring(); }

void CGatehouseDlg::ClearSelectedList() {
    m_selectedList->Clear();
    // The rules rebuild the list from a selection they have finished
    // changing: its marks are known now.
    m_shownSelection = SelectionGuids(m_rules);
    m_marks = m_rows ? OrderMarks(*m_rows, m_shownSelection) : std::vector<OrderMark>();
    m_tipEntry.reset();
    m_selectedList->UnsetToolTip();
}

void CGatehouseDlg::AppendSelectedRow(const std::wstring& text) {
    const std::size_t entry = m_selectedList->GetCount();
    m_selectedList->Append(wxString(entry < m_marks.size() ? MarkPrefix(m_marks[entry]) + text : text));
}

void CGatehouseDlg::OnSelectedListMotion(wxMouseEvent& event) {
    event.Skip();
    const int hit = m_selectedList->HitTest(event.GetPosition());
    std::wstring tip;
    if (hit != wxNOT_FOUND && static_cast<std::size_t>(hit) < m_marks.size() && m_rows) {
        tip = OrderMarkText(m_marks[static_cast<std::size_t>(hit)], m_shownSelection, *m_rows, TextFor::Window);
    }
    ShowItemTip(*m_selectedList, m_tipEntry, static_cast<std::size_t>(hit), tip);
}

void CGatehouseDlg::EnablePlayAndSaveSet(bool enable) {
    m_playButton->Enable(enable);
    m_saveSetButton->Enable(enable);
}

void CGatehouseDlg::SetNameText(const std::wstring& text) { m_name->ChangeValue(wxString(text)); }

void CGatehouseDlg::ShowMessage(const std::wstring& text) {
    const std::wstring caption = ApplicationName();
    if (m_messagePresenter) {
        m_messagePresenter(text, caption);
        return;
    }
    wxMessageDialog dialog(this, wxString(text), wxString(caption), wxOK);
    dialog.ShowModal();
}

void CGatehouseDlg::ShowReport(const Notice& report) {
    m_report = report;
    m_blockedReason.reset();
    UpdateNotice();
}

void CGatehouseDlg::UpdateNotice() {
    const bool actionHadFocus = m_notice->ShowsAction() && wxWindow::FindFocus() == m_notice->ActionButton();
    if (m_blockedReason) {
        m_notice->SetNotice(m_blockedReason->line, m_blockedReason->details);
    } else {
        Notice shown = m_report.value_or(Notice{});
        const Notice needs = RequirementNotice(m_needs, TextFor::Window);
        bool canAdd = false;
        if (!needs.line.empty()) {
            for (const SelectedModNeeds& mod : m_needs) {
                canAdd |= std::any_of(mod.unmet.begin(), mod.unmet.end(),
                                      [](const UnmetRequirement& unmet) { return unmet.CanBeAdded(); });
            }
            shown.line += (shown.line.empty() ? L"" : L" ") + needs.line;
            if (canAdd && m_placesMissing > 0) {
                shown.line += L" " + NoRoomText(m_placesMissing);
            }
            if (!needs.details.empty()) {
                shown.details += (shown.details.empty() ? L"" : L"\n\n") + needs.details;
            }
        }
        m_notice->SetNotice(shown.line, shown.details, canAdd);
    }
    PlaceOrderList();
    // The button pressed went with what it added: the focus goes where the
    // additions show.
    if (actionHadFocus && !m_notice->ShowsAction()) {
        m_selectedList->SetFocus();
    }
}

void CGatehouseDlg::PlaceOrderList() {
    const CDialogUnits du = CDialogUnits::ForWindow(*this);
    const wxRect full = du.Rect(456, 13, 140, 160);
    const int top = m_notice->HasNotice() ? m_notice->GetRect().GetBottom() + du.Y(2) : full.GetTop();
    m_selectedList->SetSize(full.x, top, full.width, full.GetBottom() - top + 1);
}

void CGatehouseDlg::ExplainBlockedRow(std::size_t row) {
    if (row >= m_rows->RowCount()) {
        return;
    }
    m_blockedReason = BlockedNotice(m_rows->RecordOf(row).name, m_rows->ProblemsOf(row), TextFor::Window);
    UpdateNotice();
}

void CGatehouseDlg::SelectionChanged() {
    if (!m_rows) {
        return;
    }
    m_needs = UnmetRequirements(*m_rows, m_shownSelection);
    m_report.reset();
    m_placesMissing = 0;
    UpdateNotice();
}

void CGatehouseDlg::OnLbnSelchangeModList() {
    const std::optional<std::size_t> row = CurrentModRow();
    if (!row || *row >= m_rules.Mods().size()) {
        return;
    }
    if (IsBlocked(m_rules.Mods()[*row].status)) {
        ExplainBlockedRow(*row);
    } else if (m_blockedReason) {
        m_blockedReason.reset();
        UpdateNotice();
    }
    const ModInfoTexts texts = InfoPaneTexts(m_rows->DisplayRecord(*row));
    m_name->ChangeValue(texts.name);
    // Addresses are shown as they are: the links draw their text plainly,
    // never as markup.
    ShowLink(*m_website, texts.websiteLabel, texts.website);
    ShowLink(*m_download, texts.downloadUrlLabel, texts.downloadUrl);
    m_description->ChangeValue(texts.description);
    m_author->ChangeValue(texts.author);
    m_modVersion->ChangeValue(texts.version);
    m_gameVersion->ChangeValue(texts.gameVersion);
    m_status->ChangeValue(texts.status);
    std::wstring tip =
        StatusTipText(m_rows->ProblemsOf(*row), m_rows->HiddenBy(*row), m_rows->RecordOf(*row).readError);
    if (const std::wstring workshop = WorkshopRowTip(SubscriptionOfRow(*row)); !workshop.empty()) {
        tip += (tip.empty() ? L"" : L"\n\n") + workshop;
    }
    if (tip.empty()) {
        m_status->UnsetToolTip();
    } else {
        m_status->SetToolTip(ShownText(tip));
    }
}

void CGatehouseDlg::OnCheckChangeModList() { m_rules.ApplyCurrentCheck(); }
void CGatehouseDlg::OnBnClickedMoveUp() { m_rules.MoveUp(); }
void CGatehouseDlg::OnBnClickedMoveDown() { m_rules.MoveDown(); }
void CGatehouseDlg::OnBnClickedRemove() { m_rules.RemoveCurrent(); }

void CGatehouseDlg::OnBnClickedAddRequirements() {
    const RequirementPlan plan = AddRequirements(m_rules, *m_rows);
    // Added, the selection changed and the notice with it; else it says
    // what is missing for them.
    if (!plan.additions.empty() && !plan.Fits()) {
        m_placesMissing = plan.placesMissing;
        UpdateNotice();
    }
}

void CGatehouseDlg::OnBnClickedSort() { SortSelection(m_rules, *m_rows); }

void CGatehouseDlg::OnBnClickedLoadSet() {
    FileRequest request{false, L"Load Mod Selection Set", m_folders.GetUserGameFolder(),
                        DialogWildcard(kSelectionSetFilter)};
    std::wstring path;
    if (m_fileChooser) {
        path = m_fileChooser(request);
    } else {
        wxFileDialog dialog(this, request.title, request.folder, wxEmptyString, request.wildcard, wxFD_OPEN);
        if (dialog.ShowModal() == wxID_OK) {
            path = dialog.GetPath().ToStdWstring();
        }
    }
    if (path.empty()) {
        return;
    }
    const std::wstring name = SetDisplayName(path);
    switch (LoadSelectionSet(m_rules, path)) {
        case SelectionFileResult::Loaded:
            ShowReport(LoadNotice(name, m_rules.LastLoad(), *m_rows, TextFor::Window));
            return;
        case SelectionFileResult::Unreadable:
            ShowReport({IsolatedText(name) + L" could not be read; nothing was loaded.", {}});
            return;
        case SelectionFileResult::NotASelection:
            ShowReport({IsolatedText(name) + L" is not a selection set; nothing was loaded.", {}});
            return;
    }
}

bool CGatehouseDlg::MayReplace(const std::wstring& path) {
    if (!platform::FileExists(path)) {
        return true;
    }
    const wxString text = wxString::Format("%s already exists.\nDo you want to replace it?",
                                           wxString(IsolatedText(SetDisplayName(path) + L".sch")));
    if (m_questionAsker) {
        return m_questionAsker(text.ToStdWstring());
    }
    wxMessageDialog dialog(this, text, wxString(ApplicationName()), wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
    return dialog.ShowModal() == wxID_YES;
}

void CGatehouseDlg::OnBnClickedSaveSet() {
    FileRequest request{true, L"Save Mod Selection Set", m_folders.GetUserGameFolder(),
                        DialogWildcard(kSelectionSetFilter)};
    std::wstring path;
    if (m_fileChooser) {
        path = m_fileChooser(request);
    } else {
        // The system's dialog asks before a file is replaced.
        wxFileDialog dialog(this, request.title, request.folder, wxEmptyString, request.wildcard,
                            wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        if (dialog.ShowModal() == wxID_OK) {
            path = dialog.GetPath().ToStdWstring();
        }
    }
    if (path.empty()) {
        return;
    }
    // The dialog asked about the name typed; a name that gains its ".sch"
    // here is asked about now.
    const std::wstring target = WithSetExtension(path);
    if (target != path && !MayReplace(target)) {
        return;
    }
    const std::wstring name = SetDisplayName(target);
    if (const Status saved = SaveSelectionSet(m_rules, target); !saved) {
        ShowMessage(L"Unable to save file: " + IsolatedText(name + L".sch") + L"\n\n" + saved.Text());
        return;
    }
    ShowReport({L"Saved " + IsolatedText(name) + L".", {}});
}

void CGatehouseDlg::OnBnClickedOpenMods() {
    const std::wstring folder = m_folders.GetModsFolderForPlayer();
    m_desktopOpener ? m_desktopOpener(folder) : platform::OpenWithDesktop(folder);
}

void CGatehouseDlg::OnBnClickedOpenSaves() {
    const std::wstring folder = m_folders.GetSavesFolderForPlayer();
    m_desktopOpener ? m_desktopOpener(folder) : platform::OpenWithDesktop(folder);
}

bool CGatehouseDlg::OnNMClickLink(const std::wstring& address) {
    if (!IsWebAddress(address)) {
        return false;
    }
    return m_desktopOpener ? m_desktopOpener(address) : platform::OpenWithDesktop(address);
}

void CGatehouseDlg::OnBnClickedPlayWithMods() { EndDialogWith(*this, wxID_OK); }

void CGatehouseDlg::OnBnClickedCopyShareCode() {
    const Result<std::string> code = EncodeShareCode(SharedEntriesOf(m_rules.Mods(), m_rules.Selection()));
    if (!code) {
        ShowReport(ClipboardFailedNotice(ClipboardAction::CopyCode, code.Error()));
        return;
    }
    if (!CopyToClipboard(wxString::FromUTF8(*code))) {
        ShowReport(ClipboardUnavailableNotice(ClipboardAction::CopyCode));
        return;
    }
    ShowReport(ClipboardDoneNotice(ClipboardAction::CopyCode, m_rules.Selection().size()));
}

void CGatehouseDlg::OnBnClickedPasteShareCode() {
    const std::optional<wxString> text = ClipboardText();
    if (!text) {
        ShowReport(ClipboardUnavailableNotice(ClipboardAction::PasteCode));
        return;
    }
    const Result<SharedLoadReport> loaded = LoadShareCode(m_rules, std::wstring_view(text->ToStdWstring()));
    if (!loaded) {
        ShowReport(ClipboardFailedNotice(ClipboardAction::PasteCode, loaded.Error()));
        return;
    }
    ShowReport(SharedLoadNotice(*loaded, *m_rows, TextFor::Window));
}

void CGatehouseDlg::OnBnClickedCopyReport() {
    // Markdown: the trackers where mod authors take reports show it as a
    // list and a table, and it reads as plain text elsewhere.
    const BugReportSubject subject{m_folders, *m_rows, m_rules.Selection(), L"the manager's order", m_workshopChanges};
    if (!CopyToClipboard(wxString(BugReportText(subject, BugReportFormat::Markdown)))) {
        ShowReport(ClipboardUnavailableNotice(ClipboardAction::CopyReport));
        return;
    }
    ShowReport(ClipboardDoneNotice(ClipboardAction::CopyReport));
}

void CGatehouseDlg::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: {
            // A focused push button takes Enter itself.
            if (dynamic_cast<wxButton*>(wxWindow::FindFocus()) != nullptr) {
                event.Skip();
                return;
            }
            // Enter plays like the play button, and not while it is disabled.
            if (m_playButton->IsEnabled()) {
                OnBnClickedPlayWithMods();
            }
            return;
        }
        case WXK_ESCAPE: EndDialogWith(*this, wxID_CANCEL); return;
        default: event.Skip();
    }
}

void CGatehouseDlg::OnSelectedListKey(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const bool ctrlOnly = event.GetModifiers() == wxMOD_CONTROL;
    if (ctrlOnly && key == WXK_UP) {
        m_rules.MoveUp();
    } else if (ctrlOnly && key == WXK_DOWN) {
        m_rules.MoveDown();
    } else if (key == WXK_DELETE && !event.HasAnyModifiers()) {
        m_rules.RemoveCurrent();
    } else if (ctrlOnly && key == 'C') {
        OnBnClickedCopyShareCode();
    } else if (ctrlOnly && key == 'V') {
        OnBnClickedPasteShareCode();
    } else {
        event.Skip();
    }
}

wxWindow& CGatehouseDlg::Control(int id) const {
    wxWindow* window = FindWindow(id);
    wxASSERT_MSG(window != nullptr, "no control with that id");
    return *window;
}

wxString CGatehouseDlg::FieldText(int id) const {
    wxWindow& window = Control(id);
    if (auto* text = dynamic_cast<wxTextCtrl*>(&window)) {
        return text->GetValue();
    }
    if (auto* link = dynamic_cast<wxGenericHyperlinkCtrl*>(&window)) {
        return link->GetURL();
    }
    return window.GetLabel();
}

}  // namespace gh
