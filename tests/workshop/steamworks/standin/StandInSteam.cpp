#include "StandInSteam.h"

#include "platform/Environment.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace gh::standin {

namespace {

namespace fs = std::filesystem;

InterfaceObject g_user{"ISteamUser"};
InterfaceObject g_remoteStorage{"ISteamRemoteStorage"};
InterfaceObject g_utils{"ISteamUtils"};
InterfaceObject g_ugc{"ISteamUGC"};
InterfaceObject g_client{"ISteamClient"};

constexpr std::uint64_t kFirstCall = 0x5EED'0000'0000'0001;  // high bits set: a 32-bit cut shows
constexpr std::uint64_t kFirstContent = 0x7E57'0000'0000'0000;
constexpr std::uint64_t kOwner = 76561198000000000;
constexpr std::int32_t kResultOk = 1;
constexpr std::int32_t kResultFail = 2;
constexpr std::int32_t kResultFileNotFound = 9;
constexpr std::size_t kWrongSizeExtra = 8;
constexpr std::size_t kLongFolderExtra = 300'000;  // beyond any path buffer

fs::path PathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::optional<std::string> Environment(const wchar_t* name) {
    const auto value = platform::GetEnvironmentText(name);
    if (!value) return std::nullopt;
    return WideToUtf8(*value);
}

void CopyText(char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

void WriteError(char* errorOut, const std::string& text) {
    if (errorOut) CopyText(errorOut, 1024, text);
}

template <class Record>
std::vector<std::byte> BytesOf(const Record& record) {
    std::vector<std::byte> bytes(sizeof(Record));
    std::memcpy(bytes.data(), &record, sizeof(Record));
    return bytes;
}

}  // namespace

CStandInSteam& CStandInSteam::Instance() {
    static CStandInSteam instance;
    return instance;
}

void CStandInSteam::Reset() {
    const StandInReport kept = m_report;
    *this = CStandInSteam();
    m_report = kept;
}

void CStandInSteam::Violation(const std::string& what) {
    if (m_report.protocolErrors++ == 0) CopyText(m_report.firstProtocolError, sizeof m_report.firstProtocolError, what);
}

bool CStandInSteam::Usable(const char* call) {
    if (m_started) return true;
    Violation(std::string(call) + " called while the library is not started");
    return false;
}

bool CStandInSteam::IsSelf(void* self, const InterfaceObject& expected, const char* call) {
    if (!Usable(call)) return false;
    if (self == &expected) return true;
    Violation(std::string(call) + " called with a pointer that is not its " + expected.name);
    return false;
}

std::int32_t CStandInSteam::Start(StartCall call, const char* versionList, char* errorOut) {
    m_report.startEntry = static_cast<std::int32_t>(call);
    m_report.versionListGiven = versionList != nullptr;
    if (m_started) {
        Violation("started twice without a shutdown");
        return 0;
    }
    Reset();

    const auto appId = Environment(L"SteamAppId");
    if (!appId || appId->empty() || appId->size() > 9 ||
        !std::all_of(appId->begin(), appId->end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        std::stoul(*appId) == 0) {
        WriteError(errorOut, "No appID found. Start the program from Steam, or set SteamAppId.");
        return 1;
    }
    m_appId = static_cast<std::uint32_t>(std::stoul(*appId));
    const auto folder = Environment(L"GATEHOUSE_STANDIN_WORKSHOP");
    if (!folder || folder->empty()) {
        WriteError(errorOut, "Steam is not running (no stand-in Workshop folder is set).");
        return 2;
    }
    m_folder = PathFromUtf8(*folder);
    if (std::string problem = LoadWorkshop(); !problem.empty()) {
        WriteError(errorOut, problem);
        return 1;
    }
    ReadFaults();
    if (m_failStart) {
        if (errorOut) std::memset(errorOut, 'x', 1024);  // a text without its terminating zero
        return 3;
    }
    m_started = true;
    ++m_report.starts;
    // Downloads the client is making already end on their own.
    for (std::size_t i = 0; i < m_itemStates.size(); ++i)
        if (m_itemStates[i] & kItemDownloading) ScheduleItemDownload(i);
    return 0;
}

std::string CStandInSteam::LoadWorkshop() {
    std::ifstream in(m_folder / "workshop.json", std::ios::binary);
    if (!in) return "the stand-in Workshop folder holds no readable workshop.json";
    std::ostringstream text;
    text << in.rdbuf();
    gh::Result<WorkshopManifest> manifest = ParseWorkshopManifest(text.str());
    if (!manifest) return "workshop.json: " + WideToUtf8(manifest.Error().Text());
    m_manifest = std::move(*manifest);

    std::set<std::uint64_t> named;
    for (const WorkshopItem& item : m_manifest.items)
        if (item.contentHandle) named.insert(*item.contentHandle);
    std::uint64_t next = kFirstContent;
    for (const WorkshopItem& item : m_manifest.items) {
        m_itemIndex.emplace(item.id, m_itemStates.size());
        m_itemStates.push_back(kItemSubscribed | item.state | (item.legacy ? kItemLegacy : 0));
        std::uint64_t handle = item.contentHandle.value_or(0);
        if (!item.contentHandle) {
            while (named.count(++next)) {
            }
            handle = next;
        }
        m_itemHandles.push_back(handle);
        Content& content = m_contents[handle];
        if (content.path.empty() && !item.content.empty()) {
            content.path = m_folder / PathFromUtf8(item.content);
            content.fileName = item.fileName;
        }
        if (item.fail == WorkshopFailure::Download) content.failDownload = true;
    }
    return {};
}

void CStandInSteam::ReadFaults() {
    const std::string faults = Environment(L"GATEHOUSE_STANDIN_FAULT").value_or("");
    std::size_t pos = 0;
    while (pos <= faults.size()) {
        std::size_t end = faults.find(',', pos);
        if (end == std::string::npos) end = faults.size();
        const std::string fault = faults.substr(pos, end - pos);
        pos = end + 1;
        if (fault == "start")
            m_failStart = true;
        else if (fault.rfind("size:", 0) == 0)
            m_wrongSize.insert(std::atoi(fault.c_str() + 5));
        else if (fault.rfind("io:", 0) == 0)
            m_ioFailure.insert(std::atoi(fault.c_str() + 3));
        else if (fault == "longfolder")
            m_longFolders = true;
    }
}

void CStandInSteam::Shutdown() {
    if (!m_started) {
        Violation("SteamAPI_Shutdown called while the library is not started");
        return;
    }
    ++m_report.shutdowns;
    Reset();
}

bool CStandInSteam::IsSteamRunning() const {
    const auto folder = Environment(L"GATEHOUSE_STANDIN_WORKSHOP");
    return folder && !folder->empty();
}

void* CStandInSteam::User() { return m_started ? &g_user : nullptr; }
void* CStandInSteam::RemoteStorage() { return m_started ? &g_remoteStorage : nullptr; }
void* CStandInSteam::Utils() { return m_started ? &g_utils : nullptr; }
void* CStandInSteam::Ugc() { return m_started ? &g_ugc : nullptr; }

void* CStandInSteam::CreateInterface(const char* version, const char* clientVersion) {
    if (!Usable("SteamInternal_CreateInterface") || !version) return nullptr;
    return std::string(version) == clientVersion ? &g_client : nullptr;
}

void* CStandInSteam::ClientInterface(void* client, std::int32_t user, std::int32_t pipe, const char* version,
                                     const char* known, void* object, const char* call) {
    if (!IsSelf(client, g_client, call) || !version) return nullptr;
    if (user != kUser || pipe != kPipe) {
        Violation(std::string(call) + " called without the user or the pipe");
        return nullptr;
    }
    return std::string(version) == known ? object : nullptr;
}

void* CStandInSteam::FindOrCreate(std::int32_t user, const char* version, const char* userVersion,
                                  const char* storageVersion, const char* utilsVersion) {
    if (!Usable("SteamInternal_FindOrCreateUserInterface") || !version) return nullptr;
    const std::string asked = version;
    // ISteamUtils belongs to no user: asked with 0 or with the user.
    if (asked.rfind("SteamUtils", 0) == 0) return asked == utilsVersion ? &g_utils : nullptr;
    if (user != kUser) {
        Violation("SteamInternal_FindOrCreateUserInterface asked for a user interface without the user");
        return nullptr;
    }
    if (asked == userVersion) return &g_user;
    if (asked == storageVersion) return &g_remoteStorage;
    return nullptr;
}

std::int32_t CStandInSteam::Pipe() { return Usable("SteamAPI_GetHSteamPipe") ? kPipe : 0; }
std::int32_t CStandInSteam::UserHandle() { return Usable("SteamAPI_GetHSteamUser") ? kUser : 0; }

bool CStandInSteam::LoggedOn(void* self) {
    return IsSelf(self, g_user, "ISteamUser::BLoggedOn") && m_manifest.loggedOn;
}

std::optional<std::size_t> CStandInSteam::IndexOf(std::uint64_t file) const {
    const auto found = m_itemIndex.find(file);
    if (found == m_itemIndex.end()) return std::nullopt;
    return found->second;
}

const WorkshopItem* CStandInSteam::FindItem(std::uint64_t file) const {
    const auto index = IndexOf(file);
    return index ? &m_manifest.items[*index] : nullptr;
}

std::int64_t CStandInSteam::TransferMs(std::uint64_t size) const {
    if (m_manifest.bytesPerSecond <= 0) return 0;
    return static_cast<std::int64_t>(
        std::ceil(static_cast<double>(size) * 1000.0 / static_cast<double>(m_manifest.bytesPerSecond)));
}

std::uint64_t CStandInSteam::BytesSoFar(const Transfer& transfer) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - transfer.start).count();
    if (elapsed >= transfer.durationMs) return transfer.size;
    if (elapsed <= 0) return 0;
    return static_cast<std::uint64_t>(static_cast<double>(transfer.size) * static_cast<double>(elapsed) /
                                      static_cast<double>(transfer.durationMs));
}

