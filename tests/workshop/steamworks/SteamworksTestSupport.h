// Shared pieces of the Steam backend's tests: where the stand-in library's
// variants are, a Workshop folder for it to serve, environment variables
// set for one test, and the stand-in's report of how it was driven.
#pragma once

#include "StandInReport.h"
#include "support/TempFolder.h"
#include "workshop/WorkshopClient.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace gh::test {

// The stand-in library of `variant` (a folder below standin/ beside the
// test program), under the real library's file name.
std::wstring StandInLibrary(const std::string& variant);

// Sets environment variables for the life of the object, then restores
// what was there. Starts with SteamAppId set and the stand-in's own
// variables (Workshop folder, faults) and SteamGameId removed.
class CScopedEnvironment {
public:
    CScopedEnvironment();
    ~CScopedEnvironment();
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

    void Set(const std::wstring& name, const std::optional<std::wstring>& value);

private:
    std::map<std::wstring, std::optional<std::wstring>> m_saved;
};

inline constexpr wchar_t kTestAppId[] = L"734120";

// A Workshop folder for the stand-in: workshop.json and content files.
class CStandInWorkshop {
public:
    const std::wstring& Path() const { return m_folder.Path(); }
    void WriteManifest(const std::string& json) const { m_folder.WriteFile(L"workshop.json", json); }
    void WriteContent(const std::wstring& name, const std::string& bytes) const { m_folder.WriteFile(name, bytes); }

private:
    TempFolder m_folder;
};

// The stand-in's report, read through a second handle to the library at
// `libraryPath` (which must be loaded, so that this is the same instance).
StandInReport ReadStandInReport(const std::wstring& libraryPath);

// Runs `client`'s callbacks until `done` holds or `timeoutMs` passes; true if `done` held.
bool PumpUntil(IWorkshopClient& client, const std::function<bool()>& done, int timeoutMs = 10'000);

// Copies a file (bytes only).
void CopyFileTo(const std::wstring& from, const std::wstring& to);

}  // namespace gh::test
