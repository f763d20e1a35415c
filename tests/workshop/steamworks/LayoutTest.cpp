// The loader's record layouts against the offsets and sizes the Steam
// library is known to use on Windows x64 (pack 8) and Linux x64 (pack 4).
// (The stand-in library checks its own packed structs against the same
// layouts when it is compiled.)
#include "workshop/steamworks/SteamRecordLayout.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace gh::test {
namespace {

using steam::RecordLayouts;

struct KnownOffset {
    const char* field;
    std::size_t windows;
    std::size_t linux;
    std::size_t (*get)(const RecordLayouts&);
};

#define GH_AT(member) [](const RecordLayouts& l) { return l.member; }

const KnownOffset kKnown[] = {
    {"CallbackMsg_t.m_hSteamUser", 0, 0, GH_AT(callbackMsg.hSteamUser)},
    {"CallbackMsg_t.m_iCallback", 4, 4, GH_AT(callbackMsg.iCallback)},
    {"CallbackMsg_t.m_pubParam", 8, 8, GH_AT(callbackMsg.pubParam)},
    {"CallbackMsg_t.m_cubParam", 16, 16, GH_AT(callbackMsg.cubParam)},
    {"CallbackMsg_t size", 24, 20, GH_AT(callbackMsg.size)},

    {"703.m_hAsyncCall", 0, 0, GH_AT(callCompleted.hAsyncCall)},
    {"703.m_iCallback", 8, 8, GH_AT(callCompleted.iCallback)},
    {"703.m_cubParam", 12, 12, GH_AT(callCompleted.cubParam)},
    {"703 size", 16, 16, GH_AT(callCompleted.size)},

    {"1314.m_eResult", 0, 0, GH_AT(enumerate.eResult)},
    {"1314.m_nResultsReturned", 4, 4, GH_AT(enumerate.resultsReturned)},
    {"1314.m_nTotalResultCount", 8, 8, GH_AT(enumerate.totalResultCount)},
    {"1314.m_rgPublishedFileId", 16, 12, GH_AT(enumerate.publishedFileIds)},
    {"1314.m_rgRTimeSubscribed", 416, 412, GH_AT(enumerate.timesSubscribed)},
    {"1314 size", 616, 612, GH_AT(enumerate.size)},

    {"1317.m_eResult", 0, 0, GH_AT(download.eResult)},
    {"1317.m_hFile", 8, 4, GH_AT(download.hFile)},
    {"1317.m_nAppID", 16, 12, GH_AT(download.appId)},
    {"1317.m_nSizeInBytes", 20, 16, GH_AT(download.sizeInBytes)},
    {"1317.m_pchFileName", 24, 20, GH_AT(download.fileName)},
    {"1317.m_ulSteamIDOwner", 288, 280, GH_AT(download.steamIdOwner)},
    {"1317 size", 296, 288, GH_AT(download.size)},

    {"1318.m_eResult", 0, 0, GH_AT(details.eResult)},
    {"1318.m_nPublishedFileId", 8, 4, GH_AT(details.publishedFileId)},
    {"1318.m_nCreatorAppID", 16, 12, GH_AT(details.creatorAppId)},
    {"1318.m_nConsumerAppID", 20, 16, GH_AT(details.consumerAppId)},
    {"1318.m_rgchTitle", 24, 20, GH_AT(details.title)},
    {"1318.m_rgchDescription", 153, 149, GH_AT(details.description)},
    {"1318.m_hFile", 8160, 8152, GH_AT(details.hFile)},
    {"1318.m_hPreviewFile", 8168, 8160, GH_AT(details.hPreviewFile)},
    {"1318.m_ulSteamIDOwner", 8176, 8168, GH_AT(details.steamIdOwner)},
    {"1318.m_rtimeCreated", 8184, 8176, GH_AT(details.timeCreated)},
    {"1318.m_rtimeUpdated", 8188, 8180, GH_AT(details.timeUpdated)},
    {"1318.m_eVisibility", 8192, 8184, GH_AT(details.visibility)},
    {"1318.m_bBanned", 8196, 8188, GH_AT(details.banned)},
    {"1318.m_rgchTags", 8197, 8189, GH_AT(details.tags)},
    {"1318.m_bTagsTruncated", 9222, 9214, GH_AT(details.tagsTruncated)},
    {"1318.m_pchFileName", 9223, 9215, GH_AT(details.fileName)},
    {"1318.m_nFileSize", 9484, 9476, GH_AT(details.fileSize)},
    {"1318.m_nPreviewFileSize", 9488, 9480, GH_AT(details.previewFileSize)},
    {"1318.m_rgchURL", 9492, 9484, GH_AT(details.url)},
    {"1318.m_eFileType", 9748, 9740, GH_AT(details.fileType)},
    {"1318.m_bAcceptedForUse", 9752, 9744, GH_AT(details.acceptedForUse)},
    {"1318 size", 9760, 9748, GH_AT(details.size)},

    {"3406.m_unAppID", 0, 0, GH_AT(downloadItem.appId)},
    {"3406.m_nPublishedFileId", 8, 4, GH_AT(downloadItem.publishedFileId)},
    {"3406.m_eResult", 16, 12, GH_AT(downloadItem.eResult)},
    {"3406 size", 24, 16, GH_AT(downloadItem.size)},
};

TEST(SteamRecordLayoutTest, MatchesTheLibrarysOffsetsOnBothSystems) {
    for (const KnownOffset& known : kKnown) {
        EXPECT_EQ(known.get(steam::kLargePackLayouts), known.windows) << known.field << " on Windows";
        EXPECT_EQ(known.get(steam::kSmallPackLayouts), known.linux) << known.field << " on Linux";
    }
}

TEST(SteamRecordLayoutTest, TheTargetUsesItsSystemsPacking) {
#if defined(_WIN32)
    EXPECT_EQ(&steam::kTargetLayouts, &steam::kLargePackLayouts);
#else
    EXPECT_EQ(&steam::kTargetLayouts, &steam::kSmallPackLayouts);
#endif
}

}  // namespace
}  // namespace gh::test
