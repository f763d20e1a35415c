#include "workshop/WorkshopRecord.h"

#include "platform/Unicode.h"
#include "workshop/RecordJsonReader.h"
#include "workshop/WorkshopNames.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <limits>

namespace gh {

namespace {

// What a known key of an object held, as far as the checks need it. A key
// that comes twice counts with its last value, as in a JSON document tree.
struct Scalar {
    enum class Type : std::uint8_t { Missing, Unsigned, Signed, Float, Bool, String, Other };
    Type type = Type::Missing;
    std::uint64_t u = 0;
    std::int64_t i = 0;
    bool b = false;
};

bool ReadUnsigned(const Scalar& value, std::uint64_t high, std::uint64_t& out) {
    if (value.type == Scalar::Type::Unsigned) {
        out = value.u;
    } else if (value.type == Scalar::Type::Signed && value.i >= 0) {
        out = static_cast<std::uint64_t>(value.i);
    } else {
        return false;
    }
    return out <= high;
}

bool ReadSigned(const Scalar& value, std::int64_t& out) {
    if (value.type == Scalar::Type::Signed) {
        out = value.i;
        return true;
    }
    std::uint64_t number = 0;
    if (!ReadUnsigned(value, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()), number))
        return false;
    out = static_cast<std::int64_t>(number);
    return true;
}

// An optional time (seconds since 1970, 0 when missing).
bool Time(const Scalar& value, const char* key, std::int64_t& out, std::string& fault) {
    if (value.type == Scalar::Type::Missing || ReadSigned(value, out)) return true;
    fault = fmt::format("\"{}\" is not a time", key);
    return false;
}

bool Flag(const Scalar& value, const char* key, bool& out, std::string& fault) {
    if (value.type == Scalar::Type::Missing) return true;
    if (value.type != Scalar::Type::Bool) {
        fault = fmt::format("\"{}\" is not true or false", key);
        return false;
    }
    out = value.b;
    return true;
}

// The subscriptions and the history entries have no bound of their own but the text's size.
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// Reads the record straight from its text, without a document tree. Every
// list is read into the record as it comes; its first fault is kept beside
// it and judged when the object that holds it has been read whole, in the
// order a tree would be judged, so that a key met twice counts with its
// last value only. A fault of the JSON itself ends the reading at once.
class CRecordReader {
public:
    explicit CRecordReader(std::string_view text) : m_json(text, kRecordMaxDepth) {}

    bool Read(WorkshopRecord& out) {
        if (m_json.Peek() != JsonKind::Object) {
            if (!m_json.SkipValue() || !m_json.AtEnd()) return JsonFault();
            return Fail("the record is not a JSON object");
        }
        Scalar version, lastGameStart;
        std::string changesFault, subscriptionsFault;
        m_json.EnterObject();
        for (std::string_view key; m_json.NextKey(key);) {
            const bool read = key == "version"         ? ReadScalar(version)
                              : key == "lastGameStart" ? ReadScalar(lastGameStart)
                              : key == "changes"       ? ReadChanges(out.changes, changesFault)
                              : key == "subscriptions" ? ReadSubscriptions(out.subscriptions, subscriptionsFault)
                                                       : m_json.SkipValue();
            if (!read) break;
        }
        if (m_json.GetFault() != CJsonCursor::Fault::None || !m_json.AtEnd()) return JsonFault();
        std::uint64_t number = 0;
        if (!ReadUnsigned(version, 1'000'000, number)) return Fail("the record has no version");
        if (number != kWorkshopRecordVersion)
            return Fail(fmt::format("the record has version {}, which this launcher does not know", number));
        std::string fault;
        if (!Time(lastGameStart, "lastGameStart", out.lastGameStart, fault)) return Fail(fault);
        if (!changesFault.empty()) return Fail(changesFault);
        if (!subscriptionsFault.empty()) return Fail(subscriptionsFault);
        return true;
    }

    const std::string& Problem() const { return m_problem; }

private:
    bool Fail(std::string problem) {
        m_problem = std::move(problem);
        return false;
    }

    bool JsonFault() {
        if (m_json.GetFault() == CJsonCursor::Fault::TooDeep)
            return Fail("the record nests deeper than any record does");
        return Fail("not valid JSON: " + m_json.Problem());
    }

