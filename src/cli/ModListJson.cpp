#include "cli/ModListJson.h"

#include "workshop/WorkshopRecordFile.h"

#include "cli/JsonEscapes.h"
#include "launcher/ModStatusText.h"
#include "launcher/OutsideText.h"
#include "platform/Unicode.h"

#include <charconv>
#include <cstdint>

namespace gh {

namespace {

// Appends JSON text to a buffer and hands the buffer on when it is full.
class CJsonText {
public:
    explicit CJsonText(const JsonSink& write) : m_write(write) { m_out.reserve(kJsonPieceSize + kJsonPieceSize / 4); }
    CJsonText(const CJsonText&) = delete;
    CJsonText& operator=(const CJsonText&) = delete;

    void Raw(std::string_view text) { m_out += text; }

    template <class Integer>
    void Number(Integer value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_out.append(digits, end);
    }

    // "a.b.c.d", as FormatVersion writes the four parts.
    void Version(const std::uint16_t (&parts)[4]) {
        m_out += '"';
        for (int i = 0; i < 4; ++i) {
            if (i > 0) m_out += '.';
            Number(parts[i]);
        }
        m_out += '"';
    }

    // A line end, the indentation of `depth`, and `"key": `.
    void Key(int depth, std::string_view key) {
        m_out += '\n';
        m_out.append(static_cast<std::size_t>(2 * depth), ' ');
        m_out += '"';
        m_out += key;
        m_out += "\": ";
    }

    void Indent(int depth) {
        m_out += '\n';
        m_out.append(static_cast<std::size_t>(2 * depth), ' ');
    }

    // Wide text (a file's path) as a JSON string in UTF-8, converted as
    // WideToUtf8 converts it, so the result is always valid UTF-8.
    void String(std::wstring_view text) { String(WideToUtf8(text)); }

    // UTF-8 text as a JSON string: quotes, backslashes and the characters
    // that IsShownEscaped names escaped, the rest copied. The catalogue
    // keeps its texts valid; text that is not still comes out valid, with
    // U+FFFD where Utf8ToWide puts it.
    void String(std::string_view utf8) {
        const std::size_t start = m_out.size();
        m_out.resize(start + 6 * utf8.size() + 2);
        char* out = m_out.data() + start;
        *out++ = '"';
        for (std::size_t i = 0; i < utf8.size();) {
            const char c = utf8[i];
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) {
                const std::size_t length = ValidUtf8SequenceLength(utf8, i);
                if (length == 0) {
                    // Rare: written again from its valid form, with the
                    // replacements that reading it as text makes.
                    m_out.resize(start);
                    String(WideToUtf8(Utf8ToWide(utf8)));
                    return;
                }
                const std::string_view sequence = utf8.substr(i, length);
                const char32_t code = JsonCodePoint(sequence);
                out = IsShownEscaped(code) ? UnicodeEscape(out, code) : Copied(out, sequence);
                i += length;
                continue;
            }
            if (byte >= 0x20 && byte != 0x7F && c != '"' && c != '\\')
                *out++ = c;
            else
                out = Escaped(out, c);
            ++i;
        }
        *out++ = '"';
        m_out.resize(static_cast<std::size_t>(out - m_out.data()));
    }

    void FlushIfFull() {
        if (m_out.size() >= kJsonPieceSize) Flush();
    }

    void Flush() {
        if (m_out.empty()) return;
        m_write(m_out);
        m_out.clear();
    }

private:
    static char* Copied(char* out, std::string_view bytes) {
        for (const char b : bytes) *out++ = b;
        return out;
    }

