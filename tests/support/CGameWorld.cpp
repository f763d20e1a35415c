#include "support/CGameWorld.h"

#include "game/GameFolders.h"
#include "platform/FileSystem.h"
#include "support/PeWriter.h"

namespace gh::test {

namespace {

constexpr const wchar_t* kUserGameFolder = L"Documents/My Games/Velmora Games/Emberwake 2/";

}  // namespace

CGameWorld::CGameWorld(bool withGame) : m_folders(m_root / L"game/gatehouse", m_root / L"Documents") {
    if (withGame) {
        m_root.WriteFile(L"game/Emberwake2.exe", WriteVersionedPe(PeKind::Pe32Plus, {1, 25, 5, 2}).bytes);
    } else {
        m_root.MakeFolder(L"game");
    }
    m_root.MakeFolder(std::wstring(kUserGameFolder) + L"mods");
}

void CGameWorld::AddMod(const Mod& mod) {
    ModFile file;
    file.formatVersion = 4;
    file.version = mod.version;
    const std::uint16_t game[4] = {1, 25, 5, static_cast<std::uint16_t>(mod.otherGameVersion ? 1 : 2)};
    std::copy(std::begin(game), std::end(game), file.gameVersion);
    file.name = Units(mod.name);
    file.author = Units(L"Author of " + mod.name);
    file.description = Units(L"About " + mod.name);
    file.website = Units(mod.website);
    file.downloadUrl = Units(mod.downloadUrl);
    file.guid = mod.guid;
    file.requirements = mod.requirements;
    const std::wstring path = UserGameFolder() + L"mods/" + (mod.file.empty() ? mod.name + L".mod" : mod.file);
    const std::size_t slash = path.find_last_of(L'/');
    platform::CreateFolders(path.substr(0, slash));
    WriteModFile(path, file);
}

std::wstring CGameWorld::UserGameFolder() const { return m_root / kUserGameFolder; }

void CGameWorld::WriteUserFile(const std::wstring& relative, const std::string& bytes) const {
    m_root.WriteFile(std::wstring(kUserGameFolder) + relative, bytes);
}

std::string CGameWorld::ReadUserFile(const std::wstring& relative) const {
    return m_root.ReadFile(std::wstring(kUserGameFolder) + relative);
}

bool CGameWorld::UserFileExists(const std::wstring& relative) const {
    return m_root.Exists(std::wstring(kUserGameFolder) + relative);
}

namespace {

std::string Utf16Lines(const std::string& firstLine, const std::vector<std::int64_t>& guids,
                       const std::string& prefix) {
    std::string text = firstLine + "\r\n";
    for (const std::int64_t guid : guids) {
        text += prefix + std::to_string(guid) + "\r\n";
    }
    text += "[/MODS]\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

}  // namespace

std::string SelectionFileBytes(const std::vector<std::int64_t>& guids) {
    return Utf16Lines("[MODS]", guids, "\t<INTEGER64>MODGUID:");
}

std::string RestartListBytes(const std::vector<std::int64_t>& guids) {
    return Utf16Lines("[MODS]", guids, "<INTEGER64>GUID:");
}

}  // namespace gh::test
