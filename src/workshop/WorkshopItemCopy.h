// Copying an item that lives in a folder (the Steam client's copy of it)
// below mods/workshop-items/<id>/ of the documents game folder.
#pragma once

#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopRecords.h"

#include <functional>
#include <string>
#include <vector>

namespace gh {

// Folders deeper than this below an item's folder are not walked; such an
// item is a copy error.
inline constexpr std::size_t kMaxItemFolderDepth = 64;

struct ItemCopyReport {
    enum class Outcome {
        UpToDate,  // every file was as new on disk as the item's time
        Updated,   // some files were copied, and none failed
        Failed,    // the folder could not be read, two names would be one file,
                   // or a file could not be copied (the others were copied)
    };
    Outcome outcome = Outcome::UpToDate;
    bool hasModFile = false;  // some file's name ends in ".mod" (any case)
    // Lines for the command line's standard error: entries that were
    // skipped, and why the item or one of its files failed.
    std::vector<std::wstring> notes;
    // Every file of the item as it is below the documents game folder now
    // (those copied and those up to date), in the folder's walk order; empty
    // when the item failed before its names were judged.
    std::vector<std::wstring> targets;
};

// Copies the files of the item `fileId` from its install folder
// (`install.folder`, UTF-8) to ItemFilePath(userGameFolder, fileId, ...),
// keeping their paths below the folder. Links, pipes and devices are
// skipped, each with a note. A file is copied only when `install.timeStamp`
// is later than the modification time of the file it would replace (or that
// file is missing); it replaces it atomically, read and written a piece of
// kInstallChunkSize at a time. Names that differ only in case (as the
// launcher compares paths) make the item fail before anything is written.
// A file whose name is refused, or that cannot be read or written, is not
// written and makes the item fail; the others are copied all the same.
// `beforeFirstWrite`, when given, is called once, right before the first
// file would be replaced or added; when it fails, nothing is written and
// the item fails with a note of its reason.
ItemCopyReport CopyItemFolder(const ItemInstallInfo& install, PublishedFileId fileId,
                              const std::wstring& userGameFolder, CStaleFileSweeper* sweeper = nullptr,
                              const std::function<Status()>& beforeFirstWrite = {});

}  // namespace gh
