#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace gh {
namespace {

CommandLineParse Parse(std::vector<std::wstring> args) { return ParseCommandLine(args); }

TEST(CommandLineTest, OptionsStandBeforeOrAfterTheCommandWithOrWithoutEquals) {
    const CommandLineParse parse =
        Parse({L"--documents", L"D", L"list", L"--json", L"--game-folder=G", L"--workshop", L"W", L"--runner", L"R"});
    ASSERT_TRUE(parse.ok) << parse.error;
    EXPECT_EQ(parse.line.command, CliCommand::List);
    EXPECT_TRUE(parse.line.json);
    EXPECT_EQ(parse.line.options.documents, L"D");
    EXPECT_EQ(parse.line.options.gameFolder, L"G");
    EXPECT_EQ(parse.line.options.workshop, L"W");
    EXPECT_EQ(parse.line.options.runner, L"R");

    const CommandLineParse none = Parse({});
    ASSERT_TRUE(none.ok);
    EXPECT_EQ(none.line.command, CliCommand::Launcher);
    EXPECT_FALSE(none.line.options.documents);
}

TEST(CommandLineTest, PlayTakesOneSetOrLast) {
    EXPECT_EQ(Parse({L"play", L"my set.sch"}).line.setPath, L"my set.sch");
    EXPECT_TRUE(Parse({L"play", L"--last"}).line.last);
    const CommandLineParse plain = Parse({L"play"});
    EXPECT_TRUE(plain.ok);
    EXPECT_FALSE(plain.line.setPath);
    EXPECT_FALSE(plain.line.last);
    EXPECT_FALSE(Parse({L"play", L"a.sch", L"--last"}).ok);
    EXPECT_FALSE(Parse({L"play", L"--last", L"a.sch"}).ok);
    EXPECT_FALSE(Parse({L"play", L"a.sch", L"b.sch"}).ok);
    EXPECT_FALSE(Parse({L"play", L""}).ok);
}

TEST(CommandLineTest, SyncTimeOutInSeconds) {
    EXPECT_EQ(Parse({L"sync"}).line.timeoutMs, 300'000);
    EXPECT_EQ(Parse({L"sync", L"--timeout", L"2"}).line.timeoutMs, 2000);
    EXPECT_EQ(Parse({L"sync", L"--timeout=0.25"}).line.timeoutMs, 250);
    EXPECT_EQ(Parse({L"sync", L"--timeout", L"0"}).line.timeoutMs, 0);
    for (const wchar_t* bad : {L"", L"-1", L"1e3", L"two", L"1.2.3", L".", L"99999999999999999999"})
        EXPECT_FALSE(Parse({L"sync", L"--timeout", bad}).ok) << "accepted " << std::wstring(bad).size();
}

TEST(CommandLineTest, HelpAndVersionWinOverWhatFollows) {
    EXPECT_EQ(Parse({L"--help", L"--bogus"}).line.command, CliCommand::Help);
    EXPECT_EQ(Parse({L"list", L"--version"}).line.command, CliCommand::Version);
}

TEST(CommandLineTest, AnythingNotUnderstoodIsAnError) {
    const std::vector<std::vector<std::wstring>> bad{
        {L"--bogus"},         {L"start"},           {L"list", L"extra"},     {L"list", L"--last"},
        {L"--json", L"list"}, {L"play", L"--json"}, {L"sync", L"--timeout"}, {L"--documents"},
        {L"--runner="},       {L"list", L"sync"},   {L"--help=yes"},         {L"-x"},
        {L"li\nst"},          {L"--bad\noption"},
    };
    for (const auto& args : bad) {
        const CommandLineParse parse = Parse(args);
        EXPECT_FALSE(parse.ok) << "accepted " << args.size() << " arguments starting with a " << args.front().size()
                               << "-character word";
        EXPECT_FALSE(parse.error.empty());
        EXPECT_EQ(parse.error.find(L'\n'), std::wstring::npos);
    }
}

}  // namespace
}  // namespace gh
