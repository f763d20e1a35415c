#include "launcher/WorkshopChanges.h"

#include "launcher/WorkshopMods.h"
#include "platform/FileSystem.h"
#include "platform/Unicode.h"
#include "workshop/WorkshopRecordFile.h"

#include <nlohmann/json.hpp>

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <vector>

namespace gh {

namespace {

struct Change {
    const char* kind;
    PublishedFileId id;
    std::string name;
    const std::vector<RecordedMod>* from;
    const std::vector<RecordedMod>* to;
};

// The changes in the order they are shown: new, updated, held with an
// update waiting, gone; by id within each.
std::vector<Change> Changes(const WorkshopRecord& record) {
    static const std::vector<RecordedMod> kNone;
    std::vector<Change> out;
    const auto nameOf = [&](PublishedFileId id) {
        const auto found = record.subscriptions.find(id);
        return found == record.subscriptions.end() ? "Workshop item " + std::to_string(id)
                                                   : CWorkshopMods::NameOf(found->second);
    };
    for (const ChangeKind kind : {ChangeKind::New, ChangeKind::Updated})
        for (const auto& [id, change] : record.changes)
            if (change.kind == kind)
                out.push_back({kind == ChangeKind::New ? "new" : "updated", id, nameOf(id), &change.from, &change.to});
    for (const auto& [id, subscription] : record.subscriptions)
        if (subscription.held && subscription.updateWaiting && subscription.subscribed)
            out.push_back({"held", id, nameOf(id), &subscription.mods, &kNone});
    for (const auto& [id, change] : record.changes)
        if (change.kind == ChangeKind::Gone) out.push_back({"gone", id, nameOf(id), &change.from, &kNone});
    return out;
}

std::wstring VersionsText(const Change& change) {
    std::wstring text;
    const auto add = [&text](const std::wstring& part) { text += (text.empty() ? L": " : L", ") + part; };
    if (std::string_view(change.kind) == "updated") {
        for (const RecordedMod& to : *change.to) {
            const RecordedMod* from = nullptr;
            for (const RecordedMod& mod : *change.from)
                if (mod.guid == to.guid) from = &mod;
            add(from ? fmt::format(L"version {} -> {}", from->version, to.version)
                     : fmt::format(L"version {} (a new mod file)", to.version));
        }
    } else {
        for (const RecordedMod& mod : std::string_view(change.kind) == "new" ? *change.to : *change.from)
            add(fmt::format(L"version {}", mod.version));
    }
    return text;
}

nlohmann::json ModsJson(const std::vector<RecordedMod>& mods) {
    nlohmann::json out = nlohmann::json::array();
    for (const RecordedMod& mod : mods)
        out.push_back({{"path", mod.path}, {"guid", mod.guid}, {"version", mod.version}});
    return out;
}

}  // namespace

std::wstring ChangesText(const WorkshopRecord& record) {
    const std::vector<Change> changes = Changes(record);
    const std::wstring since = record.lastGameStart ? L"since the game was last started (" +
                                                          Utf8ToWide(DateText(record.lastGameStart, true)) + L" UTC)"
                                                    : std::wstring(L"since the Workshop record was begun");
    if (changes.empty()) return L"Nothing changed " + since + L".\n";
    std::wstring out = L"What changed " + since + L":\n";
    for (const Change& change : changes) {
        const std::string_view kind = change.kind;
        const std::wstring label = kind == "new"       ? L"new"
                                   : kind == "updated" ? L"updated"
                                   : kind == "held"    ? L"held with an update waiting"
                                                       : L"gone, no longer subscribed (its files are kept)";
        out += fmt::format(L"  {}: {} (Workshop item {}){}\n", label, Utf8ToWide(change.name), change.id,
                           VersionsText(change));
    }
    return out;
}

std::wstring ChangesSummary(const WorkshopRecord& record) {
    std::size_t updated = 0, added = 0, held = 0, gone = 0;
    for (const Change& change : Changes(record)) {
        const std::string_view kind = change.kind;
        ++(kind == "updated" ? updated : kind == "new" ? added : kind == "held" ? held : gone);
    }
    std::wstring summary;
    const auto add = [&summary](std::size_t count, const wchar_t* what) {
        if (count > 0) summary += fmt::format(L"{}{} {}", summary.empty() ? L"" : L", ", count, what);
    };
    add(updated, L"updated");
    add(added, L"new");
    add(held, L"held with an update");
    add(gone, L"no longer subscribed");
    return summary;
}

std::string ChangesJson(const WorkshopRecord& record) {
    nlohmann::json changes = nlohmann::json::array();
    for (const Change& change : Changes(record))
        changes.push_back({{"kind", change.kind},
                           {"id", change.id},
                           {"name", change.name},
                           {"from", ModsJson(*change.from)},
                           {"to", ModsJson(*change.to)}});
    nlohmann::json root = {{"since", record.lastGameStart ? nlohmann::json(DateText(record.lastGameStart, true))
                                                          : nlohmann::json(nullptr)},
                           {"changes", std::move(changes)}};
    return root.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

void NoteGameStarted(const std::wstring& userGameFolder) {
    CWorkshopRecordFile file(userGameFolder);
    if (!platform::FileExists(file.RecordPath())) return;
    if (!file.Lock()) return;
    Result<WorkshopRecord> record = file.Read();
    if (!record) return;
    record->lastGameStart = SecondsSince1970();
    record->changes.clear();
    file.Save(*record);
}

std::optional<std::vector<WorkshopModChange>> RecordedModChanges(const std::wstring& userGameFolder) {
    const CWorkshopRecordFile file(userGameFolder);
    if (!platform::FileExists(file.RecordPath())) return std::nullopt;
    return RecordedModChanges(file.Peek());
}

std::vector<WorkshopModChange> RecordedModChanges(const WorkshopRecord& record) {
    std::vector<WorkshopModChange> mods;
    for (const auto& [id, subscription] : record.subscriptions) {
        const auto change = record.changes.find(id);
        const bool changed = change != record.changes.end() && change->second.kind != ChangeKind::Gone;
        for (const RecordedMod& mod : subscription.mods) mods.push_back({mod.guid, subscription.held, changed});
    }
    return mods;
}

}  // namespace gh
