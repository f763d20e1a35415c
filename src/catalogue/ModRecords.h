// What the program knows about installed mods: the catalogue record read
// from a mod file, one required mod, and the manager's display record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gh {

// The texts a mod file's header carries (names, descriptions, links) are
// kept as valid UTF-8, the form they are printed in: a catalogue of
// thousands of mods holds a quarter of the memory that wide text would take
// where wchar_t has 32 bits. The reader turns an unpaired surrogate of the
// file into U+FFFD. File paths are names of the system and stay wide text.

// One mod that another mod needs. Only `guid` and `version` take part in the
// checks; `name` serves only to name the requirement to the player.
struct CModRequirement {
    std::int64_t guid = 0;
    std::uint16_t version = 0;  // least version that satisfies the requirement
    std::string name;           // UTF-8
};

// The catalogue record of one mod file, filled from the file's header.
// Texts never exceed their limits, counted in the file's UTF-16 units
// (name, author 255; the others 512).
struct ModInfo {
    std::uint16_t gameVersion[4] = {0, 0, 0, 0};  // built for; [0] most significant
    std::string name;                             // UTF-8, as every text of the header
    std::string author;
    std::string website;
    std::string downloadUrl;
    std::string description;
    std::wstring filePath;   // as the system spells it, in its real letter case
    std::string readError;   // UTF-8; why the file could not be read, empty when it was
    std::int64_t guid = -1;  // -1 when the file supplied none
    std::uint64_t headerQword = 0;
    std::uint16_t version = 0;
    std::uint32_t headerDword3 = 0;
    std::uint32_t headerDword1 = 0;
    std::uint32_t headerDword2 = 0;
    std::vector<std::string> headerStrings;
    std::vector<CModRequirement> requirements;  // in file order
    // Entries the header counts beyond those kept in `requirements` and
    // `headerStrings`: the file ended before them, so each repeats the last
    // entry kept. Counted, not stored, so that a short file cannot claim
    // memory by its counts.
    std::uint16_t requirementsPastEnd = 0;
    std::uint16_t headerStringsPastEnd = 0;
};

enum ModStatus : std::int32_t {
    StatusOk = 0,
    StatusWrongGameVersion = 1,
    StatusMissingRequirement = 2,
    StatusOutdatedRequirement = 3,
};

// A mod whose requirements are missing or outdated cannot be selected.
inline bool IsBlocked(std::int32_t status) {
    return status == StatusMissingRequirement || status == StatusOutdatedRequirement;
}

// The manager's display record of one listed mod: copies of the texts, so it
// does not depend on the catalogue's lifetime.
struct ModData {
    std::wstring name;
    std::wstring author;
    std::wstring website;
    std::wstring downloadUrl;
    std::wstring description;
    std::wstring gameVersionText;  // "%d.%d.%d.%d"
    std::int64_t guid = -1;
    std::int32_t status = StatusOk;
    std::uint32_t version = 0;
};

}  // namespace gh
