// Opening outside files for reading, shared by CInputFile and CInputFolder.
#pragma once

#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/InputFolder.h"

#include <dirent.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gh::platform::posix {

// Opens `path` (relative to the folder `folder`, or AT_FDCWD) for reading,
// only if it is a regular file, and never waits. Anything else fails with
// errno EINVAL, as an unreadable file does. `listedRegular`: the folder's
// listing has just named it a regular file, which spares the check of the
// opened file; as the open never waits and the reads take only what is
// there, a file put in its place since then is read for what it holds and
// cannot stop the program.
int OpenRegularFileAt(int folder, const char* path, bool listedRegular = false);

// Why the last OpenRegularFileAt failed, from errno.
Status OpenFailure();

// read() and pread() that keep going through interruptions until `size`
// bytes, the end of the file or an error; see ReadFully in
// inputfile_posix.cpp for why a file opened without waiting can still be
// read to its end.
std::size_t ReadFully(int fd, void* buffer, std::size_t size);
std::size_t ReadFullyAt(int fd, std::uint64_t offset, void* buffer, std::size_t size);

// One entry of a listing with the bytes of its name.
struct ListedEntry {
    FolderEntry entry;
    std::string systemName;
    bool regular = false;  // the listing names it a regular file (not a link)
};

// Appends the entries of the open folder `dir` whose names match `pattern`,
// in ListFolder's order (the names upper-cased as NTFS compares them). A
// link or an entry of unknown type is a folder when what it reaches is one.
void ReadSortedEntries(DIR* dir, const std::wstring& pattern, std::vector<ListedEntry>& out);

}  // namespace gh::platform::posix
