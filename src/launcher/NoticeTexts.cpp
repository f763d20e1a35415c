#include "launcher/NoticeTexts.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <vector>

#include "launcher/ModInfoTexts.h"
#include "launcher/OutsideText.h"
#include "selection/SelectionTexts.h"

namespace gh {

namespace {

std::wstring Shown(std::string_view utf8, TextFor target) {
    return target == TextFor::Window ? IsolatedText(utf8) : EscapedText(utf8);
}

std::wstring Shown(std::wstring_view text, TextFor target) {
    return target == TextFor::Window ? IsolatedText(text) : EscapedText(text);
}

// A mod by its recorded name, or by its identity when it has none.
std::wstring ModName(std::string_view name, std::int64_t guid, TextFor target) {
    return name.empty() ? fmt::format(L"mod {}", guid) : Shown(name, target);
}

// What a mod needs, as the notices say it: "Core Library 5, and version 2
// is installed", "Black Powder, which is not installed". `brief` leaves out
// what is installed: "Core Library 5", "Black Powder".
std::wstring Need(const RequirementProblem& problem, bool brief, TextFor target) {
    if (problem.installed == nullptr) {
        const std::wstring name = ModName(problem.requirement->name, problem.requirement->guid, target);
        return brief ? name : name + L", which is not installed";
    }
    const std::wstring name = fmt::format(L"{} {}", ModName(problem.installed->name, problem.installed->guid, target),
                                          problem.highestVersion);
    return brief ? name : fmt::format(L"{}, and version {} is installed", name, problem.installed->version);
}

// The report lists what is missing first, as the Status tooltip does.
const RequirementProblem* FirstProblem(std::span<const RequirementProblem> problems) {
    for (const RequirementProblem& problem : problems)
        if (problem.installed == nullptr) return &problem;
    return problems.empty() ? nullptr : &problems.front();
}

std::wstring Reason(const LeftOutEntry& entry, const CModRows& rows, TextFor target) {
    switch (entry.reason) {
        case LeftOutReason::NotInstalled: return L"it is not installed";
        case LeftOutReason::OverLimit: return fmt::format(L"the limit is {} mods", kSelectionLimit);
        case LeftOutReason::Blocked: break;
    }
    if (!entry.row) return L"it cannot be chosen";
    const RequirementProblem* first = FirstProblem(rows.ProblemsOf(*entry.row));
    return first ? L"it needs " + Need(*first, true, target) : std::wstring(L"it cannot be chosen");
}

// A code's entry: an installed mod by its own name, one that is not by the
// code's name for it and its identity.
std::wstring SharedName(const SharedEntry& entry, std::optional<std::uint32_t> row, const CModRows& rows,
                        TextFor target) {
    if (row && *row < rows.RowCount()) return ModName(rows.RecordOf(*row).name, entry.guid, target);
    if (entry.name.empty()) return fmt::format(L"mod {}", entry.guid);
    return fmt::format(L"{} (mod {})", Shown(std::string_view(entry.name), target), entry.guid);
}

std::wstring OutdatedLine(const OutdatedSharedEntry& entry, const CModRows& rows, TextFor target) {
    return fmt::format(L"{} is outdated: the code names version {}, and version {} is installed",
                       SharedName(entry.entry, entry.row, rows, target), entry.entry.version, entry.installedVersion);
}

std::wstring SkippedLine(const SkippedSharedEntry& entry, const CModRows& rows, TextFor target) {
    return fmt::format(L"{} was left out: {}", SharedName(entry.entry, entry.row, rows, target),
                       Reason({entry.entry.guid, entry.reason, entry.row}, rows, target));
}

}  // namespace

Notice BlockedNotice(std::string_view modName, std::span<const RequirementProblem> problems, TextFor target) {
    Notice notice;
    const RequirementProblem* first = FirstProblem(problems);
    if (first == nullptr) {
        notice.line = fmt::format(L"{} cannot be chosen.", Shown(modName, target));
        return notice;
    }
    notice.line = fmt::format(L"{} cannot be chosen: it needs {}", Shown(modName, target), Need(*first, false, target));
    if (problems.size() > 1) {
        notice.line += fmt::format(L", and {} more.", problems.size() - 1);
        notice.details = StatusTipText(problems);
    } else {
        notice.line += L'.';
    }
    return notice;
}

std::wstring LeftOutLine(const LeftOutEntry& entry, const CModRows& rows, TextFor target) {
    std::wstring name = fmt::format(L"mod {}", entry.guid);
    if (entry.row) name = ModName(rows.RecordOf(*entry.row).name, entry.guid, target);
    return fmt::format(L"{} was left out: {}", name, Reason(entry, rows, target));
}

Notice LoadNotice(std::wstring_view setName, const SelectionLoadReport& report, const CModRows& rows, TextFor target) {
    Notice notice;
    const std::wstring name = Shown(setName, target);
    if (report.leftOutCount == 0) {
        notice.line = fmt::format(L"Loaded {}: {} mod{}.", name, report.entries, report.entries == 1 ? L"" : L"s");
        return notice;
    }
    notice.line = fmt::format(L"Loaded {}: {} of {} mods. ", name, report.Loaded(), report.entries);
    std::vector<std::wstring> lines;
    for (const LeftOutEntry& entry : report.leftOut) lines.push_back(LeftOutLine(entry, rows, target));
    if (report.leftOutCount == 1) {
        notice.line += lines.front() + L'.';
        return notice;
    }
    const std::wstring& first = lines.front();
    notice.line += fmt::format(L"{} and {} more were left out.", first.substr(0, first.find(L" was left out")),
                               report.leftOutCount - 1);
    // The details name each one, and count those the report did not keep.
    notice.details = ProblemLinesText(lines, report.leftOutCount);
    return notice;
}

std::vector<std::wstring> SharedLoadLines(const SharedLoadReport& report, const CModRows& rows, TextFor target) {
    // Both lists are in the code's order; merged, an entry's lines stand together.
    std::vector<std::wstring> lines;
    std::size_t outdated = 0;
    for (const SkippedSharedEntry& skipped : report.skipped) {
        for (; outdated < report.outdated.size() && report.outdated[outdated].position < skipped.position; ++outdated)
            lines.push_back(OutdatedLine(report.outdated[outdated], rows, target));
        lines.push_back(SkippedLine(skipped, rows, target));
    }
    for (; outdated < report.outdated.size(); ++outdated)
        lines.push_back(OutdatedLine(report.outdated[outdated], rows, target));
    return lines;
}

Notice SharedLoadNotice(const SharedLoadReport& report, const CModRows& rows, TextFor target) {
    Notice notice;
    const std::size_t skipped = report.skipped.size();
    if (skipped == 0) {
        notice.line =
            fmt::format(L"Loaded the share code: {} mod{}.", report.entries, report.entries == 1 ? L"" : L"s");
    } else {
        notice.line = fmt::format(L"Loaded the share code: {} of {} mods. ", report.loaded, report.entries);
        const SkippedSharedEntry& first = report.skipped.front();
        notice.line += skipped == 1 ? SkippedLine(first, rows, target) + L'.'
                                    : fmt::format(L"{} and {} more were left out.",
                                                  SharedName(first.entry, first.row, rows, target), skipped - 1);
    }
    if (!report.outdated.empty()) {
        const OutdatedSharedEntry& first = report.outdated.front();
        notice.line += report.outdated.size() == 1
                           ? L" " + OutdatedLine(first, rows, target) + L'.'
                           : fmt::format(L" {} and {} more are outdated.",
                                         SharedName(first.entry, first.row, rows, target), report.outdated.size() - 1);
    }
    if (skipped > 1 || report.outdated.size() > 1)
        notice.details = ProblemLinesText(SharedLoadLines(report, rows, target));
    return notice;
}

namespace {

// "A", "A and B", "A, B and C".
std::wstring Listed(const std::vector<std::wstring>& names) {
    std::wstring text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? L" and " : L", ";
        text += names[i];
    }
    return text;
}

std::wstring Unmet(const UnmetRequirement& unmet, TextFor target) {
    const CModRequirement& requirement = *unmet.requirement;
    const std::wstring name = unmet.installed ? ModName(unmet.installed->name, unmet.installed->guid, target)
                                              : ModName(requirement.name, requirement.guid, target);
    switch (unmet.state) {
        case RequirementState::NotSelected: return name;
        case RequirementState::NotInstalled: return name + L" (not installed)";
        case RequirementState::TooOld:
            return fmt::format(L"{} {} (version {} is installed)", name, requirement.version,
                               unmet.installed ? unmet.installed->version : 0);
        case RequirementState::Blocked: return name + L" (cannot be chosen)";
    }
    return name;
}

// What became of the action when it did not happen.
std::wstring_view NothingDone(ClipboardAction action) {
    return action == ClipboardAction::PasteCode ? L"nothing was loaded" : L"nothing was copied";
}

}  // namespace

