#include "workshop/WorkshopHistory.h"

#include "platform/FileLinks.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/SystemFolders.h"
#include "platform/Unicode.h"

#include <algorithm>

namespace gh {

namespace {

// What stands at `path` must be a folder or nothing: a file or a link there
// is not followed or replaced.
Status RequireFolderOrNothing(const std::wstring& path) {
    switch (platform::KindAt(path)) {
        case platform::PathKind::Missing:
        case platform::PathKind::Folder: return {};
        case platform::PathKind::Link:
            return Status(StatusKind::Refused, L"the history folder " + path + L" is a link, which is not followed");
        case platform::PathKind::File:
        case platform::PathKind::Other: break;
    }
    return Status(StatusKind::WrongType, L"the history folder " + path + L" is not a folder");
}

std::uint32_t NextEntryNumber(const std::wstring& folder, const RecordedSubscription& subscription) {
    std::uint32_t highest = 0;
    for (const HistoryEntry& entry : subscription.history) highest = std::max(highest, entry.folder);
    std::vector<platform::TypedFolderEntry> entries;
    if (platform::ListFolderAsIs(folder, entries)) {
        for (const platform::TypedFolderEntry& entry : entries) {
            std::uint64_t number = 0;
            bool digits = !entry.name.empty() && entry.name.size() <= 9;
            for (const wchar_t c : entry.name) {
                digits = digits && c >= L'0' && c <= L'9';
                number = number * 10 + static_cast<std::uint64_t>(c - L'0');
            }
            if (digits) highest = std::max(highest, static_cast<std::uint32_t>(number));
        }
    }
    return highest + 1;
}

std::wstring FolderOf(const std::wstring& file) {
    const std::size_t cut = file.find_last_of(L"/\\");
    return cut == std::wstring::npos ? std::wstring() : file.substr(0, cut);
}

}  // namespace

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    std::vector<std::pair<std::wstring, int>> stack{{folder, 0}};
    while (!stack.empty()) {
        auto [current, depth] = stack.back();
        stack.pop_back();
        std::vector<platform::TypedFolderEntry> entries;
        if (depth > 64 || !platform::ListFolderAsIs(current, entries)) continue;
        for (const platform::TypedFolderEntry& entry : entries) {
            const std::wstring path = current + platform::NativeSeparator() + entry.name;
            if (entry.kind == platform::EntryKind::File) files.push_back(path);
            if (entry.kind == platform::EntryKind::Folder) stack.emplace_back(path, depth + 1);
        }
    }
    return files;
}

Status KeepInHistory(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription,
                     const std::vector<std::wstring>& files, std::vector<RecordedMod> mods) {
    const std::wstring history = FolderOf(recordFile.HistoryFolder(subscription.id));
    const std::wstring own = recordFile.HistoryFolder(subscription.id);
    for (const std::wstring& folder : {FolderOf(history), history, own})
        if (Status status = RequireFolderOrNothing(folder); !status) return status;

    HistoryEntry entry;
    entry.folder = NextEntryNumber(own, subscription);
    entry.installed = subscription.installed;
    entry.workshopTime = subscription.workshopTime;
    entry.mods = std::move(mods);
    const std::wstring entryFolder = recordFile.HistoryEntryFolder(subscription.id, entry.folder);
    if (platform::KindAt(entryFolder) != platform::PathKind::Missing)
        return Status(StatusKind::Refused, L"the history entry " + entryFolder + L" exists already");
    const auto fail = [&](Status status) {
        platform::RemoveFolderTree(entryFolder);
        return status;
    };
    if (!platform::CreateFolders(entryFolder))
        return fail(Status(StatusKind::Denied, L"the history folder " + entryFolder + L" could not be made"));
    const std::wstring& base = recordFile.UserGameFolder();
    for (const std::wstring& file : files) {
        if (file.compare(0, base.size(), base) != 0) continue;
        std::wstring relative = file.substr(base.size());
        const std::wstring kept = entryFolder + platform::NativeSeparator() + relative;
        if (!platform::CreateFolders(FolderOf(kept)))
            return fail(Status(StatusKind::Denied, L"the history folder " + FolderOf(kept) + L" could not be made"));
        if (Status linked = platform::LinkOrCopyFile(file, kept); !linked) return fail(linked);
        RecordedFile recorded;
        for (wchar_t& c : relative)
            if (c == L'\\') c = L'/';
        recorded.path = WideToUtf8(relative);
        if (const auto stamp = platform::FileStampAt(kept)) {
            recorded.size = stamp->size;
            recorded.modified = stamp->modified;
        }
        entry.files.push_back(std::move(recorded));
    }
    subscription.history.insert(subscription.history.begin(), std::move(entry));
    while (subscription.history.size() > kHistoryKept) {
        platform::RemoveFolderTree(recordFile.HistoryEntryFolder(subscription.id, subscription.history.back().folder));
        subscription.history.pop_back();
    }
    return {};
}

void DropNewestHistoryEntry(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription) {
    if (subscription.history.empty()) return;
    platform::RemoveFolderTree(recordFile.HistoryEntryFolder(subscription.id, subscription.history.front().folder));
    subscription.history.erase(subscription.history.begin());
}

}  // namespace gh
