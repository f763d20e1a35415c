#include "cli/WorkshopCommands.h"

#include "cli/CliMain.h"
#include "cli/TerminalText.h"
#include "launcher/WorkshopActions.h"
#include "launcher/WorkshopChanges.h"
#include "launcher/WorkshopMods.h"
#include "platform/Unicode.h"
#include "workshop/WorkshopRecordFile.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

namespace {

// The action's hooks for the terminal: what it has to say goes to standard error.
RecordActionHooks TerminalHooks(IConsole& console) {
    return {[&console] { console.Err(L"gatehouse: another sync is using the Workshop record; waiting for it\n"); },
            [&console](const std::wstring& note) { console.Err(L"gatehouse: " + TerminalSafe(note) + L"\n"); }};
}

int Fail(IConsole& console, const std::wstring& text) {
    console.Err(L"gatehouse: " + TerminalSafe(text) + L"\n");
    return kExitFailure;
}

std::wstring ModsText(const std::vector<RecordedMod>& mods) {
    std::wstring text;
    for (const RecordedMod& mod : mods)
        text += fmt::format(L"{}{} version {} (guid {})", text.empty() ? L"" : L", ", TerminalSafe(mod.path),
                            mod.version, mod.guid);
    return text.empty() ? L"no mod files" : text;
}

}  // namespace

int RunChanges(bool json, const CGameFolders& folders, IConsole& console) {
    const WorkshopRecord record = CWorkshopRecordFile(folders.GetUserGameFolder()).Peek();
    if (json)
        console.OutBytes(ChangesJson(record));
    else
        console.Out(TerminalSafeLines(ChangesText(record)));
    return 0;
}

int RunHistory(const std::wstring& target, const CGameFolders& folders, IConsole& console) {
    const CWorkshopMods mods(CWorkshopRecordFile(folders.GetUserGameFolder()).Peek(), folders.GetUserGameFolder());
    const Result<PublishedFileId> found = mods.Find(target);
    if (!found) return Fail(console, found.Error().Text() + L", so it has no history");
    const RecordedSubscription& subscription = mods.Record().subscriptions.at(*found);
    const std::wstring name = TerminalSafe(Utf8ToWide(CWorkshopMods::NameOf(subscription)));
    std::wstring out = fmt::format(L"{} (Workshop item {}){}\n", name, *found, subscription.held ? L", held" : L"");
    out += fmt::format(L"  now  installed {}  {}\n", Utf8ToWide(DateText(subscription.installed)),
                       ModsText(subscription.mods));
    if (subscription.history.empty()) out += L"  No earlier versions are kept.\n";
    for (std::size_t i = 0; i < subscription.history.size(); ++i) {
        const HistoryEntry& entry = subscription.history[i];
        out += fmt::format(L"  {:<3}  installed {}  {}\n", i + 1, Utf8ToWide(DateText(entry.installed)),
                           ModsText(entry.mods));
    }
    console.Out(out);
    return 0;
}

int RunRestore(const std::wstring& target, std::uint32_t entry, const CGameFolders& folders, IConsole& console) {
    const Result<SubscriptionActed> restored =
        RestoreSubscription(folders.GetUserGameFolder(), target, entry, TerminalHooks(console));
    if (!restored) {
        // An entry that is not kept: the history command shows those that are.
        const bool noSuchEntry = restored.Error().Kind() == StatusKind::NotFound;
        return Fail(console, restored.Error().Text() +
                                 (noSuchEntry ? L" (see gatehouse history " + target + L")" : std::wstring()));
    }
    const std::wstring name = TerminalSafe(Utf8ToWide(restored->name));
    console.Out(
        fmt::format(L"Restored version {} of {} (Workshop item {}, installed {}); the version it replaced is "
                    L"kept as version 1 of its history.\n"
                    L"It is held now, so that sync does not undo this; gatehouse release {} lets it update "
                    L"again.\n",
                    entry, name, restored->id, Utf8ToWide(restored->installed), restored->id));
    return 0;
}

int RunHold(const std::wstring& target, bool hold, const CGameFolders& folders, IConsole& console) {
    const Result<SubscriptionActed> acted =
        HoldSubscription(folders.GetUserGameFolder(), target, hold, TerminalHooks(console));
    if (!acted) return Fail(console, acted.Error().Text());
    const std::wstring name = TerminalSafe(Utf8ToWide(acted->name));
    if (hold)
        console.Out(
            fmt::format(L"Held {} (Workshop item {}) at its installed version: sync leaves it as it is "
                        L"until it is released.\n",
                        name, acted->id));
    else
        console.Out(
            fmt::format(L"Released {} (Workshop item {}): the next sync brings it up to date.\n", name, acted->id));
    return 0;
}

}  // namespace gh
