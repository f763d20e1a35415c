#include "app/Folders.h"
#include "app/GameVersion.h"
#include "platform/Folders.h"
#include "support/PeWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace gh {
namespace {

using test::PeKind;
using test::WriteVersionedPe;

// The launcher's folder is a real temporary folder; the game executable is
// written there under the name the game ships with.
class GameVersionTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLauncherFolderOverride(m_folder.Path());
        ResetFolderCachesForTesting();
    }
    void TearDown() override {
        platform::SetLauncherFolderOverride(L"");
        ResetFolderCachesForTesting();
    }

    void WriteGame(const std::string& bytes) { m_folder.WriteFile(L"Emberwake2.exe", bytes); }

    test::TempFolder m_folder;
};

struct Version {
    std::uint16_t major = 0xAAAA, minor = 0xAAAA, build = 0xAAAA, revision = 0xAAAA;
    bool found = false;
    bool operator==(const Version&) const = default;
};

Version Read() {
    Version v;
    v.found = GetGameVersion(v.major, v.minor, v.build, v.revision);
    return v;
}

TEST_F(GameVersionTest, ReadsTheGameExecutablesFileVersionOnce) {
    WriteGame(WriteVersionedPe(PeKind::Pe32Plus, {1, 25, 5, 2}, {2, 0, 0, 0}).bytes);
    EXPECT_EQ(Read(), (Version{1, 25, 5, 2, true}));

    // Kept for the process: a replaced or removed executable changes nothing.
    WriteGame(WriteVersionedPe(PeKind::Pe32Plus, {3, 0, 0, 1}).bytes);
    EXPECT_EQ(Read(), (Version{1, 25, 5, 2, true}));
    m_folder.WriteFile(L"Emberwake2.exe", "");
    EXPECT_EQ(Read(), (Version{1, 25, 5, 2, true}));

    // Only a reset (a new process) reads the file again.
    WriteGame(WriteVersionedPe(PeKind::Pe32, {3, 0, 0, 1}).bytes);
    ResetFolderCachesForTesting();
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