std::int64_t CStandInSteam::LatencyOf(const WorkshopItem* item) const {
    return item && item->latencyMs ? *item->latencyMs : m_manifest.latencyMs;
}

std::optional<std::int32_t> CStandInSteam::ContentSize(const fs::path& path) const {
    std::error_code error;
    if (path.empty() || !fs::is_regular_file(path, error)) return std::nullopt;
    const auto size = fs::file_size(path, error);
    if (error || size > static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
    return static_cast<std::int32_t>(size);
}

template <class Record>
std::uint64_t CStandInSteam::Schedule(int id, const Record& record, std::int64_t delayMs,
                                      std::optional<std::uint64_t> opens) {
    Result result;
    result.call = kFirstCall + m_nextCall++;
    result.id = id;
    result.bytes = BytesOf(record);
    if (m_wrongSize.count(id)) result.bytes.resize(result.bytes.size() + kWrongSizeExtra);
    result.ioFailure = m_ioFailure.count(id) > 0;
    result.due = Clock::now() + std::chrono::milliseconds(delayMs);
    result.opens = opens;
    m_scheduled.push_back(std::move(result));
    return m_scheduled.back().call;
}

std::uint64_t CStandInSteam::Enumerate(void* self, std::uint32_t startIndex) {
    if (!IsSelf(self, g_remoteStorage, "ISteamRemoteStorage::EnumerateUserSubscribedFiles")) return 0;
    RemoteStorageEnumerateUserSubscribedFilesResult_t record{};
    const auto pageSize = static_cast<std::uint32_t>(m_manifest.pageSize);
    std::uint32_t page = startIndex / pageSize;
    if (m_manifest.failPage && *m_manifest.failPage == page) {
        record.m_eResult = kResultFail;
        return Schedule(1314, record, m_manifest.latencyMs);
    }
    if (m_manifest.repeatPage && *m_manifest.repeatPage + 1 == page) {
        page = *m_manifest.repeatPage;
        startIndex = page * pageSize;
    }
    std::vector<std::uint64_t> listed;
    for (const WorkshopItem& item : m_manifest.items)
        if (item.listedByRemoteStorage) listed.push_back(item.id);
    record.m_eResult = kResultOk;
    record.m_nTotalResultCount = m_manifest.totalCount.value_or(static_cast<std::int32_t>(listed.size()));
    std::uint32_t returned = 0;
    for (std::size_t i = startIndex; i < listed.size() && returned < pageSize; ++i, ++returned)
        record.m_rgPublishedFileId[returned] = listed[i];
    record.m_nResultsReturned = static_cast<std::int32_t>(returned);
    return Schedule(1314, record, m_manifest.latencyMs);
}

std::uint64_t CStandInSteam::Details(void* self, std::uint64_t file, std::uint32_t /*maxSecondsOld*/) {
    if (!IsSelf(self, g_remoteStorage, "ISteamRemoteStorage::GetPublishedFileDetails")) return 0;
    RemoteStorageGetPublishedFileDetailsResult_t record{};
    record.m_nPublishedFileId = file;
    record.m_nCreatorAppID = m_appId;
    record.m_nConsumerAppID = m_appId;
    record.m_hPreviewFile = ~std::uint64_t{0};
    record.m_ulSteamIDOwner = kOwner;
    record.m_bAcceptedForUse = true;
    const WorkshopItem* item = FindItem(file);
    if (!item) {
        record.m_eResult = kResultFileNotFound;
        return Schedule(1318, record, m_manifest.latencyMs);
    }
    if (item->fail == WorkshopFailure::Never) return 0;
    if (item->kind == WorkshopItemKind::Folder) {
        // An item that lives in a folder has no single file to describe.
        record.m_eResult = kResultFileNotFound;
        return Schedule(1318, record, LatencyOf(item));
    }
    const std::uint64_t handle = m_itemHandles[static_cast<std::size_t>(item - m_manifest.items.data())];
    CopyText(record.m_rgchTitle, sizeof record.m_rgchTitle, item->fileName);
    CopyText(record.m_pchFileName, sizeof record.m_pchFileName, item->fileName);
    record.m_hFile = handle;
    const fs::path path = item->content.empty() ? fs::path() : m_folder / PathFromUtf8(item->content);
    const auto size = ContentSize(path);
    if (item->fail == WorkshopFailure::Details) {
        record.m_eResult = kResultFail;
    } else if (!size) {
        record.m_eResult = kResultFileNotFound;
    } else {
        record.m_eResult = kResultOk;
        record.m_nFileSize = *size;
        std::int64_t updated = 0;
        if (item->timeUpdated) {
            updated = *item->timeUpdated;
        } else {
            std::error_code error;
            const auto written = fs::last_write_time(path, error);
            if (!error)
                updated = std::chrono::duration_cast<std::chrono::seconds>(
                              std::chrono::file_clock::to_sys(written).time_since_epoch())
                              .count();
        }
        record.m_rtimeUpdated = static_cast<std::uint32_t>(std::clamp<std::int64_t>(updated, 0, 0xFFFFFFFF));
        record.m_rtimeCreated = record.m_rtimeUpdated;
    }
    return Schedule(1318, record, LatencyOf(item));
}

std::uint64_t CStandInSteam::Download(void* self, std::uint64_t content, std::uint32_t /*priority*/) {
    if (!IsSelf(self, g_remoteStorage, "ISteamRemoteStorage::UGCDownload")) return 0;
    RemoteStorageDownloadUGCResult_t record{};
    record.m_hFile = content;
    record.m_nAppID = m_appId;
    record.m_ulSteamIDOwner = kOwner;
    const auto found = m_contents.find(content);
    const WorkshopItem* item = nullptr;
    for (std::size_t i = 0; i < m_itemHandles.size() && !item; ++i)
        if (m_itemHandles[i] == content) item = &m_manifest.items[i];
    if (found == m_contents.end() || !item) {
        record.m_eResult = kResultFileNotFound;
        return Schedule(1317, record, m_manifest.latencyMs);
    }
    CopyText(record.m_pchFileName, sizeof record.m_pchFileName,
             found->second.fileName.empty() ? item->fileName : found->second.fileName);
    const std::int64_t latency = LatencyOf(item);
    const auto size = ContentSize(found->second.path);
    if (!size) {
        record.m_eResult = kResultFileNotFound;
        return Schedule(1317, record, latency);
    }
    const std::int64_t duration = TransferMs(static_cast<std::uint64_t>(*size));
    if (!m_transfers.count(content))
        m_transfers[content] =
            Transfer{Clock::now() + std::chrono::milliseconds(latency), duration, static_cast<std::uint64_t>(*size)};
    if (found->second.failDownload) {
        record.m_eResult = kResultFail;
        return Schedule(1317, record, latency + duration);
    }
    record.m_eResult = kResultOk;
    record.m_nSizeInBytes = *size;
    return Schedule(1317, record, latency + duration, content);
}

bool CStandInSteam::Progress(void* self, std::uint64_t content, std::int32_t* downloaded, std::int32_t* expected) {
    if (!IsSelf(self, g_remoteStorage, "ISteamRemoteStorage::GetUGCDownloadProgress")) return false;
    const auto found = m_transfers.find(content);
    if (found == m_transfers.end() || !downloaded || !expected) return false;
    *downloaded = static_cast<std::int32_t>(BytesSoFar(found->second));
    *expected = static_cast<std::int32_t>(found->second.size);
    return true;
}

std::int32_t CStandInSteam::Read(void* self, std::uint64_t content, void* buffer, std::int32_t size,
                                 std::uint32_t offset, std::int32_t action) {
    ++m_report.reads;
    if (!IsSelf(self, g_remoteStorage, "ISteamRemoteStorage::UGCRead")) return 0;
    if (action < 0 || action > 2) {
        Violation("ISteamRemoteStorage::UGCRead called with an unknown read action");
        return 0;
    }
    auto readable = m_readable.find(content);
    if (readable == m_readable.end() || readable->second <= 0 || !buffer || size <= 0) return 0;
    const auto found = m_contents.find(content);
    const auto total = found == m_contents.end() ? std::nullopt : ContentSize(found->second.path);
    if (!total || offset > static_cast<std::uint32_t>(*total)) return 0;
    std::ifstream in(found->second.path, std::ios::binary);
    in.seekg(offset);
    const std::int32_t want = std::min<std::int32_t>(size, *total - static_cast<std::int32_t>(offset));
    in.read(static_cast<char*>(buffer), want);
    const auto got = static_cast<std::int32_t>(in.gcount());
    // Until finished: the content closes once its last byte was read.
    if (action == 2 || (action == 0 && offset + static_cast<std::uint32_t>(got) >= static_cast<std::uint32_t>(*total)))
        --readable->second;
    return got;
}

void CStandInSteam::MakeReady() {
    const auto now = Clock::now();
    auto firstLater =
        std::stable_partition(m_scheduled.begin(), m_scheduled.end(), [now](const Result& r) { return r.due <= now; });
    std::vector<Result> ready(std::make_move_iterator(m_scheduled.begin()), std::make_move_iterator(firstLater));
    m_scheduled.erase(m_scheduled.begin(), firstLater);
    std::stable_sort(ready.begin(), ready.end(), [](const Result& a, const Result& b) { return a.due < b.due; });
    for (Result& result : ready) {
        if (result.broadcast) {
            if (result.installs) {
                std::uint32_t& state = m_itemStates[*result.installs];
                state = (state | kItemInstalled) & ~(kItemNeedsUpdate | kItemDownloading | kItemDownloadPending);
            }
            if (m_manualDispatch) m_queue.push_back(Message{result.id, std::move(result.bytes)});
            continue;
        }
        if (m_manualDispatch) {
            SteamAPICallCompleted_t completed{};
            completed.m_hAsyncCall = result.call;
            completed.m_iCallback = result.id;
            completed.m_cubParam = static_cast<std::uint32_t>(result.bytes.size());
            m_queue.push_back(Message{703, BytesOf(completed)});
        }
        m_completed.push_back(std::move(result));
    }
}

void CStandInSteam::ManualDispatchInit() {
    if (!Usable("SteamAPI_ManualDispatch_Init")) return;
    if (m_manualDispatch) Violation("SteamAPI_ManualDispatch_Init called twice");
    m_manualDispatch = true;
    ++m_report.manualDispatchInits;
}

void CStandInSteam::RunFrame(std::int32_t pipe) {
    if (!Usable("SteamAPI_ManualDispatch_RunFrame")) return;
    if (!m_manualDispatch) Violation("SteamAPI_ManualDispatch_RunFrame called before SteamAPI_ManualDispatch_Init");
    if (pipe != kPipe) Violation("SteamAPI_ManualDispatch_RunFrame called with another pipe");
    ++m_report.frames;
    if (!m_announced) {
        // Callbacks the launcher did not ask for arrive too.
        m_queue.push_back(Message{kSteamServersConnectedId, BytesOf(SteamServersConnected_t{})});
        m_announced = true;
    }
    MakeReady();
}

bool CStandInSteam::NextCallback(std::int32_t pipe, CallbackMsg_t* out) {
    if (!Usable("SteamAPI_ManualDispatch_GetNextCallback")) return false;
    if (!m_manualDispatch || pipe != kPipe || !out) {
        Violation("SteamAPI_ManualDispatch_GetNextCallback called without manual dispatch, pipe or message");
        return false;
    }
    if (m_current) {
        Violation("SteamAPI_ManualDispatch_GetNextCallback called before the last message was freed");
        return false;
    }
    if (m_queue.empty()) return false;
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    out->m_hSteamUser = kUser;
    out->m_iCallback = m_current->id;
    out->m_pubParam = reinterpret_cast<std::uint8_t*>(m_current->bytes.data());
    out->m_cubParam = static_cast<std::int32_t>(m_current->bytes.size());
    return true;
}

void CStandInSteam::FreeLastCallback(std::int32_t pipe) {
    if (!Usable("SteamAPI_ManualDispatch_FreeLastCallback")) return;
    if (pipe != kPipe || !m_current) {
        Violation("SteamAPI_ManualDispatch_FreeLastCallback called with no message to free");
        return;
    }
    // Scribble over the record so that a reader after the free sees garbage.
    std::fill(m_current->bytes.begin(), m_current->bytes.end(), std::byte{0xDD});
    m_current.reset();
    ++m_report.messagesFreed;
}

bool CStandInSteam::HandOut(Result& result, void* buffer, int size, int expectedId, bool* failed) {
    if (!buffer || !failed) {
        Violation("a call result was asked for without a buffer or failure flag");
        return false;
    }
    if (expectedId != result.id || size < 0 || static_cast<std::size_t>(size) != result.bytes.size()) {
        Violation("a call result was asked for with another record id or size than it has");
        *failed = true;
        return false;
    }
    *failed = result.ioFailure;
    if (!result.ioFailure) std::memcpy(buffer, result.bytes.data(), result.bytes.size());
    if (result.opens && !result.ioFailure) ++m_readable[*result.opens];
    ++m_report.resultsFetched;
    return true;
}

bool CStandInSteam::PipeCallResult(std::int32_t pipe, std::uint64_t call, void* buffer, int size, int expectedId,
                                   bool* failed) {
    if (!Usable("SteamAPI_ManualDispatch_GetAPICallResult")) return false;
    if (pipe != kPipe) Violation("SteamAPI_ManualDispatch_GetAPICallResult called with another pipe");
    // Only while its 703 record is the current message.
    SteamAPICallCompleted_t current{};
    if (!m_current || m_current->id != 703 || m_current->bytes.size() != sizeof current) {
        Violation("SteamAPI_ManualDispatch_GetAPICallResult called outside the handling of a 703 record");
        return false;
    }
    std::memcpy(&current, m_current->bytes.data(), sizeof current);
    if (current.m_hAsyncCall != call) {
        Violation("SteamAPI_ManualDispatch_GetAPICallResult called for another call than the current 703 record's");
        return false;
    }
    const auto found =
        std::find_if(m_completed.begin(), m_completed.end(), [call](const Result& r) { return r.call == call; });
    if (found == m_completed.end()) return false;
    const bool ok = HandOut(*found, buffer, size, expectedId, failed);
    m_completed.erase(found);
    return ok;
}

void CStandInSteam::RunCallbacks() {
    if (!Usable("SteamAPI_RunCallbacks")) return;
    if (m_manualDispatch) Violation("SteamAPI_RunCallbacks called while manual dispatch is on");
    ++m_report.runCallbacks;
    MakeReady();
}

bool CStandInSteam::IsCallCompleted(void* self, std::uint64_t call, bool* failed) {
    if (!IsSelf(self, g_utils, "ISteamUtils::IsAPICallCompleted")) return false;
    const auto found =
        std::find_if(m_completed.begin(), m_completed.end(), [call](const Result& r) { return r.call == call; });
    if (found == m_completed.end()) return false;
    if (failed) *failed = found->ioFailure;
    return true;
}

bool CStandInSteam::UtilsCallResult(void* self, std::uint64_t call, void* buffer, int size, int expectedId,
                                    bool* failed) {
    if (!IsSelf(self, g_utils, "ISteamUtils::GetAPICallResult")) return false;
    const auto found =
        std::find_if(m_completed.begin(), m_completed.end(), [call](const Result& r) { return r.call == call; });
    if (found == m_completed.end()) return false;
    // A record of another size is refused, as the library refuses it.
    if (size < 0 || static_cast<std::size_t>(size) != found->bytes.size()) {
        if (failed) *failed = true;
        m_completed.erase(found);
        return false;
    }
    const bool ok = HandOut(*found, buffer, size, expectedId, failed);
    m_completed.erase(found);
    return ok;
}

std::uint32_t CStandInSteam::AppId(void* self) { return IsSelf(self, g_utils, "ISteamUtils::GetAppID") ? m_appId : 0; }

std::uint32_t CStandInSteam::NumSubscribed(void* self, bool flagGiven, bool includeDisabled) {
    if (!IsSelf(self, g_ugc, "ISteamUGC::GetNumSubscribedItems")) return 0;
    return SubscribedItems(self, nullptr, 0, flagGiven, includeDisabled);
}

std::uint32_t CStandInSteam::SubscribedItems(void* self, std::uint64_t* files, std::uint32_t max, bool flagGiven,
                                             bool includeDisabled) {
    if (!IsSelf(self, g_ugc, "ISteamUGC::GetSubscribedItems")) return 0;
    if (flagGiven && includeDisabled)
        Violation("ISteamUGC's list calls were asked to include the items disabled in Steam");
    // Libraries before the flag list every subscription.
    const bool leaveOut = flagGiven && !includeDisabled;
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < m_manifest.items.size(); ++i) {
        if (!m_manifest.items[i].listedByItemInterface || (leaveOut && (m_itemStates[i] & kItemDisabledLocally)))
            continue;
        if (files && count < max) files[count] = m_manifest.items[i].id;
        ++count;
    }
    return files ? std::min(count, max) : count;
}

