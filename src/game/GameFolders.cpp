#include "game/GameFolders.h"

#include "game/PathText.h"
#include "platform/FileVersion.h"
#include "platform/SystemFolders.h"

namespace gh {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// `path` up to and including its last separator ('\' separates on every system).
std::wstring FolderWithSeparator(const std::wstring& path) {
    std::size_t cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
    return path.substr(0, cut);
}

}  // namespace

CGameFolders::CGameFolders(std::wstring launcherPath, std::wstring documentsFolder)
    : m_launcherPath(std::move(launcherPath)),
      m_gameFolder(NormalizeSlashes(ToUpper(FolderWithSeparator(m_launcherPath)))) {
    const wchar_t sep = platform::NativeSeparator();
    std::wstring tail = L"\\My Games\\Velmora Games\\Emberwake 2\\";
    if (sep != L'\\')
        for (wchar_t& c : tail)
            if (c == L'\\') c = sep;
    while (documentsFolder.size() > 1 && IsSeparator(documentsFolder.back())) documentsFolder.pop_back();
    if (documentsFolder.size() == 1 && IsSeparator(documentsFolder.back())) documentsFolder.clear();  // the root
    m_userGameFolder = documentsFolder + tail;
}

CGameFolders CGameFolders::OfSystem() { return CGameFolders(platform::LauncherPath(), platform::DocumentsFolder()); }

std::wstring CGameFolders::GetGameExecutablePath() const {
    const std::wstring folder = FolderWithSeparator(m_launcherPath);
    return folder + L"Emberwake2.exe";
}

std::wstring CGameFolders::GetModsFolderForPlayer() const {
    return m_userGameFolder + L"mods" + platform::NativeSeparator();
}

std::wstring CGameFolders::GetSavesFolderForPlayer() const {
    return m_userGameFolder + L"modsave" + platform::NativeSeparator();
}

std::wstring CGameFolders::GetSelectionFilePath() const { return m_userGameFolder + L"gatehouse.sch"; }

std::wstring CGameFolders::GetRestartListPath() const { return m_userGameFolder + L"restart.txt"; }

std::wstring CGameFolders::GetModsFolderToScan() const {
    return NormalizeSlashes(ToUpper(CombinePath(m_userGameFolder, L"MODS\\")));
}

std::optional<GameVersionParts> CGameFolders::GameVersion() const {
    if (!m_version) {
        // Read once: every row of the manager needs it, and a failed read
        // is not tried again.
        const std::wstring path = NormalizeSlashes(m_gameFolder + L"/EMBERWAKE2.EXE");
        std::uint16_t parts[4] = {0, 0, 0, 0};
        if (platform::ReadFileVersion(path, parts))
            m_version.emplace(GameVersionParts{parts[0], parts[1], parts[2], parts[3]});
        else
            m_version.emplace(std::nullopt);
    }
    return *m_version;
}

bool CGameFolders::GetGameVersion(std::uint16_t& major, std::uint16_t& minor, std::uint16_t& build,
                                  std::uint16_t& revision) const {
    const bool first = !m_version.has_value();
    const std::optional<GameVersionParts> version = GameVersion();
    // The first failure leaves the arguments alone; later calls hand out
    // what was kept, which is four zeros.
    if (!version && first) return false;
    const GameVersionParts parts = version.value_or(GameVersionParts{});
    major = parts.major;
    minor = parts.minor;
    build = parts.build;
    revision = parts.revision;
    return version.has_value();
}

}  // namespace gh
