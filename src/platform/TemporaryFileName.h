// The names of AtomicFile's temporary files: ".gatehouse-", twelve lower-case
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

}  // namespace gh::platform::detail