std::wstring NeedsLine(const SelectedModNeeds& needs, TextFor target) {
    std::vector<std::wstring> names;
    for (const UnmetRequirement& unmet : needs.unmet) names.push_back(Unmet(unmet, target));
    const std::wstring mod = needs.mod ? ModName(needs.mod->name, needs.mod->guid, target) : std::wstring(L"A mod");
    return mod + L" needs " + Listed(names);
}

Notice RequirementNotice(std::span<const SelectedModNeeds> needs, TextFor target) {
    Notice notice;
    if (needs.empty()) return notice;
    notice.line = NeedsLine(needs.front(), target) + L'.';
    if (needs.size() == 1) return notice;
    const std::size_t more = needs.size() - 1;
    notice.line += more == 1 ? std::wstring(L" 1 more mod lacks what it needs.")
                             : fmt::format(L" {} more mods lack what they need.", more);
    std::vector<std::wstring> lines;
    for (const SelectedModNeeds& mod : needs) lines.push_back(NeedsLine(mod, target) + L'.');
    notice.details = ProblemLinesText(lines);
    return notice;
}

std::wstring NoRoomText(std::size_t placesMissing) {
    return fmt::format(L"Nothing was added: {} {} missing, as the limit is {} mods.", placesMissing,
                       placesMissing == 1 ? L"place is" : L"places are", kSelectionLimit);
}

