#include "selection/RestartList.h"

#include <limits>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "selection/DecimalText.h"
#include "selection/TextModeReader.h"

namespace gh {

namespace {

constexpr std::size_t kMinEntryLength = 17;
constexpr std::size_t kGuidMarkPosition = 11;
constexpr std::u16string_view kGuidMark = u"GUID";
constexpr std::size_t kNumberPosition = 16;

bool IsEntryToken(const std::u16string& token) {
    return token.size() >= kMinEntryLength && token.compare(kGuidMarkPosition, kGuidMark.size(), kGuidMark) == 0;
}

}  // namespace

RestartListResult ApplyRestartListText(CSelectionRules& rules, std::string_view bytes) {
    CTextModeReader reader(bytes);
    std::u16string token;
    if (!reader.ReadToken(token)) return RestartListResult::Blank;
    while (token != u"[MODS]")
        if (!reader.ReadToken(token)) return RestartListResult::NoModsBlock;

    rules.BeginLoad(false);
    while (reader.ReadToken(token) && token != u"[/MODS]") {
        if (!IsEntryToken(token)) continue;
        const std::optional<std::int64_t> guid = TextToInt64(std::u16string_view(token).substr(kNumberPosition));
        if (!guid) continue;
        rules.LoadEntry(*guid, std::numeric_limits<std::size_t>::max());  // a restart list has no limit
    }
    rules.FinishLoad();
    return RestartListResult::Applied;
}

bool ReadRestartList(CSelectionRules& rules, const std::wstring& path) {
    const std::optional<std::string> bytes = ReadSelectionFileBytes(path);
    if (!bytes) return false;
    const RestartListResult result = ApplyRestartListText(rules, *bytes);
    if (result == RestartListResult::Blank) return false;
    if (result == RestartListResult::NoModsBlock) {
        platform::DeleteFileAt(path);
        return false;
    }
    return true;
}

void ConsumeRestartList(const std::wstring& path) { platform::DeleteFileAt(path); }

}  // namespace gh
