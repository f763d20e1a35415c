#include "catalogue/ModCatalogue.h"

#include "catalogue/ModFolderScan.h"
#include "catalogue/ModHeaderReader.h"
#include "platform/Memory.h"

namespace gh {

CModCatalogue::CModCatalogue(const std::wstring& modsFolder) { Build(modsFolder); }

CModCatalogue::CModCatalogue(std::vector<ModInfo> records) {
    for (auto& record : records) Add(std::move(record));
}

namespace {

// Records are made in steps of this many, the heap prepared for each step
// at the size a record usually takes with its texts and path.
constexpr std::size_t kRecordsPerStep = 256;
constexpr std::size_t kUsualRecordBytes = 1280;

}  // namespace

void CModCatalogue::Build(const std::wstring& modsFolder) {
    m_positions.reserve(1024);  // spares the index most of its regrowth in large collections
    // Each file is read as soon as it is found; its path moves into its record.
    FindModFiles(modsFolder, L"*.MOD",
                 [this](platform::CInputFolder& folder, std::size_t entry, std::wstring&& recordPath) {
                     if (m_records.size() % kRecordsPerStep == 0)
                         platform::PrepareHeap(kRecordsPerStep * kUsualRecordBytes);
                     ModInfo record;
                     // A file that cannot be opened still gives a record, with the defaults.
                     ReadModHeader(record, folder, entry, std::move(recordPath));
                     Add(std::move(record));
                 });
}

void CModCatalogue::Add(ModInfo&& record) {
    const auto [it, inserted] = m_positions.try_emplace(record.guid, m_records.size());
    if (inserted) {
        m_records.push_back(std::move(record));
        return;
    }
    // The highest version wins and takes the place of the one found first;
    // among equal versions the first stays. The other is remembered, so that
    // a player can be told why a file they installed is not listed.
    ModInfo& kept = m_records[it->second];
    if (kept.version < record.version) std::swap(kept, record);
    m_hidden.push_back(
        {std::move(record.filePath), std::move(record.name), std::move(record.readError), record.version, record.guid});
}

const ModInfo* CModCatalogue::FindByGuid(std::int64_t guid) const {
    const auto it = m_positions.find(guid);
    return it == m_positions.end() ? nullptr : &m_records[it->second];
}

std::ptrdiff_t CModCatalogue::PositionOf(std::int64_t guid) const {
    const auto it = m_positions.find(guid);
    return it == m_positions.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
}

}  // namespace gh
