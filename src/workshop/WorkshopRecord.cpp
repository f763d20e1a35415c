#include "workshop/WorkshopRecord.h"

#include "platform/Unicode.h"
#include "workshop/JsonDepth.h"
#include "workshop/WorkshopNames.h"

#include <nlohmann/json.hpp>

#include <fmt/format.h>

#include <limits>

namespace gh {

namespace {

using nlohmann::json;

bool ReadUnsigned(const json& value, std::uint64_t high, std::uint64_t& out) {
    if (value.is_number_unsigned()) {
        out = value.get<std::uint64_t>();
    } else if (value.is_number_integer() && value.get<std::int64_t>() >= 0) {
        out = static_cast<std::uint64_t>(value.get<std::int64_t>());
    } else {
        return false;
    }
    return out <= high;
}

bool ReadSigned(const json& value, std::int64_t& out) {
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        out = value.get<std::int64_t>();
        return true;
    }
    std::uint64_t number = 0;
    if (!ReadUnsigned(value, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()), number))
        return false;
    out = static_cast<std::int64_t>(number);
    return true;
}

class CRecordReader {
public:
    bool Read(const json& root, WorkshopRecord& out) {
        if (!root.is_object()) return Fail("the record is not a JSON object");
        const auto version = root.find("version");
        std::uint64_t number = 0;
        if (version == root.end() || !ReadUnsigned(*version, 1'000'000, number))
            return Fail("the record has no version");
        if (number != kWorkshopRecordVersion)
            return Fail(fmt::format("the record has version {}, which this launcher does not know", number));
        if (!Time(root, "lastGameStart", out.lastGameStart)) return false;
        if (!ReadChanges(root, out)) return false;
        const auto subscriptions = root.find("subscriptions");
        if (subscriptions == root.end()) return true;
        if (!subscriptions->is_array()) return Fail("\"subscriptions\" is not an array");
        for (const json& value : *subscriptions) {
            RecordedSubscription subscription;
            if (!ReadSubscription(value, subscription)) return false;
            const PublishedFileId id = subscription.id;
            if (!out.subscriptions.emplace(id, std::move(subscription)).second)
                return Fail(fmt::format("subscription {} is recorded twice", id));
        }
        return true;
    }

    const std::string& Problem() const { return m_problem; }

private:
    bool Fail(std::string problem) {
        m_problem = std::move(problem);
        return false;
    }

    // An optional time (seconds since 1970, 0 when missing).
    bool Time(const json& object, const char* key, std::int64_t& out) {
        const auto it = object.find(key);
        if (it == object.end()) return true;
        return ReadSigned(*it, out) || Fail(fmt::format("\"{}\" is not a time", key));
    }

    bool Flag(const json& object, const char* key, bool& out) {
        const auto it = object.find(key);
        if (it == object.end()) return true;
        if (!it->is_boolean()) return Fail(fmt::format("\"{}\" is not true or false", key));
        out = it->get<bool>();
        return true;
    }

    // A path below mods/; false (without a fault) for one that is not.
    bool Path(const json& object, std::string& out) {
        const auto it = object.find("path");
        if (it == object.end() || !it->is_string()) return false;
        out = it->get<std::string>();
        return IsRecordPathBelowMods(out);
    }

    bool Files(const json& object, std::vector<RecordedFile>& out) {
        const auto it = object.find("files");
        if (it == object.end()) return true;
        if (!it->is_array() || it->size() > kRecordMaxFiles) return Fail("\"files\" is not a list of files");
        for (const json& value : *it) {
            if (!value.is_object()) return Fail("a file entry is not a JSON object");
            RecordedFile file;
            // An entry naming a file outside the mods folder is not the
            // program's to touch: it is left out, the rest stands.
            if (!Path(value, file.path)) continue;
            if (const auto size = value.find("size");
                size != value.end() && !ReadUnsigned(*size, std::numeric_limits<std::int64_t>::max(), file.size))
                return Fail("a file's \"size\" is not a size");
            if (!Time(value, "modified", file.modified)) return false;
            out.push_back(std::move(file));
        }
        return true;
    }

