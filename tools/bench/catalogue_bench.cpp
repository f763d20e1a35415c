// Speed of the catalogue: (a) building it from 10,000 mod files in 200
// folders three levels deep, next to a baseline that lists the same tree
// and reads the same header bytes with plain system calls; (b) the status
// of every row for 10,000 mods with 5 requirements each. Prints the peak
// memory of one catalogue build before the benchmarks run.
#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "catalogue/RequirementGraph.h"
#include "game/PathText.h"
#include "support/ModFileWriter.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using gh::test::ModFile;

constexpr int kMods = 10000;
constexpr int kBaselineReadSize = 1024;  // covers every header written below

fs::path g_root;

std::u16string Text(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

ModFile SampleMod(int i, std::mt19937& rng) {
    ModFile mod;
    mod.formatVersion = static_cast<std::uint16_t>(i % 5);
    mod.version = static_cast<std::uint16_t>(1 + i % 7);
    mod.gameVersion[1] = 2;
    mod.name = Text("Benchmark mod number " + std::to_string(i));
    mod.author = Text("Author " + std::to_string(i % 97));
    mod.description = Text(std::string(120 + i % 80, 'd') + " description");
    mod.website = Text("https://example.org/mods/" + std::to_string(i));
    mod.downloadUrl = Text("https://example.org/download/" + std::to_string(i) + ".zip");
    mod.guid = 1000000 + i;
    for (int r = 0; r < 3; ++r)
        mod.requirements.push_back(
            {Text("Needed " + std::to_string(r)), 1000000 + static_cast<std::int64_t>(rng() % kMods), 1});
    mod.headerStrings = {u"tag", u"another tag"};
    mod.content = std::string(2048 + i % 1024, static_cast<char>(i));
    return mod;
}

// mods/A<a>/B<b>/C<c>/: 4 x 5 x 10 = 200 folders at the third level, 50 files each.
void WriteTree() {
    std::mt19937 rng(1);
    int i = 0;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 5; ++b)
            for (int c = 0; c < 10; ++c)
                for (int f = 0; f < kMods / 200; ++f, ++i) {
                    const fs::path path = g_root / "mods" / ("A" + std::to_string(a)) / ("b" + std::to_string(b)) /
                                          ("C" + std::to_string(c)) /
                                          ("Mod_" + std::to_string(i) + (i % 2 ? ".mod" : ".MOD"));
                    if (!gh::test::WriteModFile(path.wstring(), SampleMod(i, rng))) std::abort();
                }
}

std::wstring ModsFolder() { return gh::NormalizeSlashes(gh::ToUpper(g_root.wstring() + L"/mods/")); }

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The build, and the release of the records with the catalogue.
void BM_CatalogueBuild(benchmark::State& state) {
    const std::wstring folder = ModsFolder();
    std::size_t records = 0;
    for (auto _ : state) {
        gh::CModCatalogue catalogue(folder);
        records = catalogue.Count();
        benchmark::DoNotOptimize(records);
    }
    state.counters["records"] = static_cast<double>(records);
}

// Lists the tree with opendir/readdir and reads each mod file's header bytes.
void ScanAndRead(const std::string& folder, std::size_t& files, std::size_t& bytes) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> subfolders;
    char buffer[kBaselineReadSize];
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name[0] == '.') continue;
        if (e->d_type == DT_DIR) {
            subfolders.push_back(folder + "/" + name);
            continue;
        }
        if (name.size() < 4 || strcasecmp(name.c_str() + name.size() - 4, ".mod") != 0) continue;
        const int fd = open((folder + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        close(fd);
        if (n > 0) bytes += static_cast<std::size_t>(n);
        ++files;
    }
    closedir(dir);
    for (const auto& sub : subfolders) ScanAndRead(sub, files, bytes);
}

