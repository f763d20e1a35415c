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

std::wstring RefusedNameText(std::string_view narrowName, WorkshopNameProblem problem) {
    std::wstring_view why;
    switch (problem) {
        case WorkshopNameProblem::None: return {};
        case WorkshopNameProblem::LeavesGameFolder: why = L"leads out of the documents game folder"; break;
        case WorkshopNameProblem::DeviceName: why = L"names a Windows device"; break;
        case WorkshopNameProblem::NoFileName: why = L"names no file"; break;
        case WorkshopNameProblem::OutsideModsFolder: why = L"does not lead into the mods folder"; break;
    }
    const std::wstring tail = L"\" " + std::wstring(why) + L"; nothing was written";
    return L"the Workshop name \"" + FitBeforeTail(AnsiToWide(narrowName), tail);
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
