// The record's text, written by hand as nlohmann::json's dump(1) writes it
// (keys in byte order, one space per level), without building its tree:
// writing 10,000 subscriptions through a tree took longer than reading them.
#include "workshop/WorkshopRecord.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdint>

namespace gh {

namespace {

class CRecordWriter {
public:
    std::string Take() { return std::move(m_out); }

    // An object's or an array's opening; `key` names it within an object.
    void Open(const char* key, char bracket) {
        Key(key);
        m_out += bracket;
        ++m_depth;
        m_first = true;
    }
    void Close(char bracket) {
        --m_depth;
        if (m_first) {  // empty: "[]" or "{}" on one line
            m_first = false;
        } else {
            NewLine();
        }
        m_out += bracket;
    }

    void Number(const char* key, std::int64_t value) {
        Key(key);
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_out.append(digits, end);
    }
    void Unsigned(const char* key, std::uint64_t value) {
        Key(key);
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_out.append(digits, end);
    }
    void Flag(const char* key, bool value) {
        Key(key);
        m_out += value ? "true" : "false";
    }
    void Text(const char* key, const std::string& value) {
        Key(key);
        String(value);
    }

private:
    void NewLine() {
        m_out += '\n';
        m_out.append(static_cast<std::size_t>(m_depth), ' ');
    }

    // Starts a member (`key`) or an element (null `key`).
    void Key(const char* key) {
        if (m_depth > 0) {
            if (!m_first) m_out += ',';
            NewLine();
        }
        m_first = false;
        if (key) {
            String(key);
            m_out += ": ";
        }
    }

    void String(std::string_view text) {
        // Plain printable ASCII as it is; anything else as the library
        // writes it (escapes, and U+FFFD for bytes that are not UTF-8).
        for (const char c : text) {
            if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') {
                m_out +=
                    nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
                return;
            }
        }
        m_out += '"';
        m_out += text;
        m_out += '"';
    }

    std::string m_out;
    int m_depth = 0;
    bool m_first = true;
};

void WriteFiles(CRecordWriter& out, const std::vector<RecordedFile>& files) {
    out.Open("files", '[');
    for (const RecordedFile& file : files) {
        out.Open(nullptr, '{');
        out.Number("modified", file.modified);
        out.Text("path", file.path);
        out.Unsigned("size", file.size);
        out.Close('}');
    }
    out.Close(']');
}

void WriteMods(CRecordWriter& out, const char* key, const std::vector<RecordedMod>& mods) {
    out.Open(key, '[');
    for (const RecordedMod& mod : mods) {
        out.Open(nullptr, '{');
        out.Number("guid", mod.guid);
        out.Text("path", mod.path);
        out.Unsigned("version", mod.version);
        out.Close('}');
    }
    out.Close(']');
}

}  // namespace

std::string WorkshopRecordText(const WorkshopRecord& record) {
    CRecordWriter out;
    out.Open(nullptr, '{');
    out.Open("changes", '[');
    for (const auto& [id, change] : record.changes) {
        out.Open(nullptr, '{');
        WriteMods(out, "from", change.from);
        out.Unsigned("id", id);
        out.Text("kind", change.kind == ChangeKind::New       ? "new"
                         : change.kind == ChangeKind::Updated ? "updated"
                                                              : "gone");
        WriteMods(out, "to", change.to);
        out.Close('}');
    }
    out.Close(']');
    out.Number("lastGameStart", record.lastGameStart);
    out.Open("subscriptions", '[');
    for (const auto& [id, subscription] : record.subscriptions) {
        out.Open(nullptr, '{');
        WriteFiles(out, subscription.files);
        out.Flag("held", subscription.held);
        out.Open("history", '[');
        for (const HistoryEntry& entry : subscription.history) {
            out.Open(nullptr, '{');
            WriteFiles(out, entry.files);
            out.Unsigned("folder", entry.folder);
            out.Number("installed", entry.installed);
            WriteMods(out, "mods", entry.mods);
            out.Number("workshopTime", entry.workshopTime);
            out.Close('}');
        }
        out.Close(']');
        out.Unsigned("id", id);
        out.Number("installed", subscription.installed);
        WriteMods(out, "mods", subscription.mods);
        out.Text("route", subscription.route == SubscriptionRoute::File ? "file" : "folder");
        out.Flag("subscribed", subscription.subscribed);
        out.Number("updateWaiting", subscription.updateWaiting);
        out.Number("workshopTime", subscription.workshopTime);
        out.Close('}');
    }
    out.Close(']');
    out.Number("version", kWorkshopRecordVersion);
    out.Close('}');
    // Paths that are not valid UTF-8 are written with U+FFFD rather than
    // refused: the record is never lost for one odd name.
    return out.Take() + "\n";
}

}  // namespace gh
