// The mod manager: the installed mods in a coloured check list, the
// highlighted mod's details, the ordered selection of at most 10 mods, the
// selection sets, share codes and the list for a bug report through the
// clipboard, and the buttons that open the mods and saves folders. It
// implements the view the selection rules need and forwards every event to
// them; it holds no rule of its own.
//
// The notice line above the order list shows, of what there is to say, the
// first of:
// 1. why the highlighted mod cannot be chosen, while it stays highlighted;
// 2. the report of the last load or save of a set (what it left out, that a
//    set could not be read), until the selection next changes, followed by
//    what the selection lacks when it lacks something (as in 3);
// 3. what the selection's mods need that it does not hold ("Harbor Lights
//    needs Core Library and Map Tools."), with "Add them" while any of it
//    can be added, and after an "Add them" that found no room, how many
//    places are missing, until the selection next changes;
// 4. nothing: the line hides and the order list takes its place back.
// Entries of the order list that load before a selected mod they need, and
// mods of a ring, carry a mark in front of their name and say what it means
// in the list's tooltip.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/bmpbuttn.h>
#include <wx/dialog.h>
#include <wx/hyperlink.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "game/GameFolders.h"
#include "launcher/BugReport.h"
#include "launcher/NoticeTexts.h"
#include "launcher/WorkshopMods.h"
#include "selection/SelectionOrder.h"
#include "selection/SelectionRequirements.h"
#include "selection/SelectionRules.h"
#include "selection/SelectionView.h"
#include "selection/StartSelection.h"
#include "ui/CHoverButton.h"
#include "ui/CListRowDragger.h"
#include "ui/CModCheckListBox.h"
#include "ui/CNoticeLine.h"

namespace gh {

class CGatehouseDlg : public wxDialog, public ISelectionView {
public:
    // Control ids, as the rest of the program and the tests name them.
    static constexpr int kIdModList = 1000;
    static constexpr int kIdSelectedList = 1002;
    static constexpr int kIdMoveDown = 1003;
    static constexpr int kIdMoveUp = 1004;
    static constexpr int kIdName = 1005;
    static constexpr int kIdWebsite = 1006;
    static constexpr int kIdDescription = 1008;
    static constexpr int kIdRemove = 1009;
    static constexpr int kIdStatus = 1014;
    static constexpr int kIdLoadSet = 1015;
    static constexpr int kIdSaveSet = 1016;
    static constexpr int kIdGameVersion = 1017;
    static constexpr int kIdAuthor = 1026;
    static constexpr int kIdDownload = 1027;
    static constexpr int kIdModVersion = 1028;
    static constexpr int kIdOpenMods = 1030;
    static constexpr int kIdOpenSaves = 1031;
    static constexpr int kIdVersionLine = 1032;
    static constexpr int kIdPlay = 1039;
    static constexpr int kIdNotice = 1040;
    static constexpr int kIdSort = 1050;
    static constexpr int kIdAddRequirements = 1051;  // the notice's "Add them"
    static constexpr int kIdCopyCode = 1041;
    static constexpr int kIdPasteCode = 1042;
    static constexpr int kIdCopyReport = 1043;

    // What the file dialogs are asked: a title, the initial folder and the
    // wildcard. The answer is the chosen path, or empty when cancelled.
    struct FileRequest {
        bool save = false;
        std::wstring title;
        std::wstring folder;
        std::wstring wildcard;
    };
    using FileChooser = std::function<std::wstring(const FileRequest&)>;
    // Hands a folder or a web address to the desktop.
    using DesktopOpener = std::function<bool(const std::wstring&)>;
    // Shows a modal message with an OK button.
    using MessagePresenter = std::function<void(const std::wstring& text, const std::wstring& caption)>;
    // Asks a yes-or-no question; true for yes.
    using QuestionAsker = std::function<bool(const std::wstring& text)>;
    // Shows a context menu of `entries` at `where` (the mod list's client
    // coordinates) and answers the index of the entry chosen, or none.
    struct MenuEntry {
        std::wstring text;
        bool enabled = true;
    };
    using MenuPresenter =
        std::function<std::optional<std::size_t>(const std::vector<MenuEntry>& entries, const wxPoint& where)>;

    // Builds every control, reads the catalogue of the folders' mods folder,
    // fills the list and loads the start selection (the restart list, else
    // the default selection file). The folders must outlive the window.
    explicit CGatehouseDlg(const CGameFolders& folders);
    ~CGatehouseDlg() override;

    // The selection, for writing it after the window closed with wxID_OK.
    // Its rows carry each mod's name, guid, version and status; the other
    // texts of a mod stay in the catalogue, which the info pane reads.
    const CSelectionRules& Rules() const { return m_rules; }
    CSelectionRules& Rules() { return m_rules; }
    // Where the selection the manager opened with came from.
    StartSelectionSource StartSource() const { return m_startSource; }

    // Replace the system's file dialogs, the desktop and the message box
    // (tests, tools). Null restores the default.
    void SetFileChooser(FileChooser chooser);
    void SetDesktopOpener(DesktopOpener opener);
    void SetMessagePresenter(MessagePresenter presenter);
    void SetQuestionAsker(QuestionAsker asker);
    void SetMenuPresenter(MenuPresenter presenter);

    // What the Workshop record of the last start says about the mods, for
    // the list for a bug report, which then names the selected mods that are
    // held or changed; without it the list has no such section.
    void SetWorkshopChanges(std::vector<WorkshopModChange> changes);

