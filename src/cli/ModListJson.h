// `list --json`: the manager's rows as one JSON object,
//   {"gameVersion": "1.25.5.2" or null,
//    "mods": [{"name", "author", "version", "gameVersion", "guid", "status",
//              "statusText", "description", "website", "downloadUrl", "file",
//              "missing": [{"guid", "version", "name"}],
//              "outdated": [{"guid", "version", "name"}]}]}
// with the mods in row order.
#pragma once

#include "app/GameVersion.h"
#include "catalogue/ModRows.h"

#include <optional>
#include <string>

namespace gh {

// The object as UTF-8 text, indented, ending in a line end. "missing" holds
// the requirements no installed mod has (the requirement's guid, least
// version and name); "outdated" the installed mods older than a requirement
// asks (their own guid, version and name). Text that is not valid Unicode
// comes out with U+FFFD in its place, never as invalid UTF-8.
std::string ModListJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion);

}  // namespace gh
