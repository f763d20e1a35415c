#include "SyncComparison.h"

#include "BenchProcess.h"
#include "RecordRead.h"
#include "SyncWorld.h"
#include "workshop/WorkshopRecordFile.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace gh::bench {

namespace {

namespace fs = std::filesystem;

constexpr int kSubscriptions = 50;
constexpr long kLocalTime = kWorkshopTime + 100;  // the installed files: newer than the Workshop's
constexpr int kRecordSubscriptions = 10'000;
constexpr int kRecordReads = 15;

const char* const kBuildNames[2] = {"this build", "the older build"};

// 50 single-file subscriptions in five folders.
std::vector<BenchFileItem> SyncItems() {
    std::vector<BenchFileItem> items;
    for (int k = 0; k < kSubscriptions; ++k)
        items.push_back({static_cast<std::uint64_t>(k + 1),
                         "mods/Sync " + std::to_string(k % 5) + "/synced_" + std::to_string(k) + ".mod",
                         std::string(2000 + k, 'w')});
    return items;
}

// The items installed, every one up to date.
void MakeInstalledWorld(const fs::path& root, const std::vector<BenchFileItem>& items) {
    std::error_code ec;
    fs::remove_all(root, ec);
    WriteLocalWorkshop(root, items);
    for (const BenchFileItem& item : items) WriteGameFile(root, item.name, item.bytes, kLocalTime);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path GatehouseFolderOf(const fs::path& root) { return GameFolderOf(root) / "Gatehouse"; }

CWorkshopRecordFile RecordFileOf(const fs::path& root) {
    return CWorkshopRecordFile((GameFolderOf(root) / "").wstring());
}

// What a write of the record would change: the file's identity, size and
// times, and its bytes.
struct RecordState {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0, changedNs = 0;
    std::string bytes;
    bool operator==(const RecordState&) const = default;
};

RecordState StateOf(const fs::path& path) {
    RecordState state;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return state;
    state.exists = true;
    state.device = st.st_dev;
    state.inode = st.st_ino;
    state.size = st.st_size;
    state.modifiedNs = st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec;
    state.changedNs = st.st_ctim.tv_sec * 1'000'000'000LL + st.st_ctim.tv_nsec;
    state.bytes = ReadFile(path);
    return state;
}

struct Traced {
    int status = -1;
    std::vector<std::string> lines;
};

// `command` under strace -f, tracing `calls`, with each descriptor's path.
Traced Trace(const std::string& calls, const std::vector<std::string>& command, const fs::path& output) {
    std::vector<std::string> args = {"strace", "-f", "-qq", "-y", "-o", output.string(), "-e", "trace=" + calls};
    args.insert(args.end(), command.begin(), command.end());
    Traced traced;
    traced.status = RunChild(args, false).status;
    std::ifstream in(output);
    for (std::string line; std::getline(in, line);) traced.lines.push_back(line);
    return traced;
}

// The trace's lines with `root` shown as <world>, as they are long.
std::string Shortened(std::string line, const fs::path& root) {
    const std::string prefix = root.string();
    for (std::size_t at; (at = line.find(prefix)) != std::string::npos;) line.replace(at, prefix.size(), "<world>");
    return line;
}

// --- the up-to-date sync ----------------------------------------------------------

struct UpToDate {
    bool ok = true;  // every run ended with status 0, the record knew every subscription
    double medianMs[2] = {0, 0};
    int recordChanges = 0;  // runs of this build after which the record was not as before
    int recordRuns = 0;
    bool traced = false;
    std::vector<std::string> writes;  // the calls of the traced run that could write the record
};

// The calls of one up-to-date sync that could write the record or put
// another file in its place: any open for writing, write, rename, link or
// unlink of a path in Gatehouse/, but the open of the lock (which creates
// it when missing; it is locked, never written).
std::vector<std::string> RecordWrites(const std::string& program, const fs::path& root, const fs::path& output,
                                      bool& ran) {
    const std::string gatehouse = GatehouseFolderOf(root).string() + "/";
    const std::string lock = gatehouse + "workshop-record.lock";
    const Traced traced = Trace(
        "open,openat,creat,write,pwrite64,writev,ftruncate,truncate,rename,renameat,renameat2,link,linkat,"
        "unlink,unlinkat",
        SyncCommand(program, root), output);
    ran = traced.status == 0;
    static const std::regex writing(R"(O_WRONLY|O_RDWR|O_CREAT|O_TRUNC)");
    static const std::regex call(R"(^(?:\d+\s+)?(\w+)\()");
    std::vector<std::string> writes;
    for (const std::string& line : traced.lines) {
        std::smatch m;
        if (!std::regex_search(line, m, call) || line.find(gatehouse) == std::string::npos) continue;
        const std::string name = m[1];
        if (name == "open" || name == "openat" || name == "creat") {
            const bool lockOpen = line.find("\"" + lock + "\"") != std::string::npos;
            if (lockOpen || (name != "creat" && !std::regex_search(line, writing))) continue;
        }
        writes.push_back(Shortened(line, root));
    }
    return writes;
}

UpToDate CompareUpToDate(const SyncComparisonOptions& options) {
    UpToDate result;
    const std::string programs[2] = {options.gatehouse, options.older};
    const fs::path worlds[2] = {options.folder / "up-to-date-this", options.folder / "up-to-date-older"};
    const std::vector<BenchFileItem> items = SyncItems();
    for (int which = 0; which < 2; ++which) {
        MakeInstalledWorld(worlds[which], items);
        // The first sync of this build records the subscriptions it finds up to date.
        const ChildRun first = RunChild(SyncCommand(programs[which], worlds[which]), false);
        if (first.status != 0) {
            std::printf("the first sync of %s ended with status %d\n", kBuildNames[which], first.status);
            result.ok = false;
        }
    }
    const Result<WorkshopRecord> record = RecordFileOf(worlds[0]).Read();
    std::size_t known = 0;
    if (record)
        for (const auto& [id, s] : record->subscriptions) known += s.workshopTime == kWorkshopTime;
    std::printf("record after the first sync: %zu of %d subscriptions known at their Workshop time\n", known,
                kSubscriptions);
    result.ok = result.ok && known == kSubscriptions;

    const fs::path recordPath = GatehouseFolderOf(worlds[0]) / "workshop-record.json";
    RecordState before = StateOf(recordPath);
    std::vector<double> times[2];
    for (int run = 0; run <= options.runs; ++run) {
        // Each goes first in every other run, so neither always follows the other.
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (run + turn) % 2;
            const ChildRun child = RunChild(SyncCommand(programs[which], worlds[which]), false);
            if (child.status != 0) {
                std::printf("an up-to-date sync of %s ended with status %d\n", kBuildNames[which], child.status);
                result.ok = false;
            }
            if (run > 0) times[which].push_back(child.ms);  // run 0 warms the caches
            if (which != 0) continue;
            ++result.recordRuns;
            RecordState after = StateOf(recordPath);
            if (!(after == before)) {
                ++result.recordChanges;
                before = std::move(after);
            }
        }
    }
    for (int which = 0; which < 2; ++which) result.medianMs[which] = Median(times[which]);

    if (OnPath("strace")) {
        result.traced = true;
        bool ran = false;
        result.writes = RecordWrites(options.gatehouse, worlds[0], options.folder / "strace-up-to-date.txt", ran);
        result.ok = result.ok && ran;
    }
    return result;
}

// --- the update of one subscription -----------------------------------------------

struct Update {
    bool ran = false;          // the sync ended with status 0 and the file is the Workshop's new one
    bool historyKept = false;  // Gatehouse/history/1/ holds an entry (this build only)
    int links = 0, renames = 0;
    int historyLinks = 0;  // links into Gatehouse/history/
    int recordCalls = 0;   // links and renames that put a new record in place
    std::vector<std::string> lines;
};

// The world with every subscription installed by `program`'s own sync,
// then the first one's Workshop copy made newer; the link and rename calls
// of the sync that updates it.
Update TraceUpdate(const std::string& program, const fs::path& root) {
    Update update;
    std::vector<BenchFileItem> items = SyncItems();
    MakeInstalledWorld(root, items);
    if (RunChild(SyncCommand(program, root), false).status != 0) return update;
    items[0].bytes = std::string(3000, 'n');
    items[0].timeUpdated = kLocalTime + 1000;
    WriteLocalWorkshop(root, items);
    const Traced traced = Trace("link,linkat,rename,renameat,renameat2", SyncCommand(program, root),
                                root.parent_path() / (root.filename().string() + "-strace.txt"));
    static const std::regex call(R"(^(?:\d+\s+)?(link|linkat|rename|renameat|renameat2)\()");
    const std::string gatehouse = GatehouseFolderOf(root).string() + "/";
    for (const std::string& line : traced.lines) {
        std::smatch m;
        if (!std::regex_search(line, m, call)) continue;
        ++(m[1].str().rfind("link", 0) == 0 ? update.links : update.renames);
        if (line.find(gatehouse + "history/") != std::string::npos)
            ++update.historyLinks;
        else if (line.find(gatehouse) != std::string::npos)
            ++update.recordCalls;
        update.lines.push_back(Shortened(line, root));
    }
    update.ran = traced.status == 0 && ReadFile(GameFolderOf(root) / items[0].name) == items[0].bytes;
    std::error_code ec;
    update.historyKept = !fs::is_empty(GatehouseFolderOf(root) / "history" / "1", ec) && !ec;
    return update;
}

void PrintRecordReads(const RecordReadTimes& read, bool withGoal) {
    if (!read.saved) {
        std::printf("the record could not be written\n");
        return;
    }
    std::printf("%zu subscriptions, %zu files, %zu mods, %zu earlier versions, %zu changes; %.1f MB; %s\n",
                read.subscriptions, read.files, read.mods, read.historyEntries, read.changes,
                static_cast<double>(read.bytes) / 1e6, read.readBack ? "read back as written" : "NOT READ BACK");
    std::printf("%d reads of each, after one that warms the caches; medians (the slowest Read or Load %.1f ms)\n",
                kRecordReads, read.slowestMs);
    const char* goal = withGoal ? "goal < 50 ms" : "";
    std::printf("%-32s %9.2f ms  %s  %s\n", "Read()", read.readMs, goal, withGoal ? Verdict(read.readMs < 50) : "");
    std::printf("%-32s %9.2f ms  %s  %s\n", "Load()", read.loadMs, goal, withGoal ? Verdict(read.loadMs < 50) : "");
    std::printf("%-32s %9.2f ms\n", "Save() of the same record", read.saveMs);
    std::printf("%-32s %9.2f ms\n", "  the file's bytes", read.bytesMs);
    std::printf("%-32s %9.2f ms\n", "  ParseWorkshopRecord", read.parseMs);
    std::printf("%-32s %9.2f ms\n", "  for scale, the JSON library's own parse of it", read.jsonMs);
}

}  // namespace

