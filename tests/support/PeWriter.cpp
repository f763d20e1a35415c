#include "support/PeWriter.h"

#include "platform/Unicode.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

namespace gh::test {

namespace {

constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kHeadersSize = 0x200;
constexpr std::uint32_t kPeOffset = 0x80;
constexpr std::uint32_t kTextRva = 0x1000;
constexpr std::uint32_t kResourceRva = 0x2000;
constexpr std::uint32_t kHighBit = 0x80000000u;

std::size_t AlignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void PutLe(std::string& bytes, std::size_t offset, std::uint64_t value, int size) {
    if (bytes.size() < offset + static_cast<std::size_t>(size))
        bytes.resize(offset + static_cast<std::size_t>(size), '\0');
    for (int i = 0; i < size; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendLe(std::string& bytes, std::uint64_t value, int size) { PutLe(bytes, bytes.size(), value, size); }

void AppendUtf16(std::string& bytes, std::u16string_view text) {
    for (char16_t unit : text) AppendLe(bytes, unit, 2);
}

void PadTo4(std::string& bytes) { bytes.resize(AlignUp(bytes.size(), 4), '\0'); }

// One node of a version block: header, NUL-terminated key, padding, value,
// padding, children each starting on a 32-bit boundary. wLength covers all
// of it but the block's own trailing padding.
std::string VersionNode(std::u16string_view key, bool text, const std::string& value, std::uint16_t valueLength,
                        const std::vector<std::string>& children) {
    std::string node;
    AppendLe(node, 0, 2);  // wLength, set below
    AppendLe(node, valueLength, 2);
    AppendLe(node, text ? 1 : 0, 2);
    AppendUtf16(node, key);
    AppendLe(node, 0, 2);
    PadTo4(node);
    node += value;
    for (const std::string& child : children) {
        PadTo4(node);
        node += child;
    }
    PutLe(node, 0, node.size(), 2);
    return node;
}

std::string TextValue(std::u16string_view key, std::u16string_view value) {
    std::string bytes;
    AppendUtf16(bytes, value);
    AppendLe(bytes, 0, 2);
    return VersionNode(key, true, bytes, static_cast<std::uint16_t>(value.size() + 1), {});
}

std::u16string VersionText(const VersionParts& parts) {
    std::string text = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) +
                       "." + std::to_string(parts[3]);
    return std::u16string(text.begin(), text.end());
}

// A tree key: names sort before numbers, names without regard to case (they
// are stored upper-cased, as resource compilers do), numbers ascending.
struct Key {
    bool named = false;
    std::u16string name;
    std::uint16_t id = 0;
    friend bool operator<(const Key& a, const Key& b) {
        if (a.named != b.named) return a.named;
        if (a.named) return a.name < b.name;
        return a.id < b.id;
    }
};

Key MakeKey(std::uint16_t id, const std::wstring& name) {
    if (name.empty()) return Key{false, {}, id};
    std::u16string units = WideToUtf16(name);
    for (char16_t& c : units)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return Key{true, units, 0};
}

using LanguageMap = std::map<std::uint16_t, std::size_t>;  // language -> resource index
using NameMap = std::map<Key, LanguageMap>;
using TypeMap = std::map<Key, NameMap>;

struct Tree {
    std::string bytes;
    // Offsets within the tree for the traced resource.
    std::size_t typeEntry = 0, nameDirectory = 0, nameEntry = 0, languageDirectory = 0, languageEntry = 0;
    std::size_t dataEntry = 0, data = 0;
    bool traced = false;
};

std::size_t DirectorySize(std::size_t entries) { return 16 + 8 * entries; }

void WriteDirectoryHeader(std::string& bytes, std::size_t at, std::size_t named, std::size_t ids) {
    PutLe(bytes, at + 12, named, 2);
    PutLe(bytes, at + 14, ids, 2);
}

template <typename Map>
std::size_t CountNamed(const Map& map) {
    return static_cast<std::size_t>(
        std::count_if(map.begin(), map.end(), [](const auto& item) { return item.first.named; }));
}

// Lays the tree out as resource compilers do: all directories breadth first,
// then the data entries, then the name strings, then the data.
Tree BuildTree(const std::vector<PeResource>& resources, std::uint32_t sectionRva) {
    TypeMap types;
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const PeResource& r = resources[i];
        auto& languages = types[MakeKey(r.type, r.typeName)][MakeKey(r.id, r.name)];
        if (!languages.emplace(r.language, i).second) throw std::invalid_argument("duplicate resource");
    }

    std::size_t offset = DirectorySize(types.size());
    std::map<const NameMap*, std::size_t> nameDirectories;
    for (const auto& [type, names] : types) {
        nameDirectories[&names] = offset;
        offset += DirectorySize(names.size());
    }
    std::map<const LanguageMap*, std::size_t> languageDirectories;
    for (const auto& [type, names] : types)
        for (const auto& [name, languages] : names) {
            languageDirectories[&languages] = offset;
            offset += DirectorySize(languages.size());
        }
    std::vector<std::size_t> dataEntries(resources.size());
    std::vector<std::size_t> dataOffsets(resources.size());
    for (const auto& [type, names] : types)
        for (const auto& [name, languages] : names)
            for (const auto& [language, index] : languages) {
                dataEntries[index] = offset;
                offset += 16;
            }
    std::map<std::u16string, std::size_t> strings;
    auto addString = [&](const Key& key) {
        if (!key.named || strings.count(key.name)) return;
        strings[key.name] = offset;
        offset += 2 + 2 * key.name.size();
    };
    for (const auto& [type, names] : types) {
        addString(type);
        for (const auto& [name, languages] : names) addString(name);
    }
    for (const auto& [type, names] : types)
        for (const auto& [name, languages] : names)
            for (const auto& [language, index] : languages) {
                offset = AlignUp(offset, 8);
                dataOffsets[index] = offset;
                offset += resources[index].data.size();
            }

    Tree tree;
    std::string& out = tree.bytes;
    out.assign(offset, '\0');
    auto nameField = [&](const Key& key) -> std::uint32_t {
        return key.named ? static_cast<std::uint32_t>(kHighBit | strings.at(key.name)) : key.id;
    };
    WriteDirectoryHeader(out, 0, CountNamed(types), types.size() - CountNamed(types));
    std::size_t typeIndex = 0;
    for (const auto& [type, names] : types) {
        const std::size_t typeEntry = DirectorySize(typeIndex++);
        const std::size_t nameDirectory = nameDirectories.at(&names);
        PutLe(out, typeEntry, nameField(type), 4);
        PutLe(out, typeEntry + 4, kHighBit | nameDirectory, 4);
        WriteDirectoryHeader(out, nameDirectory, CountNamed(names), names.size() - CountNamed(names));
        std::size_t nameIndex = 0;
        for (const auto& [name, languages] : names) {
            const std::size_t nameEntry = nameDirectory + DirectorySize(nameIndex++);
            const std::size_t languageDirectory = languageDirectories.at(&languages);
            PutLe(out, nameEntry, nameField(name), 4);
            PutLe(out, nameEntry + 4, kHighBit | languageDirectory, 4);
            WriteDirectoryHeader(out, languageDirectory, 0, languages.size());
            std::size_t languageIndex = 0;
            for (const auto& [language, index] : languages) {
                const std::size_t languageEntry = languageDirectory + DirectorySize(languageIndex++);
                PutLe(out, languageEntry, language, 4);
                PutLe(out, languageEntry + 4, dataEntries[index], 4);
                const PeResource& r = resources[index];
                PutLe(out, dataEntries[index], sectionRva + dataOffsets[index], 4);
                PutLe(out, dataEntries[index] + 4, r.data.size(), 4);
                std::memcpy(out.data() + dataOffsets[index], r.data.data(), r.data.size());
                if (r.traced) {
                    tree.traced = true;
                    tree.typeEntry = typeEntry;
                    tree.nameDirectory = nameDirectory;
                    tree.nameEntry = nameEntry;
                    tree.languageDirectory = languageDirectory;
                    tree.languageEntry = languageEntry;
                    tree.dataEntry = dataEntries[index];
                    tree.data = dataOffsets[index];
                }
            }
        }
    }
    for (const auto& [text, at] : strings) {
        PutLe(out, at, text.size(), 2);
        for (std::size_t i = 0; i < text.size(); ++i) PutLe(out, at + 2 + 2 * i, text[i], 2);
    }
    return tree;
}

void WriteSectionHeader(std::string& image, std::size_t at, const char* name, std::uint32_t virtualSize,
                        std::uint32_t rva, std::uint32_t rawSize, std::uint32_t rawOffset,
                        std::uint32_t characteristics) {
    std::memcpy(image.data() + at, name, std::strlen(name));
    PutLe(image, at + 8, virtualSize, 4);
    PutLe(image, at + 12, rva, 4);
    PutLe(image, at + 16, rawSize, 4);
    PutLe(image, at + 20, rawOffset, 4);
    PutLe(image, at + 36, characteristics, 4);
}

}  // namespace

std::string VersionInfoBlock(const VersionParts& fileVersion, const VersionParts& productVersion) {
    std::string fixed;
    AppendLe(fixed, 0xFEEF04BD, 4);  // dwSignature
    AppendLe(fixed, 0x00010000, 4);  // dwStrucVersion
    AppendLe(fixed, (std::uint32_t{fileVersion[0]} << 16) | fileVersion[1], 4);
    AppendLe(fixed, (std::uint32_t{fileVersion[2]} << 16) | fileVersion[3], 4);
    AppendLe(fixed, (std::uint32_t{productVersion[0]} << 16) | productVersion[1], 4);
    AppendLe(fixed, (std::uint32_t{productVersion[2]} << 16) | productVersion[3], 4);
    AppendLe(fixed, 0x3F, 4);        // dwFileFlagsMask
    AppendLe(fixed, 0, 4);           // dwFileFlags
    AppendLe(fixed, 0x00040004, 4);  // dwFileOS: VOS_NT_WINDOWS32
    AppendLe(fixed, 1, 4);           // dwFileType: VFT_APP
    AppendLe(fixed, 0, 4);           // dwFileSubtype
    AppendLe(fixed, 0, 4);           // dwFileDateMS
    AppendLe(fixed, 0, 4);           // dwFileDateLS

    const std::string table =
        VersionNode(u"040904B0", true, {}, 0,
                    {TextValue(u"FileDescription", u"Gatehouse test executable"),
                     TextValue(u"FileVersion", VersionText(fileVersion)), TextValue(u"ProductName", u"Gatehouse test"),
                     TextValue(u"ProductVersion", VersionText(productVersion))});
    const std::string strings = VersionNode(u"StringFileInfo", true, {}, 0, {table});
    std::string translation;
    AppendLe(translation, 0x0409, 2);
    AppendLe(translation, 0x04B0, 2);
    const std::string vars =
        VersionNode(u"VarFileInfo", true, {}, 0, {VersionNode(u"Translation", false, translation, 4, {})});
    return VersionNode(u"VS_VERSION_INFO", false, fixed, static_cast<std::uint16_t>(fixed.size()), {strings, vars});
}

PeResource VersionResource(const VersionParts& fileVersion, const VersionParts& productVersion, std::uint16_t id) {
    PeResource resource;
    resource.type = 16;
    resource.id = id;
    resource.data = VersionInfoBlock(fileVersion, productVersion);
    resource.traced = true;
    return resource;
}

PeImage WritePe(PeKind kind, const std::vector<PeResource>& resources) {
    const bool plus = kind == PeKind::Pe32Plus;
    const Tree tree = BuildTree(resources, kResourceRva);
    const auto treeSize = static_cast<std::uint32_t>(tree.bytes.size());
    const auto resourceRaw = static_cast<std::uint32_t>(AlignUp(std::max<std::size_t>(treeSize, 1), kFileAlignment));
    const std::uint32_t textRaw = kFileAlignment;
    const std::uint32_t textOffset = kHeadersSize;
    const std::uint32_t resourceOffset = textOffset + textRaw;
    const auto imageSize =
        static_cast<std::uint32_t>(kResourceRva + AlignUp(std::max<std::size_t>(treeSize, 1), kSectionAlignment));

    PeImage image;
    std::string& b = image.bytes;
    b.assign(resourceOffset + resourceRaw, '\0');

    // DOS header; its stub is left empty.
    PutLe(b, 0x00, 0x5A4D, 2);
    PutLe(b, 0x02, 0x90, 2);
    PutLe(b, 0x04, 3, 2);
    PutLe(b, 0x08, 4, 2);
    PutLe(b, 0x0C, 0xFFFF, 2);
    PutLe(b, 0x10, 0xB8, 2);
    PutLe(b, 0x18, 0x40, 2);
    PutLe(b, 0x3C, kPeOffset, 4);

    const std::size_t pe = kPeOffset;
    const std::uint16_t optionalSize = plus ? 240 : 224;
    PutLe(b, pe, 0x00004550, 4);
    PutLe(b, pe + 4, plus ? 0x8664 : 0x014C, 2);  // Machine
    PutLe(b, pe + 6, 2, 2);                       // NumberOfSections
    PutLe(b, pe + 20, optionalSize, 2);
    PutLe(b, pe + 22, plus ? 0x0023 : 0x0103, 2);  // relocs stripped, executable, 32-bit / large address aware

    const std::size_t o = pe + 24;
    PutLe(b, o, plus ? 0x20B : 0x10B, 2);
    PutLe(b, o + 2, 14, 1);           // linker version
    PutLe(b, o + 4, textRaw, 4);      // SizeOfCode
    PutLe(b, o + 8, resourceRaw, 4);  // SizeOfInitializedData
    PutLe(b, o + 16, kTextRva, 4);    // AddressOfEntryPoint
    PutLe(b, o + 20, kTextRva, 4);    // BaseOfCode
    if (plus) {
        PutLe(b, o + 24, 0x140000000ULL, 8);  // ImageBase
    } else {
        PutLe(b, o + 24, kResourceRva, 4);  // BaseOfData
        PutLe(b, o + 28, 0x400000, 4);      // ImageBase
    }
    PutLe(b, o + 32, kSectionAlignment, 4);
    PutLe(b, o + 36, kFileAlignment, 4);
    PutLe(b, o + 40, 6, 2);  // operating system version 6.0
    PutLe(b, o + 48, 6, 2);  // subsystem version 6.0
    PutLe(b, o + 56, imageSize, 4);
    PutLe(b, o + 60, kHeadersSize, 4);
    PutLe(b, o + 68, 2, 2);            // Subsystem: Windows GUI
    PutLe(b, o + 70, 0x8100, 2);       // NX compatible, terminal server aware
    const std::size_t sizes = o + 72;  // stack and heap reserve and commit
    const int word = plus ? 8 : 4;
    PutLe(b, sizes, 0x100000, word);
    PutLe(b, sizes + static_cast<std::size_t>(word), 0x1000, word);
    PutLe(b, sizes + 2 * static_cast<std::size_t>(word), 0x100000, word);
    PutLe(b, sizes + 3 * static_cast<std::size_t>(word), 0x1000, word);
    const std::size_t directories = plus ? o + 112 : o + 96;
    PutLe(b, directories - 4, 16, 4);  // NumberOfRvaAndSizes
    image.layout.resourceDirectoryEntry = directories + 2 * 8;
    PutLe(b, image.layout.resourceDirectoryEntry, kResourceRva, 4);
    PutLe(b, image.layout.resourceDirectoryEntry + 4, treeSize, 4);

    const std::size_t sections = o + optionalSize;
    WriteSectionHeader(b, sections, ".text", 3, kTextRva, textRaw, textOffset, 0x60000020);
    WriteSectionHeader(b, sections + 40, ".rsrc", treeSize, kResourceRva, resourceRaw, resourceOffset, 0x40000040);

    // The entry point returns 0 at once (xor eax, eax; ret), so the image
    // even runs as a program that ends immediately.
    PutLe(b, textOffset, 0xC3C031, 3);
    std::memcpy(b.data() + resourceOffset, tree.bytes.data(), tree.bytes.size());

    PeLayout& layout = image.layout;
    layout.peHeader = pe;
    layout.optionalHeader = o;
    layout.sectionHeader = sections + 40;
    layout.resourceSection = resourceOffset;
    layout.resourceRva = kResourceRva;
    layout.rootDirectory = resourceOffset;
    if (tree.traced) {
        layout.typeEntry = resourceOffset + tree.typeEntry;
        layout.nameDirectory = resourceOffset + tree.nameDirectory;
        layout.nameEntry = resourceOffset + tree.nameEntry;
        layout.languageDirectory = resourceOffset + tree.languageDirectory;
        layout.languageEntry = resourceOffset + tree.languageEntry;
        layout.dataEntry = resourceOffset + tree.dataEntry;
        layout.data = resourceOffset + tree.data;
        layout.fixedFileInfo = layout.data + 40;
    }
    return image;
}

PeImage WriteVersionedPe(PeKind kind, const VersionParts& fileVersion, const VersionParts& productVersion) {
    return WritePe(kind, {VersionResource(fileVersion, productVersion)});
}

std::uint16_t PeImage::Get16(std::size_t offset) const {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(offset)) |
                                      (static_cast<unsigned char>(bytes.at(offset + 1)) << 8));
}