void BM_BaselineListAndRead(benchmark::State& state) {
    const std::string folder = (g_root / "mods").string();
    std::size_t files = 0;
    for (auto _ : state) {
        std::size_t bytes = 0;
        files = 0;
        ScanAndRead(folder, files, bytes);
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["records"] = static_cast<double>(files);
}

// 10,000 mods with 5 requirements each: chains, ladders (each mod needs
// both of the next level), diamonds (shared requirements), rings (cycles),
// and a few missing and outdated requirements.
std::vector<gh::ModInfo> StatusMods() {
    std::mt19937 rng(7);
    std::vector<gh::ModInfo> mods(kMods);
    auto need = [&](int from, std::int64_t guid, std::uint16_t version = 1) {
        mods[from].requirements.push_back({guid, version, "needed mod"});
    };
    for (int i = 0; i < kMods; ++i) {
        gh::ModInfo& mod = mods[i];
        mod.guid = i;
        mod.version = 2;
        mod.gameVersion[0] = 1;
        mod.name = "Status mod " + std::to_string(i);
        mod.author = "Someone";
        mod.description = std::string(150, 'd');
        mod.website = "https://example.org/" + std::to_string(i);
        mod.downloadUrl = "https://example.org/get/" + std::to_string(i);
    }
    for (int i = 0; i < kMods; ++i) {
        const int group = i / 2500, local = i % 2500, base = group * 2500;
        switch (group) {
            case 0:  // chains of 500; every other one ends in a mod that is not installed
                if (local % 500 != 499) {
                    need(i, i + 1);
                    need(i, i + 1);
                } else {
                    need(i, (local / 500) % 2 ? i : 20000 + i);
                    need(i, i);
                }
                break;
            case 1:  // a ladder of 1250 levels of two
                if (local + 2 < 2500) {
                    need(i, base + (local / 2 + 1) * 2);
                    need(i, base + (local / 2 + 1) * 2 + 1);
                } else {
                    need(i, base, 2);  // the bottom needs the top: one cycle through the whole ladder
                    need(i, i);
                }
                break;
            case 2:  // diamonds: a binary tree whose children share grandchildren
                need(i, base + (2 * local + 1) % 2500);
                need(i, base + (2 * local + 2) % 2500);
                break;
            default:  // rings of 50
                need(i, base + (local / 50) * 50 + (local + 1) % 50);
                need(i, base + (local / 50) * 50 + (local + 7) % 50);
                break;
        }
        // Three more: mostly one of the next few dozen mods of the same
        // group, now and then one that is not installed or too new.
        for (int k = 0; k < 3; ++k) {
            const unsigned roll = rng() % 1000;
            if (roll < 2)
                need(i, 50000 + static_cast<int>(rng() % 100));
            else if (roll < 5)
                need(i, base + static_cast<int>(rng() % 2500), 9);
            else
                need(i, base + std::min(local + 1 + static_cast<int>(rng() % 40), 2499));
        }
    }
    return mods;
}

// The status work alone: resolving every requirement and judging every
// record, without copying the rows' texts.
void BM_StatusOfAllRows(benchmark::State& state) {
    gh::CModCatalogue catalogue(StatusMods());
    std::size_t blocked = 0;
    for (auto _ : state) {
        gh::CRequirementGraph graph(catalogue);
        blocked = 0;
        for (std::size_t p = 0; p < catalogue.Count(); ++p) {
            const auto closure = graph.ClosureOf(p);
            blocked += closure.missing || closure.outdated;
        }
        benchmark::DoNotOptimize(blocked);
    }
    state.counters["blocked"] = static_cast<double>(blocked);
}

// The manager's rows as the windows and the command line get them: game
// version and requirement status per row.
void BM_ManagerRows(benchmark::State& state) {
    gh::CModCatalogue catalogue(StatusMods());
    const gh::GameVersionParts game{1, 0, 0, 0};
    std::size_t blocked = 0;
    for (auto _ : state) {
        gh::CModRows rows(catalogue, game);
        blocked = 0;
        for (std::size_t r = 0; r < rows.RowCount(); ++r) blocked += gh::IsBlocked(rows.StatusOf(r));
        benchmark::DoNotOptimize(blocked);
    }
    state.counters["blocked"] = static_cast<double>(blocked);
}

// The command line asks for the lists of every blocked row.
void BM_ProblemListsOfBlockedRows(benchmark::State& state) {
    gh::CModCatalogue catalogue(StatusMods());
    gh::CModRows rows(catalogue, gh::GameVersionParts{1, 0, 0, 0});
    std::size_t entries = 0;
    for (auto _ : state) {
        entries = 0;
        for (std::size_t r = 0; r < rows.RowCount(); ++r) {
            if (!gh::IsBlocked(rows.StatusOf(r))) continue;
            const auto problems = rows.ProblemsOf(r);
            entries += problems.size();
        }
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = static_cast<double>(entries);
}

BENCHMARK(BM_BaselineListAndRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogueBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatusOfAllRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManagerRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProblemListsOfBlockedRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    g_root = fs::temp_directory_path() / ("gatehouse-bench-catalogue-" + std::to_string(getpid()));
    WriteTree();
    {
        // Warm the file cache, then measure one build's peak memory.
        std::size_t files = 0, bytes = 0;
        ScanAndRead((g_root / "mods").string(), files, bytes);
        const long before = PeakRssKb();
        std::size_t records = 0;
        {
            gh::CModCatalogue catalogue(ModsFolder());
            records = catalogue.Count();
        }
        std::printf("catalogue build: %zu records from %zu files; peak RSS %ld KB before, %ld KB after\n", records,
                    files, before, PeakRssKb());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    if (!std::getenv("GATEHOUSE_BENCH_KEEP")) fs::remove_all(g_root, ec);
    return 0;
}
