#include "workshop/steamworks/SteamworksClient.h"

#include "game/PathText.h"
#include "platform/Environment.h"
#include "platform/Process.h"
#include "workshop/WorkshopText.h"
#include "workshop/steamworks/SteamLibraryLocation.h"
#include "workshop/steamworks/SteamRecordDecoder.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>
#include <array>
#include <vector>

namespace gh {

namespace {

using steam::DispatchRoute;
using steam::StartEntry;

constexpr std::wstring_view kStartFailedPrefix = L"The Steam client failed to start: ";
constexpr wchar_t kAppIdVariable[] = L"SteamAppId";
constexpr wchar_t kGameIdVariable[] = L"SteamGameId";
// Room for a CallbackMsg_t of any layout the library has used.
constexpr std::size_t kMessageBufferBytes = 64;

bool IsDecimal(const std::wstring& text) {
    return !text.empty() && text.size() <= 10 &&
           std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// A launcher that Steam starts instead of the game inherits SteamAppId (and
// normally SteamGameId). The library, and the game started later, look for
// both; a SteamGameId missing beside a valid SteamAppId is filled in.
void CompleteAppEnvironment() {
    const auto appId = platform::GetEnvironmentText(kAppIdVariable);
    if (!appId || !IsDecimal(*appId)) return;
    if (!platform::GetEnvironmentText(kGameIdVariable)) platform::SetEnvironmentText(kGameIdVariable, *appId);
}

// The library's error text: its bytes up to the first zero within the
// buffer, on one line.
std::wstring LibraryErrorText(const std::array<char, steam::kErrorTextBytes>& buffer) {
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    std::string text(buffer.begin(), end);
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return AnsiToWide(text);
}

std::wstring InitResultText(std::int32_t result) {
    switch (result) {
        case 2: return L"the Steam client is not running or cannot be reached";
        case 3: return L"the Steam client is older than the game's Steam library";
        default: return fmt::format(L"the Steam library reported failure {}", result);
    }
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

std::wstring SteamStartFailedText(std::wstring_view reason) {
    std::wstring line(reason);
    for (wchar_t& c : line)
        if (c == L'\n' || c == L'\r' || c == L'\t') c = L' ';
    return FitBeforeTail(std::wstring(kStartFailedPrefix) + line, L"");
}

CSteamworksClient::CSteamworksClient(std::optional<std::wstring> libraryPath, std::wstring gameExecutable)
    : m_requestedPath(std::move(libraryPath)),
      m_gameExecutable(std::move(gameExecutable)),
      m_libraryPath(m_requestedPath.value_or(std::wstring())) {}

CSteamworksClient::~CSteamworksClient() {
    m_dispatcher.DropPosted();
    // A library that runs must stay mapped: its own threads may be inside it.
    if (m_started) m_library.KeepLoaded();
}

Status CSteamworksClient::Init() {
    if (m_started) return {};
    const Status started = Start();
    if (started) return {};
    m_api = steam::SteamApi{};
    m_library.Close();
    platform::DebugOutput(L"SteamAPI_Init() failed\n");
    return Status(started.Kind(), SteamStartFailedText(started.Text()));
}

Status CSteamworksClient::Start() {
    // Started before and shut down: the library stays loaded and starts again.
    if (!m_library.IsOpen())
        if (Status loaded = Load(); !loaded) return loaded;
    CompleteAppEnvironment();
    if (Status called = CallStartEntry(); !called) return called;
    m_started = true;

    if (m_api.route == DispatchRoute::Manual) {
        // Once per start, before any other manual dispatch call; from then
        // on SteamAPI_RunCallbacks must not be used.
        m_api.manualDispatchInit();
        m_pipe = m_api.getPipe();
    }
    TakeInterfaces();
    return {};
}

Status CSteamworksClient::Load() {
    if (m_requestedPath) {
        m_libraryPath = *m_requestedPath;
    } else if (const auto found = steam::FindSteamLibrary(m_gameExecutable)) {
        m_libraryPath = *found;
    } else {
        m_libraryPath.clear();
        return Status(StatusKind::NotFound, fmt::format(L"{} is neither beside the game nor on the library search path",
                                                        steam::kSteamLibraryFileName));
    }
    if (const Status opened = m_library.Open(m_libraryPath); !opened)
        return Status(opened.Kind(), fmt::format(L"{} could not be loaded: {}", m_libraryPath, opened.Text()));
    if (const Status resolved = steam::ResolveSteamApi(m_library, m_api); !resolved)
        return Status(resolved.Kind(), fmt::format(L"{} is not usable: {}", m_libraryPath, resolved.Text()));
    return {};
}

Status CSteamworksClient::CallStartEntry() {
    std::array<char, steam::kErrorTextBytes> message{};
    std::int32_t result = steam::kInitResultOk;
    switch (m_api.start) {
        case StartEntry::InitFlat: result = m_api.initFlat(message.data()); break;
        // No version list: the interfaces are taken from the library's own accessors.
        case StartEntry::InternalInit: result = m_api.internalInit(nullptr, message.data()); break;
        case StartEntry::Init:
        case StartEntry::InitSafe: result = m_api.init() ? steam::kInitResultOk : 1; break;
    }
    if (result == steam::kInitResultOk) return {};

    std::wstring reason = LibraryErrorText(message);
    if (reason.empty()) {
        if (m_api.isSteamRunning && !m_api.isSteamRunning())
            reason = L"Steam is not running";
        else if (m_api.start == StartEntry::InitFlat || m_api.start == StartEntry::InternalInit)
            reason = InitResultText(result);
        else
            reason = fmt::format(L"{} reported failure", Widen(steam::StartEntryName(m_api.start)));
        if (!platform::GetEnvironmentText(kAppIdVariable))
            reason += L" (SteamAppId is not set: start the launcher from Steam)";
    }
    return Status(StatusKind::Failed, reason);
}

void* CSteamworksClient::FindInterface(steam::AccessorFn accessor, steam::HSteamUser user, const char* const* versions,
                                       std::size_t count) const {
    if (accessor) return accessor();
    if (!m_api.findOrCreateInterface) return nullptr;
    for (std::size_t i = 0; i < count; ++i)
        if (void* found = m_api.findOrCreateInterface(user, versions[i])) return found;
    return nullptr;
}

void CSteamworksClient::TakeInterfaces() {
    // A library with the versioned accessors hands out exactly the versions
    // its flat functions were built for. Older libraries are asked by
    // version text; a null answer is "not available", never a crash.
    const steam::HSteamUser user = m_api.getUser ? m_api.getUser() : 0;
    const bool older = !m_api.userAccessor && !m_api.remoteStorageAccessor;
    m_user = m_remoteStorage = m_utils = m_ugc = nullptr;
    if (older && !m_api.getUser) return;
    if (older && !m_api.findOrCreateInterface) {
        TakeInterfacesFromClient(user);
        return;
    }
    m_user = FindInterface(m_api.userAccessor, user, steam::kUserVersions.data(), steam::kUserVersions.size());
    m_remoteStorage = FindInterface(m_api.remoteStorageAccessor, user, steam::kRemoteStorageVersions.data(),
                                    steam::kRemoteStorageVersions.size());
    // ISteamUtils belongs to no user.
    m_utils = FindInterface(m_api.utilsAccessor, 0, steam::kUtilsVersions.data(), steam::kUtilsVersions.size());
    if (m_api.itemInterface) m_ugc = m_api.ugcAccessor();
}

void CSteamworksClient::TakeInterfacesFromClient(steam::HSteamUser user) {
    // The oldest libraries have no lookup by version text: their client
    // interface, of the one version their flat functions were built for,
    // hands out the others.
    if (!m_api.createInterface || !m_api.clientUser || !m_api.clientRemoteStorage || !m_api.clientUtils ||
        !m_api.getPipe)
        return;
    void* client = m_api.createInterface(steam::kClientVersion);
    if (!client) return;
    const steam::HSteamPipe pipe = m_api.getPipe();
    for (const char* version : steam::kUserVersions)
        if (!m_user) m_user = m_api.clientUser(client, user, pipe, version);
    for (const char* version : steam::kRemoteStorageVersions)
        if (!m_remoteStorage) m_remoteStorage = m_api.clientRemoteStorage(client, user, pipe, version);
    for (const char* version : steam::kUtilsVersions)
        if (!m_utils) m_utils = m_api.clientUtils(client, pipe, version);
}

void CSteamworksClient::Shutdown() {
    m_pending.clear();
    m_dispatcher.DropPosted();
    if (!m_started) return;
    m_started = false;
    m_user = m_remoteStorage = m_utils = m_ugc = nullptr;
    m_api.shutdown();
}

bool CSteamworksClient::IsLoggedOn() { return m_started && m_user && m_api.loggedOn(m_user); }

bool CSteamworksClient::HasRemoteStorage() {
    return m_started && m_remoteStorage && (m_api.route == DispatchRoute::Manual || m_utils);
}

SteamAPICall CSteamworksClient::Track(SteamAPICall call, int callbackId) {
    if (call != kInvalidCall) m_pending[call] = callbackId;
    return call;
}

SteamAPICall CSteamworksClient::EnumerateUserSubscribedFiles(std::uint32_t startIndex) {
    if (!HasRemoteStorage()) return kInvalidCall;
    return Track(m_api.enumerate(m_remoteStorage, startIndex), steam::kEnumerateResultId);
}

SteamAPICall CSteamworksClient::GetPublishedFileDetails(PublishedFileId file) {
    if (!HasRemoteStorage()) return kInvalidCall;
    // 0 seconds: always ask the service, never a cached answer.
    return Track(m_api.details(m_remoteStorage, file, 0), steam::kDetailsResultId);
}

SteamAPICall CSteamworksClient::UGCDownload(UGCHandle content, std::uint32_t priority) {
    if (!HasRemoteStorage()) return kInvalidCall;
    return Track(m_api.download(m_remoteStorage, content, priority), steam::kDownloadResultId);
}

bool CSteamworksClient::GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) {
    if (!m_started || !m_remoteStorage || !downloaded || !expected) return false;
    std::int32_t done = 0;
    std::int32_t total = 0;
    if (!m_api.progress(m_remoteStorage, content, &done, &total)) return false;
    *downloaded = done;
    *expected = total;
    return true;
}

std::int32_t CSteamworksClient::UGCRead(UGCHandle content, void* buffer, std::int32_t size, std::uint32_t offset) {
    if (!m_started || !m_remoteStorage || !buffer || size <= 0) return 0;
    const std::int32_t read =
        m_api.read(m_remoteStorage, content, buffer, size, offset, steam::kReadContinueUntilFinished);
    return std::clamp(read, 0, size);
}

bool CSteamworksClient::HasItemInterface() { return m_started && m_api.itemInterface && m_ugc && m_utils; }

std::uint32_t CSteamworksClient::AppId() { return HasItemInterface() ? m_api.appId(m_utils) : 0; }

std::vector<PublishedFileId> CSteamworksClient::GetSubscribedItems(std::uint32_t maxCount) {
    std::vector<PublishedFileId> files;
    if (!HasItemInterface()) return files;
    // The flag leaves out items the player disabled in Steam; libraries
    // before it know no such items.
    const bool flag = m_api.ugcVersion >= steam::kUgcListFlagVersion;
    const std::uint32_t count = flag ? m_api.numSubscribedFlag(m_ugc, false) : m_api.numSubscribed(m_ugc);
    files.resize(std::min(count, maxCount));
    if (files.empty()) return files;
    const auto size = static_cast<std::uint32_t>(files.size());
    const std::uint32_t written = flag ? m_api.subscribedItemsFlag(m_ugc, files.data(), size, false)
                                       : m_api.subscribedItems(m_ugc, files.data(), size);
    files.resize(std::min(written, size));
    return files;
}

std::uint32_t CSteamworksClient::GetItemState(PublishedFileId file) {
    return HasItemInterface() ? m_api.itemState(m_ugc, file) : 0;
}

Result<ItemInstallInfo> CSteamworksClient::GetItemInstallInfo(PublishedFileId file) {
    if (!HasItemInterface()) return Status(StatusKind::Failed, L"the Steam library has no item interface");
    m_folderBuffer.assign(kItemFolderBytes, '\0');
    ItemInstallInfo info;
    const auto size = static_cast<std::uint32_t>(m_folderBuffer.size());
    if (!m_api.itemInstallInfo(m_ugc, file, &info.sizeOnDisk, m_folderBuffer.data(), size, &info.timeStamp))
        return Status(StatusKind::NotFound, L"the Steam client has no installed copy of it");
    const auto end = std::find(m_folderBuffer.begin(), m_folderBuffer.end(), '\0');
    // A text that fills the buffer may have been cut: it is not a folder to copy from.
    if (end == m_folderBuffer.end() || end - m_folderBuffer.begin() >= static_cast<std::ptrdiff_t>(size) - 1)
        return Status(StatusKind::BadData,
                      fmt::format(L"the Steam client names a folder longer than {} bytes", kItemFolderBytes - 2));
    info.folder.assign(m_folderBuffer.begin(), end);
    if (info.folder.empty()) return Status(StatusKind::NotFound, L"the Steam client names no folder for it");
    return info;
}

bool CSteamworksClient::GetItemDownloadInfo(PublishedFileId file, std::uint64_t* downloaded, std::uint64_t* total) {
    if (!HasItemInterface() || !downloaded || !total) return false;
    std::uint64_t done = 0;
    std::uint64_t all = 0;
    if (!m_api.itemDownloadInfo(m_ugc, file, &done, &all)) return false;
    *downloaded = done;
    *total = all;
    return true;
}

bool CSteamworksClient::DownloadItem(PublishedFileId file, bool highPriority) {
    return HasItemInterface() && m_api.downloadItem(m_ugc, file, highPriority);
}

void CSteamworksClient::RunCallbacks() {
    if (!m_started) return;
    if (m_api.route == DispatchRoute::Manual)
        ManualDispatchRound();
    else
        PollingRound();
    m_dispatcher.DispatchPosted();
}

void CSteamworksClient::ManualDispatchRound() {
    m_api.runFrame(m_pipe);
    const steam::CallbackMsgLayout& layout = steam::kTargetLayouts.callbackMsg;
    for (int n = 0; n < kMaxMessagesPerRound; ++n) {
        alignas(8) std::array<std::byte, kMessageBufferBytes> bytes{};
        if (!m_api.nextCallback(m_pipe, bytes.data())) break;
        steam::CallbackMessage message;
        if (steam::DecodeCallbackMessage(steam::ByteSpan(bytes.data(), layout.size), layout, message)) {
            if (message.callbackId == steam::kCallCompletedId)
                OnCallCompleted(message.param, message.paramSize);
            else if (message.callbackId == steam::kDownloadItemResultId && m_api.itemInterface)
                OnItemDownloaded(message.param, message.paramSize);
        }
        // Every message is freed before the next is asked for; the record
        // behind it is not touched afterwards.
        m_api.freeCallback(m_pipe);
    }
}

void CSteamworksClient::OnCallCompleted(const std::byte* record, std::int32_t size) {
    if (!record || size <= 0) return;
    steam::CallCompleted completed;
    if (!steam::DecodeCallCompleted(steam::ByteSpan(record, static_cast<std::size_t>(size)),
                                    steam::kTargetLayouts.callCompleted, completed))
        return;
    const auto found = m_pending.find(completed.call);
    if (found == m_pending.end()) return;  // another caller's call
    const int expectedId = found->second;
    m_pending.erase(found);
    // The record must be the kind the call answers with, at exactly the
    // size this program knows; anything else is a failed call, and no byte
    // of it is read.
    if (completed.callbackId != expectedId ||
        completed.resultSize != steam::CallResultSize(expectedId, steam::kTargetLayouts)) {
        m_dispatcher.PostFailure(completed.call);
        return;
    }
    FetchAndPost(completed.call, expectedId, true);
}

void CSteamworksClient::OnItemDownloaded(const std::byte* record, std::int32_t size) {
    // Copied out before the message is freed; a record of any other size
    // than the system's is not read at all.
    ItemDownloadResult result;
    if (record && size > 0 &&
        steam::DecodeDownloadItemResult(steam::ByteSpan(record, static_cast<std::size_t>(size)),
                                        steam::kTargetLayouts.downloadItem, result))
        m_dispatcher.PostBroadcast(result);
}

void CSteamworksClient::PollingRound() {
    m_api.runCallbacks();
    if (!m_utils) return;
    struct Finished {
        SteamAPICall call;
        int callbackId;
        bool failed;
    };
    std::vector<Finished> finished;
    for (const auto& [call, callbackId] : m_pending) {
        bool failed = false;
        if (m_api.isCallCompleted(m_utils, call, &failed)) finished.push_back({call, callbackId, failed});
    }
    for (const Finished& f : finished) {
        m_pending.erase(f.call);
        if (f.failed)
            m_dispatcher.PostFailure(f.call);
        else
            FetchAndPost(f.call, f.callbackId, false);
    }
}

void CSteamworksClient::FetchAndPost(SteamAPICall call, int callbackId, bool viaPipe) {
    const std::size_t size = steam::CallResultSize(callbackId, steam::kTargetLayouts);
    if (size == 0) {
        m_dispatcher.PostFailure(call);
        return;
    }
    std::vector<std::byte> buffer(size);
    bool ioFailure = false;
    const int bytes = static_cast<int>(size);
    const bool fetched = viaPipe ? m_api.pipeCallResult(m_pipe, call, buffer.data(), bytes, callbackId, &ioFailure)
                                 : m_api.utilsCallResult(m_utils, call, buffer.data(), bytes, callbackId, &ioFailure);
    if (!fetched || ioFailure) {
        m_dispatcher.PostFailure(call);
        return;
    }
    if (auto record = steam::DecodeCallResult(callbackId, buffer, steam::kTargetLayouts))
        m_dispatcher.Post(call, *record);
    else
        m_dispatcher.PostFailure(call);
}

std::unique_ptr<IWorkshopClient> CreateSteamworksClient(const std::wstring& gameExecutable) {
    return std::make_unique<CSteamworksClient>(std::nullopt, gameExecutable);
}

}  // namespace gh
