// The version read on executables that the MinGW-w64 tools built from
// pe_samples/versioned.rc (FILEVERSION 3,14,159,26535, PRODUCTVERSION
// 27,18,28,18), so files that our own writer did not make.
#include "platform/FileSystem.h"
#include "platform/FileVersion.h"
#include "platform/InputFile.h"
#include "platform/PeVersionReader.h"
#include "platform/SystemFolders.h"
#include "support/PeWriter.h"

#include <gtest/gtest.h>

#include <array>

namespace gh {
namespace {

std::wstring SamplePath(const std::wstring& name) {
    std::wstring folder = platform::LauncherPath();
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"pe-samples/" + name;
}

class PeSample : public ::testing::TestWithParam<const wchar_t*> {};

INSTANTIATE_TEST_SUITE_P(BuiltByTheToolchain, PeSample, ::testing::Values(L"versioned64.exe", L"versioned32.exe"),
                         [](const auto& param) {
                             return std::wstring(param.param) == L"versioned64.exe" ? "Pe32Plus" : "Pe32";
                         });

TEST_P(PeSample, GivesTheVersionTheResourceCompilerWasGiven) {
    const std::wstring path = SamplePath(GetParam());
    if (!platform::FileExists(path)) GTEST_SKIP() << "the MinGW-w64 tools were not there to build the samples";

    const std::array<std::uint16_t, 4> expected = {3, 14, 159, 26535};
    std::array<std::uint16_t, 4> parts = {};
    ASSERT_TRUE(platform::ReadFileVersion(path, parts.data()));
    EXPECT_EQ(parts, expected);

    // The reader itself, also where the system's functions did the read above.
    const auto bytes = platform::ReadWholeFile(path, 1 << 20);
    ASSERT_TRUE(bytes.has_value());
    test::COwnedByteSource source(*bytes);
    parts = {};
    ASSERT_TRUE(platform::ReadPeFileVersion(source, parts.data()));
    EXPECT_EQ(parts, expected);
}

}  // namespace
}  // namespace gh
