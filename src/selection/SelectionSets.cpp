#include "selection/SelectionSets.h"

namespace gh {

// An empty path is no choice: the set buttons never fall back on a file
// of their own.
SelectionFileResult LoadSelectionSet(CSelectionRules& rules, const std::wstring& chosenPath) {
    if (chosenPath.empty()) return SelectionFileResult::Unreadable;
    return LoadSelectionFile(rules, chosenPath);
}

namespace {

constexpr std::wstring_view kSetExtension = L".sch";

std::wstring_view FileNameOf(std::wstring_view path) {
    const std::size_t cut = path.find_last_of(L"/\\");
    return cut == std::wstring_view::npos ? path : path.substr(cut + 1);
}

bool EndsWithSetExtension(std::wstring_view name) {
    if (name.size() <= kSetExtension.size()) return false;
    const std::wstring_view tail = name.substr(name.size() - kSetExtension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const wchar_t c = tail[i] >= L'A' && tail[i] <= L'Z' ? static_cast<wchar_t>(tail[i] - L'A' + L'a') : tail[i];
        if (c != kSetExtension[i]) return false;
    }
    return true;
}

}  // namespace

std::wstring WithSetExtension(const std::wstring& chosenPath) {
    if (chosenPath.empty() || EndsWithSetExtension(FileNameOf(chosenPath))) return chosenPath;
    return chosenPath + std::wstring(kSetExtension);
}

std::wstring SetDisplayName(const std::wstring& path) {
    std::wstring_view name = FileNameOf(path);
    if (EndsWithSetExtension(name)) name.remove_suffix(kSetExtension.size());
    return std::wstring(name);
}

Status SaveSelectionSet(const CSelectionRules& rules, const std::wstring& chosenPath) {
    if (chosenPath.empty()) return Status(StatusKind::NotFound, L"no file was chosen");
    return SaveSelectionFile(rules, WithSetExtension(chosenPath));
}

}  // namespace gh
