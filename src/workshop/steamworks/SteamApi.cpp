#include "workshop/steamworks/SteamApi.h"

#include <cstring>

#include <fmt/format.h>

#include <type_traits>

namespace gh::steam {

namespace {

template <class Fn>
Fn Lookup(const platform::CSharedLibrary& library, const char* name) {
    return reinterpret_cast<Fn>(library.Find(name));
}

// The one versioned accessor the library exports for `interfaceName`,
// newest first, and its version.
AccessorFn FindAccessor(const platform::CSharedLibrary& library, const char* interfaceName, int* found = nullptr) {
    for (int version = kHighestAccessorVersion; version >= 1; --version) {
        const std::string name = fmt::format("SteamAPI_Steam{}_v{:03}", interfaceName, version);
        if (AccessorFn accessor = Lookup<AccessorFn>(library, name.c_str())) {
            if (found) *found = version;
            return accessor;
        }
    }
    return nullptr;
}

// The item interface, with every call in the form the accessor's version
// has; none of it unless all of it is there.
void ResolveItemInterface(const platform::CSharedLibrary& library, SteamApi& api) {
    SteamApi found = api;
    found.ugcAccessor = FindAccessor(library, "UGC", &found.ugcVersion);
    found.appId = Lookup<AppIdFn>(library, "SteamAPI_ISteamUtils_GetAppID");
    const bool flag = found.ugcVersion >= kUgcListFlagVersion;
    const platform::LibraryFunction numSubscribed = library.Find("SteamAPI_ISteamUGC_GetNumSubscribedItems");
    const platform::LibraryFunction subscribedItems = library.Find("SteamAPI_ISteamUGC_GetSubscribedItems");
    if (flag) {
        found.numSubscribedFlag = reinterpret_cast<NumSubscribedFlagFn>(numSubscribed);
        found.subscribedItemsFlag = reinterpret_cast<SubscribedItemsFlagFn>(subscribedItems);
    } else {
        found.numSubscribed = reinterpret_cast<NumSubscribedFn>(numSubscribed);
        found.subscribedItems = reinterpret_cast<SubscribedItemsFn>(subscribedItems);
    }
    found.itemState = Lookup<ItemStateFn>(library, "SteamAPI_ISteamUGC_GetItemState");
    found.itemInstallInfo = Lookup<ItemInstallInfoFn>(library, "SteamAPI_ISteamUGC_GetItemInstallInfo");
    found.itemDownloadInfo = Lookup<ItemDownloadInfoFn>(library, "SteamAPI_ISteamUGC_GetItemDownloadInfo");
    found.downloadItem = Lookup<DownloadItemFn>(library, "SteamAPI_ISteamUGC_DownloadItem");
    if (api.route != DispatchRoute::Manual || !api.utilsAccessor || !found.ugcAccessor || !found.appId ||
        !numSubscribed || !subscribedItems || !found.itemState || !found.itemInstallInfo || !found.itemDownloadInfo ||
        !found.downloadItem)
        return;
    found.itemInterface = true;
    api = found;
}

}  // namespace

const char* StartEntryName(StartEntry entry) {
    switch (entry) {
        case StartEntry::InitFlat: return "SteamAPI_InitFlat";
        case StartEntry::InternalInit: return "SteamInternal_SteamAPI_Init";
        case StartEntry::Init: return "SteamAPI_Init";
        case StartEntry::InitSafe: return "SteamAPI_InitSafe";
    }
    return "?";
}

Status ResolveSteamApi(const platform::CSharedLibrary& library, SteamApi& api) {
    const auto lacks = [](const char* name) {
        return Status(StatusKind::BadData, L"it does not export " + std::wstring(name, name + std::strlen(name)));
    };
    api = SteamApi{};
    if ((api.initFlat = Lookup<InitFlatFn>(library, "SteamAPI_InitFlat"))) {
        api.start = StartEntry::InitFlat;
    } else if ((api.internalInit = Lookup<InternalInitFn>(library, "SteamInternal_SteamAPI_Init"))) {
        api.start = StartEntry::InternalInit;
    } else if ((api.init = Lookup<InitFn>(library, "SteamAPI_Init"))) {
        api.start = StartEntry::Init;
    } else if ((api.init = Lookup<InitFn>(library, "SteamAPI_InitSafe"))) {
        api.start = StartEntry::InitSafe;
    } else {
        return lacks("a start entry point");
    }

    const char* missing = nullptr;
    auto require = [&](auto& slot, const char* name) {
        using Fn = std::remove_reference_t<decltype(slot)>;
        slot = Lookup<Fn>(library, name);
        if (!slot && !missing) missing = name;
    };
    require(api.shutdown, "SteamAPI_Shutdown");
    require(api.loggedOn, "SteamAPI_ISteamUser_BLoggedOn");
    require(api.enumerate, "SteamAPI_ISteamRemoteStorage_EnumerateUserSubscribedFiles");
    require(api.details, "SteamAPI_ISteamRemoteStorage_GetPublishedFileDetails");
    require(api.download, "SteamAPI_ISteamRemoteStorage_UGCDownload");
    require(api.progress, "SteamAPI_ISteamRemoteStorage_GetUGCDownloadProgress");
    require(api.read, "SteamAPI_ISteamRemoteStorage_UGCRead");
    if (missing) return lacks(missing);

    api.isSteamRunning = Lookup<IsRunningFn>(library, "SteamAPI_IsSteamRunning");
    api.getUser = Lookup<GetUserFn>(library, "SteamAPI_GetHSteamUser");
    api.userAccessor = FindAccessor(library, "User");
    api.remoteStorageAccessor = FindAccessor(library, "RemoteStorage");
    api.utilsAccessor = FindAccessor(library, "Utils");
    api.findOrCreateInterface = Lookup<FindOrCreateUserInterfaceFn>(library, "SteamInternal_FindOrCreateUserInterface");
    api.createInterface = Lookup<CreateInterfaceFn>(library, "SteamInternal_CreateInterface");
    api.clientUser = Lookup<ClientUserInterfaceFn>(library, "SteamAPI_ISteamClient_GetISteamUser");
    api.clientRemoteStorage = Lookup<ClientUserInterfaceFn>(library, "SteamAPI_ISteamClient_GetISteamRemoteStorage");
    api.clientUtils = Lookup<ClientUtilsFn>(library, "SteamAPI_ISteamClient_GetISteamUtils");

    // Manual dispatch only when all of it is there; never both routes.
    api.manualDispatchInit = Lookup<VoidFn>(library, "SteamAPI_ManualDispatch_Init");
    api.runFrame = Lookup<RunFrameFn>(library, "SteamAPI_ManualDispatch_RunFrame");
    api.nextCallback = Lookup<NextCallbackFn>(library, "SteamAPI_ManualDispatch_GetNextCallback");
    api.freeCallback = Lookup<FreeCallbackFn>(library, "SteamAPI_ManualDispatch_FreeLastCallback");
    api.pipeCallResult = Lookup<PipeCallResultFn>(library, "SteamAPI_ManualDispatch_GetAPICallResult");
    api.getPipe = Lookup<GetPipeFn>(library, "SteamAPI_GetHSteamPipe");
    if (api.manualDispatchInit && api.runFrame && api.nextCallback && api.freeCallback && api.pipeCallResult &&
        api.getPipe) {
        api.route = DispatchRoute::Manual;
        ResolveItemInterface(library, api);
        return {};
    }
    api.manualDispatchInit = nullptr;
    api.runFrame = nullptr;
    api.nextCallback = nullptr;
    api.freeCallback = nullptr;
    api.pipeCallResult = nullptr;
    api.route = DispatchRoute::Polling;
    require(api.runCallbacks, "SteamAPI_RunCallbacks");
    require(api.isCallCompleted, "SteamAPI_ISteamUtils_IsAPICallCompleted");
    require(api.utilsCallResult, "SteamAPI_ISteamUtils_GetAPICallResult");
    return missing ? lacks(missing) : Status();
}

}  // namespace gh::steam
