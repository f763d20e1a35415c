#include "workshop/WorkshopManifest.h"

#include "platform/Unicode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace gh {
namespace {

using ::testing::HasSubstr;

TEST(WorkshopManifestTest, ReadsEveryKeyWithCommentsAndDefaults) {
    const std::string text = R"({
      "loggedOn": false,         // optional
      "latencyMs": 50,
      "bytesPerSecond": 1000,
      /* the subscriptions */
      "items": [
        { "id": 1001, "fileName": "mods/ashen_roads.mod", "content": "files/ashen_roads.mod",
          "timeUpdated": 1733700000, "contentHandle": 77, "latencyMs": 300, "fail": "download" },
        { "id": 18446744073709551615, "fileName": "b\u00e9.mod", "content": "b" },
        { "id": 3, "fileName": "gone.mod", "fail": "never" },
        { "id": 4, "fileName": "bad.mod", "fail": "details", "futureKey": [1, 2] }
      ]
    })";
    const Result<WorkshopManifest> parsed = ParseWorkshopManifest(text);
    ASSERT_TRUE(parsed) << parsed.Error().Text();
    WorkshopManifest m = *parsed;
    EXPECT_FALSE(m.loggedOn);
    EXPECT_EQ(m.latencyMs, 50);
    EXPECT_EQ(m.bytesPerSecond, 1000);
    ASSERT_EQ(m.items.size(), 4u);
    const WorkshopItem& a = m.items[0];
    EXPECT_EQ(a.id, 1001u);
    EXPECT_EQ(a.fileName, "mods/ashen_roads.mod");
    EXPECT_EQ(a.content, "files/ashen_roads.mod");
    EXPECT_EQ(a.timeUpdated, 1733700000u);
    EXPECT_EQ(a.contentHandle, 77u);
    EXPECT_EQ(a.latencyMs, 300);
    EXPECT_EQ(a.fail, WorkshopFailure::Download);
    const WorkshopItem& b = m.items[1];
    EXPECT_EQ(b.id, 18446744073709551615u);
    EXPECT_EQ(b.fileName, "b\xc3\xa9.mod") << "names stay UTF-8 bytes";
    EXPECT_FALSE(b.timeUpdated);
    EXPECT_FALSE(b.contentHandle);
    EXPECT_FALSE(b.latencyMs);
    EXPECT_EQ(b.fail, WorkshopFailure::None);
    EXPECT_EQ(m.items[2].fail, WorkshopFailure::Never);
    EXPECT_EQ(m.items[3].fail, WorkshopFailure::Details);

    EXPECT_TRUE(b.legacy);
    EXPECT_EQ(b.state, kItemInstalled);
    EXPECT_TRUE(b.listedByRemoteStorage && b.listedByItemInterface);

    ASSERT_TRUE(ParseWorkshopManifest("{}"));
    m = *ParseWorkshopManifest("{}");
    EXPECT_TRUE(m.loggedOn);
    EXPECT_EQ(m.latencyMs, 0);
    EXPECT_EQ(m.bytesPerSecond, 0);
    EXPECT_EQ(m.appId, 1u);
    EXPECT_EQ(m.pageSize, 50);
    EXPECT_FALSE(m.totalCount || m.repeatPage || m.failPage);
    EXPECT_TRUE(m.items.empty());
}

