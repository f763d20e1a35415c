#include "SyncFixture.h"

#include "workshop/WorkshopText.h"

#include <gmock/gmock.h>

#include <functional>
#include <limits>

namespace gh::test {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t kTime = 1'700'000'000;

using SyncStartTest = SyncFixture;

TEST_F(SyncStartTest, RequestsTheFirstPageWhenLoggedOnWithRemoteStorage) {
    EXPECT_TRUE(m_sync.StartSync());
    EXPECT_THAT(m_view.texts, ElementsAre(L"Waiting for response from Steam..."));
    ASSERT_EQ(m_client.RequestsOf(Kind::Enumerate).size(), 1u);
    EXPECT_EQ(m_client.RequestsOf(Kind::Enumerate)[0].argument, 0u);
    EXPECT_TRUE(m_sync.HasPendingRequests());
}

TEST_F(SyncStartTest, RefusesWithoutUserOrRemoteStorageAndChangesNothing) {
    for (bool loggedOn : {false, true}) {
        m_client.loggedOn = loggedOn;
        m_client.remoteStorage = false;
        m_view.texts.clear();
        EXPECT_FALSE(m_sync.StartSync());
        EXPECT_THAT(m_view.texts,
                    ElementsAre(L"Steam initialization failed. Please check that you are logged in to Steam."));
    }
    EXPECT_TRUE(m_client.requests.empty());
    EXPECT_FALSE(m_sync.IsFinished());
    EXPECT_EQ(m_sync.PendingCount(), 0);
    EXPECT_FALSE(m_sync.HasPendingRequests());
}

using SubscriptionListTest = SyncFixture;

TEST_F(SubscriptionListTest, NoSubscriptionsFillsTheBarAndEnds) {
    StartWithFiles({});
    EXPECT_EQ(m_view.LastText(), L"No mod subscriptions found.");
    EXPECT_EQ(m_view.upper, 1);
    EXPECT_EQ(m_view.pos, 1);
    EXPECT_TRUE(m_view.playWithModsEnabled);
    EXPECT_TRUE(m_sync.IsFinished());
    EXPECT_FALSE(m_sync.HasPendingRequests());
}

// A page of `count` ids from `first` on, the total as given.
SubscriptionPage Page(PublishedFileId first, int count, std::int32_t total) {
    SubscriptionPage page;
    page.result = kResultOk;
    page.resultsReturned = count;
    page.totalCount = total;
    for (int i = 0; i < count && i < kEnumerateMaxResults; ++i) page.fileIds[i] = first + static_cast<unsigned>(i);
    return page;
}

TEST_F(SubscriptionListTest, AsksForEveryPageAndDetailsAsEachArrivesWithoutSettlingBetween) {
    for (PublishedFileId id = 500; id < 620; ++id) WriteLocal("mods/" + std::to_string(id) + ".mod", "x", kTime);
    ASSERT_TRUE(m_sync.StartSync());
    m_client.Deliver(m_client.CallFor(Kind::Enumerate, 0), Page(500, 70, 120));  // claims more than a page holds
    EXPECT_EQ(m_view.LastText(), L"Found 120 mod subscriptions. Checking for updates.");
    EXPECT_EQ(m_client.RequestsOf(Kind::Details).size(), 50u);
    for (PublishedFileId id = 500; id < 550; ++id) AnswerDetails(id, id, "mods/" + std::to_string(id) + ".mod", kTime);
    EXPECT_FALSE(m_sync.IsFinished()) << "the next page is still awaited";
    EXPECT_EQ(m_view.LastText(), L"mods/549.mod - up to date");

    m_client.Deliver(m_client.CallFor(Kind::Enumerate, 50), Page(550, 50, 0));  // a later total is not read
    m_client.Deliver(m_client.CallFor(Kind::Enumerate, 100), Page(600, 20, 120));
    const auto pages = m_client.RequestsOf(Kind::Enumerate);
    ASSERT_EQ(pages.size(), 3u);
    const auto details = m_client.RequestsOf(Kind::Details);
    ASSERT_EQ(details.size(), 120u);
    for (std::size_t i = 0; i < details.size(); ++i) EXPECT_EQ(details[i].argument, 500u + i);
    for (PublishedFileId id = 550; id < 620; ++id) AnswerDetails(id, id, "mods/" + std::to_string(id) + ".mod", kTime);
    EXPECT_EQ(m_view.LastText(), L"All subscriptions up to date!");
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::UpToDate);
    EXPECT_EQ(m_view.upper, 120);
}