    // The next value into `out`; a string's text into `text` (when given).
    // False only when the JSON itself is at fault.
    bool ReadScalar(Scalar& out, std::string* text = nullptr) {
        switch (m_json.Peek()) {
            case JsonKind::Number: {
                JsonNumber number;
                if (!m_json.ReadNumber(number)) return false;
                out.type = number.type == JsonNumber::Type::Unsigned ? Scalar::Type::Unsigned
                           : number.type == JsonNumber::Type::Signed ? Scalar::Type::Signed
                                                                     : Scalar::Type::Float;
                out.u = number.unsignedValue;
                out.i = number.signedValue;
                return true;
            }
            case JsonKind::Bool: out.type = Scalar::Type::Bool; return m_json.ReadBool(out.b);
            case JsonKind::String:
                out.type = Scalar::Type::String;
                return text ? m_json.ReadString(*text) : m_json.SkipValue();
            default: out.type = Scalar::Type::Other; return m_json.SkipValue();
        }
    }

    // Enters the list that comes next, or notes `notList` as its fault and
    // passes over it. False when it is no list or the JSON is at fault.
    bool EnterList(std::string& fault, const char* notList) {
        if (m_json.Peek() == JsonKind::Array) return m_json.EnterArray();
        fault = notList;
        m_json.SkipValue();
        return false;
    }

    // Whether the list has another element that is to be read, its object
    // entered. Elements after the list's first fault or beyond `limit` are
    // only passed over (`count` counts them all), as is one that is no
    // object, which is the fault `notObject`.
    bool NextEntry(std::string& fault, const char* notObject, std::size_t& count, std::size_t limit = kRecordMaxFiles) {
        while (m_json.NextElement()) {
            ++count;
            if (fault.empty() && count <= limit) {
                if (m_json.Peek() == JsonKind::Object) return m_json.EnterObject();
                fault = notObject;
            }
            if (!m_json.SkipValue()) return false;
        }
        return false;
    }

    bool Ok() const { return m_json.GetFault() == CJsonCursor::Fault::None; }

    // IsRecordPathBelowMods, for a path that is a string: a subscription's
    // mods and earlier versions name the files it names, so the last paths
    // found below mods/ are remembered and not judged again.
    bool BelowMods(const Scalar& value, const std::string& path) {
        if (value.type != Scalar::Type::String) return false;
        for (std::size_t i = 0; i < m_knownCount; ++i)
            if (m_knownBelowMods[i] == path) return true;
        if (!IsRecordPathBelowMods(path)) return false;
        m_knownBelowMods[m_nextKnown] = path;
        m_nextKnown = (m_nextKnown + 1) % m_knownBelowMods.size();
        m_knownCount = std::max(m_knownCount, m_nextKnown == 0 ? m_knownBelowMods.size() : m_nextKnown);
        return true;
    }

    bool ReadFiles(std::vector<RecordedFile>& out, std::string& fault) {
        out.clear();
        fault.clear();
        constexpr const char* kNotList = "\"files\" is not a list of files";
        if (!EnterList(fault, kNotList)) return Ok();
        std::size_t count = 0;
        while (NextEntry(fault, "a file entry is not a JSON object", count)) {
            RecordedFile file;
            Scalar path, size, modified;
            for (std::string_view key; m_json.NextKey(key);) {
                const bool read = key == "path"       ? ReadScalar(path, &file.path)
                                  : key == "size"     ? ReadScalar(size)
                                  : key == "modified" ? ReadScalar(modified)
                                                      : m_json.SkipValue();
                if (!read) return false;
            }
            if (!Ok()) return false;
            // An entry naming a file outside the mods folder is not the
            // program's to touch: it is left out, the rest stands.
            if (!BelowMods(path, file.path)) continue;
            if (size.type != Scalar::Type::Missing &&
                !ReadUnsigned(size, std::numeric_limits<std::int64_t>::max(), file.size)) {
                fault = "a file's \"size\" is not a size";
                continue;
            }
            if (!Time(modified, "modified", file.modified, fault)) continue;
            out.push_back(std::move(file));
        }
        if (count > kRecordMaxFiles) fault = kNotList;
        return Ok();
    }

