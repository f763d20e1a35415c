#include "workshop/WorkshopText.h"

#include "game/PathText.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

namespace {

bool IsHighSurrogate(wchar_t c) {
    const auto unit = static_cast<std::uint32_t>(c);
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

std::wstring FitBeforeTail(std::wstring text, std::wstring_view tail, std::size_t limit) {
    if (text.size() + tail.size() <= limit) return text + std::wstring(tail);
    constexpr std::wstring_view kEllipsis = L"...";
    if (tail.size() + kEllipsis.size() >= limit) {
        // Not even the tail fits with a mark: keep what fits of the tail.
        return std::wstring(tail.substr(0, limit));
    }
    std::size_t keep = limit - tail.size() - kEllipsis.size();
    if (keep > 0 && IsHighSurrogate(text[keep - 1])) --keep;
    text.resize(keep);
    text += kEllipsis;
    text += tail;
    return text;
}

std::wstring SyncEventText(const SyncEvent& event) {
    switch (event.kind) {
        case SyncEventKind::LoggedOff: return std::wstring(kTextSteamInitFailed);
        case SyncEventKind::WaitingForList: return std::wstring(kTextWaitingForSteam);
        case SyncEventKind::ListFailed: return std::wstring(kTextSubscriptionsTimedOut);
        case SyncEventKind::NoSubscriptions: return std::wstring(kTextNoSubscriptions);
        case SyncEventKind::ListReceived: return FoundSubscriptionsText(event.count);
        case SyncEventKind::DetailsFailed: return NameStatusText(event.fileName, kTailDetailsTimedOut);
        case SyncEventKind::UpToDate: return NameStatusText(event.fileName, kTailUpToDate);
        case SyncEventKind::Downloading:
            return NameStatusText(event.fileName, event.replacesLocalFile ? kTailOutOfDate : kTailNotFound);
        case SyncEventKind::DownloadFailed: return NameStatusText(event.fileName, kTailDownloadTimedOut);
        case SyncEventKind::Installed: return NameStatusText(event.fileName, kTailUpdated);
        case SyncEventKind::CopyError: return NameStatusText(event.fileName, kTailCopyError);
        case SyncEventKind::Disabled: return NameStatusText(event.fileName, kTailDisabled);
        case SyncEventKind::Held: return NameStatusText(event.fileName, kTailHeld);
        case SyncEventKind::InstalledWithoutModFile: return NameStatusText(event.fileName, kTailUpdatedWithoutModFile);
        case SyncEventKind::ListCut: return ListCutText(event.count);
        case SyncEventKind::AllUpToDate: return std::wstring(kTextAllUpToDate);
        case SyncEventKind::SomeFailed: return std::wstring(kTextSomeFailed);
    }
    return {};
}

std::wstring FoundSubscriptionsText(int count) {
    return fmt::format(L"Found {} mod subscriptions. Checking for updates.", count);
}

std::wstring NameStatusText(std::string_view narrowName, std::wstring_view tail) {
    return FitBeforeTail(AnsiToWide(narrowName), tail);
}

std::wstring ListCutText(int count) { return fmt::format(L"Only the first {} mod subscriptions were checked.", count); }

namespace {

std::wstring_view ProblemWords(WorkshopNameProblem problem) {
    switch (problem) {
        case WorkshopNameProblem::None: break;
        case WorkshopNameProblem::LeavesGameFolder: return L"leads out of the documents game folder";
        case WorkshopNameProblem::DeviceName: return L"names a Windows device";
        case WorkshopNameProblem::NoFileName: return L"names no file";
        case WorkshopNameProblem::OutsideModsFolder: return L"does not lead into the mods folder";
        case WorkshopNameProblem::ItemFolders:
            return L"leads into mods/workshop-items/, which holds the items that live in folders";
    }
    return {};
}

// "mods/workshop-items/5/: " and the rest, the outside name cut to fit.
std::wstring ItemNote(std::string_view itemName, const std::wstring& quoted, const std::wstring& tail) {
    return AnsiToWide(itemName) + L": \"" + FitBeforeTail(quoted, L"\"" + tail);
}

}  // namespace

std::wstring RefusedNameText(std::string_view narrowName, WorkshopNameProblem problem) {
    if (problem == WorkshopNameProblem::None) return {};
    const std::wstring tail = L"\" " + std::wstring(ProblemWords(problem)) + L"; nothing was written";
    return L"the Workshop name \"" + FitBeforeTail(AnsiToWide(narrowName), tail);
}

std::wstring ItemEntrySkippedNote(std::string_view itemName, const std::wstring& relative) {
    return ItemNote(itemName, relative, L" is a link, a pipe or a device, not a file, and was skipped");
}

std::wstring ItemFolderUnreadableNote(std::string_view itemName, const std::wstring& relative) {
    return ItemNote(itemName, relative.empty() ? L"." : relative,
                    L" in the Steam client's folder of this item could not be read; nothing was copied");
}

std::wstring ItemFolderTooDeepNote(std::string_view itemName, const std::wstring& relative, std::size_t depth) {
    return ItemNote(itemName, relative, fmt::format(L" lies more than {} folders deep; nothing was copied", depth));
}

std::wstring ItemFileRefusedNote(std::string_view itemName, const std::wstring& relative, WorkshopNameProblem problem) {
    return ItemNote(itemName, relative, L" was not written: its name " + std::wstring(ProblemWords(problem)));
}

std::wstring ItemNamesClashNote(std::string_view itemName, const std::wstring& first, const std::wstring& second) {
    return ItemNote(itemName, first,
                    L" and \"" + FitBeforeTail(second, L"\"") +
                        L" differ only in case and would be one file; nothing of this item was written");
}

std::wstring ItemFileNotReadNote(std::string_view itemName, const std::wstring& relative, const std::wstring& reason) {
    return ItemNote(itemName, relative, L" could not be read from the Steam client's folder: " + reason);
}

std::wstring ItemFileNotWrittenNote(std::string_view itemName, const std::wstring& relative,
                                    const std::wstring& reason) {
    return ItemNote(itemName, relative, L" could not be written: " + reason);
}

std::wstring ItemNotInstalledNote(std::string_view itemName, const std::wstring& reason) {
    return AnsiToWide(itemName) + L": nothing was copied: " + reason;
}

std::wstring HistoryNotKeptNote(std::string_view name, const std::wstring& reason) {
    return AnsiToWide(name) + L": its current version could not be kept, so it was not updated: " + reason;
}

std::wstring ProgressLineText(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected) {
    const std::wstring sizes = L" - " + FormatByteSize(downloaded) + L"/" + FormatByteSize(expected);
    return FitBeforeTail(fileName, sizes);
}

std::wstring FormatByteSize(std::int64_t bytes) {
    constexpr std::int64_t kKilo = 1024;
    constexpr std::int64_t kMega = kKilo * 1024;
    constexpr std::int64_t kGiga = kMega * 1024;
    const auto value = static_cast<double>(bytes);
    if (bytes < kKilo) return fmt::format(L"{} B", bytes);
    if (bytes < kMega) return fmt::format(L"{:.2f} KB", value / kKilo);
    if (bytes < kGiga) return fmt::format(L"{:.2f} MB", value / kMega);
    return fmt::format(L"{:.2f} GB", value / kGiga);
}

}  // namespace gh
