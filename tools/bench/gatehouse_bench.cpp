// The performance benchmark of the whole launcher on a stress tree of many
// mods (StressTree.h), against a plain walk that lists the same tree and
// reads the first 4 KiB of every file with bare system calls:
//
//   gatehouse_bench [--mods N] [--folders F] [--rounds R] [--tree DIR]
//                   [--gatehouse EXE] [--probe EXE] [--no-window] [--no-sync]
//                   [--startup-against OLD-EXE [--startup-runs N]]
//                   [--sync-against OLD-EXE [--sync-runs N]]
//
// With --startup-against, it compares the start-up of two builds instead:
// `--version` and `list` on the tree, each run N times (31 by default) by
// either executable in turn, and prints the medians and their ratios.
// With --sync-against, it compares the Workshop sync of two builds and
// times the reading of a Workshop record of 10,000 subscriptions instead,
// without a stress tree (SyncComparison.h): an up-to-date sync of 50
// subscriptions run N times (31 by default) by either executable in turn,
// whether it leaves the record as it was, and the link and rename calls of
// an update of one subscription under strace.
//
// Every round times each figure once, in the same order, so that a machine
// shared with others slows all figures alike; the table gives the median of
// each figure over the rounds and the median of its per-round ratio to the
// plain walk, and a verdict per goal. A first round warms the file cache
// and is not counted. The figures:
//   - the catalogue build, the status of every row and the problem report
//     of every row, in this process; the last two also on the tree's
//     records twice over, to show that they grow linearly;
//   - `gatehouse list --json` and `gatehouse list`, the real executable as
//     a child with its output to /dev/null, and the peak memory of
//     `list --json` above that of `gatehouse --version`;
//   - the mod manager (gatehouse_manager_probe, needs a display): from the
//     play click to the list painted and idle, and moving the highlight,
//     checking a row and scrolling a page;
//   - once, a sync of 50 subscriptions from a local Workshop under strace:
//     the folder listings and file status calls it makes below the
//     documents folder;
//   - a sync of 1,000 subscriptions from a local Workshop, all up to date,
//     500 single files and 500 items in folders of 3 files each: the sync in
//     this process (from the request of the list to its last line, the
//     local Workshop's own work included, its start not) against a plain
//     stat() of every one of the 2,000 target files, each round; then once
//     `gatehouse sync` as a child, for its peak memory above that of
//     `gatehouse --version`, and under strace, for its status calls per
//     target file.
// The tree is written to DIR (kept and reused while its shape is the same)
// or to a temporary folder that is removed afterwards.
#include "BenchProcess.h"
#include "StressTree.h"
#include "SyncComparison.h"
#include "SyncWorld.h"

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "game/GameFolders.h"
#include "game/GameVersion.h"
#include "game/PathText.h"
#include "platform/Clock.h"
#include "workshop/LocalWorkshop.h"
#include "workshop/WorkshopSync.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using gh::bench::ChildRun;
using gh::bench::Clock;
using gh::bench::Format;
using gh::bench::Median;
using gh::bench::Milliseconds;
using gh::bench::OnPath;
using gh::bench::RunChild;
using gh::bench::Verdict;

std::string Narrow(const std::wstring& wide) { return fs::path(wide).string(); }

// --- the plain walk -------------------------------------------------------------

void PlainWalk(const std::string& folder, std::size_t& files, std::size_t& bytes) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> subfolders;
    char buffer[4096];
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        const std::string path = folder + "/" + e->d_name;
        if (e->d_type == DT_DIR) {
            subfolders.push_back(path);
            continue;
        }
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        close(fd);
        if (n > 0) bytes += static_cast<std::size_t>(n);
        ++files;
    }
    closedir(dir);
    for (const std::string& sub : subfolders) PlainWalk(sub, files, bytes);
}

// --- child processes ------------------------------------------------------------

// A child's peak resident memory as wait4 reports it counts the memory of
// the process it was started from, up to its exec, and the benchmark holds
// whole catalogues. So the measured programs are started by a fresh, small
// copy of this program (MeasureChildMain), which times and waits for them.
constexpr const char* kMeasureChild = "--measure-child";

