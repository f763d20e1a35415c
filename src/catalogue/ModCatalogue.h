// The catalogue of installed mods: one ModInfo per mod identity, read from
// the ".MOD" files anywhere below the mods folder.
#pragma once

#include "catalogue/ModRecords.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace gh {

// A mod file that the catalogue does not list because another file carries
// the same identity (a higher version, or the same version found first).
struct HiddenModFile {
    std::wstring file;      // its path, in the form of ModInfo::filePath
    std::string name;       // UTF-8
    std::string readError;  // as ModInfo::readError
    std::uint16_t version = 0;
    std::int64_t guid = -1;
};

class CModCatalogue {
public:
    // Builds from `modsFolder`, used as given (it should end with '/'); the
    // player's is CGameFolders::GetModsFolderToScan(). The records name
    // their files as the system spells them.
    explicit CModCatalogue(const std::wstring& modsFolder);
    // Builds from records already read, taken in this order as if their
    // files had been found in it (the same rule for equal identities).
    explicit CModCatalogue(std::vector<ModInfo> records);
    CModCatalogue(const CModCatalogue&) = delete;
    CModCatalogue& operator=(const CModCatalogue&) = delete;

    // The record with this identity, or null. Constant time.
    const ModInfo* FindByGuid(std::int64_t guid) const;
    // Position of the record with this identity in catalogue order, or -1.
    std::ptrdiff_t PositionOf(std::int64_t guid) const;

    // The files left out for carrying the identity of a listed record, in the
    // order they were met; FindByGuid(guid) gives the record that has it.
    const std::vector<HiddenModFile>& Hidden() const { return m_hidden; }

    // The records in catalogue order; each lives as long as the catalogue.
    std::size_t Count() const { return m_records.size(); }
    const ModInfo& At(std::size_t position) const { return m_records[position]; }

private:
    void Build(const std::wstring& modsFolder);
    void Add(ModInfo&& record);

    // A deque keeps every record where it was made while more are added,
    // without an allocation of its own per record.
    std::deque<ModInfo> m_records;
    std::unordered_map<std::int64_t, std::size_t> m_positions;  // guid -> position in m_records
    std::vector<HiddenModFile> m_hidden;
};

}  // namespace gh
