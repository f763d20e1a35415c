// The stand-in library's exports: the Steam library's flat C names with
// its signatures. Which start entry points, accessor versions and dispatch
// functions exist is chosen per build:
//   STANDIN_INIT_FLAT, STANDIN_INTERNAL_INIT, STANDIN_INIT, STANDIN_INIT_SAFE   0 or 1
//   STANDIN_ACCESSORS                                      1: SteamAPI_Steam<Interface>_v<NNN>
//   STANDIN_USER_VERSION, STANDIN_STORAGE_VERSION, STANDIN_UTILS_VERSION   three digits
//   STANDIN_FIND_OR_CREATE                                 1: SteamInternal_FindOrCreateUserInterface
//   STANDIN_CLIENT_VERSION                                 three digits: the ISteamClient that
//                                                          SteamInternal_CreateInterface hands out
//   STANDIN_MANUAL_DISPATCH                                1: SteamAPI_ManualDispatch_*
//   STANDIN_UGC                                            1: ISteamUGC's accessor and calls
//   STANDIN_UGC_VERSION                                    three digits
//   STANDIN_UGC_LIST_FLAG                                  1: the list calls take
//                                                          include_locally_disabled (021 on)
// (The version numbers are pasted into names only: "018" is no number to
// the preprocessor.)
#include "StandInReport.h"
#include "StandInSteam.h"

#include <cstdint>

#if defined(_WIN32)
#define STANDIN_API extern "C" __declspec(dllexport)
#else
#define STANDIN_API extern "C" __attribute__((visibility("default")))
#endif

#define STANDIN_PASTE(a, b, c) a##b##c
#define STANDIN_JOIN(a, b, c) STANDIN_PASTE(a, b, c)
#define STANDIN_TEXT(x) #x
#define STANDIN_STRING(x) STANDIN_TEXT(x)

using gh::standin::CallbackMsg_t;
using gh::standin::CStandInSteam;
using gh::standin::StartCall;

namespace {

CStandInSteam& Steam() { return CStandInSteam::Instance(); }

}  // namespace

#if STANDIN_INIT_FLAT
STANDIN_API std::int32_t SteamAPI_InitFlat(char* errorOut) {
    return Steam().Start(StartCall::InitFlat, nullptr, errorOut);
}
#endif
#if STANDIN_INTERNAL_INIT
STANDIN_API std::int32_t SteamInternal_SteamAPI_Init(const char* versions, char* errorOut) {
    return Steam().Start(StartCall::InternalInit, versions, errorOut);
}
#endif
#if STANDIN_INIT
STANDIN_API bool SteamAPI_Init() { return Steam().Start(StartCall::Init, nullptr, nullptr) == 0; }
#endif
#if STANDIN_INIT_SAFE
STANDIN_API bool SteamAPI_InitSafe() { return Steam().Start(StartCall::InitSafe, nullptr, nullptr) == 0; }
#endif

STANDIN_API void SteamAPI_Shutdown() { Steam().Shutdown(); }
STANDIN_API bool SteamAPI_IsSteamRunning() { return Steam().IsSteamRunning(); }
STANDIN_API std::int32_t SteamAPI_GetHSteamPipe() { return Steam().Pipe(); }
STANDIN_API std::int32_t SteamAPI_GetHSteamUser() { return Steam().UserHandle(); }
STANDIN_API void SteamAPI_RunCallbacks() { Steam().RunCallbacks(); }

#if STANDIN_ACCESSORS
STANDIN_API void* STANDIN_JOIN(SteamAPI_SteamUser, _v, STANDIN_USER_VERSION)() { return Steam().User(); }
STANDIN_API void* STANDIN_JOIN(SteamAPI_SteamRemoteStorage, _v, STANDIN_STORAGE_VERSION)() {
    return Steam().RemoteStorage();
}
STANDIN_API void* STANDIN_JOIN(SteamAPI_SteamUtils, _v, STANDIN_UTILS_VERSION)() { return Steam().Utils(); }
#endif

