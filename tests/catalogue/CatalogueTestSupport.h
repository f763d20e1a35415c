// Helpers shared by the catalogue's tests: reading headers from memory and
// comparing whole records.
#pragma once

#include "catalogue/HeaderStream.h"
#include "catalogue/ModHeaderReader.h"
#include "catalogue/ModRecords.h"

#include <cstdint>
#include <string>

namespace gh::test {

inline ModInfo ReadHeaderBytes(const std::string& bytes) {
    ModInfo info;
    platform::CMemoryByteSource source({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    ReadModHeaderFrom(info, source);
    return info;
}

// The name of the first field in which the records differ, or "".
inline std::string FirstDifference(const ModInfo& a, const ModInfo& b) {
    for (int i = 0; i < 4; ++i)
        if (a.gameVersion[i] != b.gameVersion[i]) return "gameVersion[" + std::to_string(i) + "]";
    if (a.name != b.name) return "name";
    if (a.author != b.author) return "author";
    if (a.website != b.website) return "website";
    if (a.downloadUrl != b.downloadUrl) return "downloadUrl";
    if (a.description != b.description) return "description";
    if (a.filePath != b.filePath) return "filePath";
    if (a.guid != b.guid) return "guid";
    if (a.headerQword != b.headerQword) return "headerQword";
    if (a.version != b.version) return "version";
    if (a.headerDword3 != b.headerDword3) return "headerDword3";
    if (a.headerDword1 != b.headerDword1) return "headerDword1";
    if (a.headerDword2 != b.headerDword2) return "headerDword2";
    if (a.headerStrings != b.headerStrings) return "headerStrings";
    if (a.requirements.size() != b.requirements.size()) return "requirements.size";
    if (a.requirementsPastEnd != b.requirementsPastEnd) return "requirementsPastEnd";
    if (a.headerStringsPastEnd != b.headerStringsPastEnd) return "headerStringsPastEnd";
    for (std::size_t i = 0; i < a.requirements.size(); ++i) {
        const auto& x = a.requirements[i];
        const auto& y = b.requirements[i];
        if (x.guid != y.guid || x.version != y.version || x.name != y.name)
            return "requirements[" + std::to_string(i) + "]";
    }
    return "";
}

}  // namespace gh::test
