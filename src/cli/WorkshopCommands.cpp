#include "cli/WorkshopCommands.h"

#include "cli/CliMain.h"
#include "cli/TerminalText.h"
#include "launcher/WorkshopChanges.h"
#include "launcher/WorkshopMods.h"
#include "platform/Unicode.h"
#include "workshop/WorkshopHistory.h"
#include "workshop/WorkshopRecordFile.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

namespace {

// The record under its lock, for a command that changes it; the lines the
// load had to say go to standard error.
class CLockedRecord {
public:
    CLockedRecord(const CGameFolders& folders, IConsole& console)
        : m_file(folders.GetUserGameFolder()), m_console(console) {}

    Status Open() {
        if (Status locked = m_file.Lock(
                [this] { m_console.Err(L"gatehouse: another sync is using the Workshop record; waiting for it\n"); });
            !locked)
            return locked;
        std::vector<std::wstring> notes;
        m_record = m_file.Load(notes);
        for (const std::wstring& note : notes) m_console.Err(L"gatehouse: " + TerminalSafe(note) + L"\n");
        return {};
    }

    WorkshopRecord& Record() { return m_record; }
    const CWorkshopRecordFile& File() const { return m_file; }
    Status Save() { return m_file.Save(m_record); }

private:
    CWorkshopRecordFile m_file;
    IConsole& m_console;
    WorkshopRecord m_record;
};

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
    CLockedRecord locked(folders, console);
    if (const Status opened = locked.Open(); !opened)
        return Fail(console, L"the Workshop record could not be locked: " + opened.Text());
    const CWorkshopMods mods(locked.Record(), folders.GetUserGameFolder());
    const Result<PublishedFileId> found = mods.Find(target);
    if (!found) return Fail(console, found.Error().Text() + L", so it cannot be restored");
    RecordedSubscription& subscription = locked.Record().subscriptions.at(*found);
    const std::wstring name = TerminalSafe(Utf8ToWide(CWorkshopMods::NameOf(subscription)));
    if (entry > subscription.history.size())
        return Fail(console, fmt::format(L"{} (Workshop item {}) has no earlier version {}; {} kept (see gatehouse "
                                         L"history {})",
                                         name, *found, entry, subscription.history.size(), *found));
    const std::string installed = DateText(subscription.history[entry - 1].installed);
    const Status restored = RestoreFromHistory(locked.File(), subscription, entry - 1);
    // What was done is recorded even when the restore stopped part way.
    const Status saved = locked.Save();
    if (!restored) return Fail(console, fmt::format(L"the restore of {} stopped: {}", name, restored.Text()));
    if (!saved) return Fail(console, L"the Workshop record could not be written: " + saved.Text());
    console.Out(
        fmt::format(L"Restored version {} of {} (Workshop item {}, installed {}); the version it replaced is "
                    L"kept as version 1 of its history.\n"
                    L"It is held now, so that sync does not undo this; gatehouse release {} lets it update "
                    L"again.\n",
                    entry, name, *found, Utf8ToWide(installed), *found));
    return 0;
}

int RunHold(const std::wstring& target, bool hold, const CGameFolders& folders, IConsole& console) {
    CLockedRecord locked(folders, console);
    if (const Status opened = locked.Open(); !opened)
        return Fail(console, L"the Workshop record could not be locked: " + opened.Text());
    const CWorkshopMods mods(locked.Record(), folders.GetUserGameFolder());
    const Result<PublishedFileId> found = mods.Find(target);
    if (!found) {
        return Fail(console, found.Error().Text() + (hold ? L", so it cannot be held" : L", so it cannot be released"));
    }
    RecordedSubscription& subscription = locked.Record().subscriptions.at(*found);
    const std::wstring name = Utf8ToWide(CWorkshopMods::NameOf(subscription));
    if (subscription.held != hold) {
        subscription.held = hold;
        if (const Status saved = locked.Save(); !saved)
            return Fail(console, L"the Workshop record could not be written: " + saved.Text());
    }
    if (hold)
        console.Out(
            fmt::format(L"Held {} (Workshop item {}) at its installed version: sync leaves it as it is "
                        L"until it is released.\n",
                        TerminalSafe(name), *found));
    else
        console.Out(fmt::format(L"Released {} (Workshop item {}): the next sync brings it up to date.\n",
                                TerminalSafe(name), *found));
    return 0;
}

}  // namespace gh
