// What the player can do to one Workshop subscription through the record:
// hold it at its installed version, release it, or put an earlier version
// back. The command line and the manager both act through these, so they
// refuse and report alike.
#pragma once

#include "platform/Status.h"
#include "workshop/WorkshopRecords.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gh {

// How an action tells what happened on the way: `waiting` once before it
// waits for another sync that holds the record's lock, `note` for each line
// the record's load had to say (a damaged record moved aside).
struct RecordActionHooks {
    std::function<void()> waiting;
    std::function<void(const std::wstring&)> note;
};

// The subscription an action changed.
struct SubscriptionActed {
    PublishedFileId id = 0;
    std::string name;       // CWorkshopMods::NameOf, UTF-8 as recorded
    std::string installed;  // a restore: the date ("YYYY-MM-DD") the restored version was installed
};

// Holds (`hold` true) or releases the subscription `target` names (a mod
// file of it, or its published file id; see CWorkshopMods::Find) in the
// record of the documents game folder `userGameFolder` (ending with a
// separator): a sync leaves a held subscription at its installed version.
// Refused, with a message that names `target`, for a mod that is not from
// the Workshop; a failure when the record cannot be locked or written.
Result<SubscriptionActed> HoldSubscription(const std::wstring& userGameFolder, const std::wstring& target, bool hold,
                                           const RecordActionHooks& hooks = {});

// Puts version `entry` (1: the newest earlier one) of the subscription's
// history back (RestoreFromHistory): its current files go to the history
// first, and it is held. Refused for a mod not from the Workshop and for an
// entry that is not kept; a failure when the restore stopped part way (what
// was done is recorded) or the record cannot be locked or written.
Result<SubscriptionActed> RestoreSubscription(const std::wstring& userGameFolder, const std::wstring& target,
                                              std::uint32_t entry, const RecordActionHooks& hooks = {});

}  // namespace gh
