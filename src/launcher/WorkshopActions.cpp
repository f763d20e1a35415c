#include "launcher/WorkshopActions.h"

#include "launcher/WorkshopMods.h"
#include "platform/Unicode.h"
#include "workshop/WorkshopHistory.h"
#include "workshop/WorkshopRecordFile.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

namespace {

// The record under its lock, loaded, and the subscription `target` names.
class CLockedSubscription {
public:
    explicit CLockedSubscription(const std::wstring& userGameFolder) : m_file(userGameFolder) {}

    // `refused` ends the message when `target` names no subscription.
    Status Open(const std::wstring& target, const wchar_t* refused, const RecordActionHooks& hooks) {
        if (Status locked = m_file.Lock(hooks.waiting); !locked)
            return {locked.Kind(), L"the Workshop record could not be locked: " + locked.Text()};
        std::vector<std::wstring> notes;
        m_record = m_file.Load(notes);
        if (hooks.note)
            for (const std::wstring& note : notes) hooks.note(note);
        const CWorkshopMods mods(m_record, m_file.UserGameFolder());
        const Result<PublishedFileId> found = mods.Find(target);
        if (!found) return {found.Error().Kind(), found.Error().Text() + refused};
        m_subscription = &m_record.subscriptions.at(*found);
        return {};
    }

    RecordedSubscription& Subscription() { return *m_subscription; }
    const CWorkshopRecordFile& File() const { return m_file; }
    Status Save() {
        if (Status saved = m_file.Save(m_record); !saved)
            return {saved.Kind(), L"the Workshop record could not be written: " + saved.Text()};
        return {};
    }
    SubscriptionActed Acted() const { return {m_subscription->id, CWorkshopMods::NameOf(*m_subscription), {}}; }

private:
    CWorkshopRecordFile m_file;
    WorkshopRecord m_record;
    RecordedSubscription* m_subscription = nullptr;
};

}  // namespace

Result<SubscriptionActed> HoldSubscription(const std::wstring& userGameFolder, const std::wstring& target, bool hold,
                                           const RecordActionHooks& hooks) {
    CLockedSubscription locked(userGameFolder);
    if (Status opened = locked.Open(target, hold ? L", so it cannot be held" : L", so it cannot be released", hooks);
        !opened)
        return opened;
    if (locked.Subscription().held != hold) {
        locked.Subscription().held = hold;
        if (Status saved = locked.Save(); !saved) return saved;
    }
    return locked.Acted();
}

Result<SubscriptionActed> RestoreSubscription(const std::wstring& userGameFolder, const std::wstring& target,
                                              std::uint32_t entry, const RecordActionHooks& hooks) {
    CLockedSubscription locked(userGameFolder);
    if (Status opened = locked.Open(target, L", so it cannot be restored", hooks); !opened) return opened;
    RecordedSubscription& subscription = locked.Subscription();
    SubscriptionActed acted = locked.Acted();
    if (entry == 0 || entry > subscription.history.size())
        return Status(StatusKind::NotFound,
                      fmt::format(L"{} (Workshop item {}) has no earlier version {}; {} kept", Utf8ToWide(acted.name),
                                  acted.id, entry, subscription.history.size()));
    acted.installed = DateText(subscription.history[entry - 1].installed);
    const Status restored = RestoreFromHistory(locked.File(), subscription, entry - 1);
    // What was done is recorded even when the restore stopped part way.
    const Status saved = locked.Save();
    if (!restored)
        return Status(restored.Kind(),
                      fmt::format(L"the restore of {} stopped: {}", Utf8ToWide(acted.name), restored.Text()));
    if (!saved) return saved;
    return acted;
}

}  // namespace gh
