// A writer of small, valid Windows executables (PE32 and PE32+) that carry
// resources, above all a version resource with a chosen file version, and
// ways to damage them on purpose. Their layout (headers, a .text section
// whose entry point only returns 0, then the .rsrc section; section alignment
// 0x1000, file alignment 0x200; a sorted resource tree) is what the system's
// version functions and its loader accept: the images even run and end at once.
#pragma once

#include "platform/PeVersionReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gh::test {

using VersionParts = std::array<std::uint16_t, 4>;  // major, minor, build, revision

enum class PeKind { Pe32, Pe32Plus };

// One resource. Type and name are numbers, or names when the text is set.
struct PeResource {
    std::uint16_t type = 0;
    std::wstring typeName;
    std::uint16_t id = 0;
    std::wstring name;
    std::uint16_t language = 0x0409;
    std::string data;
    // The image's layout records where this resource's tree entries lie.
    bool traced = false;
};

// A VS_VERSIONINFO block: the fixed file information with the two versions,
// a StringFileInfo with their texts and a VarFileInfo translation.
std::string VersionInfoBlock(const VersionParts& fileVersion, const VersionParts& productVersion);

// A version resource (type 16) with the id `id`, traced.
PeResource VersionResource(const VersionParts& fileVersion, const VersionParts& productVersion, std::uint16_t id = 1);

// File offsets of the parts of a written image (resource tree offsets are the
// ones of the traced resource; zero when none is traced).
struct PeLayout {
    std::size_t peHeader = 0;  // "PE\0\0", then the COFF header
    std::size_t optionalHeader = 0;
    std::size_t resourceDirectoryEntry = 0;  // data directory 2: RVA, size
    std::size_t sectionHeader = 0;           // the .rsrc section's header
    std::size_t resourceSection = 0;         // the .rsrc section's raw data
    std::uint32_t resourceRva = 0;
    std::size_t rootDirectory = 0;
    std::size_t typeEntry = 0;  // root entry of the traced resource's type
    std::size_t nameDirectory = 0;
    std::size_t nameEntry = 0;
    std::size_t languageDirectory = 0;
    std::size_t languageEntry = 0;
    std::size_t dataEntry = 0;      // RVA, size, code page, reserved
    std::size_t data = 0;           // the resource's bytes
    std::size_t fixedFileInfo = 0;  // inside a version block's data
};

// A written image and the means to damage it.
class PeImage {
public:
    std::string bytes;
    PeLayout layout;

    std::uint16_t Get16(std::size_t offset) const;
    std::uint32_t Get32(std::size_t offset) const;
    void Put16(std::size_t offset, std::uint16_t value);
    void Put32(std::size_t offset, std::uint32_t value);
    void Truncate(std::size_t size);

    // Offset of a file position relative to the resource tree's start, as
    // the tree's own entries store it.
    std::uint32_t TreeOffset(std::size_t fileOffset) const;
    // Points the traced resource's name entry back at the root directory.
    void LoopNameEntryToRoot();
    // Points the traced resource's language entry at its own directory.
    void LoopLanguageEntryToItself();
};

// An image with the given resources, sorted into a tree as the system expects.
PeImage WritePe(PeKind kind, const std::vector<PeResource>& resources);

// An image whose only resource is a version resource.
PeImage WriteVersionedPe(PeKind kind, const VersionParts& fileVersion,
                         const VersionParts& productVersion = {9, 8, 7, 6});

// The bytes of a string as a byte source for the reader, counting its reads.
class COwnedByteSource final : public platform::IByteSource {
public:
    explicit COwnedByteSource(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
    std::size_t Reads() const { return m_reads; }

private:
    std::string m_bytes;
    std::size_t m_reads = 0;
};

}  // namespace gh::test
