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

    ASSERT_TRUE(ParseWorkshopManifest("{}"));
    m = *ParseWorkshopManifest("{}");
    EXPECT_TRUE(m.loggedOn);
    EXPECT_EQ(m.latencyMs, 0);
    EXPECT_EQ(m.bytesPerSecond, 0);
    EXPECT_TRUE(m.items.empty());
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
        {R"({"items": [{"id": 1, "fileName": "a", "content": ""}]})", "\"content\" must be a file name"},
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