TEST_F(SubscriptionListTest, AListingThatStopsShortStillHandlesWhatItSawAndFails) {
    // What answers the second page: a failure, the first page again, nothing.
    using Answer = std::function<void(CFakeWorkshopClient&, SteamAPICall)>;
    const std::vector<Answer> secondPages = {
        [](CFakeWorkshopClient& c, SteamAPICall call) { c.Deliver(call, Page(1, 2, 4), /*ioFailure=*/true); },
        [](CFakeWorkshopClient& c, SteamAPICall call) { c.Deliver(call, Page(1, 2, 4)); },
        [](CFakeWorkshopClient& c, SteamAPICall call) { c.Deliver(call, Page(9, 0, 4)); },
    };
    for (std::size_t c = 0; c < secondPages.size(); ++c) {
        SCOPED_TRACE(c);
        CFakeWorkshopClient client;
        CRecordingSyncView view;
        CWorkshopSync sync(client, view, m_folders);
        ASSERT_TRUE(sync.StartSync());
        client.Deliver(client.CallFor(Kind::Enumerate, 0), Page(1, 2, 4));
        secondPages[c](client, client.CallFor(Kind::Enumerate, 2));
        EXPECT_EQ(view.LastText(), L"Mod subscription request timed out");
        EXPECT_EQ(client.RequestsOf(Kind::Enumerate).size(), 2u) << "a page that brings nothing new ends the list";
        EXPECT_FALSE(sync.IsFinished());
        for (PublishedFileId id : {1, 2}) {
            WriteLocal("mods/" + std::to_string(id) + ".mod", "x", kTime);
            client.Deliver(client.CallFor(Kind::Details, id),
                           DetailsResult(id, id, "mods/" + std::to_string(id) + ".mod", kTime, 1));
        }
        EXPECT_EQ(view.LastText(), L"Some subscriptions could not be updated.");
        EXPECT_EQ(sync.Outcome(), SyncOutcome::Failed);
        EXPECT_EQ(client.RequestsOf(Kind::Details).size(), 2u);
    }
}

TEST_F(SubscriptionListTest, StopsAtTheCapAndSaysSo) {
    ASSERT_TRUE(m_sync.StartSync());
    const std::int32_t claimed = 20'000;
    PublishedFileId next = 1;
    for (std::uint32_t start = 0; m_client.CallFor(Kind::Enumerate, start) != kInvalidCall; start += 50) {
        m_client.Deliver(m_client.CallFor(Kind::Enumerate, start), Page(next, 50, claimed));
        next += 50;
        ASSERT_LT(start, 20'000u);
    }
    EXPECT_EQ(m_client.RequestsOf(Kind::Enumerate).size(), CWorkshopSync::kMaxSubscriptions / 50);
    EXPECT_EQ(m_sync.SubscriptionCount(), CWorkshopSync::kMaxSubscriptions);
    EXPECT_EQ(m_view.LastText(), L"Only the first 10000 mod subscriptions were checked.");
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::Failed);
}

TEST_F(SubscriptionListTest, FailedListInEveryFormTimesOut) {
    const auto failWith = [this](auto deliver) {
        CRecordingSyncView view;
        CWorkshopSync sync(m_client, view, m_folders);
        ASSERT_TRUE(sync.StartSync());
        view.EnablePlayWithMods(false);
        deliver(m_client.requests.back().call);
        EXPECT_EQ(view.LastText(), L"Mod subscription request timed out");
        EXPECT_TRUE(view.playWithModsEnabled);
        EXPECT_TRUE(sync.IsFinished());
        EXPECT_TRUE(m_client.RequestsOf(Kind::Details).empty());
    };
    failWith([this](SteamAPICall call) {
        m_client.PostFailure(call);
        m_client.RunCallbacks();
    });
    failWith([this](SteamAPICall call) { m_client.Deliver(call, EnumerateResult({1, 2}), /*ioFailure=*/true); });
    failWith([this](SteamAPICall call) { m_client.Deliver(call, EnumerateResult({1, 2}, kResultFail)); });
}

