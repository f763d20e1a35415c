#include "selection/SelectionFile.h"

#include <optional>
#include <utility>

#include "platform/AtomicFile.h"
#include "platform/Unicode.h"
#include "selection/DecimalText.h"
#include "selection/SelectionTexts.h"
#include "selection/TextModeReader.h"

namespace gh {

namespace {

constexpr char16_t kEntryPrefix[] = u"<INTEGER64>MODGUID:";
// A line read skips the entry's TAB, so the number starts after the prefix.
constexpr std::size_t kNumberPosition = 19;

void AppendLine(std::u16string& text, std::u16string_view line) {
    text.append(line);
    text.append(u"\r\n");
}

}  // namespace

std::string FormatSelectionFile(const std::vector<ModData>& mods, const std::vector<std::uint32_t>& selection) {
    std::vector<std::int64_t> guids;
    guids.reserve(selection.size());
    for (const std::uint32_t row : selection)
        if (row < mods.size()) guids.push_back(mods[row].guid);
    return FormatSelectionEntries(guids);
}

std::string FormatSelectionEntries(std::span<const std::int64_t> guids) {
    std::u16string text;
    AppendLine(text, u"[MODS]");
    for (const std::int64_t guid : guids) {
        std::u16string line = u"\t";
        line += kEntryPrefix;
        line += WideToUtf16(Int64ToText(guid));
        AppendLine(text, line);
    }
    AppendLine(text, u"[/MODS]");

    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

Status SaveSelectionFile(const CSelectionRules& rules, const std::wstring& path) {
    if (path.empty()) return Status(StatusKind::NotFound, L"no file was named");
    const std::string bytes = FormatSelectionFile(rules.Mods(), rules.Selection());
    return platform::WriteFileAtomically(path, bytes.data(), bytes.size());
}

SelectionFileResult LoadSelectionFile(CSelectionRules& rules, const std::wstring& path) {
    const std::optional<std::string> bytes = ReadSelectionFileBytes(path);
    if (!bytes) return SelectionFileResult::Unreadable;
    return LoadSelectionText(rules, *bytes);
}

SelectionFileResult LoadSelectionText(CSelectionRules& rules, std::string_view bytes) {
    const std::optional<std::vector<std::int64_t>> entries = ReadSelectionEntries(bytes);
    if (!entries) return SelectionFileResult::NotASelection;
    rules.BeginLoad(true);
    // Entries past the limit are read only to be reported as left out.
    for (const std::int64_t guid : *entries) rules.LoadEntry(guid, kSelectionLimit);
    rules.FinishLoad();
    return SelectionFileResult::Loaded;
}

std::optional<std::vector<std::int64_t>> ReadSelectionEntries(std::string_view bytes) {
    CTextModeReader reader(bytes);
    std::u16string token;
    if (!reader.ReadToken(token) || token != u"[MODS]") return std::nullopt;
    std::vector<std::int64_t> entries;
    std::u16string line;
    while (reader.ReadLine(line) && line != u"[/MODS]") {
        // Only the length and the number count; the prefix is not examined.
        if (line.size() <= kNumberPosition) continue;
        const std::optional<std::int64_t> guid = TextToInt64(std::u16string_view(line).substr(kNumberPosition));
        if (guid) entries.push_back(*guid);
    }
    return entries;
}

}  // namespace gh