    bool Mods(const json& object, std::vector<RecordedMod>& out) { return ModList(object, "mods", out); }

    bool ModList(const json& object, const char* key, std::vector<RecordedMod>& out) {
        const auto it = object.find(key);
        if (it == object.end()) return true;
        if (!it->is_array() || it->size() > kRecordMaxFiles)
            return Fail(fmt::format("\"{}\" is not a list of mods", key));
        for (const json& value : *it) {
            if (!value.is_object()) return Fail("a mod entry is not a JSON object");
            RecordedMod mod;
            if (!Path(value, mod.path)) continue;
            std::uint64_t version = 0;
            const auto guid = value.find("guid");
            const auto ver = value.find("version");
            if (guid == value.end() || !ReadSigned(*guid, mod.guid)) return Fail("a mod's \"guid\" is not a number");
            if (ver == value.end() || !ReadUnsigned(*ver, std::numeric_limits<std::uint32_t>::max(), version))
                return Fail("a mod's \"version\" is not a number");
            mod.version = static_cast<std::uint32_t>(version);
            out.push_back(std::move(mod));
        }
        return true;
    }

    bool ReadChanges(const json& root, WorkshopRecord& out) {
        const auto changes = root.find("changes");
        if (changes == root.end()) return true;
        if (!changes->is_array() || changes->size() > kRecordMaxFiles) return Fail("\"changes\" is not a list");
        for (const json& value : *changes) {
            if (!value.is_object()) return Fail("a change is not a JSON object");
            PublishedFileId id = 0;
            const auto idValue = value.find("id");
            if (idValue == value.end() || !ReadUnsigned(*idValue, std::numeric_limits<std::uint64_t>::max(), id) ||
                id == 0)
                return Fail("a change has no id");
            RecordedChange change;
            const auto kind = value.find("kind");
            const std::string kindText = kind != value.end() && kind->is_string() ? kind->get<std::string>() : "";
            if (kindText == "new")
                change.kind = ChangeKind::New;
            else if (kindText == "updated")
                change.kind = ChangeKind::Updated;
            else if (kindText == "gone")
                change.kind = ChangeKind::Gone;
            else
                return Fail(fmt::format("the change of {} has no kind", id));
            if (!ModList(value, "from", change.from) || !ModList(value, "to", change.to)) return false;
            if (!out.changes.emplace(id, std::move(change)).second)
                return Fail(fmt::format("subscription {} has two changes", id));
        }
        return true;
    }

    bool ReadSubscription(const json& value, RecordedSubscription& out) {
        if (!value.is_object()) return Fail("a subscription is not a JSON object");
        const auto id = value.find("id");
        if (id == value.end() || !ReadUnsigned(*id, std::numeric_limits<std::uint64_t>::max(), out.id) || out.id == 0)
            return Fail("a subscription has no id");
        const auto route = value.find("route");
        const std::string routeText = route != value.end() && route->is_string() ? route->get<std::string>() : "";
        if (routeText == "file")
            out.route = SubscriptionRoute::File;
        else if (routeText == "folder")
            out.route = SubscriptionRoute::Folder;
        else
            return Fail(fmt::format("subscription {} has no route", out.id));
        if (!Time(value, "workshopTime", out.workshopTime) || !Time(value, "installed", out.installed) ||
            !Time(value, "updateWaiting", out.updateWaiting) || !Flag(value, "held", out.held) ||
            !Flag(value, "subscribed", out.subscribed) || !Files(value, out.files) || !Mods(value, out.mods))
            return false;
        const auto history = value.find("history");
        if (history == value.end()) return true;
        if (!history->is_array()) return Fail("\"history\" is not a list");
        for (const json& kept : *history) {
            if (!kept.is_object()) return Fail("a history entry is not a JSON object");
            HistoryEntry entry;
            std::uint64_t folder = 0;
            const auto number = kept.find("folder");
            if (number == kept.end() || !ReadUnsigned(*number, std::numeric_limits<std::uint32_t>::max(), folder) ||
                folder == 0)
                return Fail("a history entry has no folder");
            entry.folder = static_cast<std::uint32_t>(folder);
            if (!Time(kept, "installed", entry.installed) || !Time(kept, "workshopTime", entry.workshopTime) ||
                !Files(kept, entry.files) || !Mods(kept, entry.mods))
                return false;
            out.history.push_back(std::move(entry));
        }
        return true;
    }

