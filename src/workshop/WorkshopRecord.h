// The Workshop record: what the sync wrote for each subscription, kept in
// Gatehouse/workshop-record.json below the documents game folder, outside
// the mods folder. The record is the program's own memory of its Workshop
// files: which files each subscription put where, the Workshop's time of
// the version installed, whether the player holds it at that version, and
// the earlier versions kept in Gatehouse/history/<id>/<n>/.
//
// Its text is JSON (see docs/architecture.md, "The Workshop record"). The
// reader takes any bytes: a record that is not JSON, is nested too deep, is
// too large or carries another version is refused as a whole; within an
// accepted record, a value of the wrong type or out of range refuses it too,
// while a file entry that names a file outside mods/ is dropped on its own.
#pragma once

#include "platform/Status.h"
#include "workshop/WorkshopRecords.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace gh {

inline constexpr int kWorkshopRecordVersion = 1;
// The largest record read, and the deepest nesting of its arrays and objects.
inline constexpr std::size_t kRecordMaxBytes = 64u << 20;
inline constexpr int kRecordMaxDepth = 8;
// The most files one subscription or history entry may name in a record.
inline constexpr std::size_t kRecordMaxFiles = 100'000;

// A file a subscription wrote: its path relative to the documents game
// folder ('/' separated, UTF-8, below mods/), its size and modification
// time (seconds since 1970) as they were when it was written.
struct RecordedFile {
    std::string path;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    friend bool operator==(const RecordedFile&, const RecordedFile&) = default;
};

// A mod file of a subscription, by the identity and version its header gives.
struct RecordedMod {
    std::string path;  // as RecordedFile::path
    std::int64_t guid = 0;
    std::uint32_t version = 0;
    friend bool operator==(const RecordedMod&, const RecordedMod&) = default;
};

// One earlier version of a subscription, kept in Gatehouse/history/<id>/<folder>/.
struct HistoryEntry {
    std::uint32_t folder = 0;       // its folder's number, counting up per subscription
    std::int64_t installed = 0;     // when that version was installed (seconds since 1970)
    std::int64_t workshopTime = 0;  // the Workshop's time of that version
    std::vector<RecordedFile> files;
    std::vector<RecordedMod> mods;
    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

enum class SubscriptionRoute {
    File,    // one file, downloaded under its Workshop name
    Folder,  // an item that lives in a folder, copied to mods/workshop-items/<id>/
};

struct RecordedSubscription {
    PublishedFileId id = 0;
    SubscriptionRoute route = SubscriptionRoute::File;
    std::int64_t workshopTime = 0;   // the Workshop's time of the version installed
    std::int64_t installed = 0;      // when it was installed (seconds since 1970)
    bool held = false;               // the player holds it at the installed version
    std::int64_t updateWaiting = 0;  // the Workshop's time of a later version not taken (held); 0: none
    bool subscribed = true;          // among the subscriptions when a sync last listed them all
    std::vector<RecordedFile> files;
    std::vector<RecordedMod> mods;
    std::vector<HistoryEntry> history;  // the newest earlier version first
    friend bool operator==(const RecordedSubscription&, const RecordedSubscription&) = default;
};

// What happened to a subscription since the game was last started.
enum class ChangeKind {
    New,      // installed for the first time
    Updated,  // replaced by a later version
    Gone,     // no longer among the subscriptions (its files are kept)
};
struct RecordedChange {
    ChangeKind kind = ChangeKind::New;
    std::vector<RecordedMod> from;  // its mods before (Updated, Gone)
    std::vector<RecordedMod> to;    // its mods after (New, Updated)
    friend bool operator==(const RecordedChange&, const RecordedChange&) = default;
};

struct WorkshopRecord {
    std::int64_t lastGameStart = 0;  // seconds since 1970; 0 before the first
    std::map<PublishedFileId, RecordedSubscription> subscriptions;
    // Since the last game start, by subscription; a game start empties it.
    std::map<PublishedFileId, RecordedChange> changes;
    friend bool operator==(const WorkshopRecord&, const WorkshopRecord&) = default;
};

// Whether `path` (as RecordedFile::path) names a file below the mods folder:
// a relative path whose first component is "mods" (a-z without regard to
// case), with at least one component after it, none of which could lead out
// of it or to a device.
bool IsRecordPathBelowMods(std::string_view path);

// The record in `text`, or why it is refused (BadData; one line).
Result<WorkshopRecord> ParseWorkshopRecord(std::string_view text);

// The record's text: what ParseWorkshopRecord reads back as `record`.
std::string WorkshopRecordText(const WorkshopRecord& record);

}  // namespace gh
