// How long the Workshop record of many subscriptions takes to read: a
// record written by the launcher's own writer, read back through
// CWorkshopRecordFile as the sync and the commands read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace gh::bench {

enum class RecordShape {
    // As players would have one: a few files and mods each, some earlier
    // versions kept, some held, gone or changed since the last game start.
    Played,
    // The least a subscription can be: one file, one mod, nothing else.
    Lean,
};

struct RecordReadTimes {
    bool saved = false;     // the record was written
    bool readBack = false;  // Read() gave back the record that was written
    std::uintmax_t bytes = 0;
    std::size_t subscriptions = 0, files = 0, mods = 0, historyEntries = 0, changes = 0;
    double readMs = 0;  // the median of Read()
    double loadMs = 0;  // the median of Load()
    double saveMs = 0;  // the median of Save() of the same record
    double slowestMs = 0;
    // Where Read()'s time goes, medians: the file's bytes into memory,
    // ParseWorkshopRecord of them, and of that the JSON parse alone.
    double bytesMs = 0, parseMs = 0, jsonMs = 0;
};

// Writes a record of `subscriptions` below the game folder `gameFolder`
// and times `reads` reads each of Read() and Load() and of their parts,
// and as many writes with Save(), taking turns, after one that is not counted.
RecordReadTimes TimeRecordReads(const std::filesystem::path& gameFolder, RecordShape shape, int subscriptions,
                                int reads);

}  // namespace gh::bench
