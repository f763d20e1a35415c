// The Steam client library's flat C entry points that the launcher calls,
// looked up by name in the library the game ships. Each pointer type gives
// the exact C signature: `bool` is one byte, handles and ids are 64-bit
// values passed by value, counts and offsets 32-bit, enums int-sized. The
// 64-bit libraries have one calling convention per system (the Microsoft
// x64 one on Windows, System V on Linux), which is what a plain function
// pointer gets; the 32-bit library is not supported.
#pragma once

#include "platform/Library.h"

#include <array>
#include <cstdint>
#include <string>

namespace gh::steam {

static_assert(sizeof(void*) == 8, "only the 64-bit Steam client libraries are supported");

using HSteamPipe = std::int32_t;
using HSteamUser = std::int32_t;
using ApiCall = std::uint64_t;  // SteamAPICall_t

// Start and stop. The start calls return ESteamAPIInitResult (0 is OK) or bool.
using InitFlatFn = std::int32_t (*)(char* errorOut);                            // SteamAPI_InitFlat
using InternalInitFn = std::int32_t (*)(const char* versions, char* errorOut);  // SteamInternal_SteamAPI_Init
using InitFn = bool (*)();                                                      // SteamAPI_Init, SteamAPI_InitSafe
using VoidFn = void (*)();  // SteamAPI_Shutdown, _RunCallbacks, ManualDispatch_Init
using GetPipeFn = HSteamPipe (*)();
using GetUserFn = HSteamUser (*)();
using IsRunningFn = bool (*)();

// Interfaces: the versioned accessors, the older lookup by version text,
// and the oldest: the client interface's own accessors.
using AccessorFn = void* (*)();
using FindOrCreateUserInterfaceFn = void* (*)(HSteamUser user, const char* version);
using CreateInterfaceFn = void* (*)(const char* version);  // SteamInternal_CreateInterface
// SteamAPI_ISteamClient_GetISteamUser, _GetISteamRemoteStorage
using ClientUserInterfaceFn = void* (*)(void* client, HSteamUser user, HSteamPipe pipe, const char* version);
using ClientUtilsFn = void* (*)(void* client, HSteamPipe pipe, const char* version);  // _GetISteamUtils

// Methods: the interface pointer first, then the method's own parameters.
using BLoggedOnFn = bool (*)(void* user);
using EnumerateFn = ApiCall (*)(void* remoteStorage, std::uint32_t startIndex);
using DetailsFn = ApiCall (*)(void* remoteStorage, std::uint64_t file, std::uint32_t maxSecondsOld);
using UGCDownloadFn = ApiCall (*)(void* remoteStorage, std::uint64_t content, std::uint32_t priority);
using ProgressFn = bool (*)(void* remoteStorage, std::uint64_t content, std::int32_t* downloaded,
                            std::int32_t* expected);
using UGCReadFn = std::int32_t (*)(void* remoteStorage, std::uint64_t content, void* buffer, std::int32_t size,
                                   std::uint32_t offset, std::int32_t action);
using IsCallCompletedFn = bool (*)(void* utils, ApiCall call, bool* failed);
using AppIdFn = std::uint32_t (*)(void* utils);  // SteamAPI_ISteamUtils_GetAppID
using UtilsCallResultFn = bool (*)(void* utils, ApiCall call, void* buffer, int size, int expectedId, bool* failed);

// ISteamUGC, the item interface. Its two list calls gained a last
// parameter, include_locally_disabled, with the accessor's version 021
// (the 2023 libraries); the name stayed.
using NumSubscribedFn = std::uint32_t (*)(void* ugc);
using NumSubscribedFlagFn = std::uint32_t (*)(void* ugc, bool includeLocallyDisabled);
using SubscribedItemsFn = std::uint32_t (*)(void* ugc, std::uint64_t* files, std::uint32_t maxEntries);
using SubscribedItemsFlagFn = std::uint32_t (*)(void* ugc, std::uint64_t* files, std::uint32_t maxEntries,
                                                bool includeLocallyDisabled);
using ItemStateFn = std::uint32_t (*)(void* ugc, std::uint64_t file);
using ItemInstallInfoFn = bool (*)(void* ugc, std::uint64_t file, std::uint64_t* sizeOnDisk, char* folder,
                                   std::uint32_t folderSize, std::uint32_t* timeStamp);
using ItemDownloadInfoFn = bool (*)(void* ugc, std::uint64_t file, std::uint64_t* downloaded, std::uint64_t* total);
using DownloadItemFn = bool (*)(void* ugc, std::uint64_t file, bool highPriority);

// Manual dispatch.
using RunFrameFn = void (*)(HSteamPipe pipe);
using NextCallbackFn = bool (*)(HSteamPipe pipe, void* message);
using FreeCallbackFn = void (*)(HSteamPipe pipe);
using PipeCallResultFn = bool (*)(HSteamPipe pipe, ApiCall call, void* buffer, int size, int expectedId, bool* failed);

// SteamErrMsg: the start calls' error text buffer.
inline constexpr std::size_t kErrorTextBytes = 1024;
inline constexpr std::int32_t kInitResultOk = 0;
// EUGCReadAction: keep the content open until its last byte was read.
inline constexpr std::int32_t kReadContinueUntilFinished = 0;

// Start entry points, newest first: the library is started with the first
// one it exports.
enum class StartEntry { InitFlat, InternalInit, Init, InitSafe };
const char* StartEntryName(StartEntry entry);

enum class DispatchRoute {
    Manual,   // RunFrame, then the message queue with 703 records (libraries from 2020 on)
    Polling,  // RunCallbacks, then asking ISteamUtils about each call
};

struct SteamApi {
    StartEntry start = StartEntry::InitFlat;
    InitFlatFn initFlat = nullptr;
    InternalInitFn internalInit = nullptr;
    InitFn init = nullptr;  // SteamAPI_Init or SteamAPI_InitSafe, whichever `start` names
    VoidFn shutdown = nullptr;
    IsRunningFn isSteamRunning = nullptr;  // optional, for the failure text
    GetUserFn getUser = nullptr;           // optional unless the older interface route is taken