    std::string m_problem;
};

json FilesJson(const std::vector<RecordedFile>& files) {
    json out = json::array();
    for (const RecordedFile& file : files)
        out.push_back({{"path", file.path}, {"size", file.size}, {"modified", file.modified}});
    return out;
}

json ModsJson(const std::vector<RecordedMod>& mods) {
    json out = json::array();
    for (const RecordedMod& mod : mods)
        out.push_back({{"path", mod.path}, {"guid", mod.guid}, {"version", mod.version}});
    return out;
}

}  // namespace

bool IsRecordPathBelowMods(std::string_view path) {
    if (path.empty() || path.find('\0') != std::string_view::npos) return false;
    const std::wstring wide = Utf8ToWide(path);
    const WorkshopNameProblem problem = JudgeWorkshopName(wide);
    // The item folders are below mods/ too: the record names their files.
    return problem == WorkshopNameProblem::None || problem == WorkshopNameProblem::ItemFolders;
}

Result<WorkshopRecord> ParseWorkshopRecord(std::string_view text) {
    const auto bad = [](const std::string& problem) { return Status(StatusKind::BadData, Utf8ToWide(problem)); };
    if (text.size() > kRecordMaxBytes) return bad(fmt::format("the record is larger than {} bytes", kRecordMaxBytes));
    if (JsonNestingDepth(text) > kRecordMaxDepth) return bad("the record nests deeper than any record does");
    json root;
    try {
        root = json::parse(text.begin(), text.end());
    } catch (const json::exception& e) {
        std::string_view message = e.what();
        if (const auto close = message.find("] "); message.rfind("[json.", 0) == 0 && close != std::string_view::npos)
            message.remove_prefix(close + 2);
        return bad(fmt::format("not valid JSON: {}", message));
    }
    CRecordReader reader;
    WorkshopRecord record;
    if (!reader.Read(root, record)) return bad(reader.Problem());
    return record;
}

std::string WorkshopRecordText(const WorkshopRecord& record) {
    json subscriptions = json::array();
    for (const auto& [id, subscription] : record.subscriptions) {
        json history = json::array();
        for (const HistoryEntry& entry : subscription.history)
            history.push_back({{"folder", entry.folder},
                               {"installed", entry.installed},
                               {"workshopTime", entry.workshopTime},
                               {"files", FilesJson(entry.files)},
                               {"mods", ModsJson(entry.mods)}});
        subscriptions.push_back({{"id", id},
                                 {"route", subscription.route == SubscriptionRoute::File ? "file" : "folder"},
                                 {"workshopTime", subscription.workshopTime},
                                 {"installed", subscription.installed},
                                 {"held", subscription.held},
                                 {"updateWaiting", subscription.updateWaiting},
                                 {"subscribed", subscription.subscribed},
                                 {"files", FilesJson(subscription.files)},
                                 {"mods", ModsJson(subscription.mods)},
                                 {"history", std::move(history)}});
    }
    json changes = json::array();
    for (const auto& [id, change] : record.changes) {
        const char* kind = change.kind == ChangeKind::New       ? "new"
                           : change.kind == ChangeKind::Updated ? "updated"
                                                                : "gone";
        changes.push_back({{"id", id}, {"kind", kind}, {"from", ModsJson(change.from)}, {"to", ModsJson(change.to)}});
    }
    const json root = {{"version", kWorkshopRecordVersion},
                       {"lastGameStart", record.lastGameStart},
                       {"subscriptions", std::move(subscriptions)},
                       {"changes", std::move(changes)}};
    // Paths that are not valid UTF-8 are written with U+FFFD rather than
    // refused: the record is never lost for one odd name.
    return root.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace gh
