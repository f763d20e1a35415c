#include "game/GameFolders.h"
#include "game/GameVersion.h"
#include "support/PeWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace gh {
namespace {

using test::PeKind;
using test::WriteVersionedPe;

// The launcher's folder is a real temporary folder; the game executable is
// written there under the name the game ships with.
class GameVersionTest : public ::testing::Test {
protected:
    void WriteGame(const std::string& bytes) { m_folder.WriteFile(L"Emberwake2.exe", bytes); }

    // The version as the folders of one run read it.
    struct Version {
        std::uint16_t major = 0xAAAA, minor = 0xAAAA, build = 0xAAAA, revision = 0xAAAA;
        bool found = false;
        bool operator==(const Version&) const = default;
    };
    Version Read() const {
        Version v;
        v.found = m_folders->GetGameVersion(v.major, v.minor, v.build, v.revision);
        return v;
    }
    // A new run: its folders read the executable anew.
    void NewRun() { m_folders = std::make_unique<CGameFolders>(m_folder.Path() + L"gatehouse", L"/docs"); }

    test::TempFolder m_folder;
    std::unique_ptr<CGameFolders> m_folders = std::make_unique<CGameFolders>(m_folder.Path() + L"gatehouse", L"/docs");
};

TEST_F(GameVersionTest, ReadsTheGameExecutablesFileVersionOnce) {
    WriteGame(WriteVersionedPe(PeKind::Pe32Plus, {1, 25, 5, 2}, {2, 0, 0, 0}).bytes);
    EXPECT_EQ(Read(), (Version{1, 25, 5, 2, true}));

    // Kept for the run: a replaced or removed executable changes nothing.
    WriteGame(WriteVersionedPe(PeKind::Pe32Plus, {3, 0, 0, 1}).bytes);
    EXPECT_EQ(Read(), (Version{1, 25, 5, 2, true}));
    m_folder.WriteFile(L"Emberwake2.exe", "");
    EXPECT_EQ(Read(), (Version{1, 25, 5, 2, true}));

    // Only a new run reads the file again.
    WriteGame(WriteVersionedPe(PeKind::Pe32, {3, 0, 0, 1}).bytes);
    NewRun();
    EXPECT_EQ(Read(), (Version{3, 0, 0, 1, true}));
}

TEST_F(GameVersionTest, AMissingExecutableFailsOnEveryCall) {
    // The first failure leaves the arguments alone; later calls hand out the
    // kept parts, which are zero.
    EXPECT_EQ(Read(), (Version{0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, false}));
    WriteGame(WriteVersionedPe(PeKind::Pe32Plus, {1, 25, 5, 2}).bytes);
    EXPECT_EQ(Read(), (Version{0, 0, 0, 0, false}));
    EXPECT_EQ(Read(), (Version{0, 0, 0, 0, false}));
}

TEST_F(GameVersionTest, ADamagedExecutableGivesNoVersion) {
    test::PeImage image = WriteVersionedPe(PeKind::Pe32Plus, {1, 25, 5, 2});
    image.Put32(image.layout.fixedFileInfo, 0);  // no fixed-information signature
    WriteGame(image.bytes);
    EXPECT_FALSE(Read().found);
}

TEST_F(GameVersionTest, AnExecutableWithoutVersionGivesNoVersion) {
    WriteGame(test::WritePe(PeKind::Pe32Plus, {}).bytes);
    EXPECT_FALSE(Read().found);
}

}  // namespace
}  // namespace gh
