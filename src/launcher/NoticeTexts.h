// The manager's notice line, and what the terminal says in its place: why a
// mod cannot be chosen, what a load of a selection left out, what the
// selection's mods need that it does not hold, and what an entry's place in
// the launch order costs. Kept apart from the window so that both front
// ends say the same.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ModRows.h"
#include "catalogue/RequirementGraph.h"
#include "platform/Status.h"
#include "selection/SelectionOrder.h"
#include "selection/SelectionRequirements.h"
#include "selection/SelectionRules.h"
#include "selection/SharedSelection.h"

namespace gh {

// Where a text goes: the windows isolate outside names (IsolatedText), so
// that they cannot reorder the words around them; the terminal escapes them
// (EscapedText).
enum class TextFor { Window, Terminal };

// A notice: a short line, and what it leaves out for a tooltip (empty when
// the line says it all).
struct Notice {
    std::wstring line;
    std::wstring details;
};

// "Naval Overhaul cannot be chosen: it needs Core Library 5, and version 2
// is installed." or "...: it needs Black Powder, which is not installed."
// With more than one problem the line names the first and counts the rest,
// and the details list them all (as StatusTipText does).
Notice BlockedNotice(std::string_view modName, std::span<const RequirementProblem> problems, TextFor target);

// What a load of `setName` (the set's name, "the last selection" or a file
// name) took and left out, with the mods' names and reasons from `rows`:
// "Loaded Favourites: 4 of 5 mods. Naval Overhaul was left out: it needs
// Core Library 5." Several left out: "... Naval Overhaul and 2 more were
// left out.", each named with its reason in the details.
Notice LoadNotice(std::wstring_view setName, const SelectionLoadReport& report, const CModRows& rows, TextFor target);

// One line per entry the load left out, with its reason, as the details
// of LoadNotice list them ("Naval Overhaul was left out: it needs Core
// Library 5").
std::wstring LeftOutLine(const LeftOutEntry& entry, const CModRows& rows, TextFor target);

// What one selected mod needs that the selection does not hold: "Harbor
// Lights needs Core Library and Map Tools". A requirement that cannot be
// added says why: "Map Tools needs Editor (not installed)", "... Core
// Library 5 (version 2 is installed)", "... Black Powder (cannot be chosen)".
std::wstring NeedsLine(const SelectedModNeeds& needs, TextFor target);

// The notice while the selection lacks requirements (`needs` not empty):
// the first mod's line ("Harbor Lights needs Core Library and Map Tools."),
// and how many more mods lack something; the details then give each
// mod's line.
Notice RequirementNotice(std::span<const SelectedModNeeds> needs, TextFor target);

// Why "Add them" added nothing: "Nothing was added: 3 places are missing,
// as the limit is 10 mods."
std::wstring NoRoomText(std::size_t placesMissing);

// What an entry's mark in the order list means, for its tooltip: "loads
// before Core Library, which it needs", and for a mod of a ring "belongs to
// a ring of mods that need each other, which keep their order"; one line
// each. Empty when the entry has no mark. `selection` is the guids the
// marks were made for.
std::wstring OrderMarkText(const OrderMark& mark, std::span<const std::int64_t> selection, const CModRows& rows,
                           TextFor target);
// One line per entry of a share code that did not load or whose mod is
// installed at a lower version than the code names, in the code's order:
// "Naval Overhaul (mod 42) was left out: it is not installed", "Core
// Library is outdated: the code names version 5, and version 2 is
// installed". A mod that is installed goes by its own name, one that is not
// by the name the code gives it and its identity.
std::vector<std::wstring> SharedLoadLines(const SharedLoadReport& report, const CModRows& rows, TextFor target);

// What a load of a share code took, left out and found outdated: "Loaded
// the share code: 3 of 4 mods. Naval Overhaul (mod 42) was left out: it is
// not installed. Core Library is outdated: ...", with the details listing
// every line when the line names only the first of several.
Notice SharedLoadNotice(const SharedLoadReport& report, const CModRows& rows, TextFor target);

// What the clipboard buttons did, for the notice line: "Copied the share
// code of 3 mods.", "Copied the mod list for a bug report." (a paste says
// what it loaded with SharedLoadNotice), or why nothing was copied or
// loaded. `failure` is a share code's status (a damaged code,
// a selection that cannot be shared), whose text may quote a mod's name.
enum class ClipboardAction { CopyCode, PasteCode, CopyReport };
Notice ClipboardDoneNotice(ClipboardAction action, std::size_t mods = 0);
Notice ClipboardFailedNotice(ClipboardAction action, const Status& failure);
// The clipboard could not be opened, or (pasting) held no text.
Notice ClipboardUnavailableNotice(ClipboardAction action);

}  // namespace gh
