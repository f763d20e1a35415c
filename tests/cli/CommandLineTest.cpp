#include "cli/CommandLine.h"

#include "platform/Unicode.h"

#include <gtest/gtest.h>

namespace gh {
namespace {

Result<CommandLine> Parse(std::vector<std::wstring> args) { return ParseCommandLine(args); }

TEST(CommandLineTest, OptionsStandBeforeOrAfterTheCommandWithOrWithoutEquals) {
    const Result<CommandLine> parse =
        Parse({L"--documents", L"D", L"list", L"--json", L"--game-folder=G", L"--workshop", L"W", L"--runner", L"R"});
    ASSERT_TRUE(parse.IsOk()) << parse.Error().Text();
    EXPECT_EQ(parse->command, CliCommand::List);
    EXPECT_TRUE(parse->json);
    EXPECT_EQ(parse->options.documents, L"D");
    EXPECT_EQ(parse->options.gameFolder, L"G");
    EXPECT_EQ(parse->options.workshop, L"W");
    EXPECT_EQ(parse->options.runner, L"R");

    const Result<CommandLine> none = Parse({});
    ASSERT_TRUE(none.IsOk());
    EXPECT_EQ(none->command, CliCommand::Launcher);
    EXPECT_FALSE(none->options.documents);
}

TEST(CommandLineTest, PlayTakesOneSetOrLast) {
    EXPECT_EQ(Parse({L"play", L"my set.sch"})->setPath, L"my set.sch");
    EXPECT_TRUE(Parse({L"play", L"--last"})->last);
    const Result<CommandLine> plain = Parse({L"play"});
    EXPECT_TRUE(plain.IsOk());
    EXPECT_FALSE(plain->setPath);
    EXPECT_FALSE(plain->last);
    EXPECT_FALSE(Parse({L"play", L"a.sch", L"--last"}).IsOk());
    EXPECT_FALSE(Parse({L"play", L"--last", L"a.sch"}).IsOk());
    EXPECT_FALSE(Parse({L"play", L"a.sch", L"b.sch"}).IsOk());
    EXPECT_FALSE(Parse({L"play", L""}).IsOk());
    // The mods a selection needs are added only to a selection.
    EXPECT_TRUE(Parse({L"play", L"--with-requirements", L"--last"})->withRequirements);
    EXPECT_FALSE(Parse({L"play", L"--with-requirements"}).IsOk());
    EXPECT_FALSE(Parse({L"--with-requirements", L"play", L"--last"}).IsOk());
}

TEST(CommandLineTest, SortTakesOneSet) {
    EXPECT_EQ(Parse({L"sort", L"my set.sch"})->sortPath, L"my set.sch");
    for (const std::vector<std::wstring>& bad : std::vector<std::vector<std::wstring>>{
             {L"sort"}, {L"sort", L"a.sch", L"b.sch"}, {L"sort", L"a.sch", L"--last"}, {L"sort", L""}})
        EXPECT_FALSE(Parse(bad).IsOk()) << bad.size();
}

TEST(CommandLineTest, ShareImportAndReportTakeOneSelectionAndTheirOwnOptions) {
    const Result<CommandLine> share = Parse({L"share"});
    EXPECT_EQ(share->command, CliCommand::Share);
    EXPECT_FALSE(share->setPath || share->last);
    EXPECT_EQ(Parse({L"share", L"a.sch"})->setPath, L"a.sch");
    const Result<CommandLine> report = Parse({L"report", L"--last", L"--markdown"});
    EXPECT_TRUE(report->last && report->markdown);
    const Result<CommandLine> import = Parse({L"import", L"--save=b", L"GH1-AA"});
    EXPECT_EQ(import->code, L"GH1-AA");
    EXPECT_EQ(import->savePath, L"b");
    EXPECT_EQ(Parse({L"play", L"--code", L"GH1-AA"})->code, L"GH1-AA");

    const std::vector<std::vector<std::wstring>> bad{
        {L"share", L"a", L"b"},
        {L"share", L"a", L"--last"},
        {L"report", L"--json"},
        {L"share", L"--markdown"},
        {L"import", L"C"},
        {L"import", L"--save", L"x"},
        {L"import", L"C", L"D", L"--save", L"x"},
        {L"import", L"C", L"--save", L"x", L"--save", L"y"},
        {L"play", L"--code", L"C", L"--last"},
        {L"play", L"a.sch", L"--code", L"C"},
        {L"play", L"--code"},
        {L"list", L"--code", L"C"},
        {L"import", L"", L"--save", L"x"},
    };
    for (const auto& args : bad) EXPECT_FALSE(Parse(args).IsOk()) << args.size() << " arguments";
}

TEST(CommandLineTest, SyncTimeOutInSeconds) {
    EXPECT_EQ(Parse({L"sync"})->timeoutMs, 300'000);
    EXPECT_EQ(Parse({L"sync", L"--timeout", L"2"})->timeoutMs, 2000);
    EXPECT_EQ(Parse({L"sync", L"--timeout=0.25"})->timeoutMs, 250);
    EXPECT_EQ(Parse({L"sync", L"--timeout", L"0"})->timeoutMs, 0);
    for (const wchar_t* bad : {L"", L"-1", L"1e3", L"two", L"1.2.3", L".", L"99999999999999999999"})
        EXPECT_FALSE(Parse({L"sync", L"--timeout", bad}).IsOk()) << "accepted " << std::wstring(bad).size();
}

TEST(CommandLineTest, HelpAndVersionWinOverWhatFollows) {
    EXPECT_EQ(Parse({L"--help", L"--bogus"})->command, CliCommand::Help);
    EXPECT_EQ(Parse({L"list", L"--version"})->command, CliCommand::Version);
}

TEST(CommandLineTest, AnythingNotUnderstoodIsAnError) {
    const std::vector<std::vector<std::wstring>> bad{
        {L"--bogus"},         {L"start"},           {L"list", L"extra"},     {L"list", L"--last"},
        {L"--json", L"list"}, {L"play", L"--json"}, {L"sync", L"--timeout"}, {L"--documents"},
        {L"--runner="},       {L"list", L"sync"},   {L"--help=yes"},         {L"-x"},
        {L"li\nst"},          {L"--bad\noption"},
    };
    for (const auto& args : bad) {
        const Result<CommandLine> parse = Parse(args);
        EXPECT_FALSE(parse.IsOk()) << "accepted " << args.size() << " arguments starting with a " << args.front().size()
                                   << "-character word";
        EXPECT_FALSE(parse.Error().Text().empty());
        EXPECT_EQ(parse.Error().Text().find(L'\n'), std::wstring::npos);
    }
}

// What the launcher reads of a command line that Steam's launch options
// extended with the game's own: everything up to the game's executable,
// unless that argument is an option's value or the file inspect reads.
TEST(CommandLineTest, TheGamesCommandLineStartsAtTheGameThatNoOptionOrInspectTakes) {
    const std::wstring game = L"C:\\Games\\Emberwake II\\Emberwake2.exe";
    using Text = std::optional<std::wstring>;
    struct Case {
        std::vector<std::wstring> args;
        CliCommand command;
        Text documents;
        std::wstring runner;
        Text setPath, inspectPath;
    };
    const Case cases[] = {
        {{game, L"-windowed"}, CliCommand::Launcher},
        {{L"play", game, L"-windowed"}, CliCommand::Play},
        {{L"play", L"my.sch", L"/games/EMBERWAKE2.EXE", L"x.sch"}, CliCommand::Play, {}, {}, L"my.sch"},
        {{L"--documents", L"/x/Emberwake2.exe", L"list", game, L"--bogus"}, CliCommand::List, L"/x/Emberwake2.exe"},
        {{L"--documents=/x/Emberwake2.exe", L"play", game}, CliCommand::Play, L"/x/Emberwake2.exe"},
        {{L"--runner", L"Emberwake2.exe", L"play", game}, CliCommand::Play, {}, L"Emberwake2.exe"},
        {{L"inspect", L"/x/Emberwake2.exe", game, L"extra"}, CliCommand::Inspect, {}, {}, {}, L"/x/Emberwake2.exe"},
        {{L"inspect", L"--json", L"emberwake2.EXE"}, CliCommand::Inspect, {}, {}, {}, L"emberwake2.EXE"},
    };
    for (const Case& c : cases) {
        const Result<CommandLine> parse = Parse(c.args);
        const std::string context = WideToUtf8(c.args[0] + L" " + c.args[1]);
        ASSERT_TRUE(parse.IsOk()) << context << ": " << WideToUtf8(parse.Error().Text());
        EXPECT_EQ(parse->command, c.command) << context;
        EXPECT_EQ(parse->options.documents, c.documents) << context;
        EXPECT_EQ(parse->options.runner, c.runner) << context;
        EXPECT_EQ(parse->setPath, c.setPath) << context;
        EXPECT_EQ(parse->inspectPath, c.inspectPath) << context;
    }
    // Only the game's own name starts its command line.
    EXPECT_FALSE(Parse({L"list", L"Emberwake2.exe.bak"}).IsOk());
    EXPECT_FALSE(Parse({L"list", L"/x/Emberwake2.exe/x"}).IsOk());
}

}  // namespace
}  // namespace gh