std::uint32_t CStandInSteam::ItemState(void* self, std::uint64_t file) {
    if (!IsSelf(self, g_ugc, "ISteamUGC::GetItemState")) return 0;
    const auto index = IndexOf(file);
    return index ? m_itemStates[*index] : 0;
}

bool CStandInSteam::ItemInstallInfo(void* self, std::uint64_t file, std::uint64_t* sizeOnDisk, char* folder,
                                    std::uint32_t folderSize, std::uint32_t* timeStamp) {
    if (!IsSelf(self, g_ugc, "ISteamUGC::GetItemInstallInfo")) return false;
    if (!sizeOnDisk || !folder || folderSize == 0 || !timeStamp) {
        Violation("ISteamUGC::GetItemInstallInfo called without its outputs");
        return false;
    }
    const auto index = IndexOf(file);
    if (!index || !(m_itemStates[*index] & kItemInstalled)) return false;
    const WorkshopItem& item = m_manifest.items[*index];
    if (item.folder.empty()) return false;
    const fs::path path = m_folder / PathFromUtf8(item.folder);
    const std::u8string utf8 = path.u8string();
    std::string text(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    if (m_longFolders) text += "/" + std::string(kLongFolderExtra, 'x');
    // As the library does: as much as fits, always terminated.
    CopyText(folder, folderSize, text);
    std::error_code error;
    *sizeOnDisk = 0;
    for (const auto& entry : fs::recursive_directory_iterator(path, error))
        if (entry.is_regular_file(error)) *sizeOnDisk += entry.file_size(error);
    std::int64_t time = item.timeUpdated.value_or(0);
    if (!item.timeUpdated) {
        const auto written = fs::last_write_time(path, error);
        if (!error)
            time = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::file_clock::to_sys(written).time_since_epoch())
                       .count();
    }
    *timeStamp = static_cast<std::uint32_t>(std::clamp<std::int64_t>(time, 0, 0xFFFFFFFF));
    return true;
}

