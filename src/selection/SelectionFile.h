// The selection file: the default "gatehouse.sch" in the documents game
// folder and saved sets anywhere, one format for both. As written: UTF-16
// little-endian with the mark FF FE, CR LF line ends, the line "[MODS]", one
// line per entry (TAB, "<INTEGER64>MODGUID:", the signed decimal guid) in
// launch order, and the line "[/MODS]".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ModRecords.h"
#include "platform/Status.h"
#include "selection/SelectionRules.h"
#include "selection/TextModeReader.h"  // kMaxSelectionFileBytes

namespace gh {

// The bytes of the file for `selection` (row indexes into `mods`), all
// entries, even above the limit. Indexes that name no row are left out.
std::string FormatSelectionFile(const std::vector<ModData>& mods, const std::vector<std::uint32_t>& selection);
// The bytes of the file that names these mods, in this order.
std::string FormatSelectionEntries(std::span<const std::int64_t> guids);

// Writes the rules' selection to `path` (the default selection file is
// CGameFolders::GetSelectionFilePath()). The file is replaced atomically:
// when it cannot be written, or the write fails half way, the previous file
// stays as it was and the status says why.
Status SaveSelectionFile(const CSelectionRules& rules, const std::wstring& path);

enum class SelectionFileResult {
    Unreadable,     // missing, unreadable or over kMaxSelectionFileBytes
    NotASelection,  // empty, or its first token is not "[MODS]"
    Loaded,
};

// Loads a selection from `path`. Unless the result is Loaded, nothing changes (selection,
// checks and buttons). A load replaces the selection with the usable mods the
// file names, in its order, up to kSelectionLimit entries, duplicates kept;
// previously checked rows are cleared, the loaded rows checked, and the play
// and save-set buttons enabled. Lines shorter than 20 characters, numbers
// that name no usable mod and numbers too long for 64 bits are skipped.
SelectionFileResult LoadSelectionFile(CSelectionRules& rules, const std::wstring& path);

// The same load from a file's bytes.
SelectionFileResult LoadSelectionText(CSelectionRules& rules, std::string_view bytes);

// Every entry a file's bytes name, as a load reads them, before any is
// judged: installed or not, usable or not, repeated, past the limit. None
// when the bytes are not a selection (NotASelection).
std::optional<std::vector<std::int64_t>> ReadSelectionEntries(std::string_view bytes);

}  // namespace gh
