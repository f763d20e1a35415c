// The list a player pastes into a bug report for a mod's author: the
// launcher's, the game's and the system's versions, the selection in launch
// order, and every installed mod that cannot be used as it is, with what it
// lacks. The same text for `gatehouse report` and the manager's "Copy list
// for a bug report" button.
//
// Nothing in it names the player or the machine: files are named by their
// path below the mods folder, never by a full path (which holds the user's
// name), and the system is described without its host name. Every text from
// a mod file is shown as EscapedText shows it, and in Markdown its marks are
// escaped, so that a name cannot break the list's lines or its table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ModRows.h"
#include "game/GameFolders.h"

namespace gh {

enum class BugReportFormat { PlainText, Markdown };

// What the Workshop record of the last start says about one mod: whether
// the player holds it at the version they have, and whether its file
// changed since the launcher last started the game.
struct WorkshopModChange {
    std::int64_t guid = -1;
    bool held = false;
    bool changed = false;
};

struct BugReportSubject {
    const CGameFolders& folders;
    const CModRows& rows;  // built from the catalogue of folders' mods folder
    // The selection in launch order, as row indexes, and where it came from
    // ("the last selection", a set's name), which the report names.
    std::vector<std::uint32_t> selection;
    std::wstring selectionName;
    // The Workshop record's word on the mods, when there is such a record:
    // then the report has a section on which selected mods are held or
    // changed since the last start. Without it the section is left out.
    std::optional<std::vector<WorkshopModChange>> workshop;
};

std::wstring BugReportText(const BugReportSubject& subject, BugReportFormat format);

// `file`'s path below `folder`, its components joined with '/', or, when
// `file` does not lie below `folder`, its file name alone: never a path
// that leads from outside the folder. Components are compared as the
// program compares paths (ASCII letters without regard to case, either
// separator, runs of separators as one).
std::wstring PathBelowFolder(std::wstring_view file, std::wstring_view folder);

}  // namespace gh
