#include "cli/ListCommand.h"

#include "app/GameVersion.h"
#include "catalogue/ModCatalogue.h"
#include "cli/ModListJson.h"
#include "cli/TerminalText.h"
#include "launcher/ModStatusText.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>
#include <vector>

namespace gh {

namespace {

// Names longer than this push their line's columns to the right instead of
// widening every line.
constexpr std::size_t kMaxNameColumn = 40;

std::wstring Pad(const std::wstring& text, std::size_t width) {
    return text.size() >= width ? text : text + std::wstring(width - text.size(), L' ');
}

}  // namespace

std::wstring ModListText(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion) {
    std::wstring out = L"Emberwake II Version ";
    out += gameVersion
               ? FormatVersion(gameVersion->major, gameVersion->minor, gameVersion->build, gameVersion->revision)
               : std::wstring(L"unknown");
    out += L'\n';
    if (rows.RowCount() == 0) return out + L"No mods are installed.\n" + HiddenText(rows.Catalogue());

    struct Line {
        std::wstring name, version, gameVersion, status;
    };
    std::vector<Line> lines;
    Line header{L"NAME", L"VERSION", L"GAME VERSION", L"STATUS"};
    std::size_t nameWidth = header.name.size(), versionWidth = header.version.size(),
                gameWidth = header.gameVersion.size();
    for (const ModData& mod : rows.Rows()) {
        Line line{TerminalSafe(mod.name), std::to_wstring(mod.version), TerminalSafe(mod.gameVersionText),
                  ModStatusText(mod.status)};
        nameWidth = std::max(nameWidth, std::min(line.name.size(), kMaxNameColumn));
        versionWidth = std::max(versionWidth, line.version.size());
        gameWidth = std::max(gameWidth, line.gameVersion.size());
        lines.push_back(std::move(line));
    }
    const auto format = [&](const Line& line) {
        return Pad(line.name, nameWidth) + L"  " + Pad(line.version, versionWidth) + L"  " +
               Pad(line.gameVersion, gameWidth) + L"  " + line.status + L"\n";
    };
    out += format(header);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        out += format(lines[row]);
        if (!IsBlocked(rows.Rows()[row].status)) continue;
        const auto problems = rows.ProblemsOf(row);
        for (const RequirementProblem& problem : problems)
            if (!problem.installed)
                out += fmt::format(L"    missing: {} (version {} or later)\n", TerminalSafe(problem.requirement->name),
                                   problem.requirement->version);
        for (const RequirementProblem& problem : problems)
            if (problem.installed)
                out += fmt::format(L"    outdated: {} (version {} installed)\n", TerminalSafe(problem.installed->name),
                                   problem.installed->version);
    }
    return out + HiddenText(rows.Catalogue());
}

std::wstring HiddenText(const CModCatalogue& catalogue) {
    std::wstring out;
    for (const HiddenModFile& file : catalogue.Hidden()) {
        const ModInfo* listed = catalogue.FindByGuid(file.guid);
        out += fmt::format(L"hidden: {} ({}, version {}) has the same identity as {}\n", TerminalSafe(file.file),
                           TerminalSafe(file.name), file.version,
                           listed ? TerminalSafe(listed->filePath) : std::wstring(L"?"));
    }
    return out;
}

int RunList(bool json, IConsole& console) {
    const CModCatalogue catalogue;
    const std::optional<GameVersionParts> gameVersion = InstalledGameVersion();
    const CModRows rows(catalogue, gameVersion);
    if (json)
        console.OutBytes(ModListJson(rows, gameVersion));
    else
        console.Out(ModListText(rows, gameVersion));
    return 0;
}

}  // namespace gh
