// The sync's status texts as the start window shows them: the Workshop name
// a text begins with is escaped and isolated (OutsideText.h), so that it
// cannot hide or reorder the words that follow it; the terminal escapes the
// whole line instead.
#pragma once

#include <cstdint>
#include <string>

#include "workshop/SyncView.h"

namespace gh {

// SyncEventText(event) with its name shown safely, within the same bound.
std::wstring WindowSyncEventText(const SyncEvent& event);

// ProgressLineText(fileName, downloaded, expected) likewise.
std::wstring WindowProgressLineText(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected);

}  // namespace gh
