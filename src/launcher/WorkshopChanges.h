// What changed among the Workshop subscriptions since the game was last
// started, as the record keeps it: new mods, updated mods (from version to
// version), held mods with an update waiting, and subscriptions that are
// gone. For `gatehouse changes` and the end of `gatehouse sync`.
#pragma once

#include "launcher/BugReport.h"
#include "workshop/WorkshopRecord.h"

#include <optional>
#include <vector>

#include <string>

namespace gh {

// "What changed since the game was last started (<date>):" and one line per
// change, new first, then updated, held with an update, gone; or one line
// that nothing changed.
std::wstring ChangesText(const WorkshopRecord& record);

// The counts of ChangesText in a few words, for a line with a link to the
// whole list: "2 updated, 1 new, 1 held with an update, 1 no longer
// subscribed", leaving out the kinds that have none; empty when nothing
// changed.
std::wstring ChangesSummary(const WorkshopRecord& record);

// The same as a JSON object: {"since": "YYYY-MM-DD HH:MM" or null,
// "changes": [{"kind": "new"|"updated"|"held"|"gone", "id", "name",
// "from": [{"path", "guid", "version"}], "to": [...]}]}.
std::string ChangesJson(const WorkshopRecord& record);

// Each recorded mod with whether its subscription is held and whether it
// changed (new or updated) since the last game start, for the list for a
// bug report; none when the documents game folder (ending with a
// separator) has no record, so the list leaves the section out.
std::optional<std::vector<WorkshopModChange>> RecordedModChanges(const std::wstring& userGameFolder);
std::vector<WorkshopModChange> RecordedModChanges(const WorkshopRecord& record);

// The game was started: the record notes when, and what changed is
// forgotten. Never stops the start: a record that cannot be locked, read
// or written is left as it is.
void NoteGameStarted(const std::wstring& userGameFolder);

}  // namespace gh