std::uint32_t PeImage::Get32(std::size_t offset) const {
    return static_cast<std::uint32_t>(Get16(offset)) | (static_cast<std::uint32_t>(Get16(offset + 2)) << 16);
}

void PeImage::Put16(std::size_t offset, std::uint16_t value) { PutLe(bytes, offset, value, 2); }

void PeImage::Put32(std::size_t offset, std::uint32_t value) { PutLe(bytes, offset, value, 4); }

void PeImage::Truncate(std::size_t size) { bytes.resize(std::min(size, bytes.size())); }

std::uint32_t PeImage::TreeOffset(std::size_t fileOffset) const {
    return static_cast<std::uint32_t>(fileOffset - layout.resourceSection);
}

void PeImage::LoopNameEntryToRoot() { Put32(layout.nameEntry + 4, kHighBit | TreeOffset(layout.rootDirectory)); }

void PeImage::LoopLanguageEntryToItself() {
    Put32(layout.languageEntry + 4, kHighBit | TreeOffset(layout.languageDirectory));
}

std::size_t COwnedByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    ++m_reads;
    if (offset >= m_bytes.size()) return 0;
    const std::size_t count = std::min<std::size_t>(size, m_bytes.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, m_bytes.data() + offset, count);
    return count;
}

}  // namespace gh::test
