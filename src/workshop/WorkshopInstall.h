// Writing a downloaded Workshop file below the mods folder of the documents
// game folder.
#pragma once

#include "workshop/WorkshopClient.h"
#include "workshop/WorkshopNames.h"
#include "workshop/WorkshopRecords.h"

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace gh {

// Content is taken from the client in pieces of at most this size.
inline constexpr std::size_t kInstallChunkSize = 1 << 20;

// Removes the temporary files that interrupted installs left behind (a killed
// or crashed launcher, a power cut), in each folder an install writes to, at
// the first write there: once per folder for the life of the sweeper (one
// sync), and only the program's own files that no running writer holds.
class CStaleFileSweeper {
public:
    // Sweeps the folder that holds `file`, unless it was swept already.
    void SweepFolderOf(const std::wstring& file);

private:
    std::set<std::wstring> m_swept;
};

// Writes the content of `result` (contentHandle, sizeInBytes, fileName)
// to the file its name gives below the mods folder of the documents game
// folder (WorkshopFilePath), creating the folders the file lives in. The
// name is judged before anything is created. The content is read from
// `client` with UGCRead in pieces of kInstallChunkSize and replaces an
// existing file atomically. False, with nothing written and an existing file
// untouched, when the name is refused (JudgeWorkshopName), the size is
// negative, the target is read-only or a folder, the client delivers fewer
// bytes than announced, or any write fails. With a `sweeper`, the target's
// folder is swept of stale temporary files first.
bool InstallDownloadedFile(IWorkshopClient& client, const DownloadedContent& result, const std::wstring& userGameFolder,
                           CStaleFileSweeper* sweeper = nullptr);

// The same content (`result`'s contentHandle and sizeInBytes) written to each
// of `names` (8-bit Workshop names; fileName is not used), for the
// subscriptions that share one content: the content is read from the client
// once, a piece at a time, and each piece written to every file, so memory
// stays bounded whatever the count. Names that lead to the same file (as the
// launcher compares paths) share one write. Returns, for each name, whether
// its file was written; each file succeeds or fails on its own, as above.
std::vector<bool> InstallDownloadedFiles(IWorkshopClient& client, const DownloadedContent& result,
                                         const std::vector<std::string>& names, const std::wstring& userGameFolder,
                                         CStaleFileSweeper* sweeper = nullptr);

}  // namespace gh