using FileDetailsTest = SyncFixture;

TEST_F(FileDetailsTest, EqualTimeIsUpToDateOneSecondOlderIsFetched) {
    WriteLocal("mods/same.mod", "old", kTime);
    WriteLocal("mods/older.mod", "old", kTime - 1);
    StartWithFiles({1, 2});
    AnswerDetails(1, 11, "mods/same.mod", kTime);
    EXPECT_EQ(m_view.LastText(), L"mods/same.mod - up to date");
    AnswerDetails(2, 22, "mods/older.mod", kTime);
    EXPECT_EQ(m_view.LastText(), L"mods/older.mod - Out of date.  Downloading latest version.");

    const auto downloads = m_client.RequestsOf(Kind::Download);
    ASSERT_EQ(downloads.size(), 1u);
    EXPECT_EQ(downloads[0].argument, 22u);
    EXPECT_EQ(m_sync.PendingCount(), 1);
    ASSERT_EQ(m_sync.Downloads().size(), 1u);
    EXPECT_EQ(m_sync.Downloads()[0].fileName, L"mods/older.mod");
    EXPECT_EQ(m_sync.Downloads()[0].bytesExpected, 100);
    EXPECT_FALSE(m_view.playWithModsEnabled);
}

TEST_F(FileDetailsTest, MissingFileIsInstalledAndFolderLookupIgnoresCase) {
    WriteLocal("Mods/Present.MOD", "x", kTime);
    StartWithFiles({1, 2});
    AnswerDetails(1, 11, "mods/absent.mod", kTime);
    EXPECT_EQ(m_view.LastText(), L"mods/absent.mod - Not found. Installing.");
    AnswerDetails(2, 22, "MODS/present.mod", kTime);
    EXPECT_EQ(m_view.LastText(), L"MODS/present.mod - up to date");
}

TEST_F(FileDetailsTest, AllUpToDateNeedsNoDownload) {
    for (const char* name : {"mods/a.mod", "mods/b.mod", "mods/c.mod"}) WriteLocal(name, "x", kTime);
    StartWithFiles({1, 2, 3});
    AnswerDetails(3, 33, "mods/c.mod", kTime);
    AnswerDetails(1, 11, "mods/a.mod", kTime - 5);
    AnswerDetails(2, 22, "mods/b.mod", 0);
    EXPECT_THAT(m_view.texts,
                ElementsAre(L"Waiting for response from Steam...", L"Found 3 mod subscriptions. Checking for updates.",
                            L"mods/c.mod - up to date", L"mods/a.mod - up to date", L"mods/b.mod - up to date",
                            L"All subscriptions up to date!"));
    EXPECT_EQ(m_view.pos, 3);
    EXPECT_EQ(m_view.upper, 3);
    EXPECT_TRUE(m_view.playWithModsEnabled);
    EXPECT_TRUE(m_client.RequestsOf(Kind::Download).empty());
    EXPECT_FALSE(m_sync.HasPendingRequests());
}

TEST_F(FileDetailsTest, FailedDetailsSettleTheirSubscriptionAndTheOthersGoOnToOneHonestEnd) {
    StartWithFiles({1, 2, 3});
    m_client.Deliver(m_client.CallFor(Kind::Details, 2), DetailsResult(2, 22, "mods/bad.mod", kTime, 5, kResultFail));
    EXPECT_EQ(m_view.LastText(), L"mods/bad.mod - File detail request timed out");
    EXPECT_FALSE(m_view.playWithModsEnabled) << "the others are still outstanding";
    EXPECT_EQ(m_sync.PendingCount(), 2);

    m_client.PostFailure(m_client.CallFor(Kind::Details, 3));
    m_client.RunCallbacks();
    EXPECT_EQ(m_view.LastText(), L" - File detail request timed out") << "no record, no name";

    AnswerDetails(1, 11, "mods/good.mod", kTime);
    EXPECT_EQ(m_view.LastText(), L"mods/good.mod - Not found. Installing.");
    EXPECT_FALSE(m_sync.IsFinished());
    AnswerDownload(11, "mods/good.mod", "content");
    EXPECT_THAT(
        std::vector<std::wstring>(m_view.texts.end() - 2, m_view.texts.end()),
        ElementsAre(L"mods/good.mod - Updated! Writing to mod folder...", L"Some subscriptions could not be updated."));
    EXPECT_TRUE(m_view.playWithModsEnabled);
    EXPECT_EQ(m_view.pos, m_view.upper);
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::Failed);
    EXPECT_EQ(ReadLocal("mods/good.mod"), "content");
}

