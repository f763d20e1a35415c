// The temporary files that interrupted writers left behind.
#pragma once

#include <cstddef>
#include <string>

namespace gh::platform {

// Removes from `folder` (that folder only, nothing below it) the temporary
// files that CAtomicFile objects of processes that died left there: files
// named as CAtomicFile names them (".gatehouse-" + 12 letters or digits +
// ".tmp"), regular files and not links, last written more than a minute ago,
// that no running writer holds. A writer holds its temporary file for its
// whole life (POSIX: an exclusive flock() taken right after creating it,
// which this takes without waiting before it deletes, the minute covering
// the moment between the two; Windows: its handle shares no deletion), so
// a running install never loses its file. Returns the number removed.
std::size_t RemoveStaleTemporaryFiles(const std::wstring& folder);

}  // namespace gh::platform
