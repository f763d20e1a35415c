#include "platform/PeVersionReader.h"

#include <algorithm>

namespace gh::platform {

namespace {

// Everything is decoded byte by byte from little-endian data: the file comes
// from elsewhere, so no structure is ever laid over a buffer.

constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kDosHeaderSize = 64;
constexpr std::uint32_t kLfanewOffset = 0x3C;
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

constexpr std::uint32_t kVersionType = 16;   // RT_VERSION
constexpr std::uint32_t kVersionInfoId = 1;  // VS_VERSION_INFO
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint32_t kDirectoryHeaderSize = 16;
constexpr std::uint32_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;

// VS_VERSIONINFO: wLength, wValueLength, wType, L"VS_VERSION_INFO" with its
// terminator (32 bytes), padding to a 32-bit boundary, then VS_FIXEDFILEINFO.
constexpr std::uint32_t kVersionKeyOffset = 6;
constexpr std::uint32_t kVersionKeyUnits = 16;
constexpr std::uint32_t kFixedInfoOffset = 40;
constexpr std::uint32_t kFixedInfoSize = 52;
constexpr std::uint32_t kVersionHeadSize = kFixedInfoOffset + kFixedInfoSize;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr char16_t kVersionKey[kVersionKeyUnits] = u"VS_VERSION_INFO";

// Real images have a handful of sections and a few dozen resource types; the
// limits only stop a hostile file from making the walk long.
constexpr std::uint32_t kMaxSections = 1024;
constexpr std::uint32_t kMaxEntriesVisited = 4096;

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads that either deliver every byte asked for or fail: a short read means
// the structure runs past the end of the file.
class CPeReader {
public:
    explicit CPeReader(IByteSource& source) : m_source(source) {}

    bool Read(std::uint64_t offset, unsigned char* out, std::size_t size) {
        return m_source.ReadAt(offset, out, size) == size;
    }
    bool Read16(std::uint64_t offset, std::uint16_t& value) {
        unsigned char bytes[2];
        if (!Read(offset, bytes, sizeof bytes)) return false;
        value = Le16(bytes);
        return true;
    }
    bool Read32(std::uint64_t offset, std::uint32_t& value) {
        unsigned char bytes[4];
        if (!Read(offset, bytes, sizeof bytes)) return false;
        value = Le32(bytes);
        return true;
    }

private:
    IByteSource& m_source;
};

struct ImageHeaders {
    std::uint64_t sectionTable = 0;
    std::uint32_t sectionCount = 0;
    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
};

// Bytes of the file that hold an RVA: where they start and how many of the
// section's bytes follow there.
struct FileSpan {
    std::uint64_t offset = 0;
    std::uint64_t available = 0;
};

bool ReadHeaders(CPeReader& reader, ImageHeaders& headers) {
    unsigned char dos[kDosHeaderSize];
    if (!reader.Read(0, dos, sizeof dos)) return false;
    if (Le16(dos) != kDosMagic) return false;
    const std::uint64_t pe = Le32(dos + kLfanewOffset);

    std::uint32_t signature = 0;
    if (!reader.Read32(pe, signature) || signature != kPeSignature) return false;

    unsigned char coff[kCoffHeaderSize];
    if (!reader.Read(pe + 4, coff, sizeof coff)) return false;
    const std::uint32_t sectionCount = Le16(coff + 2);
    const std::uint32_t optionalSize = Le16(coff + 16);
    const std::uint64_t optional = pe + 4 + kCoffHeaderSize;

    std::uint16_t magic = 0;
    if (!reader.Read16(optional, magic)) return false;
    std::uint32_t countOffset = 0;
    std::uint32_t directoriesOffset = 0;
    if (magic == kPe32Magic) {
        countOffset = 92;
        directoriesOffset = 96;
    } else if (magic == kPe32PlusMagic) {
        countOffset = 108;
        directoriesOffset = 112;
    } else {
        return false;
    }

    // The resource entry must lie inside the optional header the file declares.
    const std::uint32_t entryOffset = directoriesOffset + kResourceDirectoryIndex * 8;
    if (optionalSize < entryOffset + 8) return false;
    std::uint32_t directoryCount = 0;
    if (!reader.Read32(optional + countOffset, directoryCount)) return false;
    if (directoryCount <= kResourceDirectoryIndex) return false;

    unsigned char entry[8];
    if (!reader.Read(optional + entryOffset, entry, sizeof entry)) return false;
    headers.resourceRva = Le32(entry);
    headers.resourceSize = Le32(entry + 4);
    if (headers.resourceRva == 0 || headers.resourceSize == 0) return false;

    if (sectionCount == 0 || sectionCount > kMaxSections) return false;
    headers.sectionCount = sectionCount;
    headers.sectionTable = optional + optionalSize;
    return true;
}

// Finds the section that holds `rva` and the file bytes behind it. Bytes that
// the section has in memory but not in the file (beyond its raw size) are not
// available: nothing we read lives there.
bool MapRva(CPeReader& reader, const ImageHeaders& headers, std::uint32_t rva, FileSpan& span) {
    for (std::uint32_t i = 0; i < headers.sectionCount; ++i) {
        unsigned char section[kSectionHeaderSize];
        if (!reader.Read(headers.sectionTable + std::uint64_t{i} * kSectionHeaderSize, section, sizeof section))
            return false;
        const std::uint32_t virtualSize = Le32(section + 8);
        const std::uint32_t virtualAddress = Le32(section + 12);
        const std::uint32_t rawSize = Le32(section + 16);
        const std::uint32_t rawOffset = Le32(section + 20);
        // Some linkers leave the virtual size zero; the raw size then stands for it.
        const std::uint32_t extent = virtualSize != 0 ? virtualSize : rawSize;
        if (rva < virtualAddress || rva - virtualAddress >= extent) continue;
        const std::uint32_t delta = rva - virtualAddress;
        const std::uint32_t backed = std::min(extent, rawSize);
        if (delta >= backed) return false;
        span.offset = std::uint64_t{rawOffset} + delta;
        span.available = backed - delta;
        return true;
    }
    return false;
}

// The resource tree: directories whose entries hold offsets relative to the
// tree's start. Every read is checked against the tree's extent in the file.
class CResourceTree {
public:
    CResourceTree(CPeReader& reader, FileSpan span) : m_reader(reader), m_span(span) {}

