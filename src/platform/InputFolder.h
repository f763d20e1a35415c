// A folder held open while the files it lists are read.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/Status.h"

namespace gh::platform {

// A folder held open while its files are read, for scans over many files:
// it is listed once, and each file is opened by the name that listing gave,
// relative to the open folder, so that no path is built, converted or
// walked again for each file. Files open under CInputFile's rules: regular
// files only, and opening never waits.
class CInputFolder {
public:
    CInputFolder();
    ~CInputFolder();
    CInputFolder(const CInputFolder&) = delete;
    CInputFolder& operator=(const CInputFolder&) = delete;

    // `folder` spelled as the file system spells it (see ExactCasePath).
    // False when it is not a folder that can be opened.
    bool Open(const std::wstring& folder);
    // The identity of the folder that is open (as GetFolderIdentity gives
    // it), or none.
    std::optional<FolderIdentity> Identity() const;
    // Appends every entry, as ListFolder(folder, L"*", out) would; these are
    // the entries OpenEntryAndReadStart counts. False (and nothing appended)
    // when the folder cannot be listed.
    bool List(std::vector<FolderEntry>& out);
    // Opens entry `index` of the last List() into `file` and reads its first
    // bytes, as CInputFile::OpenAndReadStart does with a path.
    Status OpenEntryAndReadStart(std::size_t index, CInputFile& file, void* buffer, std::size_t size, std::size_t& got);
    void Close();

private:
    struct State;  // the system's handle and the listed names
    std::unique_ptr<State> m_state;
};

}  // namespace gh::platform