int CompareSync(const SyncComparisonOptions& options) {
    std::error_code ec;
    fs::remove_all(options.folder, ec);
    fs::create_directories(options.folder);
    std::printf("This build: %s\nOlder build: %s\n", options.gatehouse.c_str(), options.older.c_str());
    const bool strace = OnPath("strace");

    std::printf("\n(a) gatehouse sync of %d single-file subscriptions, all up to date, from a local Workshop\n",
                kSubscriptions);
    const UpToDate upToDate = CompareUpToDate(options);
    const double ratio = upToDate.medianMs[1] > 0 ? upToDate.medianMs[0] / upToDate.medianMs[1] : 0;
    const bool timeOk = upToDate.ok && ratio > 0 && ratio <= 1.1;
    std::printf("%d runs each, interleaved, after one that warms the caches; medians\n", options.runs);
    std::printf("%-32s %12s %12s %8s  %s\n", "figure", "this build", "older build", "ratio", "goal <= 1.10");
    std::printf("%-32s %9.2f ms %9.2f ms %8.3f  %s\n", "gatehouse sync (50 up to date)", upToDate.medianMs[0],
                upToDate.medianMs[1], ratio, Verdict(timeOk));
    const bool untouched = upToDate.recordChanges == 0;
    std::printf("record after each of this build's %d up-to-date syncs: %s (inode, size, times, bytes)  %s\n",
                upToDate.recordRuns,
                untouched ? "as before" : (std::to_string(upToDate.recordChanges) + " times changed").c_str(),
                Verdict(untouched));
    bool notWritten = untouched;
    if (upToDate.traced) {
        std::printf("one up-to-date sync under strace: %zu calls that could write a file in Gatehouse/  %s\n",
                    upToDate.writes.size(), Verdict(upToDate.writes.empty()));
        for (const std::string& line : upToDate.writes) std::printf("    %s\n", line.c_str());
        notWritten = notWritten && upToDate.writes.empty();
    } else {
        std::printf("one up-to-date sync under strace: not measured (no strace)\n");
    }

    std::printf(
        "\n(b) an update of one of them (its Workshop copy newer): link and rename calls of the whole "
        "process under strace\n");
    Update updates[2];
    bool updateOk = false;
    if (strace) {
        const std::string programs[2] = {options.gatehouse, options.older};
        for (int which = 0; which < 2; ++which)
            updates[which] =
                TraceUpdate(programs[which], options.folder / (which == 0 ? "update-this" : "update-older"));
        const int extraLinks = updates[0].links - updates[1].links;
        const int extraRenames = updates[0].renames - updates[1].renames;
        updateOk = updates[0].ran && updates[1].ran && extraLinks == 1 && extraRenames == 1;
        std::printf("%-32s %12s %12s\n", "", "link calls", "rename calls");
        for (int which = 0; which < 2; ++which)
            std::printf("%-32s %12d %12d%s\n", kBuildNames[which], updates[which].links, updates[which].renames,
                        updates[which].ran ? "" : "  (the sync failed or did not update the file)");
        std::printf("%-32s %+12d %+12d  goal +1 and +1  %s\n", "this build more", extraLinks, extraRenames,
                    Verdict(updateOk));
        std::printf("this build kept the earlier version in Gatehouse/history/1/: %s\n",
                    updates[0].historyKept ? "yes" : "NO");
        std::printf("of this build's calls, %d link into Gatehouse/history/ and %d that put the new record in place\n",
                    updates[0].historyLinks, updates[0].recordCalls);
        for (int which = 0; which < 2; ++which) {
            std::printf("  the calls of %s:\n", kBuildNames[which]);
            for (const std::string& line : updates[which].lines) std::printf("    %s\n", line.c_str());
        }
    } else {
        std::printf("not measured (no strace)\n");
    }

    std::printf("\n(c) a Workshop record of %d subscriptions, read through CWorkshopRecordFile\n",
                kRecordSubscriptions);
    const RecordReadTimes read =
        TimeRecordReads(options.folder / "record", RecordShape::Played, kRecordSubscriptions, kRecordReads);
    const bool readOk = read.saved && read.readBack && read.readMs < 50 && read.loadMs < 50;
    PrintRecordReads(read, true);
    std::printf("for scale, the least record of as many subscriptions (one file and one mod each):\n");
    PrintRecordReads(
        TimeRecordReads(options.folder / "lean-record", RecordShape::Lean, kRecordSubscriptions, kRecordReads), false);

    std::printf("\nGoal (a), up-to-date sync time:        %s\n", Verdict(timeOk));
    std::printf("Goal (a), the record not written:      %s\n", Verdict(notWritten));
    std::printf("Goal (b), one more link and rename:    %s\n", strace ? Verdict(updateOk) : "not measured");
    std::printf("Goal (c), reading 10,000 in 50 ms:     %s\n", Verdict(readOk));
    fs::remove_all(options.folder, ec);
    return timeOk && notWritten && (updateOk || !strace) && readOk ? 0 : 1;
}

}  // namespace gh::bench
