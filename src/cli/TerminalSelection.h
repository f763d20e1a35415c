// The installed mods and a selection of them for the commands that read a
// selection without starting the game (share, import, report): the
// catalogue of the mods folder, the manager's rows and a selection without
// a window.
#pragma once

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "cli/Console.h"
#include "game/GameFolders.h"
#include "selection/HeadlessSelectionView.h"
#include "selection/SelectionFile.h"
#include "selection/SharedSelection.h"

#include <optional>
#include <string>

namespace gh {

// What the terminal says when a set cannot be loaded ("gatehouse: ..." and a
// line end); nothing for a set that loaded. Returns whether it loaded.
bool ReportSetLoad(SelectionFileResult result, const std::wstring& path, IConsole& console);

// Prints on standard error, one "gatehouse: " line each, the entries of a
// share code that did not load and those whose mod is outdated.
void ReportSharedLoad(const SharedLoadReport& report, const CModRows& rows, IConsole& console);

class CTerminalSelection {
public:
    // Reads the folders' mods folder; the selection starts empty.
    explicit CTerminalSelection(const CGameFolders& folders);
    CTerminalSelection(const CTerminalSelection&) = delete;
    CTerminalSelection& operator=(const CTerminalSelection&) = delete;

    // Loads a saved set, or without one the selection the manager opens with
    // (the restart list, which is left in place, else "gatehouse.sch"), and
    // prints on standard error what the load left out, as play does. False,
    // with the reason printed, when the set cannot be loaded.
    bool Load(const std::optional<std::wstring>& setPath, IConsole& console);
    // What was loaded, for people: the set's name or "the last selection".
    const std::wstring& Name() const { return m_name; }

    const CModRows& Rows() const { return m_rows; }
    CSelectionRules& Rules() { return m_selection.Rules(); }
    const CSelectionRules& Rules() const { return m_selection.Rules(); }

private:
    const CGameFolders& m_folders;
    CModCatalogue m_catalogue;
    CModRows m_rows;  // reads m_catalogue, so declared after it
    CHeadlessSelection m_selection;
    std::wstring m_name;
};

}  // namespace gh
