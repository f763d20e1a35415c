#include "workshop/WorkshopRecordFile.h"

#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/FileLinks.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "platform/Unicode.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

namespace {

constexpr std::int64_t kFileTimeTo1970 = 116444736000000000LL;

struct Civil {
    std::int64_t year;
    unsigned month, day, hour, minute, second;
};

// The UTC calendar date and time of `seconds` since 1970.
Civil CivilOf(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days to a date in the proleptic Gregorian calendar, by 400-year eras.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    const unsigned month = shifted < 10 ? shifted + 3 : shifted - 9;
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    return {year,
            month,
            day,
            static_cast<unsigned>(rest / 3600),
            static_cast<unsigned>(rest % 3600 / 60),
            static_cast<unsigned>(rest % 60)};
}

}  // namespace

std::int64_t SecondsSince1970() { return (platform::SystemTimeAsFileTime() - kFileTimeTo1970) / 10'000'000; }

std::string DateText(std::int64_t seconds, bool withTime) {
    const Civil c = CivilOf(seconds);
    if (!withTime) return fmt::format("{:04}-{:02}-{:02}", c.year, c.month, c.day);
    return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}", c.year, c.month, c.day, c.hour, c.minute);
}

CWorkshopRecordFile::CWorkshopRecordFile(std::wstring userGameFolder) : m_userGameFolder(std::move(userGameFolder)) {}

std::wstring CWorkshopRecordFile::RecordPath() const {
    return m_userGameFolder + L"Gatehouse" + platform::NativeSeparator() + L"workshop-record.json";
}

std::wstring CWorkshopRecordFile::LockPath() const {
    return m_userGameFolder + L"Gatehouse" + platform::NativeSeparator() + L"workshop-record.lock";
}

std::wstring CWorkshopRecordFile::HistoryFolder(PublishedFileId id) const {
    const wchar_t s = platform::NativeSeparator();
    return m_userGameFolder + L"Gatehouse" + s + L"history" + s + std::to_wstring(id);
}

std::wstring CWorkshopRecordFile::HistoryEntryFolder(PublishedFileId id, std::uint32_t folder) const {
    return HistoryFolder(id) + platform::NativeSeparator() + std::to_wstring(folder);
}

std::wstring CWorkshopRecordFile::PathOf(const std::string& recordPath) const {
    std::wstring path = m_userGameFolder + Utf8ToWide(recordPath);
    for (wchar_t& c : path)
        if (c == L'/' || c == L'\\') c = platform::NativeSeparator();
    return path;
}

Status CWorkshopRecordFile::MakeFolder() const {
    if (m_folderMade) return {};
    if (!platform::CreateFolders(m_userGameFolder + L"Gatehouse"))
        return Status(StatusKind::Denied, L"the folder Gatehouse could not be made");
    m_folderMade = true;
    return {};
}

Status CWorkshopRecordFile::Lock(const std::function<void()>& waiting) {
    if (Status made = MakeFolder(); !made) return made;
    Result<bool> taken = m_lock.TryAcquire(LockPath());
    if (!taken) {
        // The folder made before may have gone since (the player removed
        // it): it is made again, once.
        m_folderMade = false;
        if (Status made = MakeFolder(); !made) return made;
        taken = m_lock.TryAcquire(LockPath());
    }
    if (!taken) return taken.Error();
    if (*taken) return {};
    if (waiting) waiting();
    return m_lock.Acquire(LockPath());
}

WorkshopRecord CWorkshopRecordFile::Load(std::vector<std::wstring>& notes) const {
    const std::wstring path = RecordPath();
    if (platform::KindAt(path) == platform::PathKind::Missing) return {};
    std::wstring problem;
    if (const std::optional<std::string> text = platform::ReadWholeFile(path, kRecordMaxBytes)) {
        Result<WorkshopRecord> record = ParseWorkshopRecord(*text);
        if (record) return std::move(*record);
        problem = record.Error().Text();
    } else {
        problem = L"it could not be read";
    }
    // Kept for the player to look at, out of the way of the new record.
    const Civil now = CivilOf(SecondsSince1970());
    const std::wstring stem = fmt::format(L"workshop-record.damaged-{:04}{:02}{:02}-{:02}{:02}{:02}", now.year,
                                          now.month, now.day, now.hour, now.minute, now.second);
    const std::wstring folder = m_userGameFolder + L"Gatehouse" + platform::NativeSeparator();
    std::wstring kept = stem + L".json";
    for (int n = 2; platform::KindAt(folder + kept) != platform::PathKind::Missing && n < 100; ++n)
        kept = fmt::format(L"{}-{}.json", stem, n);
    if (const Status moved = platform::MoveFileToNewName(path, folder + kept); !moved) {
        notes.push_back(
            fmt::format(L"The Workshop record could not be read ({}), nor moved aside ({}); it counts as empty.",
                        problem, moved.Text()));
        return {};
    }
    notes.push_back(
        fmt::format(L"The Workshop record could not be read ({}); it was kept as Gatehouse/{} and counts as empty.",
                    problem, kept));
    return {};
}

Result<WorkshopRecord> CWorkshopRecordFile::Read() const {
    if (platform::KindAt(RecordPath()) == platform::PathKind::Missing) return WorkshopRecord();
    const std::optional<std::string> text = platform::ReadWholeFile(RecordPath(), kRecordMaxBytes);
    if (!text) return Status(StatusKind::Failed, L"the Workshop record could not be read");
    return ParseWorkshopRecord(*text);
}

WorkshopRecord CWorkshopRecordFile::Peek() const {
    Result<WorkshopRecord> record = Read();
    return record ? std::move(*record) : WorkshopRecord();
}

Status CWorkshopRecordFile::Save(const WorkshopRecord& record) const {
    if (Status made = MakeFolder(); !made) return made;
    const std::string text = WorkshopRecordText(record);
    return platform::WriteFileAtomically(RecordPath(), text.data(), text.size());
}

}  // namespace gh
