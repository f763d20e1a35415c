#include "launcher/BugReport.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <unordered_set>

#include "game/GameVersion.h"
#include "launcher/LauncherVersion.h"
#include "launcher/ModStatusText.h"
#include "launcher/OutsideText.h"
#include "platform/FolderListing.h"
#include "platform/SystemDescription.h"

namespace gh {

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

std::vector<std::wstring_view> Components(std::wstring_view path) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameComponent(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// The report's texts: outside text escaped, and in Markdown the characters
// that would start emphasis, code, a link, an HTML tag, an entity or a table
// cell escaped with a backslash, which Markdown takes off again.
class CReportWriter {
public:
    explicit CReportWriter(BugReportFormat format) : m_markdown(format == BugReportFormat::Markdown) {}

    bool Markdown() const { return m_markdown; }

    std::wstring Outside(std::wstring_view text) const { return Marked(EscapedText(text)); }
    std::wstring Outside(std::string_view utf8) const { return Marked(EscapedText(utf8)); }

    std::wstring Heading(std::wstring_view text) const {
        return m_markdown ? fmt::format(L"\n### {}\n\n", text) : fmt::format(L"\n{}\n", text);
    }

    std::wstring Item(std::wstring_view text, int depth = 0) const {
        return std::wstring(static_cast<std::size_t>(depth) * 2 + (m_markdown ? 0 : 2), L' ') +
               (m_markdown ? L"- " : L"") + std::wstring(text) + L"\n";
    }

    std::wstring Strong(std::wstring_view text) const {
        return m_markdown ? fmt::format(L"**{}**", text) : std::wstring(text);
    }

private:
    std::wstring Marked(std::wstring text) const {
        if (!m_markdown) return text;
        std::wstring out;
        out.reserve(text.size());
        for (const wchar_t c : text) {
            if (std::wstring_view(L"\\`*_[]<>|~&").find(c) != std::wstring_view::npos) out += L'\\';
            out += c;
        }
        return out;
    }

    bool m_markdown;
};

// A mod by its name, or by its identity when its file names it nothing.
std::wstring ModName(const CReportWriter& writer, std::string_view name, std::int64_t guid) {
    return name.empty() ? fmt::format(L"mod {}", guid) : writer.Outside(name);
}

std::wstring GameVersionText(const std::optional<GameVersionParts>& version) {
    if (!version) return L"unknown: the game's version could not be read";
    return FormatVersion(version->major, version->minor, version->build, version->revision);
}

// The mods folder as the catalogue's records spell its path.
std::wstring RecordedModsFolder(const CGameFolders& folders) {
    return platform::ExactCasePath(folders.GetModsFolderToScan());
}

std::wstring ModsFile(const CReportWriter& writer, const ModInfo& mod, const std::wstring& modsFolder) {
    return L"mods/" + writer.Outside(PathBelowFolder(mod.filePath, modsFolder));
}

std::wstring Versions(const CGameFolders& folders, const CReportWriter& writer) {
    std::wstring out;
    out += writer.Item(fmt::format(L"{} Gatehouse {}", writer.Strong(L"Launcher:"), LauncherVersion()));
    out += writer.Item(
        fmt::format(L"{} Emberwake II {}", writer.Strong(L"Game:"), GameVersionText(folders.GameVersion())));
    out += writer.Item(fmt::format(L"{} {}", writer.Strong(L"System:"), writer.Outside(platform::SystemDescription())));
    return out;
}

std::wstring Selection(const BugReportSubject& subject, const CReportWriter& writer, const std::wstring& modsFolder) {
    const CModRows& rows = subject.rows;
    const std::size_t count = subject.selection.size();
    std::wstring out =
        writer.Heading(fmt::format(L"Selection: {} ({} mod{}, in launch order)", writer.Outside(subject.selectionName),
                                   count, count == 1 ? L"" : L"s"));
    if (count == 0) return out + writer.Item(L"No mods are selected.");
    if (writer.Markdown()) out += L"| # | Name | Version | Identity | Status | File |\n|--:|---|--:|--:|---|---|\n";
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t row = subject.selection[i];
        if (row >= rows.RowCount()) continue;
        const ModInfo& mod = rows.RecordOf(row);
        const std::wstring name = ModName(writer, mod.name, mod.guid);
        const std::wstring status = ModStatusText(rows.StatusOf(row));
        const std::wstring file = ModsFile(writer, mod, modsFolder);
        if (writer.Markdown())
            out += fmt::format(L"| {} | {} | {} | {} | {} | {} |\n", i + 1, name, mod.version, mod.guid, status, file);
        else
            out += fmt::format(L"  {}. {}, version {}, identity {}, {}, {}\n", i + 1, name, mod.version, mod.guid,
                               status, file);
    }
    return out;
}

// What keeps one mod from being used as it is.
std::wstring Problems(const CModRows& rows, std::size_t row, const CReportWriter& writer) {
    const ModInfo& mod = rows.RecordOf(row);
    std::wstring out;
    if (!mod.readError.empty()) out += writer.Item(L"cannot be read: " + writer.Outside(mod.readError), 1);
    if (rows.StatusOf(row) == StatusWrongGameVersion)
        out += writer.Item(
            fmt::format(L"built for game version {}",
                        FormatVersion(mod.gameVersion[0], mod.gameVersion[1], mod.gameVersion[2], mod.gameVersion[3])),
            1);
    for (const RequirementProblem& problem : rows.ProblemsOf(row)) {
        const CModRequirement& requirement = *problem.requirement;
        const std::wstring least =
            problem.highestVersion > 0 ? fmt::format(L", version {} or later", problem.highestVersion) : L"";
        if (problem.installed == nullptr) {
            out +=
                writer.Item(fmt::format(L"missing: {} (identity {}){}",
                                        ModName(writer, requirement.name, requirement.guid), requirement.guid, least),
                            1);
        } else {
            out += writer.Item(fmt::format(L"outdated: {} (identity {}){}; version {} is installed",
                                           ModName(writer, problem.installed->name, problem.installed->guid),
                                           problem.installed->guid, least, problem.installed->version),
                               1);
        }
    }
    return out;
}

std::wstring ModsNotOk(const CModRows& rows, const CReportWriter& writer, const std::wstring& modsFolder) {
    std::wstring list;
    std::size_t count = 0;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const std::int32_t status = rows.StatusOf(row);
        if (status == StatusOk) continue;
        ++count;
        const ModInfo& mod = rows.RecordOf(row);
        list += writer.Item(fmt::format(L"{} (version {}, identity {}, {}): {}",
                                        writer.Strong(ModName(writer, mod.name, mod.guid)), mod.version, mod.guid,
                                        ModsFile(writer, mod, modsFolder), ModStatusText(status)));
        list += Problems(rows, row, writer);
    }
    const std::wstring heading = writer.Heading(fmt::format(L"Installed mods whose status is not OK ({})", count));
    return heading + (count == 0 ? writer.Item(L"None: every installed mod can be used.") : list);
}