#define STANDIN_USER_TEXT "SteamUser" STANDIN_STRING(STANDIN_USER_VERSION)
#define STANDIN_STORAGE_TEXT "STEAMREMOTESTORAGE_INTERFACE_VERSION" STANDIN_STRING(STANDIN_STORAGE_VERSION)
#define STANDIN_UTILS_TEXT "SteamUtils" STANDIN_STRING(STANDIN_UTILS_VERSION)

#if STANDIN_FIND_OR_CREATE
STANDIN_API void* SteamInternal_FindOrCreateUserInterface(std::int32_t user, const char* version) {
    return Steam().FindOrCreate(user, version, STANDIN_USER_TEXT, STANDIN_STORAGE_TEXT, STANDIN_UTILS_TEXT);
}
#endif

STANDIN_API void* SteamInternal_CreateInterface(const char* version) {
    return Steam().CreateInterface(version, "SteamClient" STANDIN_STRING(STANDIN_CLIENT_VERSION));
}
STANDIN_API void* SteamAPI_ISteamClient_GetISteamUser(void* self, std::int32_t user, std::int32_t pipe,
                                                      const char* version) {
    return Steam().ClientInterface(self, user, pipe, version, STANDIN_USER_TEXT, Steam().User(),
                                   "ISteamClient::GetISteamUser");
}
STANDIN_API void* SteamAPI_ISteamClient_GetISteamRemoteStorage(void* self, std::int32_t user, std::int32_t pipe,
                                                               const char* version) {
    return Steam().ClientInterface(self, user, pipe, version, STANDIN_STORAGE_TEXT, Steam().RemoteStorage(),
                                   "ISteamClient::GetISteamRemoteStorage");
}
// ISteamUtils belongs to no user: the user argument is not there.
STANDIN_API void* SteamAPI_ISteamClient_GetISteamUtils(void* self, std::int32_t pipe, const char* version) {
    return Steam().ClientInterface(self, CStandInSteam::kUser, pipe, version, STANDIN_UTILS_TEXT, Steam().Utils(),
                                   "ISteamClient::GetISteamUtils");
}

STANDIN_API bool SteamAPI_ISteamUser_BLoggedOn(void* self) { return Steam().LoggedOn(self); }

STANDIN_API std::uint64_t SteamAPI_ISteamRemoteStorage_EnumerateUserSubscribedFiles(void* self, std::uint32_t start) {
    return Steam().Enumerate(self, start);
}
STANDIN_API std::uint64_t SteamAPI_ISteamRemoteStorage_GetPublishedFileDetails(void* self, std::uint64_t file,
                                                                               std::uint32_t maxSecondsOld) {
    return Steam().Details(self, file, maxSecondsOld);
}
STANDIN_API std::uint64_t SteamAPI_ISteamRemoteStorage_UGCDownload(void* self, std::uint64_t content,
                                                                   std::uint32_t priority) {
    return Steam().Download(self, content, priority);
}
STANDIN_API bool SteamAPI_ISteamRemoteStorage_GetUGCDownloadProgress(void* self, std::uint64_t content,
                                                                     std::int32_t* downloaded, std::int32_t* expected) {
    return Steam().Progress(self, content, downloaded, expected);
}
STANDIN_API std::int32_t SteamAPI_ISteamRemoteStorage_UGCRead(void* self, std::uint64_t content, void* buffer,
                                                              std::int32_t size, std::uint32_t offset,
                                                              std::int32_t action) {
    return Steam().Read(self, content, buffer, size, offset, action);
}

STANDIN_API bool SteamAPI_ISteamUtils_IsAPICallCompleted(void* self, std::uint64_t call, bool* failed) {
    return Steam().IsCallCompleted(self, call, failed);
}
STANDIN_API bool SteamAPI_ISteamUtils_GetAPICallResult(void* self, std::uint64_t call, void* buffer, int size,
                                                       int expectedId, bool* failed) {
    return Steam().UtilsCallResult(self, call, buffer, size, expectedId, failed);
}
STANDIN_API std::uint32_t SteamAPI_ISteamUtils_GetAppID(void* self) { return Steam().AppId(self); }

