#include "catalogue/ModHeaderReader.h"

#include "platform/Unicode.h"

#include <algorithm>

namespace gh {

namespace {

using TextBuffer = char16_t[kHeaderTextMaxUnits];

constexpr std::size_t kEntriesReservedAtOnce = 16;

// A zero or a surrogate among `units`. Looks at every unit without
// stopping early, which the compiler turns into wide compares; both are
// rare, and only then are the units looked at one by one.
bool HasZeroOrSurrogate(std::u16string_view units) {
    unsigned found = 0;
    for (const char16_t unit : units)
        found |= static_cast<unsigned>(unit == 0) | static_cast<unsigned>((unit & 0xF800) == 0xD800);
    return found != 0;
}

// The text's units as a view into `buffer`, so a header costs no
// allocation beyond the record's own texts.
std::u16string_view ReadTextUnits(CHeaderStream& stream, TextBuffer& buffer, std::uint16_t* stored = nullptr) {
    std::uint16_t count = 0;
    stream.ReadU16(count);
    if (stored) *stored = count;
    // The stored count is not trusted beyond the cap: the rest of a longer
    // text is left in the stream, where the next field will read it.
    const std::size_t wanted = std::min<std::size_t>(count, kHeaderTextMaxUnits);
    const std::u16string_view read(buffer, stream.ReadUnits(buffer, wanted));
    return HasZeroOrSurrogate(read) ? read.substr(0, read.find(u'\0')) : read;
}

}  // namespace

std::u16string ReadHeaderText(CHeaderStream& stream) {
    TextBuffer buffer;
    return std::u16string(ReadTextUnits(stream, buffer));
}

void SetLimitedText(std::string& field, std::u16string_view units, std::size_t limit) {
    field = Utf16ToUtf8(units.substr(0, std::min(limit, units.size())));
}

void ReadModHeaderFrom(ModInfo& info, platform::IByteSource& source, HeaderNotes* notes) {
    HeaderNotes ignored;
    HeaderNotes& note = notes ? *notes : ignored;
    CHeaderStream stream(source);
    TextBuffer text;
    info.requirements.clear();

    std::uint16_t formatVersion = 4;  // a file too short to say reads as the newest layout
    stream.ReadU16(formatVersion);
    note.formatVersion = formatVersion;
    stream.ReadU16(info.version);
    if (formatVersion >= 4) {
        std::uint64_t parts = 0;
        if (stream.ReadU64(parts))
            for (int i = 0; i < 4; ++i) info.gameVersion[i] = static_cast<std::uint16_t>(parts >> (16 * i));
    }
    if (formatVersion == 1) stream.Skip((static_cast<std::uint64_t>(info.version) + 1) * 9);

    stream.ReadU32(info.headerDword1);
    stream.ReadU32(info.headerDword2);
    const auto readText = [&](std::string& field, std::size_t limit, HeaderTextNote& textNote) {
        const std::u16string_view units = ReadTextUnits(stream, text, &textNote.storedUnits);
        textNote.keptUnits = std::min(limit, units.size());
        SetLimitedText(field, units, limit);
    };
    readText(info.name, kNameLimit, note.name);
    readText(info.author, kAuthorLimit, note.author);
    readText(info.description, kDescriptionLimit, note.description);
    readText(info.website, kWebsiteLimit, note.website);
    readText(info.downloadUrl, kDownloadUrlLimit, note.downloadUrl);
    note.hasIdentity = stream.ReadI64(info.guid);
    stream.ReadU32(info.headerDword3);
    stream.ReadU64(info.headerQword);

    std::uint16_t requirementCount = 0;
    stream.ReadU16(requirementCount);
    note.requirementCount = requirementCount;
    // One entry buffer serves all: a guid or version that is not read keeps
    // what the previous entry left. Once the bytes have ended, every further
    // entry is the same (no name, the buffer's guid and version): one of them
    // is kept and the others are counted.
    std::int64_t guid = 0;
    std::uint16_t version = 0;
    // Room for the usual few entries at once; a count beyond that is not
    // trusted until its entries are read.
    info.requirements.reserve(std::min<std::size_t>(requirementCount, kEntriesReservedAtOnce));
    for (std::uint32_t i = 0; i < requirementCount; ++i) {
        CModRequirement& entry = info.requirements.emplace_back();
        entry.name = Utf16ToUtf8(ReadTextUnits(stream, text));
        stream.ReadI64(guid);
        if (formatVersion != 1) stream.ReadU16(version);
        entry.guid = guid;
        entry.version = version;
        if (stream.AtEnd()) {
            // This entry, when its name is empty, is already like the rest.
            // (`entry` is not used past the push below, which may move it.)
            const std::uint32_t rest = requirementCount - i - 1;
            const bool alike = entry.name.empty();
            if (rest > 0 && !alike) info.requirements.push_back({guid, version, std::string()});
            info.requirementsPastEnd = static_cast<std::uint16_t>(alike || rest == 0 ? rest : rest - 1);
            break;
        }
    }

    if (formatVersion >= 3) {
        std::uint16_t textCount = 0;
        stream.ReadU16(textCount);
        note.headerStringCount = textCount;
        info.headerStrings.clear();
        info.headerStrings.reserve(std::min<std::size_t>(textCount, kEntriesReservedAtOnce));
        for (std::uint32_t i = 0; i < textCount; ++i) {
            info.headerStrings.push_back(Utf16ToUtf8(ReadTextUnits(stream, text)));
            if (stream.AtEnd()) {
                const std::uint32_t rest = textCount - i - 1;
                const bool alike = info.headerStrings.back().empty();
                if (rest > 0 && !alike) info.headerStrings.emplace_back();
                info.headerStringsPastEnd = static_cast<std::uint16_t>(alike || rest == 0 ? rest : rest - 1);
                break;
            }
        }
    }
    note.endedEarly = stream.AtEnd();
    note.headerBytes = stream.Position();
}

namespace {

// Reads the header of `file` once `open` has opened it and read its first
// bytes into `start`: most headers need nothing more.
template <typename Open>
Status ReadOpenedHeader(ModInfo& info, std::wstring recordPath, Open open) {
    platform::CInputFile file;
    std::uint8_t start[kHeaderFirstReadSize];
    std::size_t got = 0;
    // The record names its file whether or not it could be read, so that
    // every row can say which file it stands for, and why it is empty.
    info.filePath = std::move(recordPath);
    Status opened = open(file, start, sizeof start, got);
    if (!opened) {
        info.readError = WideToUtf8(opened.Text());
        return opened;
    }
    platform::CFileByteSource source(file, {start, got}, got < sizeof start);
    ReadModHeaderFrom(info, source);
    return {};
}

}  // namespace

Status ReadModHeader(ModInfo& info, platform::CInputFolder& folder, std::size_t entry, std::wstring recordPath) {
    return ReadOpenedHeader(info, std::move(recordPath),
                            [&](platform::CInputFile& file, void* start, std::size_t size, std::size_t& got) {
                                return folder.OpenEntryAndReadStart(entry, file, start, size, got);
                            });
}

Status ReadModHeader(ModInfo& info, const std::wstring& path) {
    return ReadOpenedHeader(info, path,
                            [&](platform::CInputFile& file, void* start, std::size_t size, std::size_t& got) {
                                return file.OpenAndReadStart(path, start, size, got);
                            });
}

}  // namespace gh