TEST(WorkshopManifestTest, ReadsPagingAndItemsThatLiveInFolders) {
    const Result<WorkshopManifest> parsed = ParseWorkshopManifest(R"({
      "appId": 734120, "pageSize": 7, "totalCount": 99, "repeatPage": 2, "failPage": 3,
      "items": [
        { "id": 1, "kind": "folder", "folder": "items/one", "state": ["needsUpdate", "downloading", "disabled"],
          "listedBy": ["ugc"], "fail": "downloadResult", "resultAppId": 5 },
        { "id": 2, "kind": "folder", "folder": "items/two", "state": [], "legacy": true, "fail": "downloadItem" },
        { "id": 3, "fileName": "mods/c.mod", "content": "c", "legacy": false, "listedBy": ["remoteStorage"] }
      ]
    })");
    ASSERT_TRUE(parsed) << parsed.Error().Text();
    const WorkshopManifest& m = *parsed;
    EXPECT_EQ(m.appId, 734120u);
    EXPECT_EQ(m.pageSize, 7);
    EXPECT_EQ(m.totalCount, 99);
    EXPECT_EQ(m.repeatPage, 2u);
    EXPECT_EQ(m.failPage, 3u);
    ASSERT_EQ(m.items.size(), 3u);
    const WorkshopItem& one = m.items[0];
    EXPECT_EQ(one.kind, WorkshopItemKind::Folder);
    EXPECT_EQ(one.folder, "items/one");
    EXPECT_EQ(one.state, kItemNeedsUpdate | kItemDownloading | kItemDisabledLocally);
    EXPECT_FALSE(one.legacy);
    EXPECT_FALSE(one.listedByRemoteStorage);
    EXPECT_TRUE(one.listedByItemInterface);
    EXPECT_EQ(one.fail, WorkshopFailure::DownloadResult);
    EXPECT_EQ(one.resultAppId, 5u);
    EXPECT_EQ(m.items[1].state, 0u);
    EXPECT_TRUE(m.items[1].legacy);
    EXPECT_EQ(m.items[1].fail, WorkshopFailure::DownloadItem);
    EXPECT_FALSE(m.items[2].legacy);
    EXPECT_FALSE(m.items[2].listedByItemInterface);
}

