// The installed mods as the Workshop record knows them: which subscription
// a mod file belongs to, and where that subscription stands (held, no
// longer subscribed, an update waiting, its earlier versions). For `list`,
// and for the commands that name a subscription by one of its files.
#pragma once

#include "platform/Status.h"
#include "workshop/WorkshopRecord.h"

#include <string>
#include <unordered_map>

namespace gh {

class CWorkshopMods {
public:
    // `userGameFolder` ends with a separator.
    CWorkshopMods(WorkshopRecord record, std::wstring userGameFolder);

    // The subscription whose current files include `file` (a full path, as
    // the catalogue names files); null for a file no subscription wrote.
    const RecordedSubscription* Of(const std::wstring& file) const;
    const WorkshopRecord& Record() const { return m_record; }

    // The subscription `target` names: a published file id (digits only)
    // the record knows, or a file of one (a path as given, relative to the
    // current folder, to the documents game folder or to its mods folder).
    // Refused, with a message naming `target`, for anything else: a mod
    // that is not from the Workshop, or an id no sync recorded.
    Result<PublishedFileId> Find(const std::wstring& target) const;

    // A subscription's name for people: its first file's path, or the
    // item's folder.
    static std::string NameOf(const RecordedSubscription& subscription);

private:
    WorkshopRecord m_record;
    std::wstring m_userGameFolder;
    std::unordered_map<std::wstring, PublishedFileId> m_byFile;  // by PathKey
};

// A path as the launcher compares paths: either separator as '/', a-z as A-Z.
std::wstring PathKey(std::wstring path);

}  // namespace gh
