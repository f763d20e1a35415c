// The worlds the benchmarks sync: a local Workshop (docs/architecture.md,
// "The local Workshop's manifest") and a documents folder, below one root.
// root/workshop/ holds workshop.json, the content of the n-th single-file
// item as files/<n>.bin and each folder item's tree as items/<id>/;
// root/documents/ is the documents folder, and the sync writes to its game
// folder (GameFolderOf).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace gh::bench {

// The Workshop time of every item unless it says otherwise.
inline constexpr long kWorkshopTime = 1'700'000'000;

struct BenchFileItem {
    std::uint64_t id = 0;
    std::string name;   // the Workshop name, e.g. "mods/Sync 0/synced_0.mod"
    std::string bytes;  // the content
    long timeUpdated = kWorkshopTime;
};

struct BenchFolderItem {
    std::uint64_t id = 0;
    std::vector<std::pair<std::string, std::string>> files;  // name in the item's folder, bytes
    long timeUpdated = kWorkshopTime;
};

// root/documents/My Games/Velmora Games/Emberwake 2
std::filesystem::path GameFolderOf(const std::filesystem::path& root);

// Writes root/workshop/ afresh: the single-file items, then the folder
// items, in list order. The documents folder is left as it is.
void WriteLocalWorkshop(const std::filesystem::path& root, const std::vector<BenchFileItem>& files,
                        const std::vector<BenchFolderItem>& folders = {});

// Writes `bytes` to `name` below the game folder, with `modified` (seconds
// since 1970) as its modification time, and returns its full path.
std::string WriteGameFile(const std::filesystem::path& root, const std::string& name, const std::string& bytes,
                          long modified);

// `gatehouse sync` of the world below `root`, run by `gatehouse`.
std::vector<std::string> SyncCommand(const std::string& gatehouse, const std::filesystem::path& root);

}  // namespace gh::bench
