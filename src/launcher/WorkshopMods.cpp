#include "launcher/WorkshopMods.h"

#include "platform/SystemFolders.h"
#include "platform/Unicode.h"
#include "workshop/WorkshopNames.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

std::wstring PathKey(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'\\') c = L'/';
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return path;
}

CWorkshopMods::CWorkshopMods(WorkshopRecord record, std::wstring userGameFolder)
    : m_record(std::move(record)), m_userGameFolder(std::move(userGameFolder)) {
    for (const auto& [id, subscription] : m_record.subscriptions)
        for (const RecordedFile& file : subscription.files)
            m_byFile.emplace(PathKey(m_userGameFolder + Utf8ToWide(file.path)), id);
}

const RecordedSubscription* CWorkshopMods::Of(const std::wstring& file) const {
    const auto found = m_byFile.find(PathKey(file));
    return found == m_byFile.end() ? nullptr : &m_record.subscriptions.at(found->second);
}

Result<PublishedFileId> CWorkshopMods::Find(const std::wstring& target) const {
    const bool digits =
        !target.empty() && target.size() <= 20 && target.find_first_not_of(L"0123456789") == std::wstring::npos;
    if (digits) {
        const PublishedFileId id = std::stoull(target);
        if (m_record.subscriptions.count(id)) return id;
        return Status(StatusKind::Refused,
                      fmt::format(L"Workshop item {} is not among the subscriptions synced here", id));
    }
    for (const std::wstring& path :
         {platform::AbsolutePath(target), m_userGameFolder + target, m_userGameFolder + L"mods/" + target}) {
        if (const auto found = m_byFile.find(PathKey(path)); found != m_byFile.end()) return found->second;
    }
    return Status(StatusKind::Refused, L"\"" + target + L"\" is not a mod from the Workshop");
}

std::string CWorkshopMods::NameOf(const RecordedSubscription& subscription) {
    if (subscription.route == SubscriptionRoute::Folder || subscription.files.empty())
        return subscription.route == SubscriptionRoute::Folder ? ItemFolderName(subscription.id)
                                                               : "Workshop item " + std::to_string(subscription.id);
    return subscription.files.front().path;
}

}  // namespace gh
