// wx images made from the embedded resources: the BMPs of res/bmp and the
// application icon, decoded by wx on every system.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>
#include <wx/string.h>

namespace gh {

// Names of the images the windows use.
inline constexpr const char* kSplashBackground = "SPLASH";  // 800 x 256
inline constexpr const char* kIconMoveUp = "MOVEUP";
inline constexpr const char* kIconMoveDown = "MOVEDOWN";
inline constexpr const char* kIconLoadSet = "LOADSET";
inline constexpr const char* kIconSaveSet = "SAVESET";
inline constexpr const char* kIconRemove = "REMOVE";
inline constexpr const char* kIconSort = "SORT";
inline constexpr const char* kIconAddRequirements = "ADDREQS";
inline constexpr const char* kIconCopyCode = "COPYCODE";
inline constexpr const char* kIconPasteCode = "PASTECODE";
inline constexpr const char* kIconCopyReport = "COPYREPORT";
inline constexpr const char* kIconOpenMods = "OPENMODS";    // 48 x 48
inline constexpr const char* kIconOpenSaves = "OPENSAVES";  // 32 x 32

// The embedded image of that name as a bitmap; an invalid bitmap when there
// is none or it cannot be decoded.
wxBitmap LoadResourceBitmap(const wxString& name);

// The application icon in all its sizes.
wxIconBundle LoadApplicationIcons();

}  // namespace gh