    // The entry of the directory at `directory` whose id is `id`; named
    // entries never match an id, whatever their offset bits say.
    bool FindId(std::uint32_t directory, std::uint32_t id, std::uint32_t& target) {
        std::uint32_t named = 0, ids = 0;
        if (!ReadCounts(directory, named, ids)) return false;
        for (std::uint32_t i = named; i < named + ids; ++i) {
            if (++m_visited > kMaxEntriesVisited) return false;
            std::uint32_t name = 0, offset = 0;
            if (!ReadEntry(directory, i, name, offset)) return false;
            if ((name & kHighBit) == 0 && name == id) {
                target = offset;
                return true;
            }
        }
        return false;
    }

    // The first entry of the directory, named or numbered.
    bool First(std::uint32_t directory, std::uint32_t& target) {
        std::uint32_t named = 0, ids = 0;
        if (!ReadCounts(directory, named, ids) || named + ids == 0) return false;
        ++m_visited;
        std::uint32_t name = 0;
        return ReadEntry(directory, 0, name, target);
    }

    // Follows an entry that must lead to a directory not visited before, so
    // a tree whose offsets point back into itself is refused.
    bool EnterDirectory(std::uint32_t entryOffset, std::uint32_t& directory) {
        if ((entryOffset & kHighBit) == 0) return false;
        directory = entryOffset & ~kHighBit;
        for (std::uint32_t i = 0; i < m_pathLength; ++i)
            if (m_path[i] == directory) return false;
        if (m_pathLength == kDepth) return false;
        m_path[m_pathLength++] = directory;
        return true;
    }

    // Reads the data entry an entry leads to: the data's RVA and size.
    bool ReadDataEntry(std::uint32_t entryOffset, std::uint32_t& rva, std::uint32_t& size) {
        if ((entryOffset & kHighBit) != 0) return false;
        unsigned char bytes[kDataEntrySize];
        if (!ReadTree(entryOffset, bytes, sizeof bytes)) return false;
        rva = Le32(bytes);
        size = Le32(bytes + 4);
        return true;
    }

    void EnterRoot() { m_path[m_pathLength++] = 0; }

private:
    static constexpr std::uint32_t kDepth = 3;  // type, name, language

