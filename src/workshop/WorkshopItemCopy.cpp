#include "workshop/WorkshopItemCopy.h"

#include "game/PathText.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"
#include "workshop/WorkshopNames.h"
#include "workshop/WorkshopText.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <unordered_map>

namespace gh {

namespace {

struct ItemFile {
    std::wstring source;
    std::vector<std::wstring> relative;  // components below the item's folder
    std::optional<std::wstring> target;
};

std::wstring Joined(const std::vector<std::wstring>& components) {
    std::wstring text;
    for (const std::wstring& component : components) text += (text.empty() ? L"" : L"/") + component;
    return text;
}

// A target as Windows would tell targets apart: a-z without regard to case,
// either separator, trailing dots and blanks of each component dropped.
std::wstring TargetKey(const std::wstring& path) {
    std::wstring key;
    key.reserve(path.size());
    const auto trim = [&key] {
        while (!key.empty() && (key.back() == L'.' || key.back() == L' ')) key.pop_back();
    };
    for (const wchar_t c : path) {
        if (c == L'/' || c == L'\\') {
            trim();
            key += L'/';
        } else {
            key += c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
        }
    }
    trim();
    return key;
}

bool IsModFileName(const std::wstring& name) {
    return name.size() >= 4 && ToUpper(name.substr(name.size() - 4)) == L".MOD";
}

std::wstring FolderOf(const std::wstring& file) {
    const std::size_t cut = file.find_last_of(L"/\\");
    return cut == std::wstring::npos ? std::wstring() : file.substr(0, cut);
}

// Walks the item's folder; false when a folder cannot be listed or lies too deep.
bool CollectFiles(const std::wstring& root, const std::string& itemName, std::vector<ItemFile>& files,
                  std::vector<std::wstring>& notes) {
    const wchar_t separator = platform::NativeSeparator();
    struct Pending {
        std::wstring folder;
        std::vector<std::wstring> relative;
    };
    std::vector<Pending> stack{{root, {}}};
    while (!stack.empty()) {
        Pending pending = std::move(stack.back());
        stack.pop_back();
        std::vector<platform::TypedFolderEntry> entries;
        if (!platform::ListFolderAsIs(pending.folder, entries)) {
            notes.push_back(ItemFolderUnreadableNote(itemName, Joined(pending.relative)));
            return false;
        }
        // Folders are walked after the files beside them, in listing order.
        std::vector<Pending> folders;
        for (platform::TypedFolderEntry& entry : entries) {
            std::vector<std::wstring> relative = pending.relative;
            relative.push_back(entry.name);
            std::wstring path = pending.folder;
            if (!path.empty() && path.back() != L'/' && path.back() != L'\\') path += separator;
            path += entry.name;
            switch (entry.kind) {
                case platform::EntryKind::File: files.push_back({std::move(path), std::move(relative), {}}); break;
                case platform::EntryKind::Folder:
                    if (relative.size() >= kMaxItemFolderDepth) {
                        notes.push_back(ItemFolderTooDeepNote(itemName, Joined(relative), kMaxItemFolderDepth));
                        return false;
                    }
                    folders.push_back({std::move(path), std::move(relative)});
                    break;
                case platform::EntryKind::Link:
                case platform::EntryKind::Other:
                    notes.push_back(ItemEntrySkippedNote(itemName, Joined(relative)));
                    break;
            }
        }
        for (auto it = folders.rbegin(); it != folders.rend(); ++it) stack.push_back(std::move(*it));
    }
    return true;
}

// Copies one file; on failure the note says why.
bool CopyOneFile(const ItemFile& file, const std::string& itemName, char* chunk, CStaleFileSweeper* sweeper,
                 std::vector<std::wstring>& notes) {
    const std::wstring& target = *file.target;
    const std::wstring name = Joined(file.relative);
    platform::CInputFile source;
    std::size_t got = 0;
    if (const Status opened = source.OpenAndReadStart(file.source, chunk, kInstallChunkSize, got); !opened) {
        notes.push_back(ItemFileNotReadNote(itemName, name, opened.Text()));
        return false;
    }
    if (!platform::CreateFolders(FolderOf(target))) {
        notes.push_back(ItemFileNotWrittenNote(itemName, name, L"its folder could not be made"));
        return false;
    }
    if (sweeper) sweeper->SweepFolderOf(target);
    platform::CAtomicFile out;
    if (!out.Open(target)) {
        notes.push_back(ItemFileNotWrittenNote(itemName, name, out.Error().Text()));
        return false;
    }
    std::uint64_t total = 0;
    bool written = true;
    while (written && got > 0) {
        written = out.Write(chunk, got);
        total += got;
        if (got < kInstallChunkSize) break;
        got = source.ReadAt(total, chunk, kInstallChunkSize);
    }
    if (!written) {
        notes.push_back(ItemFileNotWrittenNote(itemName, name, out.Error().Text()));
        return false;
    }
    // A read that ended early (an error, a file cut meanwhile) is never committed.
    if (source.Size() != total) {
        notes.push_back(ItemFileNotReadNote(itemName, name, L"it could not be read to its end"));
        return false;
    }
    if (!out.Commit()) {
        notes.push_back(ItemFileNotWrittenNote(itemName, name, out.Error().Text()));
        return false;
    }
    return true;
}

}  // namespace

ItemCopyReport CopyItemFolder(const ItemInstallInfo& install, PublishedFileId fileId,
                              const std::wstring& userGameFolder, CStaleFileSweeper* sweeper,
                              const std::function<Status()>& beforeFirstWrite) {
    ItemCopyReport report;
    const std::string itemName = ItemFolderName(fileId);
    std::vector<ItemFile> files;
    if (!CollectFiles(platform::SystemNameToWide(install.folder), itemName, files, report.notes)) {
        report.outcome = ItemCopyReport::Outcome::Failed;
        return report;
    }

    // Every name is judged, and two that would be one file found, before
    // anything is written.
    bool failed = false;
    std::unordered_map<std::wstring, std::size_t> byKey;
    for (std::size_t i = 0; i < files.size(); ++i) {
        ItemFile& file = files[i];
        report.hasModFile = report.hasModFile || IsModFileName(file.relative.back());
        WorkshopNameProblem problem = WorkshopNameProblem::None;
        file.target = ItemFilePath(userGameFolder, fileId, file.relative, &problem);
        if (!file.target) {
            report.notes.push_back(ItemFileRefusedNote(itemName, Joined(file.relative), problem));
            failed = true;
            continue;
        }
        const auto [other, fresh] = byKey.emplace(TargetKey(*file.target), i);
        if (!fresh) {
            report.notes.push_back(
                ItemNamesClashNote(itemName, Joined(files[other->second].relative), Joined(file.relative)));
            report.outcome = ItemCopyReport::Outcome::Failed;
            return report;
        }
    }

    std::unique_ptr<char[]> chunk;
    bool copied = false;
    for (const ItemFile& file : files) {
        if (!file.target) continue;
        report.targets.push_back(*file.target);
        const std::optional<std::int64_t> localTime = platform::FileModificationTime(*file.target);
        if (static_cast<std::int64_t>(install.timeStamp) <= localTime.value_or(-1)) continue;
        if (!chunk && beforeFirstWrite) {
            if (const Status ready = beforeFirstWrite(); !ready) {
                report.notes.push_back(HistoryNotKeptNote(itemName, ready.Text()));
                failed = true;
                break;
            }
        }
        if (!chunk) chunk.reset(new (std::nothrow) char[kInstallChunkSize]);
        if (!chunk) {
            report.notes.push_back(ItemFileNotWrittenNote(itemName, Joined(file.relative), L"out of memory"));
            failed = true;
            break;
        }
        if (CopyOneFile(file, itemName, chunk.get(), sweeper, report.notes))
            copied = true;
        else
            failed = true;
    }
    report.outcome = failed   ? ItemCopyReport::Outcome::Failed
                     : copied ? ItemCopyReport::Outcome::Updated
                              : ItemCopyReport::Outcome::UpToDate;
    return report;
}

}  // namespace gh
