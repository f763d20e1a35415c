// Writes mod files (".MOD") in every header format, for tests, benchmarks
// and the demo. The writer never checks that the fields make sense: it
// writes what it is given, so damaged and foreign files are as easy to
// make as good ones.
//
// Layout written, little-endian:
//   u16 formatVersion, u16 version,
//   [formatVersion >= 4] 4 x u16 gameVersion,
//   [formatVersion == 1] (version + 1) legacy entries of 9 bytes,
//   u32 headerDword1, u32 headerDword2,
//   texts name, author, description, website, downloadUrl,
//   i64 guid, u32 headerDword3, u64 headerQword,
//   u16 requirement count, entries { text name, i64 guid, [formatVersion != 1] u16 version },
//   [formatVersion >= 3] u16 text count, texts,
//   then `content`.
// A text is a u16 count of UTF-16 code units followed by the units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gh::test {

struct ModFileRequirement {
    std::u16string name;
    std::int64_t guid = 0;
    std::uint16_t version = 0;  // not written in format 1
};

// Every field of a mod file in file order. Texts are raw UTF-16 code units,
// written as given: they may hold zeros, unpaired surrogates or more units
// than the reader takes (a text over 65535 units is cut to 65535).
struct ModFile {
    std::uint16_t formatVersion = 4;
    std::uint16_t version = 1;
    std::uint16_t gameVersion[4] = {1, 0, 0, 0};  // written when formatVersion >= 4
    std::uint8_t legacyFill = 0x5A;               // format 1: byte i of the legacy entries is legacyFill + i
    std::uint32_t headerDword1 = 0;
    std::uint32_t headerDword2 = 0;
    std::u16string name;
    std::u16string author;
    std::u16string description;
    std::u16string website;
    std::u16string downloadUrl;
    std::int64_t guid = 0;
    std::uint32_t headerDword3 = 0;
    std::uint64_t headerQword = 0;
    std::vector<ModFileRequirement> requirements;
    std::optional<std::uint16_t> requirementCount;   // written instead of requirements.size()
    std::vector<std::u16string> headerStrings;       // written when formatVersion >= 3
    std::optional<std::uint16_t> headerStringCount;  // written instead of headerStrings.size()
    std::string content;                             // bytes after the header
};

// Where each field lies in the encoded file: [begin, end) byte offsets. A
// text's span covers its count and its units. Fields that the format does
// not have get an empty span at the place they would be.
struct ByteSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};
struct ModFileLayout {
    ByteSpan formatVersion, version, gameVersion, legacyEntries, headerDword1, headerDword2;
    ByteSpan name, author, description, website, downloadUrl;
    ByteSpan guid, headerDword3, headerQword, requirementCount;
    struct Requirement {
        ByteSpan name, guid, version;
    };
    std::vector<Requirement> requirements;
    ByteSpan headerStringCount;
    std::vector<ByteSpan> headerStrings;
    std::size_t headerEnd = 0;  // where `content` begins
};

// The file's bytes; fills `layout` when given.
std::string EncodeModFile(const ModFile& mod, ModFileLayout* layout = nullptr);

// Writes the file's first `keepBytes` bytes (all of them by default) to
// `path`, creating missing folders; '\' and '/' both separate. False when
// the file could not be written.
bool WriteModFile(const std::wstring& path, const ModFile& mod,
                  std::size_t keepBytes = std::numeric_limits<std::size_t>::max());

// Writes raw bytes the same way (for files that are not mod headers at all).
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);

// Wide text as UTF-16 code units, for filling texts from ordinary literals.
std::u16string Units(std::wstring_view text);

}  // namespace gh::test
