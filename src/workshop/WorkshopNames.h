// Which Workshop file names may be written, and where exactly they land: the
// names come from strangers, so a name is checked as text first and then the
// path that is actually created or opened is checked again, after every
// transformation the install makes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

}  // namespace gh
