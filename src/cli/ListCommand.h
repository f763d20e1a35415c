// `list [--json]`: the installed mods as the mod manager lists them.
#pragma once

#include "catalogue/ModRows.h"
#include "cli/Console.h"
#include "game/GameFolders.h"
#include "launcher/WorkshopMods.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace gh {

// Receives text for the terminal piece by piece, in order.
using TextSink = std::function<void(std::wstring_view piece)>;

// The rows as text: a version line ("Emberwake II Version 1.25.5.2", or
// "... unknown"), then one line per mod with its name, version, the game
// version it was built for and its status text, and under a blocked mod one
// line per missing or outdated requirement, by name; then HiddenText.
// Written in pieces of whole lines as the rows are made, so the list is
// never held whole.
// With `workshop`, a mod from the Workshop whose subscription is held, has
// an update waiting or is no longer subscribed gets a line that says so.
void WriteModListText(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion, const TextSink& write,
                      const CWorkshopMods* workshop = nullptr);

// The same text as one string.
std::wstring ModListText(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion);

// One line per file the catalogue hides, in the order met: "hidden: <file>
// (<name>, version <v>) has the same identity as <listed file>".
std::wstring HiddenText(const CModCatalogue& catalogue);

// Scans the mods folder of the documents game folder, judges the mods
// against the installed game's version and prints the rows (as JSON with
// `json`). Returns the exit status: 0.
int RunList(bool json, const CGameFolders& folders, IConsole& console);

}  // namespace gh
