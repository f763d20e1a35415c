#include "workshop/WorkshopNames.h"

#include "platform/SystemFolders.h"

#include <array>
#include <vector>

namespace gh {

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// A component that Windows would read as the parent folder: ".." itself, and
// runs of dots and blanks with two dots or more (trailing dots and blanks are
// dropped from names there).
bool IsParentComponent(std::wstring_view component) {
    std::size_t dots = 0;
    for (wchar_t c : component) {
        if (c == L'.')
            ++dots;
        else if (c != L' ')
            return false;
    }
    return dots >= 2;
}

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool IsDeviceDigit(wchar_t c) { return (c >= L'1' && c <= L'9') || c == 0xB9 || c == 0xB2 || c == 0xB3; }

// Calls `check` with each component of `text`, separated by '/' or '\';
// stops at the first component for which it returns false.
template <class Check>
bool EveryComponent(std::wstring_view text, Check check) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        if (!check(text.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

bool IsHarmlessComponent(std::wstring_view component) {
    return !IsParentComponent(component) && !IsReservedDeviceName(component) &&
           component.find(L':') == std::wstring_view::npos;
}

// A component of dots and blanks only, which Windows, dropping trailing dots
// and blanks, reads as no name at all (or as "." or ".."): never a file name.
bool IsOnlyDotsAndBlanks(std::wstring_view component) {
    return component.find_first_not_of(L". ") == std::wstring_view::npos;
}

// Whether `component` is `upperName` (upper case ASCII), a-z compared
// without regard to case.
bool IsComponentNamed(std::wstring_view component, std::string_view upperName) {
    if (component.size() != upperName.size()) return false;
    for (std::size_t i = 0; i < upperName.size(); ++i)
        if (UpperAscii(component[i]) != static_cast<wchar_t>(upperName[i])) return false;
    return true;
}

bool IsModsFolderComponent(std::wstring_view component) { return IsComponentNamed(component, "MODS"); }

// Also as Windows reads it, with its trailing dots and blanks dropped: a
// name may not reach the item folders by any spelling.
bool IsItemFoldersComponent(std::wstring_view component) {
    while (!component.empty() && (component.back() == L'.' || component.back() == L' ')) component.remove_suffix(1);
    return IsComponentNamed(component, "WORKSHOP-ITEMS");
}

}  // namespace

bool IsReservedDeviceName(std::wstring_view component) {
    // The device is named by what stands before the first dot, without the
    // blanks Windows drops at its end.
    std::wstring_view stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    // No device name is longer than seven: most names are done here.
    if (stem.size() > 7) return false;
    wchar_t upper[7];
    for (std::size_t i = 0; i < stem.size(); ++i) upper[i] = UpperAscii(stem[i]);
    const std::wstring_view name(upper, stem.size());
    static constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (std::wstring_view plain : kPlain)
        if (name == plain) return true;
    return name.size() == 4 && (name.starts_with(L"COM") || name.starts_with(L"LPT")) && IsDeviceDigit(name[3]);
}

bool IsSafeWorkshopName(std::wstring_view name) {
    if (name.empty() || IsSeparator(name.front())) return false;
    if (name.find(L"\\\\") != std::wstring_view::npos) return false;
    return EveryComponent(name, IsHarmlessComponent);
}

std::optional<std::wstring> PathBelow(const std::wstring& base, std::wstring_view relative) {
    if (!relative.empty() && IsSeparator(relative.front())) return std::nullopt;
    std::vector<std::wstring_view> kept;
    const bool harmless = EveryComponent(relative, [&](std::wstring_view component) {
        if (component.empty() || component == L".") return true;
        if (!IsHarmlessComponent(component)) return false;
        kept.push_back(component);
        return true;
    });
    if (!harmless) return std::nullopt;
    std::wstring path = base;
    const wchar_t separator = platform::NativeSeparator();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) path += separator;
        path += kept[i];
    }
    return path;
}

WorkshopNameProblem JudgeWorkshopName(std::wstring_view name) {
    if (name.empty()) return WorkshopNameProblem::NoFileName;
    if (!IsSafeWorkshopName(name)) {
        const bool device = !EveryComponent(name, [](std::wstring_view c) { return !IsReservedDeviceName(c); });
        return device ? WorkshopNameProblem::DeviceName : WorkshopNameProblem::LeavesGameFolder;
    }
    const std::size_t lastSeparator = name.find_last_of(L"/\\");
    const std::wstring_view last = lastSeparator == std::wstring_view::npos ? name : name.substr(lastSeparator + 1);
    if (IsOnlyDotsAndBlanks(last)) return WorkshopNameProblem::NoFileName;
    // A folder of dots and blanks only ("mods/ /x.mod") is a folder of that
    // name on Linux but no name at all on Windows: neither is what was meant.
    const bool namelessFolder = !EveryComponent(name, [](std::wstring_view component) {
        return component.empty() || component == L"." || !IsOnlyDotsAndBlanks(component);
    });
    if (namelessFolder) return WorkshopNameProblem::NoFileName;
    // The components as PathBelow keeps them: the first must be the mods
    // folder, and the file must lie below it.
    std::size_t kept = 0;
    bool inMods = false;
    bool inItemFolders = false;
    EveryComponent(name, [&](std::wstring_view component) {
        if (component.empty() || component == L".") return true;
        if (kept == 0) inMods = IsModsFolderComponent(component);
        if (kept == 1) inItemFolders = IsItemFoldersComponent(component);
        ++kept;
        return true;
    });
    if (!inMods || kept < 2) return WorkshopNameProblem::OutsideModsFolder;
    return inItemFolders ? WorkshopNameProblem::ItemFolders : WorkshopNameProblem::None;
}

std::string ItemFolderName(std::uint64_t fileId) {
    return "mods/" + std::string(kItemFoldersName) + "/" + std::to_string(fileId) + "/";
}

std::optional<std::wstring> ItemFilePath(const std::wstring& gameFolder, std::uint64_t fileId,
                                         const std::vector<std::wstring>& relative, WorkshopNameProblem* problem) {
    const auto refuse = [problem](WorkshopNameProblem why) -> std::optional<std::wstring> {
        if (problem) *problem = why;
        return std::nullopt;
    };
    if (problem) *problem = WorkshopNameProblem::None;
    if (relative.empty()) return refuse(WorkshopNameProblem::NoFileName);
    const std::string folder = ItemFolderName(fileId);
    std::wstring path(folder.begin(), folder.end());
    for (const std::wstring& component : relative) {
        // Every piece that either separator makes is a component of its own.
        const bool named = EveryComponent(
            component, [](std::wstring_view piece) { return !piece.empty() && !IsOnlyDotsAndBlanks(piece); });
        if (!named) return refuse(WorkshopNameProblem::NoFileName);
        if (!EveryComponent(component, IsHarmlessComponent)) {
            const bool device =
                !EveryComponent(component, [](std::wstring_view c) { return !IsReservedDeviceName(c); });
            return refuse(device ? WorkshopNameProblem::DeviceName : WorkshopNameProblem::LeavesGameFolder);
        }
        path += component;
        path += L'/';
    }
    path.pop_back();
    return PathBelow(gameFolder, path);
}

std::optional<std::wstring> WorkshopFilePath(const std::wstring& gameFolder, std::wstring_view name) {
    if (JudgeWorkshopName(name) != WorkshopNameProblem::None) return std::nullopt;
    return PathBelow(gameFolder, name);
}

}  // namespace gh
