#include "RecordRead.h"

#include "BenchProcess.h"
#include "SyncWorld.h"
#include "platform/InputFile.h"
#include "workshop/WorkshopRecordFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace gh::bench {

namespace {

// A record as players would have one: three in four subscriptions single
// files (one mod, every third with a second file), the rest items in
// folders (three or four files, one or two mods); every fifth keeps one to
// three earlier versions, every fiftieth is held with an update waiting,
// a few are gone, and some changed since the last game start. A lean one
// has single files only, one mod each, and nothing else.
WorkshopRecord BenchRecord(RecordShape shape, int subscriptions) {
    const bool lean = shape == RecordShape::Lean;
    WorkshopRecord record;
    record.lastGameStart = kWorkshopTime + 86400;
    for (int i = 0; i < subscriptions; ++i) {
        RecordedSubscription s;
        s.id = 2'000'000'000ULL + static_cast<PublishedFileId>(i);
        s.route = i % 4 == 3 && !lean ? SubscriptionRoute::Folder : SubscriptionRoute::File;
        s.workshopTime = kWorkshopTime - static_cast<std::int64_t>(i) * 60;
        s.installed = s.workshopTime + 3600;
        s.held = i % 50 == 0 && !lean;
        s.updateWaiting = s.held ? s.workshopTime + 7 * 86400 : 0;
        s.subscribed = i % 100 != 99 || lean;
        const std::string number = std::to_string(i);
        std::vector<std::string> paths, modPaths;
        if (s.route == SubscriptionRoute::File) {
            paths.push_back("mods/Workshop " + std::to_string(i % 20) + "/mod_" + number + ".mod");
            modPaths.push_back(paths.back());
            if (i % 3 == 0 && !lean)
                paths.push_back("mods/Workshop " + std::to_string(i % 20) + "/mod_" + number + "_music.bin");
        } else {
            const std::string folder = "mods/workshop-items/" + std::to_string(s.id) + "/";
            paths = {folder + "item.mod", folder + "data_1.bin", folder + "textures/pack_2.bin"};
            modPaths.push_back(paths.front());
            if (i % 2) {
                paths.push_back(folder + "addon.mod");
                modPaths.push_back(paths.back());
            }
        }
        const auto files = [&](std::int64_t modified) {
            std::vector<RecordedFile> out;
            for (std::size_t n = 0; n < paths.size(); ++n)
                out.push_back({paths[n], 4096 + 1000 * n + static_cast<std::uint64_t>(i % 997), modified});
            return out;
        };
        const auto mods = [&](std::uint32_t version) {
            std::vector<RecordedMod> out;
            for (std::size_t n = 0; n < modPaths.size(); ++n)
                out.push_back({modPaths[n], 5'000'000 + 2 * static_cast<std::int64_t>(i) + static_cast<std::int64_t>(n),
                               version});
            return out;
        };
        const std::uint32_t version = 2 + static_cast<std::uint32_t>(i % 7);
        s.files = files(s.workshopTime);
        s.mods = mods(version);
        if (lean) {
            record.subscriptions[s.id] = std::move(s);
            continue;
        }
        if (i % 5 == 0) {
            const int kept = 1 + (i / 5) % 3;
            for (int h = 0; h < kept; ++h) {
                HistoryEntry entry;
                entry.folder = static_cast<std::uint32_t>(kept - h);
                entry.workshopTime = s.workshopTime - (h + 1) * 30 * 86400;
                entry.installed = entry.workshopTime + 3600;
                entry.files = files(entry.workshopTime);
                entry.mods = mods(version - 1);
                s.history.push_back(std::move(entry));
            }
        }
        if (i % 40 == 0) record.changes[s.id] = {ChangeKind::Updated, mods(version - 1), s.mods};
        if (i % 100 == 99) record.changes[s.id] = {ChangeKind::Gone, s.mods, {}};
        record.subscriptions[s.id] = std::move(s);
    }
    return record;
}

}  // namespace

RecordReadTimes TimeRecordReads(const std::filesystem::path& gameFolder, RecordShape shape, int subscriptions,
                                int reads) {
    RecordReadTimes times;
    const WorkshopRecord record = BenchRecord(shape, subscriptions);
    times.subscriptions = record.subscriptions.size();
    times.changes = record.changes.size();
    for (const auto& [id, s] : record.subscriptions) {
        times.files += s.files.size();
        times.mods += s.mods.size();
        times.historyEntries += s.history.size();
    }
    const CWorkshopRecordFile file((gameFolder / "").wstring());
    times.saved = static_cast<bool>(file.Save(record));
    if (!times.saved) return times;
    std::error_code ec;
    times.bytes = std::filesystem::file_size(file.RecordPath(), ec);
    std::vector<double> readMs, loadMs, saveMs, bytesMs, parseMs, jsonMs;
    const auto timed = [](std::vector<double>& into, const auto& work) {
        const Clock::time_point start = Clock::now();
        work();
        into.push_back(Milliseconds(Clock::now() - start));
    };
    for (int n = 0; n <= reads; ++n) {
        Result<WorkshopRecord> read = Status(StatusKind::Failed, L"not read");
        timed(readMs, [&] { read = file.Read(); });
        const bool readRight = read && *read == record;
        std::vector<std::wstring> notes;
        WorkshopRecord loaded;
        timed(loadMs, [&] { loaded = file.Load(notes); });
        std::optional<std::string> text;
        timed(bytesMs, [&] { text = platform::ReadWholeFile(file.RecordPath(), kRecordMaxBytes); });
        const std::string_view bytes = text ? std::string_view(*text) : std::string_view();
        timed(parseMs, [&] { read = ParseWorkshopRecord(bytes); });
        if (!read) return times;
        bool json = false;
        timed(jsonMs, [&] {  // for scale: the JSON library's tree of the same text, destruction included
            const nlohmann::json tree = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
            json = !tree.is_discarded();
        });
        if (!json) return times;
        bool saved = false;
        timed(saveMs, [&] { saved = static_cast<bool>(file.Save(record)); });
        if (!saved) return times;
        if (n == 0) {
            times.readBack = readRight && loaded == record && notes.empty();
            // The first turn warms the file cache and the heap.
            for (std::vector<double>* figure : {&readMs, &loadMs, &saveMs, &bytesMs, &parseMs, &jsonMs})
                figure->clear();
        }
    }
    times.readMs = Median(readMs);
    times.loadMs = Median(loadMs);
    times.saveMs = Median(saveMs);
    times.bytesMs = Median(bytesMs);
    times.parseMs = Median(parseMs);
    times.jsonMs = Median(jsonMs);
    times.slowestMs =
        std::max(*std::max_element(readMs.begin(), readMs.end()), *std::max_element(loadMs.begin(), loadMs.end()));
    return times;
}

}  // namespace gh::bench
