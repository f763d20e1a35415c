#include "app/Folders.h"

#include "app/GameVersion.h"
#include "app/PathText.h"
#include "platform/Folders.h"
#include "platform/Text.h"

namespace gh {

namespace {

std::wstring& CachedGameFolder() {
    static std::wstring folder;
    return folder;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring GetGameFolder() {
    std::wstring& cached = CachedGameFolder();
    if (!cached.empty()) return cached;
    std::wstring path = platform::LauncherPath();
    // Keep the folder with its trailing separator; a '\' separates on every system.
    std::size_t cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
    path.resize(cut);
    cached = NormalizeSlashes(ToUpper(path));
    return cached;
}

std::wstring GetUserGameFolder() {
    const wchar_t sep = platform::NativeSeparator();
    std::wstring tail = L"\\My Games\\Velmora Games\\Emberwake 2\\";
    if (sep != L'\\')
        for (wchar_t& c : tail)
            if (c == L'\\') c = sep;
    std::wstring documents = platform::DocumentsFolder();
    while (!documents.empty() && IsSeparator(documents.back()) && documents.size() > 1) documents.pop_back();
    if (documents.size() == 1 && IsSeparator(documents.back())) documents.clear();  // the root itself
    return documents + tail;
}

std::wstring GetGameExecutablePath() {
    std::wstring path = platform::LauncherPath();
    std::size_t cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
    if (cut == 0) return L"Emberwake2.exe";
    return path.substr(0, cut) + L"Emberwake2.exe";
}

std::wstring GetModsFolderForPlayer() { return GetUserGameFolder() + L"mods" + platform::NativeSeparator(); }

std::wstring GetSavesFolderForPlayer() { return GetUserGameFolder() + L"modsave" + platform::NativeSeparator(); }

std::wstring GetSelectionFilePath() { return GetUserGameFolder() + L"gatehouse.sch"; }

std::wstring GetRestartListPath() { return GetUserGameFolder() + L"restart.txt"; }

std::wstring AnsiToWide(std::string_view narrow) { return platform::SystemNarrowToWide(narrow); }

void ResetFolderCachesForTesting() {
    CachedGameFolder().clear();
    ResetGameVersionForTesting();
}

}  // namespace gh