    bool ReadMods(std::vector<RecordedMod>& out, const char* key, std::string& fault) {
        out.clear();
        fault.clear();
        const char* notList = key == std::string_view("mods")   ? "\"mods\" is not a list of mods"
                              : key == std::string_view("from") ? "\"from\" is not a list of mods"
                                                                : "\"to\" is not a list of mods";
        if (!EnterList(fault, notList)) return Ok();
        std::size_t count = 0;
        while (NextEntry(fault, "a mod entry is not a JSON object", count)) {
            RecordedMod mod;
            Scalar path, guid, version;
            for (std::string_view name; m_json.NextKey(name);) {
                const bool read = name == "path"      ? ReadScalar(path, &mod.path)
                                  : name == "guid"    ? ReadScalar(guid)
                                  : name == "version" ? ReadScalar(version)
                                                      : m_json.SkipValue();
                if (!read) return false;
            }
            if (!Ok()) return false;
            if (!BelowMods(path, mod.path)) continue;
            std::uint64_t number = 0;
            if (!ReadSigned(guid, mod.guid)) {
                fault = "a mod's \"guid\" is not a number";
                continue;
            }
            if (!ReadUnsigned(version, std::numeric_limits<std::uint32_t>::max(), number)) {
                fault = "a mod's \"version\" is not a number";
                continue;
            }
            mod.version = static_cast<std::uint32_t>(number);
            out.push_back(std::move(mod));
        }
        if (count > kRecordMaxFiles) fault = notList;
        return Ok();
    }

    bool ReadChanges(std::map<PublishedFileId, RecordedChange>& out, std::string& fault) {
        out.clear();
        fault.clear();
        constexpr const char* kNotList = "\"changes\" is not a list";
        if (!EnterList(fault, kNotList)) return Ok();
        std::size_t count = 0;
        while (NextEntry(fault, "a change is not a JSON object", count)) {
            RecordedChange change;
            Scalar id, kind;
            std::string kindText, fromFault, toFault;
            for (std::string_view key; m_json.NextKey(key);) {
                const bool read = key == "id"     ? ReadScalar(id)
                                  : key == "kind" ? ReadScalar(kind, &kindText)
                                  : key == "from" ? ReadMods(change.from, "from", fromFault)
                                  : key == "to"   ? ReadMods(change.to, "to", toFault)
                                                  : m_json.SkipValue();
                if (!read) return false;
            }
            if (!Ok()) return false;
            PublishedFileId changed = 0;
            if (!ReadUnsigned(id, std::numeric_limits<std::uint64_t>::max(), changed) || changed == 0) {
                fault = "a change has no id";
                continue;
            }
            if (kind.type != Scalar::Type::String) kindText.clear();
            if (kindText == "new") {
                change.kind = ChangeKind::New;
            } else if (kindText == "updated") {
                change.kind = ChangeKind::Updated;
            } else if (kindText == "gone") {
                change.kind = ChangeKind::Gone;
            } else {
                fault = fmt::format("the change of {} has no kind", changed);
                continue;
            }
            if (!fromFault.empty() || !toFault.empty()) {
                fault = !fromFault.empty() ? fromFault : toFault;
                continue;
            }
            if (!out.emplace(changed, std::move(change)).second)
                fault = fmt::format("subscription {} has two changes", changed);
        }
        if (count > kRecordMaxFiles) fault = kNotList;
        return Ok();
    }

