// What the sync tells the window that shows it (the start window; the
// terminal's sync prints instead): typed events, the per-file progress, the
// progress bar and the play-with-mods button. The texts the player reads are
// made from the events in one place (SyncEventText, WorkshopText.h).
#pragma once

#include "workshop/WorkshopNames.h"

#include <cstdint>
#include <string>

namespace gh {

enum class SyncEventKind {
    LoggedOff,                // no user is logged on or remote storage is missing: there is no sync
    WaitingForList,           // the subscription list was requested
    ListFailed,               // a page of the subscription list failed (or repeated a page before the
                              // list was complete): the subscriptions seen so far are still handled
    NoSubscriptions,          // the list is empty; the sync has ended
    ListReceived,             // the first page: `count` subscriptions in all; each is handled as its
                              // page arrives
    ListCut,                  // more subscriptions than the sync takes: only the first `count` are handled
    DetailsFailed,            // a details request failed (`fileName` is empty when the client gave no record)
    UpToDate,                 // `fileName` on disk is as new as the Workshop's
    Downloading,              // `fileName` is fetched; `replacesLocalFile` when an older copy is on disk
    DownloadFailed,           // a download failed (`fileName` as for DetailsFailed)
    Installed,                // `fileName` was written below the mods folder
    CopyError,                // `fileName` could not be written (`refusal` says when its name
                              // was refused); for a single file nothing on disk changed, for an
                              // item in a folder the files that could be were copied
    InstalledWithoutModFile,  // the item in the folder `fileName` was copied, and it holds no mod file
    Disabled,                 // the player disabled `fileName` in Steam: it is left as it is
    Held,                     // the player holds `fileName` at the installed version, and the
                              // Workshop has a later one: it is left as it is (no failure)
    AllUpToDate,              // every subscription is up to date or was updated; the sync has ended
    SomeFailed,               // every subscription has its last word, and some of them failed
                              // (timed out or not written); the sync has ended
};

struct SyncEvent {
    SyncEventKind kind = SyncEventKind::WaitingForList;
    std::string fileName;            // the Workshop's 8-bit name, for the events about one file
                                     // (for an item that lives in a folder: ItemFolderName)
    int count = 0;                   // ListReceived, ListCut
    bool replacesLocalFile = false;  // Downloading
    // CopyError: why the name was refused, None when the name was fine and
    // the write failed.
    WorkshopNameProblem refusal = WorkshopNameProblem::None;
};

class ISyncView {
public:
    virtual ~ISyncView() = default;
    virtual void OnSyncEvent(const SyncEvent& event) = 0;
    // A line about the details of an event (an entry of an item's folder
    // that was skipped, why a file of it was not written), for a view that
    // has a place for it (the command line's standard error).
    virtual void OnSyncNote(const std::wstring& /*note*/) {}
    // The rotating per-file line: one unfinished download's name (as wide
    // text) and counts. It stands until the next event or progress line.
    virtual void OnDownloadProgress(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected) = 0;
    virtual void SetProgressRange(int lower, int upper) = 0;
    virtual void SetProgressPos(int pos) = 0;
    virtual int GetProgressUpper() const = 0;
    virtual void EnablePlayWithMods(bool enable) = 0;
};

}  // namespace gh