    bool ReadTree(std::uint64_t offset, unsigned char* out, std::size_t size) {
        if (offset > m_span.available || m_span.available - offset < size) return false;
        return m_reader.Read(m_span.offset + offset, out, size);
    }

    bool ReadCounts(std::uint32_t directory, std::uint32_t& named, std::uint32_t& ids) {
        unsigned char header[kDirectoryHeaderSize];
        if (!ReadTree(directory, header, sizeof header)) return false;
        named = Le16(header + 12);
        ids = Le16(header + 14);
        return true;
    }

    bool ReadEntry(std::uint32_t directory, std::uint32_t index, std::uint32_t& name, std::uint32_t& offset) {
        unsigned char entry[kDirectoryEntrySize];
        const std::uint64_t at =
            std::uint64_t{directory} + kDirectoryHeaderSize + std::uint64_t{index} * kDirectoryEntrySize;
        if (!ReadTree(at, entry, sizeof entry)) return false;
        name = Le32(entry);
        offset = Le32(entry + 4);
        return true;
    }

    CPeReader& m_reader;
    FileSpan m_span;
    std::uint32_t m_visited = 0;
    std::uint32_t m_path[kDepth] = {};
    std::uint32_t m_pathLength = 0;
};

// Walks type 16, then the VS_VERSION_INFO entry (id 1: the system's version
// functions look up no other, so a version resource under another id or a
// name is not the file's version on Windows either), then the first language
// (the lowest id, which is the language-neutral one when present).
bool FindVersionData(CPeReader& reader, const ImageHeaders& headers, std::uint32_t& rva, std::uint32_t& size) {
    FileSpan tree;
    if (!MapRva(reader, headers, headers.resourceRva, tree)) return false;
    tree.available = std::min<std::uint64_t>(tree.available, headers.resourceSize);

    CResourceTree walk(reader, tree);
    walk.EnterRoot();
    std::uint32_t entry = 0, directory = 0;
    if (!walk.FindId(0, kVersionType, entry) || !walk.EnterDirectory(entry, directory)) return false;
    if (!walk.FindId(directory, kVersionInfoId, entry)) return false;
    if (!walk.EnterDirectory(entry, directory)) return false;
    if (!walk.First(directory, entry)) return false;
    return walk.ReadDataEntry(entry, rva, size);
}

}  // namespace

bool ReadPeFileVersion(IByteSource& source, std::uint16_t parts[4]) {
    CPeReader reader(source);
    ImageHeaders headers;
    if (!ReadHeaders(reader, headers)) return false;

    std::uint32_t dataRva = 0, dataSize = 0;
    if (!FindVersionData(reader, headers, dataRva, dataSize)) return false;
    FileSpan data;
    if (!MapRva(reader, headers, dataRva, data)) return false;
    if (dataSize > data.available || dataSize < kVersionHeadSize) return false;

    unsigned char head[kVersionHeadSize];
    if (!reader.Read(data.offset, head, sizeof head)) return false;
    // A resource cut short by the end of the file is damaged even when its
    // first bytes are intact.
    unsigned char last = 0;
    if (!reader.Read(data.offset + dataSize - 1, &last, 1)) return false;
    const std::uint32_t length = Le16(head);
    const std::uint32_t valueLength = Le16(head + 2);
    if (length < kVersionHeadSize || length > dataSize) return false;
    if (valueLength < kFixedInfoSize) return false;
    for (std::uint32_t i = 0; i < kVersionKeyUnits; ++i)
        if (Le16(head + kVersionKeyOffset + 2 * i) != kVersionKey[i]) return false;

    const unsigned char* fixed = head + kFixedInfoOffset;
    if (Le32(fixed) != kFixedInfoSignature) return false;
    const std::uint32_t fileMs = Le32(fixed + 8);
    const std::uint32_t fileLs = Le32(fixed + 12);
    parts[0] = static_cast<std::uint16_t>(fileMs >> 16);
    parts[1] = static_cast<std::uint16_t>(fileMs & 0xFFFF);
    parts[2] = static_cast<std::uint16_t>(fileLs >> 16);
    parts[3] = static_cast<std::uint16_t>(fileLs & 0xFFFF);
    return true;
}

}  // namespace gh::platform
