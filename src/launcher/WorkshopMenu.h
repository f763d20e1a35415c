// What the manager offers for one installed mod through the Workshop
// record: the entries of a row's context menu (hold, release, restore an
// earlier version), the row's tooltip, and what the notice line says once
// an entry was chosen. Texts only; the manager acts through
// WorkshopActions.
#pragma once

#include "launcher/WorkshopActions.h"
#include "workshop/WorkshopRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gh {

enum class WorkshopMenuAction {
    None,     // an entry that only says why there is nothing to do
    Hold,     // hold the subscription at its installed version
    Release,  // let the sync update it again
    Restore,  // put back the earlier version `entry` (1: the newest)
};

struct WorkshopMenuItem {
    WorkshopMenuAction action = WorkshopMenuAction::None;
    std::uint32_t entry = 0;  // Restore
    std::wstring text;
};

// The entries for a mod from `subscription` (null: a mod no sync
// installed, which gets one entry that says so): hold or release, then one
// "Restore version N (installed YYYY-MM-DD)" per kept earlier version.
std::vector<WorkshopMenuItem> WorkshopMenuItems(const RecordedSubscription* subscription);

// The row's tooltip: that it is held (and an update waits), or no longer
// subscribed; empty for a subscription that is neither, or none.
std::wstring WorkshopRowTip(const RecordedSubscription* subscription);

// The notice line's words for an action done on the mod `modName` (as its
// header names it): `acted` as the action gave it.
std::wstring WorkshopActionDoneText(const WorkshopMenuItem& item, const SubscriptionActed& acted,
                                    const std::wstring& modName);

}  // namespace gh
