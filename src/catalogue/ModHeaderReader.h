// The reader of a mod file's header, turned into a ModInfo.
//
// Layout, little-endian, no signature, read from the first byte on:
//   u16 formatVersion, u16 version,
//   [formatVersion >= 4] 4 x u16 gameVersion,
//   [formatVersion == 1] (version + 1) legacy entries of 9 bytes, skipped,
//   u32 headerDword1, u32 headerDword2,
//   texts name, author, description, website, downloadUrl,
//   i64 guid, u32 headerDword3, u64 headerQword,
//   u16 R, R x { text name, i64 guid, [formatVersion != 1] u16 version },
//   [formatVersion >= 3] u16 S, S x text.
// A text is a u16 count N followed by N UTF-16LE code units.
#pragma once

#include "catalogue/HeaderStream.h"
#include "catalogue/ModRecords.h"
#include "platform/InputFolder.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace gh {

// Most code units one text field yields; a longer stored text leaves its
// remaining units to be read as the following field(s).
inline constexpr std::size_t kHeaderTextMaxUnits = 512;
inline constexpr std::size_t kNameLimit = 255;
inline constexpr std::size_t kAuthorLimit = 255;
inline constexpr std::size_t kDescriptionLimit = 512;
inline constexpr std::size_t kWebsiteLimit = 512;
inline constexpr std::size_t kDownloadUrlLimit = 512;

// Fills `info` (freshly constructed) from the mod file at `path`, which
// becomes its filePath. When the file cannot be opened, the status says why
// and so does the record's readError; every other field keeps its default.
// A short, damaged or foreign file is never an error: every field whose
// bytes are missing keeps its value (see ReadModHeaderFrom).
Status ReadModHeader(ModInfo& info, const std::wstring& path);

// As ReadModHeader, but opens entry `entry` of the open `folder` and stores
// `recordPath` as the record's filePath (the catalogue opens files by their
// listed names relative to the open folder).
Status ReadModHeader(ModInfo& info, platform::CInputFolder& folder, std::size_t entry, std::wstring recordPath);

// What a header held beyond the record, for people who check a mod file
// (the record keeps only what the launcher uses).
struct HeaderTextNote {
    std::uint16_t storedUnits = 0;  // the count the file gives
    std::size_t keptUnits = 0;      // units the field kept, after the cap, a zero unit and its limit
};
struct HeaderNotes {
    std::uint16_t formatVersion = 4;  // as read; 4 when the file is too short to say
    HeaderTextNote name, author, description, website, downloadUrl;
    bool hasIdentity = false;            // all 8 bytes of the guid were there
    std::uint16_t requirementCount = 0;  // as stored
    std::uint16_t headerStringCount = 0;
    bool endedEarly = false;        // the bytes end before the header does
    std::uint64_t headerBytes = 0;  // bytes the header took (all there were when it ended early)
};

// Reads the header fields from `source` into `info` (all but filePath).
// A field is taken only when all its bytes are present; a missing one keeps
// what it held: the record's value, a format of 4, counts of 0, empty texts,
// and inside a requirement entry the guid and version the previous entry
// left (0 and 0 before the first). A text cut short keeps its whole units.
// Of the entries that lie wholly past the end of the bytes, which are all
// alike, one is kept and the rest counted (requirementsPastEnd,
// headerStringsPastEnd), so memory is bounded by the bytes, not the counts.
// With `notes`, also fills in what the header held beyond the record.
void ReadModHeaderFrom(ModInfo& info, platform::IByteSource& source, HeaderNotes* notes = nullptr);

// Reads one text field as UTF-16 code units: at most kHeaderTextMaxUnits
// units are consumed, and the text ends at the first zero unit among them.
// At the end of the bytes the count reads as 0 and the text is empty.
std::u16string ReadHeaderText(CHeaderStream& stream);

// Stores `units` into `field`, cut to its first `limit` UTF-16 code units,
// converted to UTF-8 (an unpaired surrogate becomes U+FFFD).
void SetLimitedText(std::string& field, std::u16string_view units, std::size_t limit);

}  // namespace gh
