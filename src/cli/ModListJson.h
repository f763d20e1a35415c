// `list --json`: the manager's rows as one JSON object,
//   {"gameVersion": "1.25.5.2" or null,
//    "mods": [{"name", "author", "version", "gameVersion", "guid", "status",
//              "statusText", "description", "website", "downloadUrl", "file",
//              "missing": [{"guid", "version", "name"}],
//              "outdated": [{"guid", "version", "name"}],
//              "workshop": null or {"id", "subscribed", "held", "updateWaiting",
//                                   "history": [{"entry", "installed", "mods": [{"guid", "version"}]}]}}],
//    "hidden": [{"file", "name", "version", "guid", "sameAs"}]}
// with the mods in row order, the hidden files (those passed over because a
// listed file, "sameAs", has their identity) in the order they were met, indented by two spaces per level, keys in
// this order, and a line end after the closing brace.
#pragma once

#include "catalogue/ModRows.h"
#include "game/GameVersion.h"
#include "launcher/WorkshopMods.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace gh {

// Receives the object's UTF-8 text piece by piece, in order.
using JsonSink = std::function<void(std::string_view piece)>;

// The writer hands on a piece once it holds about this many bytes, and
// always whole mods, so the list is never held whole in memory.
inline constexpr std::size_t kJsonPieceSize = 64 * 1024;

// Writes the object as its mods are made. "missing" holds the requirements
// no installed mod has (the requirement's guid, least version and name);
// "outdated" the installed mods older than a requirement asks (their own
// guid, version and name). Text that is not valid Unicode comes out with
// U+FFFD in its place, never as invalid UTF-8; quotes, backslashes and
// every character that IsShownEscaped (launcher/OutsideText.h) names are
// escaped (controls, bidirectional controls, line and paragraph
// separators), everything else is written as it is.
// With `workshop`, each mod has "workshop": the subscription that wrote its
// file (its history numbered from 1, the newest earlier version, with the
// date it was installed), or null for a mod not from the Workshop.
void WriteModListJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion, const JsonSink& write,
                      const CWorkshopMods* workshop = nullptr);

// The same object as one string.
std::string ModListJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion);

}  // namespace gh
