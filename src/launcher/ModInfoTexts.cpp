#include "launcher/ModInfoTexts.h"

#include <algorithm>
#include <vector>

#include <fmt/format.h>
#include <fmt/xchar.h>

#include "game/GameVersion.h"
#include "launcher/ModStatusText.h"
#include "launcher/OutsideText.h"
#include "platform/SystemFolders.h"
#include "platform/Unicode.h"

namespace gh {

namespace {

// Longest requirement name a tooltip line shows; names are recorded by mod
// authors and may be up to 255 characters.
constexpr std::size_t kTipNameMax = 80;

// A name for a tooltip line, isolated from the line's own words.
std::wstring TipName(const std::string& recordedUtf8, std::int64_t guid) {
    if (recordedUtf8.empty()) {
        return fmt::format(L"mod {}", guid);
    }
    const std::wstring recorded = Utf8ToWide(recordedUtf8);
    if (recorded.size() <= kTipNameMax) {
        return IsolatedText(recorded);
    }
    return IsolatedText(recorded.substr(0, kTipNameMax - 3)) + L"...";
}

// A path for a tooltip line: long ones keep their end, where the file's
// own name is.
std::wstring TipPath(const std::wstring& path) {
    if (path.size() <= kTipNameMax) {
        return IsolatedText(path);
    }
    return L"..." + IsolatedText(path.substr(path.size() - (kTipNameMax - 3)));
}

}  // namespace

Rgb StatusColour(std::int32_t status) {
    switch (status) {
        case StatusWrongGameVersion: return {100, 70, 0};
        case StatusMissingRequirement:
        case StatusOutdatedRequirement: return {150, 0, 0};
        default: return {0, 0, 0};
    }
}

ModInfoTexts InfoPaneTexts(const ModData& mod) {
    ModInfoTexts texts;
    texts.name = EscapedText(mod.name);
    texts.website = mod.website;
    texts.websiteLabel = EscapedText(mod.website);
    texts.downloadUrl = mod.downloadUrl;
    texts.downloadUrlLabel = EscapedText(mod.downloadUrl);
    texts.description = EscapedLines(mod.description);
    texts.author = EscapedText(mod.author);
    texts.version = fmt::format(L"{}", static_cast<std::int32_t>(mod.version));
    texts.gameVersion = mod.gameVersionText;
    texts.status = ModStatusText(mod.status);
    return texts;
}

std::wstring StatusTipText(std::span<const RequirementProblem> problems,
                           const std::vector<const HiddenModFile*>& hidden, std::string_view readError) {
    std::vector<std::wstring> lines;
    if (!readError.empty()) lines.push_back(L"Cannot be read: " + Utf8ToWide(readError));
    for (const RequirementProblem& problem : problems) {
        if (problem.installed != nullptr) continue;
        const std::wstring name = TipName(problem.requirement->name, problem.requirement->guid);
        lines.push_back(problem.highestVersion > 0 ? fmt::format(L"Needs {} version {} or later; it is not installed",
                                                                 name, problem.highestVersion)
                                                   : fmt::format(L"Needs {}; it is not installed", name));
    }
    for (const RequirementProblem& problem : problems) {
        if (problem.installed == nullptr) continue;
        lines.push_back(fmt::format(L"Needs {} version {} or later; version {} is installed",
                                    TipName(problem.requirement->name, problem.installed->guid), problem.highestVersion,
                                    problem.installed->version));
    }
    for (const HiddenModFile* file : hidden)
        lines.push_back(
            fmt::format(L"Hides {} (version {}): it has the same identity", TipPath(file->file), file->version));
    return ProblemLinesText(lines);
}

std::wstring ProblemLinesText(std::span<const std::wstring> lines, std::size_t total) {
    total = std::max(total, lines.size());
    std::wstring text;
    const std::size_t shown = std::min(lines.size(), kProblemLinesShown);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) {
            text += L'\n';
        }
        text += lines[i];
    }
    if (shown < total) {
        text += fmt::format(L"\nand {} more", total - shown);
    }
    return text;
}

std::wstring GameVersionLine(const std::optional<GameVersionParts>& gameVersion) {
    if (!gameVersion) {
        return L"Emberwake II Version x.x.x.x";
    }
    return L"Emberwake II Version " +
           FormatVersion(gameVersion->major, gameVersion->minor, gameVersion->build, gameVersion->revision);
}

bool IsWebAddress(std::wstring_view address) {
    auto startsWithNoCase = [&](std::wstring_view prefix) {
        if (address.size() < prefix.size()) {
            return false;
        }
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            wchar_t c = address[i];
            if (c >= L'A' && c <= L'Z') {
                c = static_cast<wchar_t>(c - L'A' + L'a');
            }
            if (c != prefix[i]) {
                return false;
            }
        }
        return true;
    };
    if (!startsWithNoCase(L"http://") && !startsWithNoCase(L"https://")) {
        return false;
    }
    const std::size_t hostStart = address.find(L"//") + 2;
    if (hostStart >= address.size()) {
        return false;
    }
    return std::none_of(address.begin(), address.end(), [](wchar_t c) {
        return c <= 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
    });
}

std::wstring DialogWildcard(std::wstring_view filter) {
    std::wstring text(filter);
    while (!text.empty() && text.back() == L'|') {
        text.pop_back();
    }
    return text;
}

std::wstring ApplicationName() {
    std::wstring path = platform::LauncherPath();
    const std::size_t slash = path.find_last_of(L"/\\");
    if (slash != std::wstring::npos) {
        path.erase(0, slash + 1);
    }
    const std::size_t dot = path.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        path.erase(dot);
    }
    return path.empty() ? L"Gatehouse" : path;
}

}  // namespace gh
