// Writing a downloaded Workshop file below the documents game folder, and
// the path text helpers it uses.
#pragma once

#include "workshop/WorkshopClient.h"
#include "workshop/WorkshopNames.h"
#include "workshop/WorkshopRecords.h"

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

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

// Writes the content of `result` (m_hFile, m_nSizeInBytes, m_pchFileName)
// to the documents game folder plus the file's name (PathBelow), creating
// the folders the name asks for. The content is read from `client` with UGCRead in
// pieces of kInstallChunkSize and replaces an existing file atomically.
// False, with nothing written and an existing file untouched, when the name
// is unsafe (IsSafeWorkshopName), the size is negative, the target is read-only or a folder,
// the client delivers fewer bytes than announced, or any write fails.
// With a `sweeper`, the target's folder is swept of stale temporary files
// first.
bool InstallDownloadedFile(IWorkshopClient& client, const RemoteStorageDownloadUGCResult& result,
                           CStaleFileSweeper* sweeper = nullptr);

// The text up to and including the last '/' of `name`; if it has none, or
// its last '/' is its last character, up to and including its last '\';
// with neither, `name` unchanged.
std::string GetFolderPart(const std::string& name);

// The text after the last '\' of `path`, else after its last '/', else `path`.
std::wstring GetFileNamePart(const std::wstring& path);

// Replaces the first occurrence of `what` (searching from the start) with
// `with` while one is left. An empty `what`, or a `with` that contains
// `what`, is replaced in one pass instead, so the call always ends.
std::wstring ReplaceAll(std::wstring text, const std::wstring& what, const std::wstring& with);

// Creates the folders of `path` below the documents game folder, in that
// folder's own letter case. A path with a '.' anywhere has its last
// component taken as a file name and dropped. Nothing is created unless the
// folder that results stays below the documents game folder (PathBelow).
// Returns whether the folder exists afterwards.
bool CreateFolderForPath(const std::wstring& path);

}  // namespace gh
