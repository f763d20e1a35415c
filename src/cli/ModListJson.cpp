#include "cli/ModListJson.h"

#include "launcher/ModStatusText.h"

#include <charconv>
#include <cstdint>

namespace gh {

namespace {

constexpr bool kWide16 = sizeof(wchar_t) == 2;

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

    // The text as a JSON string in UTF-8. Wide text is converted as
    // WideToUtf8 converts it (pairs joined where wchar_t has 16 bits,
    // unpaired surrogates and values past U+10FFFF as U+FFFD), so the
    // result is always valid UTF-8.
    void String(std::wstring_view text) {
        m_out += '"';
        for (std::size_t i = 0; i < text.size(); ++i) {
            auto cp = static_cast<char32_t>(text[i]);
            if (kWide16 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
                const auto low = static_cast<char32_t>(text[i + 1]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
            if (cp < 0x80) {
                Ascii(static_cast<char>(cp));
            } else if (cp < 0x800) {
                m_out += static_cast<char>(0xC0 | (cp >> 6));
                m_out += static_cast<char>(0x80 | (cp & 0x3F));
            } else if (cp < 0x10000) {
                m_out += static_cast<char>(0xE0 | (cp >> 12));
                m_out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                m_out += static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                m_out += static_cast<char>(0xF0 | (cp >> 18));
                m_out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                m_out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                m_out += static_cast<char>(0x80 | (cp & 0x3F));
            }
        }
        m_out += '"';
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
    void Ascii(char c) {
        switch (c) {
            case '"': m_out += "\\\""; return;
            case '\\': m_out += "\\\\"; return;
            case '\b': m_out += "\\b"; return;
            case '\f': m_out += "\\f"; return;
            case '\n': m_out += "\\n"; return;
            case '\r': m_out += "\\r"; return;
            case '\t': m_out += "\\t"; return;
            default: break;
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            m_out += "\\u00";
            m_out += kHex[(c >> 4) & 0xF];
            m_out += kHex[c & 0xF];
            return;
        }
        m_out += c;
    }

    const JsonSink& m_write;
    std::string m_out;
};

// One entry of "missing" or "outdated" at `depth`, without its line start.
void RequirementEntry(CJsonText& out, int depth, std::int64_t guid, std::uint16_t version, const std::wstring& name) {
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

void Mod(CJsonText& out, const CModRows& rows, std::size_t row) {
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
    out.String(FormatVersion(mod.gameVersion[0], mod.gameVersion[1], mod.gameVersion[2], mod.gameVersion[3]));
    out.Raw(",");
    out.Key(kDepth + 1, "guid");
    out.Number(mod.guid);
    out.Raw(",");
    out.Key(kDepth + 1, "status");
    out.Number(status);
    out.Raw(",");
    out.Key(kDepth + 1, "statusText");
    out.String(ModStatusText(status));
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
    const auto problems = rows.ProblemsOf(row);
    out.Key(kDepth + 1, "missing");
    ProblemList(out, kDepth + 1, problems, false);
    out.Raw(",");
    out.Key(kDepth + 1, "outdated");
    ProblemList(out, kDepth + 1, problems, true);
    out.Indent(kDepth);
    out.Raw("}");
}

}  // namespace

void WriteModListJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion, const JsonSink& write) {
    CJsonText out(write);
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
            Mod(out, rows, row);
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
