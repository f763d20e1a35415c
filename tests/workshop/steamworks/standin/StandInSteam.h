// The stand-in Steam client: serves a local Workshop folder (workshop.json,
// as the local Workshop reads it) through the Steam library's flat API,
// remote storage and the item interface both. Results become ready after
// the manifest's latency (and the transfer time at its bytesPerSecond) and
// are handed out through the dispatch route the library was built with;
// item download results (3406) only through manual dispatch. It checks how
// it is driven and counts every call the real library forbids.
//
// Environment, read at each start:
//   SteamAppId                   a decimal app id; without it the start fails
//   GATEHOUSE_STANDIN_WORKSHOP   the Workshop folder; without it "Steam is not running"
//   GATEHOUSE_STANDIN_FAULT      comma-separated: "start" (the start fails),
//                                "size:ID" (records of id ID, 1314/1317/1318/3406,
//                                are 8 bytes too long), "io:ID" (their calls fail),
//                                "longfolder" (install folders are longer than any
//                                buffer: what is written is cut)
#pragma once

#include "StandInRecords.h"
#include "StandInReport.h"
#include "workshop/WorkshopManifest.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace gh::standin {

enum class StartCall { InitFlat = 1, InternalInit = 2, Init = 3, InitSafe = 4 };

// The interface objects the accessors hand out.
struct InterfaceObject {
    const char* name;
};

class CStandInSteam {
public:
    static constexpr std::int32_t kPipe = 7;
    static constexpr std::int32_t kUser = 1;

    static CStandInSteam& Instance();

    // ESteamAPIInitResult: 0 OK, 1 generic failure, 2 no Steam client, 3 version mismatch.
    std::int32_t Start(StartCall call, const char* versionList, char* errorOut);
    void Shutdown();
    bool IsStarted() const { return m_started; }
    // Whether "Steam" runs: a Workshop folder is named.
    bool IsSteamRunning() const;

    void* User();
    void* RemoteStorage();
    void* Utils();
    void* Ugc();
    // The older lookup by version text; `versions` are the texts this build knows.
    void* FindOrCreate(std::int32_t user, const char* version, const char* userVersion, const char* storageVersion,
                       const char* utilsVersion);
    // The oldest: the client interface of `clientVersion`, and its accessors.
    void* CreateInterface(const char* version, const char* clientVersion);
    void* ClientInterface(void* client, std::int32_t user, std::int32_t pipe, const char* version, const char* known,
                          void* object, const char* call);
    std::int32_t Pipe();
    std::int32_t UserHandle();

    bool LoggedOn(void* self);
    std::uint64_t Enumerate(void* self, std::uint32_t startIndex);
    std::uint64_t Details(void* self, std::uint64_t file, std::uint32_t maxSecondsOld);
    std::uint64_t Download(void* self, std::uint64_t content, std::uint32_t priority);
    bool Progress(void* self, std::uint64_t content, std::int32_t* downloaded, std::int32_t* expected);
    std::int32_t Read(void* self, std::uint64_t content, void* buffer, std::int32_t size, std::uint32_t offset,
                      std::int32_t action);

    void ManualDispatchInit();
    void RunFrame(std::int32_t pipe);
    bool NextCallback(std::int32_t pipe, CallbackMsg_t* out);
    void FreeLastCallback(std::int32_t pipe);
    bool PipeCallResult(std::int32_t pipe, std::uint64_t call, void* buffer, int size, int expectedId, bool* failed);

    void RunCallbacks();
    bool IsCallCompleted(void* self, std::uint64_t call, bool* failed);
    bool UtilsCallResult(void* self, std::uint64_t call, void* buffer, int size, int expectedId, bool* failed);
    std::uint32_t AppId(void* self);

    // The item interface. `flagGiven`: the library's list calls take
    // include_locally_disabled (accessor 021 on), which must be false.
    std::uint32_t NumSubscribed(void* self, bool flagGiven, bool includeDisabled);
    std::uint32_t SubscribedItems(void* self, std::uint64_t* files, std::uint32_t max, bool flagGiven,
                                  bool includeDisabled);
    std::uint32_t ItemState(void* self, std::uint64_t file);
    bool ItemInstallInfo(void* self, std::uint64_t file, std::uint64_t* sizeOnDisk, char* folder,
                         std::uint32_t folderSize, std::uint32_t* timeStamp);
    bool ItemDownloadInfo(void* self, std::uint64_t file, std::uint64_t* downloaded, std::uint64_t* total);
    bool DownloadItem(void* self, std::uint64_t file, bool highPriority);

    void Report(StandInReport* out) const;

private:
    using Clock = std::chrono::steady_clock;

    struct Result {
        std::uint64_t call = 0;
        int id = 0;
        std::vector<std::byte> bytes;
        bool ioFailure = false;
        Clock::time_point due;
        std::optional<std::uint64_t> opens;   // content that becomes readable when handed out
        bool broadcast = false;               // a 3406 message, not a call result
        std::optional<std::size_t> installs;  // an item installed when it is sent
    };
    struct Content {
        std::filesystem::path path;
        std::string fileName;
        bool failDownload = false;
    };
    struct Transfer {
        Clock::time_point start;
        std::int64_t durationMs = 0;
        std::uint64_t size = 0;
    };
    struct Message {
        int id = 0;
        std::vector<std::byte> bytes;
    };

    void Reset();
    void Violation(const std::string& what);
    bool Usable(const char* call);
    bool IsSelf(void* self, const InterfaceObject& expected, const char* call);
    std::string LoadWorkshop();
    void ReadFaults();
    const WorkshopItem* FindItem(std::uint64_t file) const;
    std::optional<std::size_t> IndexOf(std::uint64_t file) const;
    std::int64_t LatencyOf(const WorkshopItem* item) const;
    std::int64_t TransferMs(std::uint64_t size) const;
    static std::uint64_t BytesSoFar(const Transfer& transfer);
    void ScheduleItemDownload(std::size_t index);
    std::optional<std::int32_t> ContentSize(const std::filesystem::path& path) const;
    template <class Record>
    std::uint64_t Schedule(int id, const Record& record, std::int64_t delayMs, std::optional<std::uint64_t> opens = {});
    void MakeReady();
    bool HandOut(Result& result, void* buffer, int size, int expectedId, bool* failed);

    bool m_started = false;
    bool m_manualDispatch = false;
    std::uint32_t m_appId = 0;
    std::filesystem::path m_folder;
    WorkshopManifest m_manifest;
    std::vector<std::uint64_t> m_itemHandles;
    std::map<std::uint64_t, Content> m_contents;
    std::map<std::uint64_t, Transfer> m_transfers;
    std::map<std::uint64_t, int> m_readable;  // content -> read-throughs left
    std::map<std::uint64_t, std::size_t> m_itemIndex;
    std::vector<std::uint32_t> m_itemStates;          // kItem* flags as downloads change them
    std::map<std::size_t, Transfer> m_itemTransfers;  // by item
    std::set<int> m_wrongSize;
    std::set<int> m_ioFailure;
    bool m_failStart = false;
    bool m_longFolders = false;

    std::uint64_t m_nextCall = 0;
    std::vector<Result> m_scheduled;   // not ready yet
    std::vector<Result> m_completed;   // ready, not fetched
    std::deque<Message> m_queue;       // manual dispatch messages
    std::optional<Message> m_current;  // handed out, not freed
    bool m_announced = false;

    StandInReport m_report{};
};

}  // namespace gh::standin