TEST_F(FileDetailsTest, ARefusedNameIsNeverLookedUpAndItsReasonTravelsWithTheCopyError) {
    WriteLocal("restart.txt", "the player's list", kTime);  // as new as the Workshop's: it would be "up to date"
    StartWithFiles({1});
    AnswerDetails(1, 11, "restart.txt", kTime);
    EXPECT_EQ(m_view.LastText(), L"restart.txt - Not found. Installing.");
    AnswerDownload(11, "restart.txt", "mods/evil.mod");
    EXPECT_THAT(std::vector<std::wstring>(m_view.texts.end() - 2, m_view.texts.end()),
                ElementsAre(L"restart.txt - Error Copying File!", L"Some subscriptions could not be updated."));
    EXPECT_EQ(m_view.events[m_view.events.size() - 2].refusal, WorkshopNameProblem::OutsideModsFolder);
    EXPECT_EQ(ReadLocal("restart.txt"), "the player's list");
    EXPECT_TRUE(m_client.reads.empty());
}

TEST_F(FileDetailsTest, ZeroHandlesAreNeverAnsweredAndHoldNothingOpen) {
    m_client.nextCalls = {0};
    ASSERT_TRUE(m_sync.StartSync());
    EXPECT_FALSE(m_sync.HasPendingRequests()) << "a zero list handle can never be answered";

    CRecordingSyncView view;
    CWorkshopSync sync(m_client, view, m_folders);
    ASSERT_TRUE(sync.StartSync());
    m_client.nextCalls = {0, 501};  // details of file 1 get no handle
    m_client.Deliver(m_client.requests.back().call, EnumerateResult({1, 2}));
    m_client.nextCalls = {0};  // the download of file 2 gets no handle
    m_client.Deliver(501, DetailsResult(2, 22, "mods/two.mod", kTime, 10));
    EXPECT_EQ(view.LastText(), L"mods/two.mod - Not found. Installing.");
    EXPECT_FALSE(sync.HasPendingRequests());
    EXPECT_FALSE(sync.IsFinished()) << "neither file can settle";
    EXPECT_EQ(sync.PendingCount(), 2);
}

using DownloadTest = SyncFixture;

TEST_F(DownloadTest, TheSyncWaitsForTheDetailsOfEverySubscription) {
    StartWithFiles({1, 2});
    AnswerDetails(1, 11, "mods/new.mod", kTime, 4000);
    m_client.progress[11] = {true, 1000, 4000};
    m_sync.UpdateDownloadProgress();
    EXPECT_EQ(m_view.upper, 4000) << "the bar counts the file's bytes while it downloads";
    EXPECT_EQ(m_view.pos, 1000);

    AnswerDownload(11, "mods/new.mod", std::string(4000, 'n'));
    EXPECT_EQ(m_view.LastText(), L"mods/new.mod - Updated! Writing to mod folder...");
    EXPECT_FALSE(m_view.playWithModsEnabled) << "file 2's details are still outstanding";
    EXPECT_FALSE(m_sync.IsFinished());
    EXPECT_EQ(ReadLocal("mods/new.mod"), std::string(4000, 'n'));

    WriteLocal("mods/other.mod", "x", kTime);
    AnswerDetails(2, 22, "mods/other.mod", kTime);
    EXPECT_THAT(std::vector<std::wstring>(m_view.texts.end() - 2, m_view.texts.end()),
                ElementsAre(L"mods/other.mod - up to date", L"All subscriptions up to date!"));
    EXPECT_EQ(m_view.pos, m_view.upper);
    EXPECT_TRUE(m_view.playWithModsEnabled);
    EXPECT_EQ(m_sync.PendingCount(), 0);
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::UpToDate);
    EXPECT_FALSE(m_sync.HasPendingRequests());
}