    AccessorFn userAccessor = nullptr;
    AccessorFn remoteStorageAccessor = nullptr;
    AccessorFn utilsAccessor = nullptr;
    FindOrCreateUserInterfaceFn findOrCreateInterface = nullptr;
    // The client interface's own accessors, for libraries that have neither
    // of the above (before 2018).
    CreateInterfaceFn createInterface = nullptr;
    ClientUserInterfaceFn clientUser = nullptr;
    ClientUserInterfaceFn clientRemoteStorage = nullptr;
    ClientUtilsFn clientUtils = nullptr;

    BLoggedOnFn loggedOn = nullptr;
    EnumerateFn enumerate = nullptr;
    DetailsFn details = nullptr;
    UGCDownloadFn download = nullptr;
    ProgressFn progress = nullptr;
    UGCReadFn read = nullptr;

    DispatchRoute route = DispatchRoute::Manual;
    VoidFn manualDispatchInit = nullptr;
    GetPipeFn getPipe = nullptr;
    RunFrameFn runFrame = nullptr;
    NextCallbackFn nextCallback = nullptr;
    FreeCallbackFn freeCallback = nullptr;
    PipeCallResultFn pipeCallResult = nullptr;

    VoidFn runCallbacks = nullptr;
    IsCallCompletedFn isCallCompleted = nullptr;
    UtilsCallResultFn utilsCallResult = nullptr;

    // The item interface: set (every pointer below) only for a library with
    // manual dispatch, its own accessors for ISteamUGC and ISteamUtils,
    // ISteamUtils::GetAppID and every ISteamUGC call used here, each in the
    // form of the accessor's version.
    bool itemInterface = false;
    AccessorFn ugcAccessor = nullptr;
    int ugcVersion = 0;
    AppIdFn appId = nullptr;
    NumSubscribedFn numSubscribed = nullptr;  // before version 021
    SubscribedItemsFn subscribedItems = nullptr;
    NumSubscribedFlagFn numSubscribedFlag = nullptr;  // from version 021
    SubscribedItemsFlagFn subscribedItemsFlag = nullptr;
    ItemStateFn itemState = nullptr;
    ItemInstallInfoFn itemInstallInfo = nullptr;
    ItemDownloadInfoFn itemDownloadInfo = nullptr;
    DownloadItemFn downloadItem = nullptr;
};

// Looks up everything the launcher needs in `library`. Optional pieces
// (IsSteamRunning, the accessors or the older interface lookup) may be
// missing; a missing interface is found out after the start. Fails when a
// required entry point is missing: "it does not export <name>" (or "a start
// entry point" when none of the four is exported).
Status ResolveSteamApi(const platform::CSharedLibrary& library, SteamApi& api);

// The versioned accessor names are probed from this version down to 1;
// each library exports one per interface.
inline constexpr int kHighestAccessorVersion = 50;

// The ISteamUGC accessor version from which the list calls take
// include_locally_disabled.
inline constexpr int kUgcListFlagVersion = 21;

// The older routes' version texts, newest first; for the six methods used
// here every listed version has the same method slots.
inline constexpr std::array<const char*, 2> kUserVersions = {"SteamUser020", "SteamUser019"};
inline constexpr std::array<const char*, 1> kRemoteStorageVersions = {"STEAMREMOTESTORAGE_INTERFACE_VERSION014"};
inline constexpr std::array<const char*, 1> kUtilsVersions = {"SteamUtils009"};
// The client interface of the libraries without the lookup by version text
// (SDK 1.42 and before): the flat functions on it use that version's slots.
inline constexpr const char* kClientVersion = "SteamClient017";

}  // namespace gh::steam
