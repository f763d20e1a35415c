// Installing a 1 GiB download from a local Workshop, against plain copies of
// the same file made in the same run:
//   PlainCopy   read and write in 1 MiB pieces with the standard library (no flush to disk)
//   AtomicCopy  the same through platform::CInputFile and platform::CAtomicFile (flushed, renamed)
//   Install     the local Workshop's download result through InstallDownloadedFile
// Each reports the extra peak heap (every operator new counted) and, on
// Linux, the extra peak resident memory. The ratios are printed at the end.
// The folder for the files is GATEHOUSE_BENCH_DIR, else the system's
// temporary folder; a folder on tmpfs (/dev/shm) shows the figures without
// the cost of flushing to disk.
#include "game/GameFolders.h"
#include "platform/AtomicFile.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "workshop/CallResult.h"
#include "workshop/LocalWorkshop.h"
#include "workshop/WorkshopInstall.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// --- heap accounting --------------------------------------------------------
std::atomic<std::int64_t> g_heapNow{0};
std::atomic<std::int64_t> g_heapPeak{0};

void Note(std::int64_t delta) {
    const std::int64_t now = g_heapNow += delta;
    std::int64_t peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

// Each block carries its size in front so that delete can count it.
void* operator new(std::size_t size) {
    void* block = std::malloc(size + 16);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    Note(static_cast<std::int64_t>(size));
    return static_cast<char*>(block) + 16;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept {
    if (!p) return;
    void* block = static_cast<char*>(p) - 16;
    Note(-static_cast<std::int64_t>(*static_cast<std::size_t*>(block)));
    std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// --- resident memory (Linux; -1 elsewhere) ------------------------------------
std::int64_t StatusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1);
    return -1;
}

void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

class CMemoryProbe {
public:
    CMemoryProbe() : m_heapBase(g_heapNow.load()), m_rssBase(StatusKilobytes("VmRSS")) {
        g_heapPeak = m_heapBase;
        ResetPeakResident();
    }
    double ExtraHeapMiB() const { return static_cast<double>(g_heapPeak.load() - m_heapBase) / (1 << 20); }
    double ExtraResidentMiB() const {
        const std::int64_t peak = StatusKilobytes("VmHWM");
        return peak < 0 || m_rssBase < 0 ? -1 : static_cast<double>(peak - m_rssBase) / 1024;
    }

private:
    std::int64_t m_heapBase;
    std::int64_t m_rssBase;
};

constexpr std::size_t kPiece = 1 << 20;
constexpr std::int64_t kFileSize = std::int64_t{1} << 30;

// The 1 GiB source in a local Workshop folder, and a documents folder.
struct Fixture {
    fs::path root;
    fs::path workshop;
    fs::path documents;
    fs::path source;

    Fixture() {
        const char* base = std::getenv("GATEHOUSE_BENCH_DIR");
        root = fs::path(base && *base ? base : fs::temp_directory_path().string()) /
               ("gatehouse-bench-" + std::to_string(std::random_device{}()));
        workshop = root / "workshop";
        documents = root / "Documents";
        fs::create_directories(workshop / "files");
        fs::create_directories(documents);
        source = workshop / "files" / "big.bin";
        std::ofstream out(source, std::ios::binary);
        std::vector<char> piece(kPiece);
        for (std::int64_t written = 0; written < kFileSize; written += static_cast<std::int64_t>(kPiece)) {
            for (std::size_t i = 0; i < piece.size(); i += 4096) piece[i] = static_cast<char>(written / 4096 + i);
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
        out.close();
        std::ofstream(workshop / "workshop.json")
            << R"({"items": [{"id": 1, "fileName": "mods/big.mod", "content": "files/big.bin"}]})";
    }
    ~Fixture() { Remove(); }
    void Remove() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

void Report(benchmark::State& state, const CMemoryProbe& probe) {
    state.counters["extra_heap_MiB"] = probe.ExtraHeapMiB();
    state.counters["extra_rss_MiB"] = probe.ExtraResidentMiB();
    state.SetBytesProcessed(state.iterations() * kFileSize);
}

void BM_PlainCopy(benchmark::State& state) {
    Fixture& f = Files();
    const fs::path target = f.documents / "plain.bin";
    CMemoryProbe probe;
    for (auto _ : state) {
        std::ifstream in(f.source, std::ios::binary);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        std::unique_ptr<char[]> piece(new char[kPiece]);
        while (in.read(piece.get(), kPiece) || in.gcount() > 0) out.write(piece.get(), in.gcount());
        out.close();
        state.PauseTiming();
        fs::remove(target);
        state.ResumeTiming();
    }
    Report(state, probe);
}

void BM_AtomicCopy(benchmark::State& state) {
    Fixture& f = Files();
    const fs::path target = f.documents / "atomic.bin";
    CMemoryProbe probe;
    for (auto _ : state) {
        gh::platform::CInputFile in;
        gh::platform::CAtomicFile out;
        if (!in.Open(f.source.wstring()) || !out.Open(target.wstring())) state.SkipWithError("cannot open");
        std::unique_ptr<char[]> piece(new char[kPiece]);
        while (std::size_t n = in.Read(piece.get(), kPiece)) out.Write(piece.get(), n);
        if (!out.Commit()) state.SkipWithError("commit failed");
        state.PauseTiming();
        fs::remove(target);
        state.ResumeTiming();
    }
    Report(state, probe);
}

void BM_Install(benchmark::State& state) {
    Fixture& f = Files();
    gh::CLocalWorkshop workshop(f.workshop.wstring());
    if (!workshop.Init()) {
        state.SkipWithError("the local Workshop does not start");
        return;
    }
    const fs::path target = f.documents / "My Games" / "Velmora Games" / "Emberwake 2" / "mods" / "big.mod";
    CMemoryProbe probe;
    for (auto _ : state) {
        gh::DownloadedContent done;
        bool arrived = false;
        gh::CCallResult<gh::DownloadedContent> call(workshop.CallResults());
        call.Set(workshop.UGCDownload(workshop.ContentHandleOf(0), 1),
                 [&](const gh::DownloadedContent* r, bool failed) {
                     arrived = !failed && r;
                     if (r) done = *r;
                 });
        workshop.RunCallbacks();
        if (!arrived || !gh::InstallDownloadedFile(workshop, done,
                                                   gh::CGameFolders(L"", f.documents.wstring()).GetUserGameFolder()))
            state.SkipWithError("install failed");
        state.PauseTiming();
        if (static_cast<std::int64_t>(fs::file_size(target)) != kFileSize) state.SkipWithError("wrong size");
        fs::remove(target);
        state.ResumeTiming();
    }
    Report(state, probe);
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_AtomicCopy)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Install)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Prints the usual table, then the install's time against the two copies.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) m_seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        // The mean of repetitions when there are several, else the single run.
        const auto find = [this](const std::string& prefix) {
            double single = 0;
            for (const auto& [name, time] : m_seconds) {
                if (name.rfind(prefix, 0) != 0) continue;
                if (name.ends_with("_mean")) return time;
                if (!name.ends_with("_median") && !name.ends_with("_stddev") && !name.ends_with("_cv")) single = time;
            }
            return single;
        };
        const double plain = find("BM_PlainCopy"), atomic = find("BM_AtomicCopy"), install = find("BM_Install");
        if (plain > 0 && atomic > 0 && install > 0)
            std::printf("install / plain copy = %.2f   install / flushed atomic copy = %.2f\n", install / plain,
                        install / atomic);
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    Files().Remove();
    return 0;
}
