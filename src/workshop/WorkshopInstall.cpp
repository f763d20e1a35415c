#include "workshop/WorkshopInstall.h"

#include "game/PathText.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/TemporaryFiles.h"
#include "workshop/WorkshopNames.h"
#include "workshop/WorkshopText.h"

#include <algorithm>
#include <memory>
#include <new>

namespace gh {

void CStaleFileSweeper::SweepFolderOf(const std::wstring& file) {
    const std::size_t cut = file.find_last_of(L"/\\");
    const std::wstring folder = cut == std::wstring::npos ? std::wstring() : file.substr(0, cut + 1);
    if (folder.empty() || !m_swept.insert(folder).second) return;
    platform::RemoveStaleTemporaryFiles(folder);
}

namespace {

// The folder that holds `file` (a path PathBelow built).
std::wstring FolderOf(const std::wstring& file) {
    const std::size_t cut = file.find_last_of(L"/\\");
    return cut == std::wstring::npos ? std::wstring() : file.substr(0, cut);
}

// One file being written, for one or more names.
struct Target {
    std::wstring path;
    std::wstring key;  // the path as the launcher compares paths
    std::unique_ptr<platform::CAtomicFile> file;
    bool written = false;
};

}  // namespace

std::vector<bool> InstallDownloadedFiles(IWorkshopClient& client, const DownloadedContent& result,
                                         const std::vector<std::string>& names, const std::wstring& userGameFolder,
                                         CStaleFileSweeper* sweeper) {
    // Every name is judged before any folder is made or file opened.
    std::vector<Target> targets;
    std::vector<std::optional<std::size_t>> targetOf(names.size());
    for (std::size_t i = 0; i < names.size() && result.sizeInBytes >= 0; ++i) {
        const std::optional<std::wstring> path = WorkshopFilePath(userGameFolder, AnsiToWide(names[i]));
        if (!path) continue;
        const std::wstring key = ToUpper(NormalizeSlashes(*path));
        const auto same = std::find_if(targets.begin(), targets.end(), [&](const Target& t) { return t.key == key; });
        targetOf[i] = static_cast<std::size_t>(same - targets.begin());
        if (same == targets.end()) targets.push_back(Target{*path, key, nullptr, false});
    }

    std::size_t open = 0;
    for (Target& target : targets) {
        if (!platform::CreateFolders(FolderOf(target.path))) continue;
        if (sweeper) sweeper->SweepFolderOf(target.path);
        auto file = std::make_unique<platform::CAtomicFile>();
        // Refuses a read-only file, a folder, a pipe.
        if (!file->Open(target.path)) continue;
        target.file = std::move(file);
        ++open;
    }

    if (open > 0) {
        const auto total = static_cast<std::uint32_t>(result.sizeInBytes);
        const std::size_t chunkSize = std::min<std::size_t>(kInstallChunkSize, total);
        std::unique_ptr<char[]> chunk(new (std::nothrow) char[chunkSize == 0 ? 1 : chunkSize]);
        bool complete = chunk != nullptr;
        for (std::uint32_t offset = 0; complete && offset < total;) {
            const auto want = static_cast<std::int32_t>(
                std::min<std::uint32_t>(total - offset, static_cast<std::uint32_t>(chunkSize)));
            const std::int32_t got = client.UGCRead(result.contentHandle, chunk.get(), want, offset);
            complete = got == want;
            // A file whose write failed refuses the rest and its commit.
            for (Target& target : targets)
                if (complete && target.file) target.file->Write(chunk.get(), static_cast<std::size_t>(got));
            offset += static_cast<std::uint32_t>(want);
        }
        for (Target& target : targets) {
            if (!target.file) continue;
            // A short read is never committed: CAtomicFile removes the partial copy.
            target.written = complete && target.file->Commit();
            target.file.reset();
        }
    }

    std::vector<bool> written(names.size(), false);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (targetOf[i]) written[i] = targets[*targetOf[i]].written;
    return written;
}

bool InstallDownloadedFile(IWorkshopClient& client, const DownloadedContent& result, const std::wstring& userGameFolder,
                           CStaleFileSweeper* sweeper) {
    return InstallDownloadedFiles(client, result, {FieldText(result.fileName)}, userGameFolder, sweeper).front();
}

}  // namespace gh