TEST_F(DownloadTest, SharedContentWritesEverySubscriptionsOwnFileOnceAndEndsOnce) {
    StartWithFiles({1, 2, 3, 4});
    AnswerDetails(1, 77, "mods/shared.mod", kTime, 6);
    AnswerDetails(2, 77, "mods/other.mod", kTime, 6);
    AnswerDetails(3, 77, "mods/shared.mod", kTime, 6);
    ASSERT_EQ(m_sync.Downloads().size(), 3u);
    const auto downloads = m_client.RequestsOf(Kind::Download);
    ASSERT_EQ(downloads.size(), 3u);
    AnswerDownload(77, "mods/shared.mod", "shared");
    for (const auto& d : m_sync.Downloads()) {
        EXPECT_TRUE(d.finished);
        EXPECT_EQ(d.bytesDownloaded, 6);
        EXPECT_EQ(d.bytesExpected, 6);
    }
    EXPECT_EQ(ReadLocal("mods/shared.mod"), "shared");
    EXPECT_EQ(ReadLocal("mods/other.mod"), "shared");
    EXPECT_EQ(m_client.reads.size(), 1u) << "the content is read once";
    EXPECT_THAT(std::vector<std::wstring>(m_view.texts.end() - 3, m_view.texts.end()),
                ElementsAre(L"mods/shared.mod - Updated! Writing to mod folder...",
                            L"mods/other.mod - Updated! Writing to mod folder...",
                            L"mods/shared.mod - Updated! Writing to mod folder..."));
    EXPECT_EQ(m_sync.PendingCount(), 1) << "one result settles every subscription of its content";

    // The other answers of the same content find nothing left to write.
    const std::size_t shown = m_view.texts.size();
    m_client.Deliver(downloads[0].call, DownloadResult(77, "mods/shared.mod", 6));
    m_client.Deliver(downloads[1].call, DownloadResult(77, "mods/shared.mod", 6, kResultFail));
    EXPECT_EQ(m_view.texts.size(), shown);
    EXPECT_EQ(m_client.reads.size(), 1u);

    WriteLocal("mods/last.mod", "x", kTime);
    AnswerDetails(4, 44, "mods/last.mod", kTime);
    EXPECT_THAT(
        std::vector<std::wstring>(m_view.texts.begin() + static_cast<std::ptrdiff_t>(shown), m_view.texts.end()),
        ElementsAre(L"mods/last.mod - up to date", L"All subscriptions up to date!"));
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::UpToDate);
    EXPECT_FALSE(m_sync.HasPendingRequests()) << "nothing is waited for once the sync has settled";
}

TEST_F(DownloadTest, AFailedDownloadSettlesItsSubscriptionAndTheEndSaysSo) {
    WriteLocal("mods/keep.mod", "old content", kTime - 10);
    StartWithFiles({1, 2});
    AnswerDetails(1, 11, "mods/keep.mod", kTime, 50);
    AnswerDetails(2, 22, "mods/two.mod", kTime, 3);
    m_client.Deliver(m_client.CallFor(Kind::Download, 11), DownloadResult(11, "mods/keep.mod", 50, kResultFail));
    EXPECT_EQ(m_view.LastText(), L"mods/keep.mod - Download timed out");
    EXPECT_FALSE(m_view.playWithModsEnabled);
    // An answer that brings other content than was asked for leaves its file without any.
    m_client.contents[99] = "other";
    m_client.Deliver(m_client.CallFor(Kind::Download, 22), DownloadResult(99, "mods/other.mod", 5));
    EXPECT_THAT(std::vector<std::wstring>(m_view.texts.end() - 2, m_view.texts.end()),
                ElementsAre(L"mods/two.mod - Download timed out", L"Some subscriptions could not be updated."));
    EXPECT_TRUE(m_view.playWithModsEnabled);
    EXPECT_EQ(m_sync.Downloads()[0].bytesDownloaded, 0);
    EXPECT_EQ(m_sync.PendingCount(), 0);
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::Failed);
    EXPECT_EQ(ReadLocal("mods/keep.mod"), "old content");
    EXPECT_EQ(ReadLocal("mods/two.mod"), "<missing>");
    EXPECT_EQ(ReadLocal("mods/other.mod"), "<missing>");
    EXPECT_TRUE(m_client.reads.empty());
}

