// The Workshop client backed by the Steam client library that ships with
// the game, loaded at run time and driven through its flat C entry points.
#pragma once

#include "platform/Library.h"
#include "workshop/CallDispatcher.h"
#include "workshop/WorkshopClient.h"
#include "workshop/steamworks/SteamApi.h"
#include "workshop/steamworks/SteamRecordLayout.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gh {

// The status line when the library cannot be started: says that the Steam
// client failed to start, then why, in one line of bounded length.
std::wstring SteamStartFailedText(std::wstring_view reason);

class CSteamworksClient final : public IWorkshopClient {
public:
    // Messages taken from the library's queue in one RunCallbacks; the rest
    // wait for the next one, so a library that never runs dry cannot hold
    // the caller's loop.
    static constexpr int kMaxMessagesPerRound = 1000;
    // Room for an item's install folder as the library writes it (UTF-8):
    // the longest Windows path, each of its units taking up to three bytes.
    static constexpr std::size_t kItemFolderBytes = 3 * 32768;

    // Without a path the library is looked for when Init runs, beside
    // `gameExecutable` or on the search path (steam::FindSteamLibrary); a
    // path names the library file to load.
    explicit CSteamworksClient(std::optional<std::wstring> libraryPath = std::nullopt,
                               std::wstring gameExecutable = {});
    // Unloads the library unless it was started and not shut down: a
    // started library may run threads of its own, and the process ends
    // soon after anyway. Never calls SteamAPI_Shutdown itself.
    ~CSteamworksClient() override;
    CSteamworksClient(const CSteamworksClient&) = delete;
    CSteamworksClient& operator=(const CSteamworksClient&) = delete;

    // Finds and loads the library, starts it with the newest start entry
    // point it exports, switches it to manual dispatch where it has that,
    // and takes its user, remote-storage, utils and item interfaces from the
    // accessors it exports (a library of 2017 or before: from its client
    // interface). True when already started. On failure (no
    // library, a library that cannot be loaded, missing entry points, a
    // failed start) writes "SteamAPI_Init() failed" to the debug output,
    // sets `error` to SteamStartFailedText with the reason (the library's
    // own text when it gives one) and unloads the library.
    Status Init() override;
    // Calls SteamAPI_Shutdown once for a started library; calls not
    // answered yet are never answered. Init may start it again.
    void Shutdown() override;
    // One round of the library's dispatch, then delivery of the finished
    // calls to their call results, and of item download results (3406) to
    // their listeners. A record that is not the size of its kind, of
    // another kind than the call asked for, or that cannot be fetched, is
    // delivered as a failed call; an item download result of another size
    // than the system's is dropped.
    void RunCallbacks() override;

    // False without a user interface (the library offers none of a version
    // it knows): the sync then reports the login failure.
    bool IsLoggedOn() override;
    // A remote-storage interface, and a way to fetch call results, exist.
    bool HasRemoteStorage() override;

    SteamAPICall EnumerateUserSubscribedFiles(std::uint32_t startIndex) override;
    SteamAPICall GetPublishedFileDetails(PublishedFileId file) override;
    SteamAPICall UGCDownload(UGCHandle content, std::uint32_t priority) override;
    bool GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) override;
    // Reads in the library's "continue until finished" mode: the content
    // stays readable until its last byte was read.
    std::int32_t UGCRead(UGCHandle content, void* buffer, std::int32_t size, std::uint32_t offset) override;
    CCallDispatcher& CallResults() override { return m_dispatcher; }

    // Only for a library whose item interface is usable (steam::SteamApi::itemInterface).
    bool HasItemInterface() override;
    // ISteamUtils::GetAppID, through the library's own utils interface.
    std::uint32_t AppId() override;
    // Without the items disabled in Steam (the flag where the library takes it).
    std::vector<PublishedFileId> GetSubscribedItems(std::uint32_t maxCount) override;
    std::uint32_t GetItemState(PublishedFileId file) override;
    // Refuses a folder that is empty or fills the whole buffer (it may be cut).
    Result<ItemInstallInfo> GetItemInstallInfo(PublishedFileId file) override;
    bool GetItemDownloadInfo(PublishedFileId file, std::uint64_t* downloaded, std::uint64_t* total) override;
    bool DownloadItem(PublishedFileId file, bool highPriority) override;

    bool IsStarted() const { return m_started; }
    // What the loaded library offers (valid while it is loaded).
    steam::StartEntry StartEntryUsed() const { return m_api.start; }
    steam::DispatchRoute Route() const { return m_api.route; }
    // The library that was loaded, or the one Init would look for.
    const std::wstring& LibraryPath() const { return m_libraryPath; }

private:
    // On failure the reason for the player.
    Status Start();
    Status Load();
    Status CallStartEntry();
    void TakeInterfaces();
    void* FindInterface(steam::AccessorFn accessor, steam::HSteamUser user, const char* const* versions,
                        std::size_t count) const;
    void TakeInterfacesFromClient(steam::HSteamUser user);
    SteamAPICall Track(SteamAPICall call, int callbackId);
    void ManualDispatchRound();
    void PollingRound();
    void OnCallCompleted(const std::byte* record, std::int32_t size);
    void OnItemDownloaded(const std::byte* record, std::int32_t size);
    void FetchAndPost(SteamAPICall call, int callbackId, bool viaPipe);

    std::optional<std::wstring> m_requestedPath;
    std::wstring m_gameExecutable;
    std::wstring m_libraryPath;
    platform::CSharedLibrary m_library;
    steam::SteamApi m_api;
    bool m_started = false;
    steam::HSteamPipe m_pipe = 0;
    void* m_user = nullptr;
    void* m_remoteStorage = nullptr;
    void* m_utils = nullptr;
    void* m_ugc = nullptr;
    std::vector<char> m_folderBuffer;       // for GetItemInstallInfo
    std::map<SteamAPICall, int> m_pending;  // call -> the record id it answers with
    CCallDispatcher m_dispatcher;
};

// The Steam client backend as the launcher uses it: the library beside the
// game executable, or on the search path.
std::unique_ptr<IWorkshopClient> CreateSteamworksClient(const std::wstring& gameExecutable);

}  // namespace gh