bool CStandInSteam::ItemDownloadInfo(void* self, std::uint64_t file, std::uint64_t* downloaded, std::uint64_t* total) {
    if (!IsSelf(self, g_ugc, "ISteamUGC::GetItemDownloadInfo")) return false;
    const auto index = IndexOf(file);
    const auto found = index ? m_itemTransfers.find(*index) : m_itemTransfers.end();
    if (found == m_itemTransfers.end() || !downloaded || !total) return false;
    *downloaded = BytesSoFar(found->second);
    *total = found->second.size;
    return true;
}

bool CStandInSteam::DownloadItem(void* self, std::uint64_t file, bool highPriority) {
    if (!IsSelf(self, g_ugc, "ISteamUGC::DownloadItem")) return false;
    ++m_report.itemDownloads;
    if (highPriority) ++m_report.itemDownloadsHighPriority;
    const auto index = IndexOf(file);
    if (!index) return false;
    if (m_itemStates[*index] & (kItemDownloading | kItemDownloadPending)) ++m_report.itemDownloadsAgain;
    if (m_manifest.items[*index].fail == WorkshopFailure::DownloadItem) return false;
    m_itemStates[*index] |= kItemDownloadPending;
    ScheduleItemDownload(*index);
    return true;
}

void CStandInSteam::ScheduleItemDownload(std::size_t index) {
    const WorkshopItem& item = m_manifest.items[index];
    std::uint64_t size = 0;
    std::error_code error;
    if (!item.folder.empty())
        for (const auto& entry : fs::recursive_directory_iterator(m_folder / PathFromUtf8(item.folder), error))
            if (entry.is_regular_file(error)) size += entry.file_size(error);
    const std::int64_t latency = LatencyOf(&item);
    const std::int64_t duration = TransferMs(size);
    m_itemTransfers[index] = Transfer{Clock::now() + std::chrono::milliseconds(latency), duration, size};
    const auto broadcast = [&](std::uint32_t appId, std::int32_t outcome, std::optional<std::size_t> installs) {
        DownloadItemResult_t record{};
        record.m_unAppID = appId;
        record.m_nPublishedFileId = item.id;
        record.m_eResult = outcome;
        Schedule(kDownloadItemResultId, record, latency + duration);
        m_scheduled.back().broadcast = true;
        m_scheduled.back().installs = installs;
    };
    // Another app's download of the same item is reported first.
    if (item.resultAppId) broadcast(*item.resultAppId, kResultOk, std::nullopt);
    const bool fails = item.fail == WorkshopFailure::DownloadResult || item.folder.empty();
    broadcast(m_appId, fails ? kResultFail : kResultOk, fails ? std::nullopt : std::optional(index));
}

void CStandInSteam::Report(StandInReport* out) const {
    if (out) *out = m_report;
}

}  // namespace gh::standin