TEST_F(DownloadTest, FileThatCannotBeWrittenStillCountsAsFinished) {
    WriteLocal("mods/short.mod", "old", kTime - 10);
    StartWithFiles({1});
    AnswerDetails(1, 11, "mods/short.mod", kTime, 10);
    m_client.readLimit = 4;  // the client delivers less than it announced
    AnswerDownload(11, "mods/short.mod", "0123456789");
    EXPECT_THAT(std::vector<std::wstring>(m_view.texts.end() - 2, m_view.texts.end()),
                ElementsAre(L"mods/short.mod - Error Copying File!", L"Some subscriptions could not be updated."));
    EXPECT_EQ(m_view.events[m_view.events.size() - 2].refusal, WorkshopNameProblem::None);
    EXPECT_TRUE(m_sync.Downloads()[0].finished);
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::Failed);
    EXPECT_EQ(ReadLocal("mods/short.mod"), "old");
}

using ProgressTest = SyncFixture;

TEST_F(ProgressTest, PerFileLineAppearsAfterTenRefreshesAndRotatesOverUnfinishedFiles) {
    StartWithFiles({1, 2, 3});
    AnswerDetails(1, 11, "mods/a.mod", kTime, 1000);
    AnswerDetails(2, 22, "mods/b.mod", kTime, 2048);
    AnswerDetails(3, 33, "mods/c.mod", kTime, 10);
    m_client.progress[11] = {true, 500, 1000};
    m_client.progress[22] = {true, 1536, 2048};
    const std::size_t before = m_view.texts.size();
    for (int i = 0; i < 10; ++i) m_sync.UpdateDownloadProgress();
    EXPECT_EQ(m_view.texts.size(), before) << "no line during the first ten refreshes";

    std::vector<std::wstring> lines;
    for (int i = 0; i < 10; ++i) {
        m_sync.UpdateDownloadProgress();
        lines.push_back(m_view.LastText());
    }
    const std::wstring a = L"mods/a.mod - 500 B/1000 B";
    const std::wstring b = L"mods/b.mod - 1.50 KB/2.00 KB";
    EXPECT_THAT(lines, ElementsAre(a, a, a, a, a, b, b, b, b, b));

    // File b finishes: the rotation skips it.
    AnswerDownload(22, "mods/b.mod", std::string(2048, 'b'));
    lines.clear();
    for (int i = 0; i < 10; ++i) {
        m_sync.UpdateDownloadProgress();
        lines.push_back(m_view.LastText());
    }
    const std::wstring c = L"mods/c.mod - 0 B/10 B";
    for (const auto& line : lines) EXPECT_NE(line, L"mods/b.mod - 2.00 KB/2.00 KB");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), c), 5);
}

TEST_F(ProgressTest, CountsOnlyGrowAndOnlyFromReportedQueries) {
    StartWithFiles({1, 2});
    AnswerDetails(1, 11, "mods/a.mod", kTime, 100);
    AnswerDetails(2, 22, "mods/b.mod", kTime, 100);
    m_client.progress[11] = {false, 90, 5000};  // a failed query's numbers never count
    m_client.progress[22] = {true, 400, 300};   // more than expected: capped, expected raised
    m_sync.UpdateDownloadProgress();
    EXPECT_EQ(m_sync.Downloads()[0].bytesDownloaded, 0);
    EXPECT_EQ(m_sync.Downloads()[0].bytesExpected, 100);
    EXPECT_EQ(m_sync.Downloads()[1].bytesDownloaded, 300);
    EXPECT_EQ(m_sync.Downloads()[1].bytesExpected, 300);
    m_client.progress[22] = {true, 10, 20};  // smaller counts do not shrink a record
    m_sync.UpdateDownloadProgress();
    EXPECT_EQ(m_sync.Downloads()[1].bytesDownloaded, 300);
    EXPECT_EQ(m_view.upper, 400);
    EXPECT_EQ(m_view.pos, 300);
}

