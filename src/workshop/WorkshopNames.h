// Which Workshop file names may be written, and where exactly they land: the
// names come from strangers, so a name is judged as text first, and the path
// that is created or opened is the one built from the judged components.
// A Workshop file is a mod: it is written only below the mods folder of the
// documents game folder, never over the selection file, a saved set, the
// restart list or a saved game beside it. Items that live in folders are
// copied below mods/workshop-items/<id>/, which a single-file item's name
// may not enter, so that neither kind can overwrite the other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gh {

// A name Windows keeps for a device, in any case, with or without an
// extension or trailing blanks: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to
// LPT9 (also with a superscript digit), CONIN$ and CONOUT$. Writing such a
// name opens the device instead of making a file.
bool IsReservedDeviceName(std::wstring_view component);

// Whether a Workshop file name stays below the folder it is joined to: not
// empty, not rooted ("/x", "\x", "\\server\x"), no drive or stream (any
// ':'), no "\\" anywhere (which would make the joined path a network path),
// no component that is ".." or that Windows reads as one (a run of dots and
// blanks with two dots or more), with either separator, and no reserved
// device name as any component.
bool IsSafeWorkshopName(std::wstring_view name);

// `base` (which ends with a separator) followed by the components of
// `relative` ('/' and '\' both separate; empty and "." components dropped),
// joined with the system's separator: the path that stays below `base`.
// None when `relative` is rooted, names a drive or stream, or has a
// component that could lead out of `base` or to a device (as for
// IsSafeWorkshopName). An empty `relative` gives `base` itself.
std::optional<std::wstring> PathBelow(const std::wstring& base, std::wstring_view relative);

// Why a Workshop file name is not written.
enum class WorkshopNameProblem {
    None,               // it names a file below the mods folder
    LeavesGameFolder,   // rooted, a drive, a stream, a network path or a ".." component
    DeviceName,         // a component Windows keeps for a device
    NoFileName,         // empty, or its last component is empty or only dots and
                        // blanks (Windows drops those): it names a folder; or
                        // a folder on its way is only dots and blanks
    OutsideModsFolder,  // its first real component is not the mods folder, or
                        // nothing follows it
    ItemFolders,        // it leads into mods/workshop-items/, where the items
                        // that live in folders are kept
};

// Judges a Workshop name: the checks of IsSafeWorkshopName, then that it
// names a file, then that its components, as PathBelow keeps them, start
// with "mods" (compared as the launcher compares paths: without regard to
// the case of a-z), go on below it and do not lead into the item folders.
WorkshopNameProblem JudgeWorkshopName(std::wstring_view name);

// The folder of the items that live in folders, below the mods folder.
inline constexpr std::string_view kItemFoldersName = "workshop-items";

// The name an item that lives in a folder goes by, in status texts and as
// its place below the documents game folder: "mods/workshop-items/<id>/".
std::string ItemFolderName(std::uint64_t fileId);

// The file that the file at `relative` (its components, as listed in the
// item's folder) of item `fileId` is copied to: below
// `gameFolder` + ItemFolderName(fileId), with every component judged as a
// Workshop name's are (no "..", drive, stream or device; no component that
// is empty or only dots and blanks; '' counts as a separator). None, with
// the problem, otherwise.
std::optional<std::wstring> ItemFilePath(const std::wstring& gameFolder, std::uint64_t fileId,
                                         const std::vector<std::wstring>& relative,
                                         WorkshopNameProblem* problem = nullptr);

// The file a Workshop name is written to: PathBelow(gameFolder, name) when
// JudgeWorkshopName finds no problem, else none.
std::optional<std::wstring> WorkshopFilePath(const std::wstring& gameFolder, std::wstring_view name);

}  // namespace gh