std::wstring OrderMarkText(const OrderMark& mark, std::span<const std::int64_t> selection, const CModRows& rows,
                           TextFor target) {
    std::wstring text;
    if (!mark.loadsBefore.empty()) {
        std::vector<std::wstring> names;
        for (const std::size_t entry : mark.loadsBefore) {
            const std::int64_t guid = entry < selection.size() ? selection[entry] : 0;
            const ModInfo* mod = rows.Catalogue().FindByGuid(guid);
            names.push_back(ModName(mod ? std::string_view(mod->name) : std::string_view(), guid, target));
        }
        text = L"loads before " + Listed(names) + L", which it needs";
    }
    if (mark.inRing) {
        if (!text.empty()) text += L'\n';
        text += L"belongs to a ring of mods that need each other, which keep their order";
    }
    return text;
}

Notice ClipboardDoneNotice(ClipboardAction action, std::size_t mods) {
    if (action == ClipboardAction::CopyCode)
        return {fmt::format(L"Copied the share code of {} mod{}.", mods, mods == 1 ? L"" : L"s"), {}};
    return {L"Copied the mod list for a bug report.", {}};
}

Notice ClipboardFailedNotice(ClipboardAction action, const Status& failure) {
    // The text is the program's, but may quote a mod's name.
    return {fmt::format(L"{}; {}.", EscapedText(failure.Text()), NothingDone(action)), {}};
}

Notice ClipboardUnavailableNotice(ClipboardAction action) {
    if (action == ClipboardAction::PasteCode) return {L"The clipboard holds no text; nothing was loaded.", {}};
    return {fmt::format(L"The clipboard could not be opened; {}.", NothingDone(action)), {}};
}

}  // namespace gh
