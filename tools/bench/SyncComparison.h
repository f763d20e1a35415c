// This build's Workshop sync against an older build's, and the reading of
// a large Workshop record (gatehouse_bench --sync-against OLD-EXE):
//   - a sync of 50 single-file subscriptions, all up to date and known to
//     the record, `gatehouse sync` as a child process, run by either build
//     in turn, each on its own copy of the same world: the medians, their
//     ratio (goal: at most 1.1), and whether this build left the record as
//     it was (its inode, size, times and bytes after every run, and one run
//     under strace: no open for writing, write, rename, link or unlink of a
//     file in Gatehouse/ but the open of the lock);
//   - an update of one of them, whose Workshop copy became newer, under
//     strace: the link and rename calls (link, linkat, rename, renameat,
//     renameat2) of each build's whole process (goal: this build makes one
//     of each more, the link that keeps the earlier version and the rename
//     that puts the new record in place);
//   - a record of 10,000 subscriptions read by CWorkshopRecordFile::Read and
//     Load (goal: the median under 50 ms).
#pragma once

#include <filesystem>
#include <string>

namespace gh::bench {

struct SyncComparisonOptions {
    std::string gatehouse;         // this build's executable
    std::string older;             // the older build's
    int runs = 31;                 // up-to-date syncs of each build, after one that warms the caches
    std::filesystem::path folder;  // made for the worlds, and removed afterwards
};

// Prints the figures and a verdict for each goal; 0 when all pass.
int CompareSync(const SyncComparisonOptions& options);

}  // namespace gh::bench
