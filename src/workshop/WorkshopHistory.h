// The earlier versions of a subscription's files, kept in
// Gatehouse/history/<id>/<n>/ below the documents game folder: each entry
// holds the files as they were, at their paths below the documents game
// folder (mods/x.mod in the entry is what was mods/x.mod), by a hard link
// where the disk allows it and otherwise by a copy. The newest
// kHistoryKept entries are kept.
#pragma once

#include "platform/Status.h"
#include "workshop/WorkshopRecord.h"
#include "workshop/WorkshopRecordFile.h"

#include <cstddef>
#include <string>
#include <vector>

namespace gh {

inline constexpr std::size_t kHistoryKept = 3;

// Keeps `files` (paths below the record file's documents game folder) in a
// new entry of `subscription`'s history, numbered one above every entry its
// folder or the record has, and puts it first in subscription.history with
// `mods` and the subscription's installed and Workshop times; entries past
// kHistoryKept are removed, folders and all. Refused, with nothing kept and
// the history as it was, when the history folder or the subscription's
// folder in it is a file or a link, or a file cannot be linked or copied
// (a full disk, a folder that may not be written).
Status KeepInHistory(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription,
                     const std::vector<std::wstring>& files, std::vector<RecordedMod> mods, bool prune = true);

// Removes the entries past kHistoryKept, folders and all.
void PruneHistory(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription);

// Puts entry `index` (0: the newest) of `subscription`'s history back in
// place of its current files, which are kept in the history first, so the
// restore can itself be undone; files of the current version that the
// entry does not have leave mods/ (they are in that new entry). The
// restored entry leaves the history (its files are the current ones now),
// and the subscription is held, with the version it replaced noted as a
// waiting update, so that the next sync does not undo the restore. A
// failure before any file was put back changes nothing; one after says
// which file, and the replaced version is still in the history.
Status RestoreFromHistory(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription, std::size_t index);

// Removes the newest entry of `subscription`'s history and its folder: an
// update that was kept for and then did not happen.
void DropNewestHistoryEntry(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription);

// The files below `folder`, walked without following links (links, pipes
// and devices are left out), as full paths; none when it cannot be listed.
std::vector<std::wstring> FilesBelow(const std::wstring& folder);

}  // namespace gh
