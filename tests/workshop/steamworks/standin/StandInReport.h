// What the stand-in Steam library tells a test about how it was driven.
// The library exports StandIn_Report(StandInReport*) for this; the real
// library has no such export.
#pragma once

#include <cstdint>

extern "C" {

struct StandInReport {
    std::int32_t starts;            // successful starts
    std::int32_t startEntry;        // the last start call: 1 SteamAPI_InitFlat, 2 SteamInternal_SteamAPI_Init,
                                    // 3 SteamAPI_Init, 4 SteamAPI_InitSafe
    std::int32_t versionListGiven;  // SteamInternal_SteamAPI_Init was given a version list
    std::int32_t shutdowns;
    std::int32_t manualDispatchInits;
    std::int32_t frames;        // SteamAPI_ManualDispatch_RunFrame calls
    std::int32_t runCallbacks;  // SteamAPI_RunCallbacks calls
    std::int32_t messagesFreed;
    std::int32_t resultsFetched;  // call results handed out
    std::int32_t reads;           // UGCRead calls
    std::int32_t protocolErrors;  // calls the real library forbids or would crash on
    char firstProtocolError[256];
    std::int32_t itemDownloads;              // ISteamUGC::DownloadItem calls
    std::int32_t itemDownloadsAgain;         // of those, for items that were downloading already
    std::int32_t itemDownloadsHighPriority;  // of those, with high priority
};

using StandInReportFn = void (*)(StandInReport* out);
}

inline constexpr char kStandInReportExport[] = "StandIn_Report";
