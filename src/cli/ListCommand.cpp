#include "cli/ListCommand.h"

#include "catalogue/ModCatalogue.h"
#include "cli/ModListJson.h"
#include "cli/TerminalText.h"
#include "game/GameVersion.h"
#include "launcher/ModStatusText.h"
#include "launcher/OutsideText.h"
#include "workshop/WorkshopRecordFile.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace gh {

namespace {

// Names longer than this push their line's columns to the right instead of
// widening every line.
constexpr std::size_t kMaxNameColumn = 40;

std::size_t DecimalDigits(std::uint32_t value) {
    std::size_t digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}

// The length of FormatVersion's text for these parts.
std::size_t VersionTextLength(const std::uint16_t (&parts)[4]) {
    return DecimalDigits(parts[0]) + DecimalDigits(parts[1]) + DecimalDigits(parts[2]) + DecimalDigits(parts[3]) + 3;
}

// The length of ModStatusText's text for a status, without making it.
std::size_t StatusTextLength(std::int32_t status) {
    static const std::size_t kLengths[] = {ModStatusText(0).size(), ModStatusText(1).size(), ModStatusText(2).size(),
                                           ModStatusText(3).size()};
    return status >= 0 && status < 4 ? kLengths[status] : 0;
}

void AppendPadded(std::wstring& out, std::wstring_view text, std::size_t width) {
    out += text;
    if (text.size() < width) out.append(width - text.size(), L' ');
}

// The text as it is written: a buffer handed on in pieces of about
// kTextPieceSize characters, always whole lines.
constexpr std::size_t kTextPieceSize = 32 * 1024;

}  // namespace

void WriteModListText(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion, const TextSink& write,
                      const CWorkshopMods* workshop) {
    std::wstring out = L"Emberwake II Version ";
    out += gameVersion
               ? FormatVersion(gameVersion->major, gameVersion->minor, gameVersion->build, gameVersion->revision)
               : std::wstring(L"unknown");
    out += L'\n';
    if (rows.RowCount() == 0) {
        out += L"No mods are installed.\n";
        out += HiddenText(rows.Catalogue());
        write(out);
        return;
    }

    // The columns' widths first, from the lengths of the names as the
    // terminal is shown them.
    const std::wstring_view nameHeader = L"NAME", versionHeader = L"VERSION", gameHeader = L"GAME VERSION",
                            statusHeader = L"STATUS";
    std::size_t nameWidth = nameHeader.size(), versionWidth = versionHeader.size(), gameWidth = gameHeader.size(),
                statusWidth = statusHeader.size();
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const ModInfo& mod = rows.RecordOf(row);
        nameWidth = std::max(nameWidth, std::min(EscapedLength(mod.name), kMaxNameColumn));
        versionWidth = std::max(versionWidth, DecimalDigits(mod.version));
        gameWidth = std::max(gameWidth, VersionTextLength(mod.gameVersion));
        statusWidth = std::max(statusWidth, StatusTextLength(rows.StatusOf(row)));
    }
    const auto line = [&](std::wstring_view name, std::wstring_view version, std::wstring_view game,
                          std::wstring_view status, std::wstring_view file) {
        AppendPadded(out, name, nameWidth);
        out += L"  ";
        AppendPadded(out, version, versionWidth);
        out += L"  ";
        AppendPadded(out, game, gameWidth);
        out += L"  ";
        AppendPadded(out, status, statusWidth);
        out += L"  ";
        out += file;
        out += L'\n';
    };
    line(nameHeader, versionHeader, gameHeader, statusHeader, L"FILE");
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const ModInfo& mod = rows.RecordOf(row);
        const std::int32_t status = rows.StatusOf(row);
        line(TerminalSafe(mod.name), std::to_wstring(mod.version),
             FormatVersion(mod.gameVersion[0], mod.gameVersion[1], mod.gameVersion[2], mod.gameVersion[3]),
             ModStatusText(status), TerminalSafe(mod.filePath));
        if (!mod.readError.empty()) out += L"    cannot be read: " + TerminalSafe(mod.readError) + L"\n";
        if (const RecordedSubscription* subscription = workshop ? workshop->Of(mod.filePath) : nullptr) {
            std::wstring states;
            const auto add = [&states](std::wstring_view state) {
                states += (states.empty() ? L"" : L", ") + std::wstring(state);
            };
            if (subscription->held) add(L"held at the installed version");
            if (subscription->updateWaiting) add(L"an update is waiting");
            if (!subscription->subscribed) add(L"no longer subscribed");
            if (!states.empty()) out += fmt::format(L"    workshop {}: {}\n", subscription->id, states);
        }
        if (IsBlocked(status)) {
            const auto problems = rows.ProblemsOf(row);
            for (const RequirementProblem& problem : problems)
                if (!problem.installed)
                    out += fmt::format(L"    missing: {} (version {} or later)\n",
                                       TerminalSafe(problem.requirement->name), problem.requirement->version);
            for (const RequirementProblem& problem : problems)
                if (problem.installed)
                    out += fmt::format(L"    outdated: {} (version {} installed)\n",
                                       TerminalSafe(problem.installed->name), problem.installed->version);
        }
        if (out.size() >= kTextPieceSize) {
            write(out);
            out.clear();
        }
    }
    out += HiddenText(rows.Catalogue());
    write(out);
}

std::wstring ModListText(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion) {
    std::wstring text;
    WriteModListText(rows, gameVersion, [&text](std::wstring_view piece) { text += piece; });
    return text;
}

std::wstring HiddenText(const CModCatalogue& catalogue) {
    std::wstring out;
    for (const HiddenModFile& file : catalogue.Hidden()) {
        const ModInfo* listed = catalogue.FindByGuid(file.guid);
        const std::wstring what = file.readError.empty()
                                      ? fmt::format(L"{}, version {}", TerminalSafe(file.name), file.version)
                                      : L"cannot be read: " + TerminalSafe(file.readError);
        out += fmt::format(L"hidden: {} ({}) has the same identity as {}\n", TerminalSafe(file.file), what,
                           listed ? TerminalSafe(listed->filePath) : std::wstring(L"?"));
    }
    return out;
}

int RunList(bool json, const CGameFolders& folders, IConsole& console) {
    const CModCatalogue catalogue(folders.GetModsFolderToScan());
    const std::optional<GameVersionParts> gameVersion = folders.GameVersion();
    const CModRows rows(catalogue, gameVersion);
    const CWorkshopMods workshop(CWorkshopRecordFile(folders.GetUserGameFolder()).Peek(), folders.GetUserGameFolder());
    if (json)
        WriteModListJson(
            rows, gameVersion, [&console](std::string_view piece) { console.OutBytes(piece); }, &workshop);
    else
        WriteModListText(
            rows, gameVersion, [&console](std::wstring_view piece) { console.Out(piece); }, &workshop);
    return 0;
}

}  // namespace gh