TEST_F(ProgressTest, HugeTotalsAreScaledToTheBarsRange) {
    std::vector<PublishedFileId> ids{1, 2, 3};
    StartWithFiles(ids);
    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    for (PublishedFileId id : ids) {
        AnswerDetails(id, id * 10, "mods/" + std::to_string(id) + ".mod", kTime, big);
        m_client.progress[id * 10] = {true, big / 2, big};
    }
    m_sync.UpdateDownloadProgress();
    EXPECT_GT(m_view.upper, 0);
    EXPECT_NEAR(static_cast<double>(m_view.pos) / m_view.upper, 0.5, 0.01);
}

TEST_F(ProgressTest, PacingRefreshesAtMostEveryTwoTenthsOfASecondWhilePending) {
    StartWithFiles({1});
    AnswerDetails(1, 11, "mods/a.mod", kTime, 1000);
    const std::int64_t t0 = 133'000'000'000'000'000;
    std::vector<std::int32_t> seen;
    std::int32_t reported = 0;
    for (std::int64_t t : {t0, t0 + 1'000'000, t0 + 2'000'000, t0 + 2'000'001, t0 + 4'000'001, t0 + 4'000'002}) {
        m_client.progress[11] = {true, ++reported, 1000};
        m_sync.Pump(t);
        seen.push_back(m_sync.Downloads()[0].bytesDownloaded);
    }
    // A refresh needs a time strictly later than the last refresh plus 0.2 seconds.
    EXPECT_THAT(seen, ElementsAre(1, 1, 1, 4, 4, 6));
    EXPECT_EQ(m_client.runCount, 2 + 6) << "every pump runs the client's callbacks";

    AnswerDownload(11, "mods/a.mod", std::string(1000, 'a'));
    ASSERT_EQ(m_sync.PendingCount(), 0);
    m_client.progress[11] = {true, 1, 99999};
    m_sync.PaceProgress(t0 + 90'000'000);
    EXPECT_EQ(m_sync.Downloads()[0].bytesExpected, 1000) << "no refresh once nothing is pending";
}

TEST(ByteSizeTest, UnitsAndTwoDecimals) {
    EXPECT_EQ(FormatByteSize(0), L"0 B");
    EXPECT_EQ(FormatByteSize(500), L"500 B");
    EXPECT_EQ(FormatByteSize(1023), L"1023 B");
    EXPECT_EQ(FormatByteSize(1024), L"1.00 KB");
    EXPECT_EQ(FormatByteSize(1536), L"1.50 KB");
    EXPECT_EQ(FormatByteSize(1048575), L"1024.00 KB");
    EXPECT_EQ(FormatByteSize(3145728), L"3.00 MB");
    EXPECT_EQ(FormatByteSize(1073741824), L"1.00 GB");
    EXPECT_EQ(FormatByteSize(5LL * 1073741824 / 2), L"2.50 GB");
}

TEST(StatusTextTest, LongNamesAreCutSoTheFixedTextFits) {
    const std::string longName(600, 'n');
    const std::wstring text = NameStatusText(longName, kTailOutOfDate);
    EXPECT_EQ(text.size(), kStatusTextMax);
    EXPECT_TRUE(text.ends_with(L"n... - Out of date.  Downloading latest version."));

    const std::string fieldName(259, 'x');  // the longest name a record can carry fits whole
    EXPECT_EQ(NameStatusText(fieldName, kTailCopyError), std::wstring(259, L'x') + L" - Error Copying File!");
    EXPECT_EQ(FitBeforeTail(L"abcdef", L"-tail", 9), L"a...-tail");
    EXPECT_EQ(FitBeforeTail(L"abcdef", L"-longtail", 4), L"-lon");
    EXPECT_EQ(ProgressLineText(std::wstring(600, L'p'), 1, 2).size(), kStatusTextMax);
    EXPECT_EQ(FoundSubscriptionsText(7), L"Found 7 mod subscriptions. Checking for updates.");
}

}  // namespace
}  // namespace gh::test