    // ISelectionView.
    std::optional<std::size_t> CurrentModRow() const override;
    std::optional<std::size_t> CurrentSelectedRow() const override;
    void SetCurrentSelectedRow(std::optional<std::size_t> row) override;
    CheckState GetCheck(std::size_t row) const override;
    void SetCheck(std::size_t row, CheckState state) override;
    std::wstring ModRowText(std::size_t row) const override;
    void ClearSelectedList() override;
    void AppendSelectedRow(const std::wstring& text) override;
    void EnablePlayAndSaveSet(bool enable) override;
    void SetNameText(const std::wstring& text) override;
    void ShowMessage(const std::wstring& text) override;
    void ExplainBlockedRow(std::size_t row) override;
    void SelectionChanged() override;

    // Handlers, named after the events that call them.
    void OnLbnSelchangeModList();
    void OnCheckChangeModList();
    void OnBnClickedMoveUp();
    void OnBnClickedMoveDown();
    void OnBnClickedRemove();
    void OnBnClickedLoadSet();
    void OnBnClickedSaveSet();
    void OnBnClickedOpenMods();
    void OnBnClickedOpenSaves();
    void OnBnClickedPlayWithMods();
    // "Add them" on the notice line, and the Sort button.
    void OnBnClickedAddRequirements();
    void OnBnClickedSort();
    // The selection as a share code to the clipboard (also Ctrl+C in the
    // order list), a share code from the clipboard loaded as a set is
    // (also Ctrl+V there), and the list for a bug report to the clipboard.
    // Each says on the notice line what it did; a code that cannot be read
    // changes nothing.
    void OnBnClickedCopyShareCode();
    void OnBnClickedPasteShareCode();
    void OnBnClickedCopyReport();
    // Opens a link's address when it is a web address; anything else is
    // ignored. Returns whether it was handed to the desktop.
    bool OnNMClickLink(const std::wstring& address);
    // The mod list's context menu for the current row (a right click, the
    // menu key, Shift+F10): a mod from the Workshop can be held, released,
    // or set back to an earlier version kept in its history; the notice
    // line says what was done, a message why it could not be.
    void OnModListContextMenu(const wxPoint& where);

    // The controls, for tests and the screenshot tool.
    CModCheckListBox& ModList() { return *m_modList; }
    wxListBox& SelectedList() { return *m_selectedList; }
    CHoverButton& PlayButton() { return *m_playButton; }
    CNoticeLine& NoticeLine() { return *m_notice; }
    wxWindow& Control(int id) const;
    wxString FieldText(int id) const;

private:
    void CreateControls();
    void FillModList();
    // The Workshop record's view of the rows: which subscription each came
    // from, and the held marks. Read once per fill, and after an action.
    void ReadWorkshopRecord();
    void MarkHeldRows();
    const RecordedSubscription* SubscriptionOfRow(std::size_t row) const;
    // Reads the mods folder anew (a restore changed files in it), keeping
    // the selection and the highlighted mod where they still are.
    void ReloadMods();
    void OnModListMotion(wxMouseEvent& event);
    // Shows the report of a load or save (see the notice line above).
    void ShowReport(const Notice& report);
    // Shows on the notice line what it has to say now, and gives the order
    // list the rest of its place.
    void UpdateNotice();
    void PlaceOrderList();
    // Shows the tooltip of the marked entry under the pointer.
    void OnSelectedListMotion(wxMouseEvent& event);
    // Asks whether to replace an existing set; true when there is none.
    bool MayReplace(const std::wstring& path);
    void OnCharHook(wxKeyEvent& event);
    void OnSelectedListKey(wxKeyEvent& event);
    wxBitmapButton* IconButton(int id, const wxString& name, const char* icon, const wxPoint& pos, const wxSize& size);

    const CGameFolders& m_folders;
    std::unique_ptr<CModCatalogue> m_pCatalogue;
    std::unique_ptr<CModRows> m_rows;  // reads m_pCatalogue, so declared after it
    CSelectionRules m_rules;
    StartSelectionSource m_startSource = StartSelectionSource::None;

    CModCheckListBox* m_modList = nullptr;
    wxListBox* m_selectedList = nullptr;
    CNoticeLine* m_notice = nullptr;
    std::optional<Notice> m_blockedReason;            // while its row is highlighted
    std::optional<Notice> m_report;                   // until the selection changes
    std::vector<SelectedModNeeds> m_needs;            // what the selection lacks
    std::size_t m_placesMissing = 0;                  // the last "Add them" found no room
    std::vector<std::int64_t> m_shownSelection;       // the order list's entries
    std::vector<OrderMark> m_marks;                   // one per entry
    std::optional<std::size_t> m_tipEntry;            // whose mark the list's tooltip tells
    std::unique_ptr<CListRowDragger> m_selectedDrag;  // drops move entries by the rules of the move buttons
    wxTextCtrl* m_name = nullptr;
    wxTextCtrl* m_description = nullptr;
    wxTextCtrl* m_author = nullptr;
    wxTextCtrl* m_status = nullptr;
    wxTextCtrl* m_modVersion = nullptr;
    wxTextCtrl* m_gameVersion = nullptr;
    wxStaticText* m_versionLine = nullptr;
    wxGenericHyperlinkCtrl* m_website = nullptr;
    wxGenericHyperlinkCtrl* m_download = nullptr;
    wxBitmapButton* m_saveSetButton = nullptr;
    CHoverButton* m_playButton = nullptr;

    FileChooser m_fileChooser;
    DesktopOpener m_desktopOpener;
    MessagePresenter m_messagePresenter;
    QuestionAsker m_questionAsker;
    MenuPresenter m_menuPresenter;
    std::unique_ptr<CWorkshopMods> m_workshop;        // null without a record
    std::vector<PublishedFileId> m_rowSubscriptions;  // per mod-list row; 0: not from the Workshop
    std::optional<std::size_t> m_modTipRow;           // whose Workshop state the list's tooltip tells
    std::optional<std::vector<WorkshopModChange>> m_workshopChanges;
};

}  // namespace gh
