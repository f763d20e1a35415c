// The sync's status texts, formatted with bounds: no text is longer than
// kStatusTextMax characters; a name too long for that is cut (and ends in
// "...") so that the fixed part of the text still shows in full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "workshop/SyncView.h"

namespace gh {

inline constexpr std::size_t kStatusTextMax = 512;

inline constexpr std::wstring_view kTextSteamInitFailed =
    L"Steam initialization failed. Please check that you are logged in to Steam.";
inline constexpr std::wstring_view kTextWaitingForSteam = L"Waiting for response from Steam...";
inline constexpr std::wstring_view kTextSubscriptionsTimedOut = L"Mod subscription request timed out";
inline constexpr std::wstring_view kTextNoSubscriptions = L"No mod subscriptions found.";
inline constexpr std::wstring_view kTextAllUpToDate = L"All subscriptions up to date!";
inline constexpr std::wstring_view kTextSomeFailed = L"Some subscriptions could not be updated.";

// The tails that follow a Workshop file name ("%S - ...").
inline constexpr std::wstring_view kTailDetailsTimedOut = L" - File detail request timed out";
inline constexpr std::wstring_view kTailNotFound = L" - Not found. Installing.";
inline constexpr std::wstring_view kTailOutOfDate = L" - Out of date.  Downloading latest version.";
inline constexpr std::wstring_view kTailUpToDate = L" - up to date";
inline constexpr std::wstring_view kTailDownloadTimedOut = L" - Download timed out";
inline constexpr std::wstring_view kTailUpdated = L" - Updated! Writing to mod folder...";
inline constexpr std::wstring_view kTailCopyError = L" - Error Copying File!";
inline constexpr std::wstring_view kTailDisabled = L" - Disabled in Steam";
inline constexpr std::wstring_view kTailHeld = L" - Held at the installed version.";
inline constexpr std::wstring_view kTailUpdatedWithoutModFile = L" - Updated (no mod file in this item)";

// The status line's text for a sync event.
std::wstring SyncEventText(const SyncEvent& event);

// "Found N mod subscriptions. Checking for updates."
std::wstring FoundSubscriptionsText(int count);

// The 8-bit Workshop name (converted with AnsiToWide) followed by `tail`.
std::wstring NameStatusText(std::string_view narrowName, std::wstring_view tail);

// "Only the first N mod subscriptions were checked."
std::wstring ListCutText(int count);

// Why a Workshop name was refused, for a line beside its status text: the
// Workshop name "abc.mod" does not lead into the mods folder; nothing was
// written. Empty for WorkshopNameProblem::None.
std::wstring RefusedNameText(std::string_view narrowName, WorkshopNameProblem problem);

// Lines about one file or folder of an item that lives in a folder, for
// the command line's standard error. `itemName` is ItemFolderName's,
// `relative` the path below the item's folder ('/' separated).
std::wstring ItemEntrySkippedNote(std::string_view itemName, const std::wstring& relative);
std::wstring ItemFolderUnreadableNote(std::string_view itemName, const std::wstring& relative);
std::wstring ItemFolderTooDeepNote(std::string_view itemName, const std::wstring& relative, std::size_t depth);
std::wstring ItemFileRefusedNote(std::string_view itemName, const std::wstring& relative, WorkshopNameProblem problem);
std::wstring ItemNamesClashNote(std::string_view itemName, const std::wstring& first, const std::wstring& second);
std::wstring ItemFileNotReadNote(std::string_view itemName, const std::wstring& relative, const std::wstring& reason);
std::wstring ItemFileNotWrittenNote(std::string_view itemName, const std::wstring& relative,
                                    const std::wstring& reason);
// The client gave no usable install folder for the item.
std::wstring ItemNotInstalledNote(std::string_view itemName, const std::wstring& reason);

// The current files of the subscription `name` (a Workshop name or
// ItemFolderName's) could not be kept in the history, so they were not replaced.
std::wstring HistoryNotKeptNote(std::string_view name, const std::wstring& reason);

// The per-file progress line "name - downloaded/expected".
std::wstring ProgressLineText(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected);

// `text` cut so that it and `tail` fit in `limit` characters; a cut text
// ends in "..." and never splits a UTF-16 surrogate pair.
std::wstring FitBeforeTail(std::wstring text, std::wstring_view tail, std::size_t limit = kStatusTextMax);

// "%d B" below 1 KB, else "%.2f KB", "%.2f MB" or "%.2f GB" (1 KB = 1024 bytes).
std::wstring FormatByteSize(std::int64_t bytes);

}  // namespace gh
