// The catalogue of installed mods: one ModInfo per mod identity, read from
// the ".MOD" files anywhere below the mods folder.
#pragma once

#include "catalogue/ModRecords.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace gh {

class CModCatalogue {
public:
    // Builds from the documents game folder's mods folder: the canonical
    // form of GetUserGameFolder() + "MODS\" (upper case, forward slashes,
    // trailing '/'). Becomes the current catalogue before it builds.
    CModCatalogue();
    // Builds from `modsFolder`, used as given (it should end with '/').
    explicit CModCatalogue(const std::wstring& modsFolder);
    // Builds from records already read, taken in this order as if their
    // files had been found in it (the same rule for equal identities).
    explicit CModCatalogue(std::vector<ModInfo> records);
    // Deletes every record; the current catalogue becomes null if it was this.
    ~CModCatalogue();
    CModCatalogue(const CModCatalogue&) = delete;
    CModCatalogue& operator=(const CModCatalogue&) = delete;

    // The catalogue that exists now, or null.
    static CModCatalogue* Current();

    // The mods folder a default-built catalogue reads.
    static std::wstring DefaultModsFolder();

    // The record with this identity, or null. Constant time.
    const ModInfo* FindByGuid(std::int64_t guid) const;
    // Position of the record with this identity in catalogue order, or -1.
    std::ptrdiff_t PositionOf(std::int64_t guid) const;

    // Empties `out`, then appends every record in catalogue order. The
    // records stay owned by the catalogue and live as long as it does.
    void GetAll(std::vector<const ModInfo*>& out) const;
    std::size_t Count() const { return m_records.size(); }
    const ModInfo& At(std::size_t position) const { return *m_records[position]; }

    // Appends to `out` the canonical path of every file below `folder`
    // (which ends with '/') whose name matches `pattern`: the folder's own
    // files in listing order, then each subfolder's, depth first. Folders
    // whose names begin with '.' are not entered, and each real folder is
    // entered once, so links that lead back into the tree end the walk.
    static void ScanModFolder(const std::wstring& folder, std::vector<std::wstring>& out, const std::wstring& pattern);
    // Appends ToUpper(folder + name) for each file of `folder` matching
    // `pattern`, in listing order, leaving out folders, empty names,
    // "Thumbs.db" and ".get_date.dat".
    static void ListMatchingFiles(std::vector<std::wstring>& out, const std::wstring& folder, const std::wstring& pattern);
    // Appends the names (in their own case) of the subfolders of `folder`,
    // in listing order, leaving out names that begin with '.'.
    static void ListSubfolders(std::vector<std::wstring>& out, const std::wstring& folder);

private:
    void Build(const std::wstring& modsFolder);
    void Add(std::unique_ptr<ModInfo> record);

    std::vector<std::unique_ptr<ModInfo>> m_records;
    std::unordered_map<std::int64_t, std::size_t> m_positions;  // guid -> position in m_records
};

}  // namespace gh