    bool ReadHistory(std::vector<HistoryEntry>& out, std::string& fault) {
        out.clear();
        fault.clear();
        if (!EnterList(fault, "\"history\" is not a list")) return Ok();
        std::size_t count = 0;
        while (NextEntry(fault, "a history entry is not a JSON object", count, kNoLimit)) {
            HistoryEntry entry;
            Scalar folder, installed, workshopTime;
            std::string filesFault, modsFault;
            for (std::string_view key; m_json.NextKey(key);) {
                const bool read = key == "folder"         ? ReadScalar(folder)
                                  : key == "installed"    ? ReadScalar(installed)
                                  : key == "workshopTime" ? ReadScalar(workshopTime)
                                  : key == "files"        ? ReadFiles(entry.files, filesFault)
                                  : key == "mods"         ? ReadMods(entry.mods, "mods", modsFault)
                                                          : m_json.SkipValue();
                if (!read) return false;
            }
            if (!Ok()) return false;
            std::uint64_t number = 0;
            if (!ReadUnsigned(folder, std::numeric_limits<std::uint32_t>::max(), number) || number == 0) {
                fault = "a history entry has no folder";
                continue;
            }
            entry.folder = static_cast<std::uint32_t>(number);
            if (!Time(installed, "installed", entry.installed, fault) ||
                !Time(workshopTime, "workshopTime", entry.workshopTime, fault))
                continue;
            if (!filesFault.empty() || !modsFault.empty()) {
                fault = !filesFault.empty() ? filesFault : modsFault;
                continue;
            }
            out.push_back(std::move(entry));
        }
        return Ok();
    }

    bool ReadSubscriptions(std::map<PublishedFileId, RecordedSubscription>& out, std::string& fault) {
        out.clear();
        fault.clear();
        if (!EnterList(fault, "\"subscriptions\" is not an array")) return Ok();
        std::size_t count = 0;
        while (NextEntry(fault, "a subscription is not a JSON object", count, kNoLimit)) {
            RecordedSubscription subscription;
            if (!ReadSubscription(subscription, fault)) return false;
            if (!fault.empty()) continue;
            const PublishedFileId id = subscription.id;
            const std::size_t before = out.size();
            // The writer lists them by id: each goes at the end.
            out.emplace_hint(out.end(), id, std::move(subscription));
            if (out.size() == before) fault = fmt::format("subscription {} is recorded twice", id);
        }
        return Ok();
    }

    // The subscription whose object was entered; `fault` gets its first fault.
    bool ReadSubscription(RecordedSubscription& out, std::string& fault) {
        Scalar id, route, workshopTime, installed, updateWaiting, held, subscribed;
        std::string routeText, filesFault, modsFault, historyFault;
        for (std::string_view key; m_json.NextKey(key);) {
            const bool read = key == "id"              ? ReadScalar(id)
                              : key == "route"         ? ReadScalar(route, &routeText)
                              : key == "workshopTime"  ? ReadScalar(workshopTime)
                              : key == "installed"     ? ReadScalar(installed)
                              : key == "updateWaiting" ? ReadScalar(updateWaiting)
                              : key == "held"          ? ReadScalar(held)
                              : key == "subscribed"    ? ReadScalar(subscribed)
                              : key == "files"         ? ReadFiles(out.files, filesFault)
                              : key == "mods"          ? ReadMods(out.mods, "mods", modsFault)
                              : key == "history"       ? ReadHistory(out.history, historyFault)
                                                       : m_json.SkipValue();
            if (!read) return false;
        }
        if (!Ok()) return false;
        if (!ReadUnsigned(id, std::numeric_limits<std::uint64_t>::max(), out.id) || out.id == 0) {
            fault = "a subscription has no id";
            return true;
        }
        if (route.type != Scalar::Type::String) routeText.clear();
        if (routeText == "file") {
            out.route = SubscriptionRoute::File;
        } else if (routeText == "folder") {
            out.route = SubscriptionRoute::Folder;
        } else {
            fault = fmt::format("subscription {} has no route", out.id);
            return true;
        }
        if (!Time(workshopTime, "workshopTime", out.workshopTime, fault) ||
            !Time(installed, "installed", out.installed, fault) ||
            !Time(updateWaiting, "updateWaiting", out.updateWaiting, fault) || !Flag(held, "held", out.held, fault) ||
            !Flag(subscribed, "subscribed", out.subscribed, fault))
            return true;
        for (const std::string* list : {&filesFault, &modsFault, &historyFault}) {
            if (!list->empty()) {
                fault = *list;
                break;
            }
        }
        return true;
    }

    CJsonCursor m_json;
    std::string m_problem;
    std::array<std::string, 8> m_knownBelowMods;
    std::size_t m_nextKnown = 0, m_knownCount = 0;
};

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
    CRecordReader reader(text);
    WorkshopRecord record;
    if (!reader.Read(record)) return bad(reader.Problem());
    return record;
}

}  // namespace gh
