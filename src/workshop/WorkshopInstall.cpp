#include "workshop/WorkshopInstall.h"

#include "app/Folders.h"
#include "app/PathText.h"
#include "platform/Files.h"
#include "workshop/WorkshopNames.h"
#include "workshop/WorkshopText.h"

#include <algorithm>
#include <memory>
#include <new>

namespace gh {

std::string GetFolderPart(const std::string& name) {
    const auto slash = name.rfind('/');
    if (slash != std::string::npos && slash + 1 != name.size()) return name.substr(0, slash + 1);
    const auto backslash = name.rfind('\\');
    if (backslash != std::string::npos) return name.substr(0, backslash + 1);
    return name;
}

std::wstring GetFileNamePart(const std::wstring& path) {
    if (const auto backslash = path.rfind(L'\\'); backslash != std::wstring::npos) return path.substr(backslash + 1);
    if (const auto slash = path.rfind(L'/'); slash != std::wstring::npos) return path.substr(slash + 1);
    return path;
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& what, const std::wstring& with) {
    if (what.empty()) return text;
    if (with.find(what) != std::wstring::npos) {
        std::size_t pos = 0;
        while ((pos = text.find(what, pos)) != std::wstring::npos) {
            text.replace(pos, what.size(), with);
            pos += with.size();
        }
        return text;
    }
    // A replacement can only form a new occurrence that overlaps it, so the
    // search resumes just before it; the result equals searching from the
    // start each time.
    std::size_t pos = 0;
    while ((pos = text.find(what, pos)) != std::wstring::npos) {
        text.replace(pos, what.size(), with);
        pos = pos >= what.size() - 1 ? pos - (what.size() - 1) : 0;
    }
    return text;
}

bool CreateFolderForPath(const std::wstring& path) {
    std::wstring p = ReplaceAll(path, L"/", L"\\");
    if (path.find(L'.') != std::wstring::npos) {
        // The last component of the backslashed path: with both separators in
        // the original, the last one of either kind ends the folders.
        p.resize(p.size() - GetFileNamePart(p).size());
    }
    p = ReplaceAll(p, L"\\\\", L"\\");

    // The documents game folder is created in its own letter case; only the
    // search for it inside the path ignores case, as the file systems do.
    const std::wstring base = GetUserGameFolder();
    const std::wstring baseKey = ToLower(ReplaceAll(ReplaceAll(base, L"/", L"\\"), L"\\\\", L"\\"));
    for (;;) {
        const auto at = ToLower(p).find(baseKey);
        if (at == std::wstring::npos || baseKey.empty()) break;
        p.erase(at, baseKey.size());
    }
    if (!p.empty() && p.front() == L'\\') p.erase(0, 1);
    // What is created is checked, after every step above: a name can be made
    // so that removing the game folder's text from it leaves a "..".
    const std::optional<std::wstring> folder = PathBelow(base, p);
    return folder && platform::CreateFolders(*folder);
}

void CStaleFileSweeper::SweepFolderOf(const std::wstring& file) {
    const std::size_t cut = file.find_last_of(L"/\\");
    const std::wstring folder = cut == std::wstring::npos ? std::wstring() : file.substr(0, cut + 1);
    if (folder.empty() || !m_swept.insert(folder).second) return;
    platform::RemoveStaleTemporaryFiles(folder);
}

bool InstallDownloadedFile(IWorkshopClient& client, const RemoteStorageDownloadUGCResult& result,
                           CStaleFileSweeper* sweeper) {
    const std::string name = FieldText(result.m_pchFileName);
    const std::wstring wideName = AnsiToWide(name);
    if (!IsSafeWorkshopName(wideName) || result.m_nSizeInBytes < 0) return false;

    // A bare name lives in the documents game folder itself (the folder part
    // of a bare name is the name, which must not become a folder).
    const bool hasFolder = name.find_first_of("/\\") != std::string::npos;
    CreateFolderForPath(hasFolder ? AnsiToWide(GetFolderPart(name)) : std::wstring());

    // The file that is opened is the one checked: the name's components below
    // the documents game folder, nothing else.
    const std::optional<std::wstring> target = PathBelow(GetUserGameFolder(), wideName);
    if (!target) return false;
    if (sweeper) sweeper->SweepFolderOf(*target);
    platform::AtomicFile file;
    if (!file.Open(*target)) return false;  // refuses a read-only file, a folder, a pipe

    const auto total = static_cast<std::uint32_t>(result.m_nSizeInBytes);
    const std::size_t chunkSize = std::min<std::size_t>(kInstallChunkSize, total);
    std::unique_ptr<char[]> chunk(new (std::nothrow) char[chunkSize == 0 ? 1 : chunkSize]);
    if (!chunk) return false;
    for (std::uint32_t offset = 0; offset < total;) {
        const auto want =
            static_cast<std::int32_t>(std::min<std::uint32_t>(total - offset, static_cast<std::uint32_t>(chunkSize)));
        const std::int32_t got = client.UGCRead(result.m_hFile, chunk.get(), want, offset);
        if (got != want) return false;  // AtomicFile removes the partial copy
        if (!file.Write(chunk.get(), static_cast<std::size_t>(got))) return false;
        offset += static_cast<std::uint32_t>(got);
    }
    return file.Commit();
}

}  // namespace gh
