#include "workshop/WorkshopHistory.h"

#include "platform/AtomicFile.h"
#include "platform/FileLinks.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <optional>

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

// The number a history entry's folder name gives, or none for another name.
std::optional<std::uint32_t> EntryNumber(const std::wstring& name) {
    if (name.empty() || name.size() > 9) return std::nullopt;
    std::uint32_t number = 0;
    for (const wchar_t c : name) {
        if (c < L'0' || c > L'9') return std::nullopt;
        number = number * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    return number;
}

// What a subscription's history folder holds (nothing when it is missing
// or cannot be listed): the numbers of its entry folders, and the highest
// number any of its names is.
struct ListedEntries {
    std::vector<std::uint32_t> folders;
    std::uint32_t highest = 0;
};

ListedEntries ListEntries(const std::wstring& folder) {
    ListedEntries listed;
    std::vector<platform::TypedFolderEntry> entries;
    if (!platform::ListFolderAsIs(folder, entries)) return listed;
    for (const platform::TypedFolderEntry& entry : entries) {
        const std::optional<std::uint32_t> number = EntryNumber(entry.name);
        if (!number) continue;
        listed.highest = std::max(listed.highest, *number);
        if (entry.kind == platform::EntryKind::Folder) listed.folders.push_back(*number);
    }
    return listed;
}

std::uint32_t NextEntryNumber(const ListedEntries& listed, const RecordedSubscription& subscription) {
    std::uint32_t highest = listed.highest;
    for (const HistoryEntry& entry : subscription.history) highest = std::max(highest, entry.folder);
    return highest + 1;
}

// PruneHistory with the entry folders `listed` in the subscription's
// history folder, found a folder (never a link) by the caller.
void PruneListed(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription,
                 std::vector<std::uint32_t> listed) {
    while (subscription.history.size() > kHistoryKept) {
        const std::uint32_t gone = subscription.history.back().folder;
        platform::RemoveFolderTree(recordFile.HistoryEntryFolder(subscription.id, gone));
        listed.erase(std::remove(listed.begin(), listed.end(), gone), listed.end());
        subscription.history.pop_back();
    }
    // Entries' folders that no record entry names (a record that was lost
    // or damaged left them) count towards the versions kept too: the oldest
    // of them go until kHistoryKept folders are left, so a lost record
    // cannot make the history grow without end. Links are not followed.
    std::vector<std::uint32_t> unnamed;
    for (const std::uint32_t number : listed) {
        const bool named = std::any_of(subscription.history.begin(), subscription.history.end(),
                                       [&](const HistoryEntry& kept) { return kept.folder == number; });
        if (!named) unnamed.push_back(number);
    }
    std::sort(unnamed.begin(), unnamed.end());
    for (std::size_t i = 0; i < unnamed.size() && subscription.history.size() + unnamed.size() - i > kHistoryKept; ++i)
        platform::RemoveFolderTree(recordFile.HistoryEntryFolder(subscription.id, unnamed[i]));
}

// A record path as the launcher compares paths.
std::string PathKeyOf(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return path;
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
                     const std::vector<std::wstring>& files, std::vector<RecordedMod> mods, bool prune) {
    const std::wstring history = FolderOf(recordFile.HistoryFolder(subscription.id));
    const std::wstring own = recordFile.HistoryFolder(subscription.id);
    for (const std::wstring& folder : {FolderOf(history), history, own})
        if (Status status = RequireFolderOrNothing(folder); !status) return status;

    // One listing serves the new entry's number and the pruning after it.
    const ListedEntries listed = ListEntries(own);
    HistoryEntry entry;
    entry.folder = NextEntryNumber(listed, subscription);
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
    // Files the record did not see installed (they were there before it)
    // were installed when they were last written, as far as can be told.
    if (entry.installed == 0)
        for (const RecordedFile& file : entry.files) entry.installed = std::max(entry.installed, file.modified);
    subscription.history.insert(subscription.history.begin(), std::move(entry));
    if (prune) PruneListed(recordFile, subscription, listed.folders);
    return {};
}

void PruneHistory(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription) {
    const std::wstring own = recordFile.HistoryFolder(subscription.id);
    const std::wstring history = FolderOf(own);
    bool folders = true;
    for (const std::wstring& folder : {FolderOf(history), history, own})
        folders = folders && platform::KindAt(folder) == platform::PathKind::Folder;
    // Without the folders (or through a link) only the record's entries go.
    PruneListed(recordFile, subscription, folders ? ListEntries(own).folders : std::vector<std::uint32_t>());
}

namespace {

// Replaces `to` with a copy of `from`, whole or not at all, with `from`'s time.
Status CopyOver(const std::wstring& from, const std::wstring& to) {
    platform::CInputFile source;
    if (Status opened = source.Open(from); !opened) return opened;
    const std::optional<std::uint64_t> size = source.Size();
    const std::optional<std::int64_t> modified = platform::FileModificationTime(from);
    if (!size || !modified) return Status(StatusKind::Failed, L"the kept file could not be looked at");
    if (!platform::CreateFolders(FolderOf(to))) return Status(StatusKind::Denied, L"its folder could not be made");
    std::vector<char> piece(1 << 20);
    platform::CAtomicFile out;
    if (!out.Open(to)) return out.Error();
    for (std::uint64_t done = 0; done < *size;) {
        const std::size_t got = source.ReadAt(done, piece.data(), piece.size());
        if (got == 0) return Status(StatusKind::Failed, L"the kept file could not be read to its end");
        if (!out.Write(piece.data(), got)) return out.Error();
        done += got;
    }
    if (!out.Commit()) return out.Error();
    platform::SetFileModificationTime(to, *modified);
    return {};
}

}  // namespace

Status RestoreFromHistory(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription,
                          std::size_t index) {
    if (index >= subscription.history.size()) return Status(StatusKind::NotFound, L"there is no such earlier version");
    const HistoryEntry restored = subscription.history[index];
    const std::wstring source = recordFile.HistoryEntryFolder(subscription.id, restored.folder);
    // Every kept file must be there before anything changes.
    for (const RecordedFile& file : restored.files)
        if (platform::KindAt(source + platform::NativeSeparator() + Utf8ToWide(file.path)) != platform::PathKind::File)
            return Status(StatusKind::NotFound, L"the kept file " + Utf8ToWide(file.path) + L" is missing");

    std::vector<std::wstring> current;
    for (const RecordedFile& file : subscription.files)
        if (platform::KindAt(recordFile.PathOf(file.path)) == platform::PathKind::File)
            current.push_back(recordFile.PathOf(file.path));
    if (!current.empty())
        if (Status kept = KeepInHistory(recordFile, subscription, current, subscription.mods, false); !kept)
            return kept;

    for (const RecordedFile& file : restored.files)
        if (Status copied =
                CopyOver(source + platform::NativeSeparator() + Utf8ToWide(file.path), recordFile.PathOf(file.path));
            !copied)
            return Status(copied.Kind(), Utf8ToWide(file.path) + L" could not be put back: " + copied.Text());
    // The current files the restored version does not have leave mods/.
    for (const RecordedFile& file : subscription.files) {
        const bool restoredHasIt =
            std::any_of(restored.files.begin(), restored.files.end(),
                        [&](const RecordedFile& r) { return PathKeyOf(r.path) == PathKeyOf(file.path); });
        if (!restoredHasIt) platform::DeleteFileAt(recordFile.PathOf(file.path));
    }

    // The restored entry is the current version now.
    const auto at = std::find_if(subscription.history.begin(), subscription.history.end(),
                                 [&](const HistoryEntry& entry) { return entry.folder == restored.folder; });
    if (at != subscription.history.end()) subscription.history.erase(at);
    platform::RemoveFolderTree(source);
    PruneHistory(recordFile, subscription);
    if (subscription.workshopTime > restored.workshopTime)
        subscription.updateWaiting = std::max(subscription.updateWaiting, subscription.workshopTime);
    subscription.files.clear();
    for (const RecordedFile& file : restored.files) {
        RecordedFile now = file;
        if (const auto stamp = platform::FileStampAt(recordFile.PathOf(file.path))) {
            now.size = stamp->size;
            now.modified = stamp->modified;
        }
        subscription.files.push_back(std::move(now));
    }
    subscription.mods = restored.mods;
    subscription.workshopTime = restored.workshopTime;
    subscription.installed = restored.installed;
    subscription.held = true;
    return {};
}

void DropNewestHistoryEntry(const CWorkshopRecordFile& recordFile, RecordedSubscription& subscription) {
    if (subscription.history.empty()) return;
    platform::RemoveFolderTree(recordFile.HistoryEntryFolder(subscription.id, subscription.history.front().folder));
    subscription.history.erase(subscription.history.begin());
}

}  // namespace gh
