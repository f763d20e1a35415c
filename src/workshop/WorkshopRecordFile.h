// The Workshop record on disk: Gatehouse/workshop-record.json below the
// documents game folder, the lock that lets one sync (or one command that
// changes the record) at a time use it, and the earlier versions' folders
// beside it (Gatehouse/history/<id>/<n>/).
#pragma once

#include "platform/FileLock.h"
#include "platform/Status.h"
#include "workshop/WorkshopRecord.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gh {

class CWorkshopRecordFile {
public:
    // `userGameFolder` ends with a separator.
    explicit CWorkshopRecordFile(std::wstring userGameFolder);

    const std::wstring& UserGameFolder() const { return m_userGameFolder; }
    std::wstring RecordPath() const;
    std::wstring LockPath() const;
    // Gatehouse/history/<id>/, and the folder of one of its entries.
    std::wstring HistoryFolder(PublishedFileId id) const;
    std::wstring HistoryEntryFolder(PublishedFileId id, std::uint32_t folder) const;
    // The file a record path names (below the documents game folder).
    std::wstring PathOf(const std::string& recordPath) const;

    // Takes the lock, making the Gatehouse folder when missing. With
    // `waiting`, told once before it waits for another holder. The folder
    // is made (or found) once per object: a sync's writes do not look for
    // it again, unless the lock cannot be opened.
    Status Lock(const std::function<void()>& waiting = {});
    void Unlock() { m_lock.Release(); }
    bool IsLocked() const { return m_lock.IsHeld(); }

    // The record. A missing one is empty. One that cannot be read whole, is
    // damaged or has a version this launcher does not know is empty too: it
    // is moved aside to workshop-record.damaged-<time>.json (UTC,
    // YYYYMMDD-HHMMSS), and `notes` gets one line that says so.
    WorkshopRecord Load(std::vector<std::wstring>& notes) const;
    // The record as it is, without moving a damaged one: empty when it is
    // missing, a failure when it cannot be read or is damaged.
    Result<WorkshopRecord> Read() const;
    // The record as it is, for a look only: empty when it is missing or
    // cannot be read; nothing is moved or written.
    WorkshopRecord Peek() const;
    // Replaces the record atomically.
    Status Save(const WorkshopRecord& record) const;

private:
    Status MakeFolder() const;

    std::wstring m_userGameFolder;
    platform::CFileLock m_lock;
    mutable bool m_folderMade = false;  // the Gatehouse folder was made or found
};

// Seconds since 1970 now.
std::int64_t SecondsSince1970();

// `seconds` since 1970 as UTC "YYYY-MM-DD" (with `withTime`, "YYYY-MM-DD HH:MM").
std::string DateText(std::int64_t seconds, bool withTime = false);

}  // namespace gh