std::wstring WorkshopChanges(const BugReportSubject& subject, const CReportWriter& writer) {
    std::wstring out = writer.Heading(L"Workshop: selected mods held or changed since the last start");
    std::unordered_set<std::int64_t> selected;
    for (const std::uint32_t row : subject.selection)
        if (row < subject.rows.RowCount()) selected.insert(subject.rows.RecordOf(row).guid);
    std::size_t shown = 0;
    for (const WorkshopModChange& change : *subject.workshop) {
        if (!selected.contains(change.guid) || (!change.held && !change.changed)) continue;
        const ModInfo* mod = subject.rows.Catalogue().FindByGuid(change.guid);
        const std::wstring what = change.held && change.changed ? L"held, and changed since the last start"
                                  : change.held                 ? L"held"
                                                                : L"changed since the last start";
        out += writer.Item(fmt::format(L"{} (identity {}): {}", ModName(writer, mod ? mod->name : "", change.guid),
                                       change.guid, what));
        ++shown;
    }
    if (shown == 0) out += writer.Item(L"None of the selected mods is held or changed.");
    return out;
}

}  // namespace

std::wstring PathBelowFolder(std::wstring_view file, std::wstring_view folder) {
    const std::vector<std::wstring_view> fileParts = Components(file);
    const std::vector<std::wstring_view> folderParts = Components(folder);
    if (fileParts.empty()) return {};
    bool below = fileParts.size() > folderParts.size();
    for (std::size_t i = 0; below && i < folderParts.size(); ++i) below = SameComponent(fileParts[i], folderParts[i]);
    std::wstring relative;
    for (std::size_t i = below ? folderParts.size() : fileParts.size() - 1; i < fileParts.size(); ++i) {
        if (!relative.empty()) relative += L'/';
        relative += fileParts[i];
    }
    return relative;
}

std::wstring BugReportText(const BugReportSubject& subject, BugReportFormat format) {
    const CReportWriter writer(format);
    const std::wstring modsFolder = RecordedModsFolder(subject.folders);
    std::wstring out = writer.Markdown() ? L"### Gatehouse mod list\n\n" : L"Gatehouse mod list\n";
    out += Versions(subject.folders, writer);
    out += Selection(subject, writer, modsFolder);
    out += ModsNotOk(subject.rows, writer, modsFolder);
    if (subject.workshop) out += WorkshopChanges(subject, writer);
    return out;
}

}  // namespace gh
