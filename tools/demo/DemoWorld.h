// What the demo environment holds: the installed mods, the saved sets and
// the local Workshop's subscriptions.
#pragma once

#include "support/ModFileWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gh::demo {

// The game version the demo's Emberwake2.exe carries.
inline constexpr std::uint16_t kGameVersion[4] = {1, 25, 5, 2};

// One mod file below the mods folder.
struct DemoMod {
    std::wstring file;  // relative to the mods folder, '/' separated
    test::ModFile header;
};

enum class DemoSubscriptionState {
    UpToDate,   // installed with the Workshop's own time
    OutOfDate,  // installed, older than the Workshop's copy
    Missing,    // not installed
};

struct DemoSubscription {
    std::uint64_t id = 0;
    std::wstring file;  // relative to the documents game folder, '/' separated
    test::ModFile header;
    std::size_t size = 0;  // bytes of the Workshop's copy, padding included
    DemoSubscriptionState state = DemoSubscriptionState::UpToDate;
};

// A Workshop item that lives in a folder: the Steam client keeps its files
// in a folder of its own; the sync copies them below mods/workshop-items/<id>/.
struct DemoItemFolder {
    std::uint64_t id = 0;
    std::wstring folder;  // below the local Workshop's "items/"
    test::ModFile header;
    std::wstring modFile;                                          // the mod's file in the folder
    std::vector<std::pair<std::wstring, std::string>> otherFiles;  // relative name, bytes
};

// A saved selection set: file name in the documents game folder, mod guids.
struct DemoSet {
    std::wstring file;
    std::vector<std::int64_t> guids;
};

std::vector<DemoMod> DemoMods();
std::vector<DemoSubscription> DemoSubscriptions();
std::vector<DemoItemFolder> DemoItemFolders();
// Subscriptions that are no mods (maps), all up to date, so that the list
// of subscriptions runs to more than one page.
inline constexpr int kDemoMapSubscriptions = 56;
// The saved sets; "gatehouse.sch" among them is the last launched selection.
std::vector<DemoSet> DemoSets();

}  // namespace gh::demo
