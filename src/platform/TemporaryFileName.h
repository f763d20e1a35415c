// The names of CAtomicFile's temporary files: ".gatehouse-", twelve lower-case
// letters or digits, ".tmp". A fixed shape, so that a folder's leftovers of
// an interrupted write can be told from every other file.
#pragma once

#include <string>
#include <string_view>

namespace gh::platform::detail {

// A fresh name of that shape; creating it exclusively settles collisions.
std::string NewTemporaryFileName();

bool IsTemporaryFileName(std::string_view name);
bool IsTemporaryFileName(std::wstring_view name);

// For tests: while set, CAtomicFile writes into a named temporary file even
// where it could write into one that has no name (Linux) or is deleted when
// closed (Windows): the way it goes where those are not available.
void UseNamedTemporaryFilesForTesting(bool named);

}  // namespace gh::platform::detail