    // A quote, a backslash or a control character, escaped at `out`; any
    // other character as it is. Returns the end of what was written.
    static char* Escaped(char* out, char c) {
        const auto put = [&out](std::string_view text) {
            for (char t : text) *out++ = t;
            return out;
        };
        switch (c) {
            case '"': return put("\\\"");
            case '\\': return put("\\\\");
            case '\b': return put("\\b");
            case '\f': return put("\\f");
            case '\n': return put("\\n");
            case '\r': return put("\\r");
            case '\t': return put("\\t");
            default: break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (IsShownEscaped(byte)) return UnicodeEscape(out, byte);
        *out++ = c;
        return out;
    }

    // "\u" and four lower-case hexadecimal digits, as nlohmann::json
    // escapes control characters, for a character below U+10000.
    static char* UnicodeEscape(char* out, char32_t code) {
        static constexpr char kHex[] = "0123456789abcdef";
        *out++ = '\\';
        *out++ = 'u';
        for (int shift = 12; shift >= 0; shift -= 4) *out++ = kHex[(code >> shift) & 0xF];
        return out;
    }

    const JsonSink& m_write;
    std::string m_out;
};

// One entry of "missing" or "outdated" at `depth`, without its line start.
void RequirementEntry(CJsonText& out, int depth, std::int64_t guid, std::uint16_t version, std::string_view name) {
    out.Raw("{");
    out.Key(depth + 1, "guid");
    out.Number(guid);
    out.Raw(",");
    out.Key(depth + 1, "version");
    out.Number(version);
    out.Raw(",");
    out.Key(depth + 1, "name");
    out.String(name);
    out.Indent(depth);
    out.Raw("}");
}

// "missing" (`installed` false) or "outdated" of one row at `depth`.
void ProblemList(CJsonText& out, int depth, std::span<const RequirementProblem> problems, bool installed) {
    bool first = true;
    for (const RequirementProblem& problem : problems) {
        if ((problem.installed != nullptr) != installed) continue;
        out.Raw(first ? "[" : ",");
        first = false;
        out.Indent(depth + 1);
        if (installed)
            RequirementEntry(out, depth + 1, problem.installed->guid, problem.installed->version,
                             problem.installed->name);
        else
            RequirementEntry(out, depth + 1, problem.requirement->guid, problem.requirement->version,
                             problem.requirement->name);
    }
    if (first) {
        out.Raw("[]");
        return;
    }
    out.Indent(depth);
    out.Raw("]");
}

// The status texts, made once for all rows.
class CStatusTexts {
public:
    CStatusTexts() {
        for (std::int32_t status = 0; status < kKnown; ++status) m_texts[status] = ModStatusText(status);
    }
    // ModStatusText(status); empty for a value it does not know.
    std::wstring_view Of(std::int32_t status) const {
        return status >= 0 && status < kKnown ? std::wstring_view(m_texts[status]) : std::wstring_view();
    }

private:
    static constexpr std::int32_t kKnown = 4;
    std::wstring m_texts[kKnown];
};

void WorkshopObject(CJsonText& out, int depth, const RecordedSubscription* subscription) {
    if (!subscription) {
        out.Raw("null");
        return;
    }
    out.Raw("{");
    out.Key(depth + 1, "id");
    out.Number(subscription->id);
    out.Raw(",");
    out.Key(depth + 1, "subscribed");
    out.Raw(subscription->subscribed ? "true" : "false");
    out.Raw(",");
    out.Key(depth + 1, "held");
    out.Raw(subscription->held ? "true" : "false");
    out.Raw(",");
    out.Key(depth + 1, "updateWaiting");
    out.Raw(subscription->updateWaiting != 0 ? "true" : "false");
    out.Raw(",");
    out.Key(depth + 1, "history");
    if (subscription->history.empty()) {
        out.Raw("[]");
    } else {
        for (std::size_t i = 0; i < subscription->history.size(); ++i) {
            const HistoryEntry& entry = subscription->history[i];
            out.Raw(i == 0 ? "[" : ",");
            out.Indent(depth + 2);
            out.Raw("{");
            out.Key(depth + 3, "entry");
            out.Number(i + 1);
            out.Raw(",");
            out.Key(depth + 3, "installed");
            out.String(DateText(entry.installed));
            out.Raw(",");
            out.Key(depth + 3, "mods");
            if (entry.mods.empty()) {
                out.Raw("[]");
            } else {
                for (std::size_t m = 0; m < entry.mods.size(); ++m) {
                    out.Raw(m == 0 ? "[" : ",");
                    out.Indent(depth + 4);
                    out.Raw("{");
                    out.Key(depth + 5, "guid");
                    out.Number(entry.mods[m].guid);
                    out.Raw(",");
                    out.Key(depth + 5, "version");
                    out.Number(entry.mods[m].version);
                    out.Indent(depth + 4);
                    out.Raw("}");
                }
                out.Indent(depth + 3);
                out.Raw("]");
            }
            out.Indent(depth + 2);
            out.Raw("}");
        }
        out.Indent(depth + 1);
        out.Raw("]");
    }
    out.Indent(depth);
    out.Raw("}");
}

void Mod(CJsonText& out, const CModRows& rows, std::size_t row, const CStatusTexts& statusTexts,
         const CWorkshopMods* workshop) {
    constexpr int kDepth = 2;  // the object's own; its keys are one deeper
    const ModInfo& mod = rows.RecordOf(row);
    const std::int32_t status = rows.StatusOf(row);
    out.Raw("{");
    out.Key(kDepth + 1, "name");
    out.String(mod.name);
    out.Raw(",");
    out.Key(kDepth + 1, "author");
    out.String(mod.author);
    out.Raw(",");
    out.Key(kDepth + 1, "version");
    out.Number(static_cast<std::uint32_t>(mod.version));
    out.Raw(",");
    out.Key(kDepth + 1, "gameVersion");
    out.Version(mod.gameVersion);
    out.Raw(",");
    out.Key(kDepth + 1, "guid");
    out.Number(mod.guid);
    out.Raw(",");
    out.Key(kDepth + 1, "status");
    out.Number(status);
    out.Raw(",");
    out.Key(kDepth + 1, "statusText");
    out.String(statusTexts.Of(status));
    out.Raw(",");
    out.Key(kDepth + 1, "description");
    out.String(mod.description);
    out.Raw(",");
    out.Key(kDepth + 1, "website");
    out.String(mod.website);
    out.Raw(",");
    out.Key(kDepth + 1, "downloadUrl");
    out.String(mod.downloadUrl);
    out.Raw(",");
    out.Key(kDepth + 1, "file");
    out.String(mod.filePath);
    out.Raw(",");
    if (!mod.readError.empty()) {
        out.Key(kDepth + 1, "readError");
        out.String(mod.readError);
        out.Raw(",");
    }
    const auto problems = rows.ProblemsOf(row);
    out.Key(kDepth + 1, "missing");
    ProblemList(out, kDepth + 1, problems, false);
    out.Raw(",");
    out.Key(kDepth + 1, "outdated");
    ProblemList(out, kDepth + 1, problems, true);
    if (workshop) {
        out.Raw(",");
        out.Key(kDepth + 1, "workshop");
        WorkshopObject(out, kDepth + 1, workshop->Of(mod.filePath));
    }
    out.Indent(kDepth);
    out.Raw("}");
}

// One entry of "hidden" at `depth`, without its line start: a file the
// catalogue passed over because a listed file has its identity.
void HiddenEntry(CJsonText& out, int depth, const HiddenModFile& file, const ModInfo* listed) {
    out.Raw("{");
    out.Key(depth + 1, "file");
    out.String(file.file);
    out.Raw(",");
    if (!file.readError.empty()) {
        out.Key(depth + 1, "readError");
        out.String(file.readError);
        out.Raw(",");
    }
    out.Key(depth + 1, "name");
    out.String(file.name);
    out.Raw(",");
    out.Key(depth + 1, "version");
    out.Number(static_cast<std::uint32_t>(file.version));
    out.Raw(",");
    out.Key(depth + 1, "guid");
    out.Number(file.guid);
    out.Raw(",");
    out.Key(depth + 1, "sameAs");
    if (listed)
        out.String(listed->filePath);
    else
        out.Raw("null");
    out.Indent(depth);
    out.Raw("}");
}

}  // namespace

void WriteModListJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion, const JsonSink& write,
                      const CWorkshopMods* workshop) {
    CJsonText out(write);
    const CStatusTexts statusTexts;
    out.Raw("{");
    out.Key(1, "gameVersion");
    if (gameVersion)
        out.String(FormatVersion(gameVersion->major, gameVersion->minor, gameVersion->build, gameVersion->revision));
    else
        out.Raw("null");
    out.Raw(",");
    out.Key(1, "mods");
    if (rows.RowCount() == 0) {
        out.Raw("[]");
    } else {
        for (std::size_t row = 0; row < rows.RowCount(); ++row) {
            out.Raw(row == 0 ? "[" : ",");
            out.Indent(2);
            Mod(out, rows, row, statusTexts, workshop);
            out.FlushIfFull();
        }
        out.Indent(1);
        out.Raw("]");
    }
    out.Raw(",");
    out.Key(1, "hidden");
    const CModCatalogue& catalogue = rows.Catalogue();
    if (catalogue.Hidden().empty()) {
        out.Raw("[]");
    } else {
        bool first = true;
        for (const HiddenModFile& file : catalogue.Hidden()) {
            out.Raw(first ? "[" : ",");
            first = false;
            out.Indent(2);
            HiddenEntry(out, 2, file, catalogue.FindByGuid(file.guid));
            out.FlushIfFull();
        }
        out.Indent(1);
        out.Raw("]");
    }
    out.Raw("\n}\n");
    out.Flush();
}

std::string ModListJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion) {
    std::string text;
    WriteModListJson(rows, gameVersion, [&text](std::string_view piece) { text += piece; });
    return text;
}

}  // namespace gh