TEST(WorkshopManifestTest, TenThousandItemsFitTheSizeLimit) {
    std::string text = "{\"items\": [";
    for (int i = 0; i < 10'000; ++i) {
        const std::string id = std::to_string(3'000'000'000LL + i);
        text += (i ? ",\n" : "") +
                (i % 2 ? "{\"id\": " + id + ", \"kind\": \"folder\", \"folder\": \"items/" + id +
                             "\", \"state\": [\"installed\"], \"timeUpdated\": 1733700000}"
                       : "{\"id\": " + id + ", \"fileName\": \"mods/Workshop/file_" + id +
                             ".mod\", \"content\": \"files/" + id + ".mod\", \"timeUpdated\": 1733700000}");
    }
    text += "]}";
    ASSERT_LT(text.size(), kManifestMaxBytes / 2);
    const Result<WorkshopManifest> parsed = ParseWorkshopManifest(text);
    ASSERT_TRUE(parsed) << parsed.Error().Text();
    EXPECT_EQ(parsed->items.size(), 10'000u);
}

TEST(WorkshopManifestTest, MalformedManifestsNameTheirFault) {
    const std::string longName(260, 'n');
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "not valid JSON"},
        {"{\"items\": [}", "line 1, column 12"},
        {"{\n\"latencyMs\": 5,\n x}", "line 3"},
        {"[1, 2]", "must be a JSON object"},
        {R"({"loggedOn": "yes"})", "\"loggedOn\" must be true or false"},
        {R"({"latencyMs": -1})", "\"latencyMs\""},
        {R"({"latencyMs": 1.5})", "\"latencyMs\""},
        {R"({"latencyMs": 99999999999})", "\"latencyMs\""},
        {R"({"bytesPerSecond": "fast"})", "\"bytesPerSecond\""},
        {R"({"items": {}})", "\"items\" must be an array"},
        {R"({"items": [7]})", "item 0: must be a JSON object"},
        {R"({"items": [{"fileName": "a", "content": "a"}]})", "item 0: \"id\" is missing"},
        {R"({"items": [{"id": 1, "fileName": "a", "content": "a"}, {"id": -2, "fileName": "a", "content": "a"}]})",
         "item 1: \"id\""},
        {R"({"items": [{"id": 1, "content": "a"}]})", "\"fileName\" is missing"},
        {R"({"items": [{"id": 1, "fileName": 5, "content": "a"}]})", "\"fileName\" must be a string"},
        {R"({"items": [{"id": 1, "fileName": ")" + longName + R"(", "content": "a"}]})", "longer than 259 bytes"},
        {R"({"items": [{"id": 1, "fileName": "a\u0000b", "content": "a"}]})", "zero character"},
        {R"({"items": [{"id": 1, "fileName": "a"}]})", "\"content\" is missing"},
        {R"({"items": [{"id": 1, "fileName": "a", "content": ""}]})", "\"content\" must be a name"},
        {R"({"appId": 0})", "\"appId\""},
        {R"({"pageSize": 51})", "\"pageSize\" must be a whole number from 1 to 50"},
        {R"({"totalCount": -1})", "\"totalCount\""},
        {R"({"repeatPage": "2"})", "\"repeatPage\""},
        {R"({"failPage": 1.5})", "\"failPage\""},
        {R"({"items": [{"id": 1, "kind": "dir", "folder": "f"}]})", "\"kind\" must be"},
        {R"({"items": [{"id": 1, "kind": "folder"}]})", "item 0: \"folder\" is missing"},
        {R"({"items": [{"id": 1, "kind": "folder", "folder": "f", "state": ["fresh"]}]})", "\"state\" may hold only"},
        {R"({"items": [{"id": 1, "kind": "folder", "folder": "f", "state": "installed"}]})", "\"state\" must be"},
        {R"({"items": [{"id": 1, "kind": "folder", "folder": "f", "listedBy": []}]})", "\"listedBy\" must be"},
        {R"({"items": [{"id": 1, "kind": "folder", "folder": "f", "listedBy": ["rs"]}]})", "\"listedBy\" may hold"},
        {R"({"items": [{"id": 1, "kind": "folder", "folder": "f", "legacy": 1}]})", "\"legacy\""},
        {R"({"items": [{"id": 1, "kind": "folder", "folder": "f", "resultAppId": -3}]})", "\"resultAppId\""},
        {R"({"items": [{"id": 1, "fileName": "a", "content": "a", "fail": "sometimes"}]})", "\"fail\" must be"},
        {R"({"items": [{"id": 1, "fileName": "a", "content": "a", "timeUpdated": 4294967296}]})", "\"timeUpdated\""},
        {R"({"items": [{"id": 1, "fileName": "a", "content": "a", "contentHandle": 0}]})", "\"contentHandle\""},
        {R"({"items": [{"id": 1, "fileName": "a", "content": "a", "contentHandle": 18446744073709551615}]})",
         "\"contentHandle\""},
        {R"({"items": [{"id": 1, "fileName": "a", "content": "a", "latencyMs": "slow"}]})", "item 0: \"latencyMs\""},
        {"{\"a\": \"\xff\"}", "not valid JSON"},
        {std::string(40, '[') + std::string(40, ']'), "nests deeper than 32"},
        {std::string(kManifestMaxBytes + 1, ' '), "larger than"},
    };
    for (const auto& c : cases) {
        const Result<WorkshopManifest> parsed = ParseWorkshopManifest(c.text);
        EXPECT_FALSE(parsed) << c.text.substr(0, 80);
        EXPECT_THAT(WideToUtf8(parsed.Error().Text()), HasSubstr(c.message)) << c.text.substr(0, 80);
    }
}

TEST(WorkshopManifestTest, BracketsInsideStringsAndCommentsDoNotCountAsNesting) {
    const std::string deepText = "\"" + std::string(100, '[') + "\"";
    const std::string text = "{ // " + std::string(100, '{') + "\n \"items\": [{\"id\": 1, \"fileName\": " + deepText +
                             ", \"content\": \"c\\\"[[[[\"}]}";
    EXPECT_TRUE(ParseWorkshopManifest(text));
}

}  // namespace
}  // namespace gh