int MeasureChildMain(char** argv) {
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execvp(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return 1;
    std::printf("status=%d ms=%.3f kb=%ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                Milliseconds(Clock::now() - start), usage.ru_maxrss);
    return 0;
}

// Runs `args` through MeasureChildMain, its output to /dev/null.
ChildRun MeasureChild(const std::vector<std::string>& args) {
    std::vector<std::string> full = {fs::read_symlink("/proc/self/exe").string(), kMeasureChild};
    full.insert(full.end(), args.begin(), args.end());
    const ChildRun helper = RunChild(full, true);
    ChildRun run;
    long status = -1;
    double ms = 0;
    long kb = 0;
    if (helper.status == 0 && std::sscanf(helper.out.c_str(), "status=%ld ms=%lf kb=%ld", &status, &ms, &kb) == 3) {
        run.status = static_cast<int>(status);
        run.ms = ms;
        run.peakKb = kb;
    }
    return run;
}

// --- the figures ------------------------------------------------------------------

struct Figures {
    std::map<std::string, std::vector<double>> values;  // per round
    void Add(const std::string& name, double value) { values[name].push_back(value); }
    double MedianOf(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? 0 : Median(it->second);
    }
    bool Has(const std::string& name) const { return values.count(name) != 0; }
    // The median of the per-round ratios of `name` to the plain walk.
    double Ratio(const std::string& name) const {
        const auto it = values.find(name);
        const auto base = values.find("plain walk");
        if (it == values.end() || base == values.end()) return 0;
        std::vector<double> ratios;
        for (std::size_t i = 0; i < it->second.size() && i < base->second.size(); ++i)
            if (base->second[i] > 0) ratios.push_back(it->second[i] / base->second[i]);
        return Median(ratios);
    }
};

struct Options {
    int mods = 10000;
    int folders = 200;
    int rounds = 5;
    std::string tree;
    std::string gatehouse = GH_GATEHOUSE_EXE;
    std::string probe = GH_PROBE_EXE;
    bool window = true;
    bool sync = true;
    std::string startupAgainst;  // an older build's executable to compare start-up with
    int startupRuns = 31;
    std::string syncAgainst;  // an older build's executable to compare the sync with
    int syncRuns = 31;
};

// The catalogue's records twice: the second copy's guids (and the guids its
// requirements name) moved out of the way, so that it forms the same graph
// beside the first.
std::vector<gh::ModInfo> RecordsTwice(const gh::CModCatalogue& catalogue) {
    constexpr std::int64_t kShift = 1'000'000'000;
    std::vector<gh::ModInfo> records;
    records.reserve(2 * catalogue.Count());
    for (std::size_t i = 0; i < catalogue.Count(); ++i) records.push_back(catalogue.At(i));
    for (std::size_t i = 0; i < catalogue.Count(); ++i) {
        gh::ModInfo copy = catalogue.At(i);
        copy.guid += kShift;
        for (gh::CModRequirement& requirement : copy.requirements) requirement.guid += kShift;
        records.push_back(std::move(copy));
    }
    return records;
}

struct StatusTally {
    std::size_t counts[4] = {0, 0, 0, 0};
};

StatusTally StatusPass(const gh::CModCatalogue& catalogue) {
    StatusTally tally;
    const gh::CModRows rows(catalogue, gh::GameVersionParts{1, 25, 5, 2});
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const std::int32_t status = rows.StatusOf(row);
        if (status >= 0 && status < 4) ++tally.counts[status];
    }
    return tally;
}

std::size_t ProblemReports(const gh::CModRows& rows) {
    std::size_t entries = 0;
    for (std::size_t row = 0; row < rows.RowCount(); ++row)
        for (const gh::RequirementProblem& problem : rows.ProblemsOf(row))
            entries += 1 + (problem.installed != nullptr) + problem.highestVersion % 2;
    return entries;
}

// The probe's "key=value" pairs.
std::map<std::string, double> ParseProbe(const std::string& text) {
    std::map<std::string, double> values;
    static const std::regex pair(R"(([a-z_]+)=([0-9.]+))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pair); it != std::sregex_iterator(); ++it)
        values[(*it)[1]] = std::atof((*it)[2].str().c_str());
    return values;
}

// --- the sync under strace ------------------------------------------------------

struct SyncCount {
    bool ran = false;
    int exitStatus = -1;
    std::size_t listings = 0, stats = 0;
    std::size_t folders = 0, files = 0;  // distinct paths listed or looked at
    std::size_t maxListingsPerFolder = 0, maxStatsPerPath = 0;
};

constexpr int kSubscriptions = 50;

// A local Workshop of 50 items in five folders: the first sync finds 20 of
// them missing, 10 older than the Workshop's and 20 up to date; the second
// finds all of them up to date.
void MakeSyncWorld(const fs::path& root) {
    std::error_code ec;
    fs::remove_all(root, ec);
    std::vector<gh::bench::BenchFileItem> items;
    for (int k = 0; k < kSubscriptions; ++k) {
        const std::string name = "mods/Sync " + std::to_string(k % 5) + "/synced_" + std::to_string(k) + ".mod";
        items.push_back({static_cast<std::uint64_t>(k + 1), name, std::string(2000 + k, 'w')});
        // Present: up to date, or for the first ten, older than the Workshop's.
        if (k % 5 >= 2 || k < 10)
            gh::bench::WriteGameFile(root, name, "old",
                                     k < 10 ? gh::bench::kWorkshopTime - 100 : gh::bench::kWorkshopTime + 100);
    }
    gh::bench::WriteLocalWorkshop(root, items);
}

SyncCount CountSyncCalls(const Options& options, const fs::path& root) {
    SyncCount count;
    const std::string trace = (root / "strace.txt").string();
    // -y names each descriptor's path, so that the reads of a folder's
    // entries can be told by folder.
    std::vector<std::string> args = {"strace",
                                     "-f",
                                     "-qq",
                                     "-y",
                                     "-o",
                                     trace,
                                     "-e",
                                     "trace=getdents64,openat,open,stat,lstat,newfstatat,statx,access,faccessat,"
                                     "faccessat2"};
    const std::vector<std::string> sync = gh::bench::SyncCommand(options.gatehouse, root);
    args.insert(args.end(), sync.begin(), sync.end());
    const ChildRun run = RunChild(args, false);
    count.ran = true;
    count.exitStatus = run.status;
    const std::string below = (root / "documents").string();
    std::map<std::string, std::size_t> listings, stats;
    std::ifstream in(trace);
    std::string line;
    // A listing is a read of a folder's entries to their end: the call that
    // returns 0. (Opening a folder, to sync it to the disk, is not one.) A
    // status call is any of the calls traced but the opens, by path.
    static const std::regex listingEnd(R"re(getdents64\(\d+<([^>]*)>.*= 0$)re");
    static const std::regex call(R"re((\w+)\((?:AT_FDCWD(?:<[^>]*>)?, )?"([^"]*)"(.*))re");
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_search(line, m, listingEnd)) {
            if (m[1].str().rfind(below, 0) == 0) ++listings[m[1]];
            continue;
        }
        if (!std::regex_search(line, m, call)) continue;
        const std::string name = m[1], path = m[2];
        if (path.rfind(below, 0) != 0) continue;
        if (name != "openat" && name != "open") ++stats[path];
    }
    for (const auto& [path, n] : listings) {
        count.listings += n;
        count.maxListingsPerFolder = std::max(count.maxListingsPerFolder, n);
    }
    for (const auto& [path, n] : stats) {
        count.stats += n;
        count.maxStatsPerPath = std::max(count.maxStatsPerPath, n);
    }
    count.folders = listings.size();
    count.files = stats.size();
    return count;
}

// --- the sync of 1,000 subscriptions ------------------------------------------------

constexpr int kFileItems = 500;
constexpr int kFolderItems = 500;
constexpr int kFilesPerItem = 3;

// The local Workshop and documents folder of the sync of 1,000, and the
// target file of every subscription's every file.
std::vector<std::string> MakeThousandSyncWorld(const fs::path& root) {
    std::error_code ec;
    fs::remove_all(root, ec);
    constexpr long kNewer = gh::bench::kWorkshopTime + 100;  // the local files are newer than the Workshop's
    std::vector<std::string> targets;
    std::vector<gh::bench::BenchFileItem> files;
    for (int k = 0; k < kFileItems; ++k) {
        const std::string name = "mods/Bench " + std::to_string(k % 10) + "/file_" + std::to_string(k) + ".mod";
        files.push_back({static_cast<std::uint64_t>(100000 + k), name, std::string(300 + k % 50, 'f')});
        targets.push_back(gh::bench::WriteGameFile(root, name, files.back().bytes, kNewer));
    }
    std::vector<gh::bench::BenchFolderItem> folders;
    for (int k = 0; k < kFolderItems; ++k) {
        gh::bench::BenchFolderItem& item = folders.emplace_back();
        item.id = static_cast<std::uint64_t>(200000 + k);
        for (int f = 0; f < kFilesPerItem; ++f) {
            const std::string file = f == 0 ? "item.mod" : "data_" + std::to_string(f) + ".bin";
            const std::string bytes(200 + f * 100, static_cast<char>('a' + f));
            item.files.emplace_back(file, bytes);
            targets.push_back(gh::bench::WriteGameFile(
                root, "mods/workshop-items/" + std::to_string(item.id) + "/" + file, bytes, kNewer));
        }
    }
    gh::bench::WriteLocalWorkshop(root, files, folders);
    return targets;
}

double PlainStatPass(const std::vector<std::string>& targets, std::size_t& found) {
    found = 0;
    const Clock::time_point start = Clock::now();
    for (const std::string& path : targets) {
        struct stat st {};
        if (stat(path.c_str(), &st) == 0) ++found;
    }
    return Milliseconds(Clock::now() - start);
}

// Takes note of the last words only.
class CCountingSyncView final : public gh::ISyncView {
public:
    void OnSyncEvent(const gh::SyncEvent& event) override {
        if (event.kind == gh::SyncEventKind::UpToDate) ++upToDate;
        if (event.kind == gh::SyncEventKind::AllUpToDate) ended = true;
    }
    void OnDownloadProgress(const std::wstring&, std::int64_t, std::int64_t) override {}
    void SetProgressRange(int, int upper) override { m_upper = upper; }
    void SetProgressPos(int) override {}
    int GetProgressUpper() const override { return m_upper; }
    void EnablePlayWithMods(bool) override {}
    int upToDate = 0;
    bool ended = false;

private:
    int m_upper = 100;
};

// The sync in this process, pumped as the command line pumps it but
// without its pauses: milliseconds from the list's request to the last line.
double SyncInProcess(const fs::path& root, bool& allUpToDate) {
    gh::CLocalWorkshop workshop((root / "workshop").wstring());
    allUpToDate = false;
    if (!workshop.Init()) return 0;
    const gh::CGameFolders folders((root / "game" / "gatehouse").wstring(), (root / "documents").wstring());
    CCountingSyncView view;
    const Clock::time_point start = Clock::now();
    {
        gh::CWorkshopSync sync(workshop, view, folders);
        if (sync.StartSync())
            while (sync.HasPendingRequests()) sync.Pump(gh::platform::SystemTimeAsFileTime());
        allUpToDate =
            view.ended && view.upToDate == kFileItems + kFolderItems && sync.Outcome() == gh::SyncOutcome::UpToDate;
    }
    return Milliseconds(Clock::now() - start);
}

// --- the table ---------------------------------------------------------------------

void Row(const char* figure, const std::string& value, const std::string& ratio, const std::string& goal,
         const std::string& verdict) {
    std::printf("%-36s %-30s %-8s %-18s %s\n", figure, value.c_str(), ratio.c_str(), goal.c_str(), verdict.c_str());
}

// Start-up of this build against an older one: `--version` and `list` on
// the tree, the two executables taking turns so that a busy machine slows
// both alike. 0 when neither figure is more than 5% slower.
int CompareStartup(const Options& options, const std::vector<std::string>& folders) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
    };
    const Case cases[] = {{"gatehouse --version", {"--version"}}, {"gatehouse list (tree)", {"list"}}};
    const std::string programs[] = {options.gatehouse, options.startupAgainst};
    std::map<std::string, std::vector<double>> times[2];
    for (int run = 0; run <= options.startupRuns; ++run) {
        for (const Case& c : cases) {
            // Each goes first in every other run, so neither always follows
            // the other's heavier run.
            for (int turn = 0; turn < 2; ++turn) {
                const int which = (run + turn) % 2;
                std::vector<std::string> args = {programs[which]};
                if (c.args.front() != "--version") args.insert(args.end(), folders.begin(), folders.end());
                args.insert(args.end(), c.args.begin(), c.args.end());
                const ChildRun child = RunChild(args, false);
                if (child.status != 0) {
                    std::fprintf(stderr, "gatehouse_bench: %s failed (%d)\n", programs[which].c_str(), child.status);
                    return 1;
                }
                if (run > 0) times[which][c.name].push_back(child.ms);  // run 0 warms the caches
            }
        }
    }
    std::printf("%d runs each, interleaved; medians\n", options.startupRuns);
    std::printf("%-24s %12s %12s %8s  %s\n", "figure", "this build", "older build", "ratio", "goal <= 1.05");
    bool ok = true;
    for (const Case& c : cases) {
        const double now = Median(times[0][c.name]);
        const double before = Median(times[1][c.name]);
        const double ratio = before > 0 ? now / before : 0;
        ok = ok && ratio <= 1.05;
        std::printf("%-24s %9.2f ms %9.2f ms %8.3f  %s\n", c.name, now, before, ratio, ratio <= 1.05 ? "PASS" : "FAIL");
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], kMeasureChild) == 0) return MeasureChildMain(argv + 2);
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "gatehouse_bench: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--mods")
            options.mods = std::max(10, std::atoi(value().c_str()));
        else if (arg == "--folders")
            options.folders = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--rounds")
            options.rounds = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--tree")
            options.tree = value();
        else if (arg == "--gatehouse")
            options.gatehouse = value();
        else if (arg == "--probe")
            options.probe = value();
        else if (arg == "--no-window")
            options.window = false;
        else if (arg == "--no-sync")
            options.sync = false;
        else if (arg == "--startup-against")
            options.startupAgainst = value();
        else if (arg == "--startup-runs")
            options.startupRuns = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--sync-against")
            options.syncAgainst = value();
        else if (arg == "--sync-runs")
            options.syncRuns = std::max(1, std::atoi(value().c_str()));
        else {
            std::fprintf(stderr,
                         "usage: gatehouse_bench [--mods N] [--folders F] [--rounds R] [--tree DIR] "
                         "[--gatehouse EXE] [--probe EXE] [--no-window] [--no-sync] "
                         "[--startup-against OLD-EXE [--startup-runs N]] [--sync-against OLD-EXE [--sync-runs N]]\n");
            return 2;
        }
    }
    if (!options.syncAgainst.empty()) {
        // Needs no stress tree: its worlds go below --tree, or to a temporary folder.
        const fs::path folder = options.tree.empty()
                                    ? fs::temp_directory_path() / ("gatehouse-bench-sync-" + std::to_string(getpid()))
                                    : fs::absolute(options.tree) / "sync-against";
        return gh::bench::CompareSync({options.gatehouse, options.syncAgainst, options.syncRuns, folder});
    }
    const bool temporary = options.tree.empty();
    const fs::path root = temporary ? fs::temp_directory_path() / ("gatehouse-bench-" + std::to_string(getpid()))
                                    : fs::absolute(options.tree);
    gh::bench::StressTree tree;
    std::fprintf(stderr, "gatehouse_bench: making the tree of %d mods in %s\n", options.mods, root.c_str());
    if (!gh::bench::MakeStressTree(root.wstring(), options.mods, options.folders, tree)) {
        std::fprintf(stderr, "gatehouse_bench: could not write the tree below %s\n", root.c_str());
        return 1;
    }
    const std::string modsFolder = Narrow(tree.mods);
    const std::wstring canonicalMods = gh::ToUpper(tree.mods);  // as the launcher names it
    const std::vector<std::string> common = {options.gatehouse, "--documents", Narrow(tree.documents), "--game-folder",
                                             Narrow(tree.game)};
    auto command = [&](std::initializer_list<std::string> rest) {
        std::vector<std::string> args = common;
        args.insert(args.end(), rest);
        return args;
    };
    const bool window = options.window && std::getenv("DISPLAY") && access(options.probe.c_str(), X_OK) == 0;
    if (!options.startupAgainst.empty())
        return CompareStartup(options, {"--documents", Narrow(tree.documents), "--game-folder", Narrow(tree.game)});

    // The sync of 1,000, timed in every round beside its plain stat pass.
    const fs::path thousandRoot = root / "sync-1000";
    std::vector<std::string> thousandTargets;
    if (options.sync) thousandTargets = MakeThousandSyncWorld(thousandRoot);
    bool thousandOk = options.sync;
    std::size_t thousandFound = 0;

    Figures figures;
    StatusTally tally;
    std::size_t catalogueCount = 0, reportEntries = 0, walkedFiles = 0;
    long versionKb = 0, listKb = 0;
    bool childrenOk = true;
    std::string probeFailure;
    for (int round = 0; round <= options.rounds; ++round) {
        const bool counted = round > 0;  // round 0 warms the cache
        const auto note = [&](const std::string& name, double value) {
            if (counted) figures.Add(name, value);
        };
        {
            std::size_t files = 0, bytes = 0;
            const Clock::time_point start = Clock::now();
            PlainWalk(modsFolder.substr(0, modsFolder.size() - 1), files, bytes);
            note("plain walk", Milliseconds(Clock::now() - start));
            walkedFiles = files;
        }
        std::optional<gh::CModCatalogue> catalogue;
        {
            const Clock::time_point start = Clock::now();
            catalogue.emplace(canonicalMods);
            note("catalogue build", Milliseconds(Clock::now() - start));
            catalogueCount = catalogue->Count();
        }
        {
            const Clock::time_point start = Clock::now();
            tally = StatusPass(*catalogue);
            note("status pass", Milliseconds(Clock::now() - start));
        }
        {
            const gh::CModRows rows(*catalogue, gh::GameVersionParts{1, 25, 5, 2});
            const Clock::time_point start = Clock::now();
            reportEntries = ProblemReports(rows);
            note("problem reports", Milliseconds(Clock::now() - start));
        }
        {
            const gh::CModCatalogue twice(RecordsTwice(*catalogue));
            Clock::time_point start = Clock::now();
            StatusPass(twice);
            note("status pass x2", Milliseconds(Clock::now() - start));
            const gh::CModRows rows(twice, gh::GameVersionParts{1, 25, 5, 2});
            start = Clock::now();
            ProblemReports(rows);
            note("problem reports x2", Milliseconds(Clock::now() - start));
        }
        catalogue.reset();
        {
            const ChildRun run = MeasureChild(command({"list", "--json"}));
            note("list --json", run.ms);
            listKb = run.peakKb;
            childrenOk &= run.status == 0;
        }
        {
            const ChildRun run = MeasureChild(command({"list"}));
            note("list", run.ms);
            childrenOk &= run.status == 0;
        }
        {
            const ChildRun run = MeasureChild(command({"--version"}));
            note("gatehouse --version", run.ms);
            versionKb = run.peakKb;
            childrenOk &= run.status == 0;
        }
        if (counted) {
            figures.Add("list --json KB", static_cast<double>(listKb));
            figures.Add("--version KB", static_cast<double>(versionKb));
        }
        if (window) {
            const auto spawned = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch());
            std::vector<std::string> args = {
                options.probe,     "--documents",  Narrow(tree.documents),         "--game-folder",
                Narrow(tree.game), "--spawned-at", std::to_string(spawned.count())};
            const ChildRun run = RunChild(args, true);
            const std::map<std::string, double> probe = ParseProbe(run.out);
            if (run.status != 0 || !probe.count("click_ms")) {
                probeFailure = "the probe failed (status " + std::to_string(run.status) + ")";
            } else {
                for (const char* key : {"click_ms", "click_cpu_ms", "construct_ms", "start_ms", "highlight_ms",
                                        "highlight_max_ms", "highlight_cpu_ms", "check_ms", "check_max_ms",
                                        "check_cpu_ms", "scroll_ms", "scroll_max_ms", "scroll_cpu_ms"})
                    if (probe.count(key)) note(std::string("window ") + key, probe.at(key));
            }
        }
        if (options.sync) {
            note("thousand stat", PlainStatPass(thousandTargets, thousandFound));
            bool upToDate = false;
            note("thousand sync", SyncInProcess(thousandRoot, upToDate));
            thousandOk &= upToDate && thousandFound == thousandTargets.size();
        }
        std::fprintf(stderr, "gatehouse_bench: round %d of %d done\n", round, options.rounds);
    }

    ChildRun thousandChild;
    SyncCount thousandCalls;
    if (options.sync) {
        thousandChild = MeasureChild(gh::bench::SyncCommand(options.gatehouse, thousandRoot));
        thousandOk &= thousandChild.status == 0;
        if (OnPath("strace")) thousandCalls = CountSyncCalls(options, thousandRoot);
    }

    SyncCount sync;
    if (options.sync && OnPath("strace")) {
        const fs::path syncRoot = root / "sync";
        MakeSyncWorld(syncRoot);
        sync = CountSyncCalls(options, syncRoot);
        SyncCount again = CountSyncCalls(options, syncRoot);
        // The verdict takes the worse of the two syncs.
        sync.maxListingsPerFolder = std::max(sync.maxListingsPerFolder, again.maxListingsPerFolder);
        sync.maxStatsPerPath = std::max(sync.maxStatsPerPath, again.maxStatsPerPath);
        std::printf("sync, second run (all up to date): %zu listings of %zu folders, %zu status calls on %zu paths\n",
                    again.listings, again.folders, again.stats, again.files);
        std::error_code ec;
        fs::remove_all(syncRoot, ec);
    }

    // --- the table ---
    const gh::bench::StressCounts& e = tree.expected;
    std::printf(
        "\nGatehouse benchmark: %d mods in %d folders (%d usable, %d built for another game version, "
        "%d missing and %d outdated requirements; %lld requirements), %d rounds interleaved, medians\n",
        e.mods, e.folders, e.usable, e.wrongGameVersion, e.missing, e.outdated, static_cast<long long>(e.requirements),
        options.rounds);
    const bool treeOk = walkedFiles == static_cast<std::size_t>(e.mods) &&
                        catalogueCount == static_cast<std::size_t>(e.mods) &&
                        tally.counts[0] == static_cast<std::size_t>(e.usable) &&
                        tally.counts[1] == static_cast<std::size_t>(e.wrongGameVersion) &&
                        tally.counts[2] == static_cast<std::size_t>(e.missing) &&
                        tally.counts[3] == static_cast<std::size_t>(e.outdated);
    std::printf("tree check: %zu files walked, %zu records, statuses %zu/%zu/%zu/%zu, %zu report entries: %s\n",
                walkedFiles, catalogueCount, tally.counts[0], tally.counts[1], tally.counts[2], tally.counts[3],
                reportEntries, treeOk ? "as made" : "NOT AS MADE");
    if (!childrenOk) std::printf("a gatehouse run ended with a status other than 0\n");
    std::printf("\n");
    Row("figure", "median", "/ walk", "goal", "verdict");
    const auto time = [&](const char* figure, const std::string& name, double limit) {
        const double ratio = figures.Ratio(name);
        const bool pass = limit <= 0 || ratio <= limit;
        const double median = figures.MedianOf(name);
        Row(figure, Format(median < 10 ? "%.3f ms" : "%.1f ms", median), Format(ratio < 0.1 ? "%.4f" : "%.2f", ratio),
            limit > 0 ? Format("<= %.1f x walk", limit) : "", limit > 0 ? Verdict(pass) : "");
        return pass;
    };
    time("plain walk", "plain walk", 0);
    const bool buildOk = time("catalogue build", "catalogue build", 1.3);
    time("status of every row", "status pass", 0);
    time("problem report of every row", "problem reports", 0);
    const auto growth = [&](const char* figure, const std::string& name) {
        const std::vector<double>& once = figures.values[name];
        const std::vector<double>& twice = figures.values[name + " x2"];
        std::vector<double> ratios;
        for (std::size_t i = 0; i < once.size() && i < twice.size(); ++i)
            if (once[i] > 0) ratios.push_back(twice[i] / once[i]);
        const double growthRatio = Median(ratios);
        const bool pass = growthRatio <= 2.5;
        Row(figure, Format("%.2f x", growthRatio), "", "<= 2.5 (linear)", Verdict(pass));
        return pass;
    };
    const bool statusLinear = growth("  statuses, twice the mods", "status pass");
    const bool reportsLinear = growth("  reports, twice the mods", "problem reports");
    const bool jsonOk = time("list --json", "list --json", 2.0);
    const bool listOk = time("list", "list", 2.0);
    time("  (gatehouse --version)", "gatehouse --version", 0);
    const double perModBytes =
        (figures.MedianOf("list --json KB") - figures.MedianOf("--version KB")) * 1024 / std::max(1, e.mods);
    const bool memoryOk = perModBytes <= 2048;
    Row("list --json peak memory per mod", Format("%.0f bytes", perModBytes), "", "<= 2048 bytes", Verdict(memoryOk));
    Row("  (peak RSS, --version RSS)",
        Format("%.0f KB", figures.MedianOf("list --json KB")) + Format(", %.0f KB", figures.MedianOf("--version KB")),
        "", "", "");

    bool windowOk = false;
    const bool windowMeasured = figures.Has("window click_ms");
    if (windowMeasured) {
        const auto absolute = [&](const char* figure, const std::string& name, double limit) {
            const bool pass = figures.MedianOf(name) <= limit;
            Row(figure, Format("%.1f ms", figures.MedianOf(name)), Format("%.2f", figures.Ratio(name)),
                Format("<= %.0f ms", limit), Verdict(pass));
            return pass;
        };
        // The verdict takes the median of each round's median; the slowest
        // of a round and the processor time are shown beside it.
        const auto interaction = [&](const char* figure, const std::string& name) {
            const bool pass = figures.MedianOf(name + "_ms") <= 16;
            Row(figure,
                Format("%.2f ms", figures.MedianOf(name + "_ms")) +
                    Format(" (max %.1f, cpu ", figures.MedianOf(name + "_max_ms")) +
                    Format("%.2f)", figures.MedianOf(name + "_cpu_ms")),
                "", "<= 16 ms", Verdict(pass));
            return pass;
        };
        windowOk = absolute("manager: play click to usable", "window click_ms", 500);
        Row("  processor time of this process", Format("%.1f ms", figures.MedianOf("window click_cpu_ms")),
            Format("%.2f", figures.Ratio("window click_cpu_ms")), "", "");
        Row("  of which the construction", Format("%.1f ms", figures.MedianOf("window construct_ms")),
            Format("%.2f", figures.Ratio("window construct_ms")), "", "");
        Row("manager: process start to usable", Format("%.1f ms", figures.MedianOf("window start_ms")),
            Format("%.2f", figures.Ratio("window start_ms")), "", "");
        windowOk &= interaction("manager: move the highlight", "window highlight");
        windowOk &= interaction("manager: check a row", "window check");
        windowOk &= interaction("manager: scroll a page", "window scroll");
    } else {
        Row("manager window", window ? probeFailure : "not measured (no display or no probe)", "", "", "");
    }
    const bool syncOk = sync.ran && sync.exitStatus == 0 && sync.maxListingsPerFolder <= 1 && sync.maxStatsPerPath <= 1;
    if (sync.ran) {
        Row("sync of 50: listings per folder", Format("max %.0f", static_cast<double>(sync.maxListingsPerFolder)), "",
            "<= 1", Verdict(sync.maxListingsPerFolder <= 1));
        Row("sync of 50: status calls per path", Format("max %.0f", static_cast<double>(sync.maxStatsPerPath)), "",
            "<= 1", Verdict(sync.maxStatsPerPath <= 1));
        std::printf("  first sync: %zu listings of %zu folders, %zu status calls on %zu paths, exit status %d\n",
                    sync.listings, sync.folders, sync.stats, sync.files, sync.exitStatus);
    } else {
        Row("sync of 50", "not measured (no strace)", "", "", "");
    }
    bool thousandTimeOk = false, thousandCallsOk = false, thousandMemoryOk = false;
    if (options.sync) {
        // The ratio of the sync to its own plain stat pass, round by round.
        std::vector<double> ratios;
        const auto& syncs = figures.values["thousand sync"];
        const auto& stats = figures.values["thousand stat"];
        for (std::size_t i = 0; i < syncs.size() && i < stats.size(); ++i)
            if (stats[i] > 0) ratios.push_back(syncs[i] / stats[i]);
        const double ratio = Median(ratios);
        thousandTimeOk = thousandOk && ratio <= 2.0;
        const std::size_t targetCount = thousandTargets.size();
        Row("sync of 1,000 (in process)", Format("%.2f ms", figures.MedianOf("thousand sync")),
            Format("%.2f", ratio) + " stat", "<= 2.0 x stat", Verdict(thousandTimeOk));
        Row("  plain stat of the 2,000 targets", Format("%.3f ms", figures.MedianOf("thousand stat")), "", "", "");
        Row("  gatehouse sync, whole process", Format("%.1f ms", thousandChild.ms),
            Format("%.2f",
                   figures.MedianOf("thousand stat") > 0 ? thousandChild.ms / figures.MedianOf("thousand stat") : 0.0) +
                " stat",
            "", "");
        if (thousandCalls.ran) {
            const double perFile = static_cast<double>(thousandCalls.stats) / static_cast<double>(targetCount);
            thousandCallsOk = thousandCalls.exitStatus == 0 && perFile <= 2.0;
            Row("sync of 1,000: status calls per file", Format("%.2f", perFile), "", "<= 2", Verdict(thousandCallsOk));
            std::printf("  %zu status calls on %zu paths, %zu listings of %zu folders, for %zu target files\n",
                        thousandCalls.stats, thousandCalls.files, thousandCalls.listings, thousandCalls.folders,
                        targetCount);
        } else {
            Row("sync of 1,000: status calls", "not measured (no strace)", "", "", "");
        }
        const double perSubscription = (static_cast<double>(thousandChild.peakKb) - figures.MedianOf("--version KB")) *
                                       1024 / (kFileItems + kFolderItems);
        thousandMemoryOk = thousandOk && perSubscription <= 4096;
        Row("sync of 1,000: peak memory each", Format("%.0f bytes", perSubscription), "", "<= 4096 bytes",
            Verdict(thousandMemoryOk));
        Row("  (peak RSS, --version RSS)",
            Format("%.0f KB", static_cast<double>(thousandChild.peakKb)) +
                Format(", %.0f KB", figures.MedianOf("--version KB")),
            "", "", "");
        if (!thousandOk) std::printf("  the sync of 1,000 did NOT find every subscription up to date\n");
        std::error_code ec;
        fs::remove_all(thousandRoot, ec);
    }

    std::printf("\nGoal 1, the manager window:            %s\n", windowMeasured ? Verdict(windowOk) : "not measured");
    std::printf("Goal 2, list --json and list:          %s\n", Verdict(jsonOk && listOk));
    std::printf("Goal 3, catalogue, statuses, reports:  %s\n", Verdict(buildOk && statusLinear && reportsLinear));
    std::printf("Goal 4, memory of list --json:         %s\n", Verdict(memoryOk));
    std::printf("Goal 5, the sync's file system calls:  %s\n", sync.ran ? Verdict(syncOk) : "not measured");
    std::printf("Goal 6, the sync of 1,000:             %s\n",
                options.sync ? Verdict(thousandTimeOk && thousandMemoryOk && (thousandCallsOk || !thousandCalls.ran))
                             : "not measured");

    if (temporary) {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    return treeOk && childrenOk && (thousandOk || !options.sync) ? 0 : 1;
}