#if STANDIN_UGC
#if STANDIN_ACCESSORS
STANDIN_API void* STANDIN_JOIN(SteamAPI_SteamUGC, _v, STANDIN_UGC_VERSION)() { return Steam().Ugc(); }
#endif
#if STANDIN_UGC_LIST_FLAG
STANDIN_API std::uint32_t SteamAPI_ISteamUGC_GetNumSubscribedItems(void* self, bool includeLocallyDisabled) {
    return Steam().NumSubscribed(self, true, includeLocallyDisabled);
}
STANDIN_API std::uint32_t SteamAPI_ISteamUGC_GetSubscribedItems(void* self, std::uint64_t* files,
                                                                std::uint32_t maxEntries, bool includeLocallyDisabled) {
    return Steam().SubscribedItems(self, files, maxEntries, true, includeLocallyDisabled);
}
#else
STANDIN_API std::uint32_t SteamAPI_ISteamUGC_GetNumSubscribedItems(void* self) {
    return Steam().NumSubscribed(self, false, false);
}
STANDIN_API std::uint32_t SteamAPI_ISteamUGC_GetSubscribedItems(void* self, std::uint64_t* files,
                                                                std::uint32_t maxEntries) {
    return Steam().SubscribedItems(self, files, maxEntries, false, false);
}
#endif
STANDIN_API std::uint32_t SteamAPI_ISteamUGC_GetItemState(void* self, std::uint64_t file) {
    return Steam().ItemState(self, file);
}
STANDIN_API bool SteamAPI_ISteamUGC_GetItemInstallInfo(void* self, std::uint64_t file, std::uint64_t* sizeOnDisk,
                                                       char* folder, std::uint32_t folderSize,
                                                       std::uint32_t* timeStamp) {
    return Steam().ItemInstallInfo(self, file, sizeOnDisk, folder, folderSize, timeStamp);
}
STANDIN_API bool SteamAPI_ISteamUGC_GetItemDownloadInfo(void* self, std::uint64_t file, std::uint64_t* downloaded,
                                                        std::uint64_t* total) {
    return Steam().ItemDownloadInfo(self, file, downloaded, total);
}
STANDIN_API bool SteamAPI_ISteamUGC_DownloadItem(void* self, std::uint64_t file, bool highPriority) {
    return Steam().DownloadItem(self, file, highPriority);
}
#endif

#if STANDIN_MANUAL_DISPATCH
STANDIN_API void SteamAPI_ManualDispatch_Init() { Steam().ManualDispatchInit(); }
STANDIN_API void SteamAPI_ManualDispatch_RunFrame(std::int32_t pipe) { Steam().RunFrame(pipe); }
// The message is a CallbackMsg_t*; taken as void*, the type a loader that
// cannot see the library's own declarations calls it with (the same at
// the machine level, and the same to a sanitizer that compares the types).
STANDIN_API bool SteamAPI_ManualDispatch_GetNextCallback(std::int32_t pipe, void* message) {
    return Steam().NextCallback(pipe, static_cast<CallbackMsg_t*>(message));
}
STANDIN_API void SteamAPI_ManualDispatch_FreeLastCallback(std::int32_t pipe) { Steam().FreeLastCallback(pipe); }
STANDIN_API bool SteamAPI_ManualDispatch_GetAPICallResult(std::int32_t pipe, std::uint64_t call, void* buffer, int size,
                                                          int expectedId, bool* failed) {
    return Steam().PipeCallResult(pipe, call, buffer, size, expectedId, failed);
}
#endif

STANDIN_API void StandIn_Report(StandInReport* out) { Steam().Report(out); }
