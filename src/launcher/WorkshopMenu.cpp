#include "launcher/WorkshopMenu.h"

#include "launcher/OutsideText.h"
#include "platform/Unicode.h"
#include "workshop/WorkshopRecordFile.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

std::vector<WorkshopMenuItem> WorkshopMenuItems(const RecordedSubscription* subscription) {
    if (subscription == nullptr)
        return {{WorkshopMenuAction::None, 0, L"Not from the Workshop: nothing to hold or restore"}};
    std::vector<WorkshopMenuItem> items;
    if (subscription->held)
        items.push_back({WorkshopMenuAction::Release, 0, L"Release: let the Workshop sync update it"});
    else
        items.push_back({WorkshopMenuAction::Hold, 0, L"Hold at the installed version"});
    for (std::size_t i = 0; i < subscription->history.size(); ++i) {
        const auto entry = static_cast<std::uint32_t>(i + 1);
        items.push_back({WorkshopMenuAction::Restore, entry,
                         fmt::format(L"Restore version {} (installed {})", entry,
                                     Utf8ToWide(DateText(subscription->history[i].installed)))});
    }
    return items;
}

std::wstring WorkshopRowTip(const RecordedSubscription* subscription) {
    if (subscription == nullptr) return {};
    std::wstring tip;
    if (!subscription->subscribed) tip = L"No longer subscribed: the Workshop sync leaves its files as they are.";
    if (subscription->held) {
        tip += tip.empty() ? L"" : L"\n";
        tip += subscription->updateWaiting
                   ? L"Held at the installed version; the Workshop has a later one, which the sync leaves "
                     L"until it is released."
                   : L"Held at the installed version: the Workshop sync leaves it as it is until it is released.";
    }
    if (!tip.empty()) tip += L"\nRight-click, or press the menu key, to hold, release or restore it.";
    return tip;
}

std::wstring WorkshopActionDoneText(const WorkshopMenuItem& item, const SubscriptionActed& acted,
                                    const std::wstring& modName) {
    const std::wstring name = IsolatedText(modName);
    switch (item.action) {
        case WorkshopMenuAction::Hold:
            return L"Held " + name + L" at its installed version: the Workshop sync leaves it as it is.";
        case WorkshopMenuAction::Release:
            return L"Released " + name + L": the next Workshop sync brings it up to date.";
        case WorkshopMenuAction::Restore:
            return fmt::format(
                L"Restored version {} of {} (installed {}). It is held now, so that the sync does "
                L"not undo this; the version it replaced is kept as version 1.",
                item.entry, name, Utf8ToWide(acted.installed));
        case WorkshopMenuAction::None: break;
    }
    return {};
}

}  // namespace gh
