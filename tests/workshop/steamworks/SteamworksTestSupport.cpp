#include "SteamworksTestSupport.h"

#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "platform/Library.h"
#include "platform/SystemFolders.h"
#include "workshop/steamworks/SteamLibraryLocation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gh::test {

namespace {

// The test program's folder, taken before any test replaces the launcher's folder.
const std::wstring g_programFolder = [] {
    const std::wstring self = platform::LauncherPath();
    return self.substr(0, self.find_last_of(L"/\\") + 1);
}();

}  // namespace

std::wstring StandInLibrary(const std::string& variant) {
    return g_programFolder + L"standin/" + std::wstring(variant.begin(), variant.end()) + L"/" +
           std::wstring(steam::kSteamLibraryFileName);
}

CScopedEnvironment::CScopedEnvironment() {
    Set(L"SteamAppId", kTestAppId);
    Set(L"SteamGameId", std::nullopt);
    Set(L"GATEHOUSE_STANDIN_WORKSHOP", std::nullopt);
    Set(L"GATEHOUSE_STANDIN_FAULT", std::nullopt);
}

CScopedEnvironment::~CScopedEnvironment() {
    for (const auto& [name, value] : m_saved) platform::SetEnvironmentText(name, value);
}

void CScopedEnvironment::Set(const std::wstring& name, const std::optional<std::wstring>& value) {
    if (!m_saved.count(name)) m_saved[name] = platform::GetEnvironmentText(name);
    ASSERT_TRUE(platform::SetEnvironmentText(name, value)) << "cannot set the environment variable";
}

StandInReport ReadStandInReport(const std::wstring& libraryPath) {
    StandInReport report{};
    platform::CSharedLibrary library;
    if (!library.Open(libraryPath)) {
        ADD_FAILURE() << "cannot open the stand-in again";
        return report;
    }
    const auto read = reinterpret_cast<StandInReportFn>(library.Find(kStandInReportExport));
    if (!read) {
        ADD_FAILURE() << "the stand-in exports no report";
        return report;
    }
    read(&report);
    return report;
}

bool PumpUntil(IWorkshopClient& client, const std::function<bool()>& done, int timeoutMs) {
    const std::int64_t deadline = platform::MonotonicMilliseconds() + timeoutMs;
    for (;;) {
        client.RunCallbacks();
        if (done()) return true;
        if (platform::MonotonicMilliseconds() >= deadline) return false;
        platform::SleepMilliseconds(2);
    }
}

void CopyFileTo(const std::wstring& from, const std::wstring& to) {
    const auto bytes = platform::ReadWholeFile(from, 64 << 20);
    ASSERT_TRUE(bytes.has_value()) << "cannot read the stand-in library";
    const std::wstring folder = to.substr(0, to.find_last_of(L"/\\"));
    ASSERT_TRUE(platform::CreateFolders(folder));
    ASSERT_TRUE(platform::WriteFileAtomically(to, bytes->data(), bytes->size()));
}

}  // namespace gh::test
