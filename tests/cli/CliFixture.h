// A world for the gatehouse executable on temporary folders: a documents
// folder, a game folder with a versioned game file, a local Workshop and a
// stand-in runner, and the means to run the executable on them.
#pragma once

#include "ChildProcess.h"

#include "support/ModFileWriter.h"
#include "support/PeWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gh::test {

class CliFixture : public ::testing::Test {
protected:
    static constexpr VersionParts kGameVersion{1, 25, 5, 2};

    CliFixture() {
        m_temp.MakeFolder(L"documents");
        m_temp.MakeFolder(L"game");
    }

    // The documents game folder, relative to the temporary folder.
    static std::wstring User(const std::wstring& relative = L"") {
        return L"documents/My Games/Velmora Games/Emberwake 2/" + relative;
    }

    void WriteGame(const VersionParts& version = kGameVersion) {
        m_temp.WriteFile(L"game/Emberwake2.exe", WriteVersionedPe(PeKind::Pe32Plus, version).bytes);
    }

    // A mod built for the fixture's game version, with no requirements.
    static ModFile Mod(const std::wstring& name, std::int64_t guid, std::uint16_t version = 1) {
        ModFile mod;
        mod.name = Units(name);
        mod.guid = guid;
        mod.version = version;
        for (int i = 0; i < 4; ++i) mod.gameVersion[i] = kGameVersion[static_cast<std::size_t>(i)];
        return mod;
    }

    void InstallMod(const std::wstring& file, const ModFile& mod) {
        ASSERT_TRUE(WriteModFile(m_temp / User(L"mods/" + file), mod));
    }

    // A selection file: UTF-16 little-endian with its mark, CR LF line ends.
    static std::string SelectionBytes(const std::vector<std::int64_t>& guids, const std::wstring& first = L"[MODS]",
                                      const std::wstring& entry = L"\t<INTEGER64>MODGUID:");
    // A restart list in the same encoding; its entries read "<INTEGER64>GUID:<number>".
    static std::string RestartListBytes(const std::vector<std::int64_t>& guids) {
        return SelectionBytes(guids, L"[MODS]", L"<INTEGER64>GUID:");
    }
    // The guids of a selection file's entry lines, in order.
    static std::vector<std::int64_t> SelectionGuids(const std::string& bytes);

    // Runs gatehouse with the fixture's documents and game folders first.
    ChildResult Gatehouse(std::vector<std::wstring> args) {
        args.insert(args.begin(), {L"--documents", m_temp / L"documents", L"--game-folder", m_temp / L"game"});
        return RunChild(BuiltProgram(GH_GATEHOUSE_EXE), args);
    }

    TempFolder m_temp;
};

// Standard output split into lines, line ends dropped.
std::vector<std::string> Lines(const std::string& text);

}  // namespace gh::test
