#include "cli/WorkshopCommands.h"

#include "cli/CliMain.h"
#include "cli/TerminalText.h"
#include "launcher/WorkshopMods.h"
#include "platform/Unicode.h"
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

}  // namespace

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
