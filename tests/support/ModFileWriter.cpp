#include "support/ModFileWriter.h"

#include "platform/Unicode.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace gh::test {

namespace {

class CEncoder {
public:
    std::size_t Size() const { return m_bytes.size(); }
    std::string Take() { return std::move(m_bytes); }

    template <typename T>
    ByteSpan Put(T value, std::size_t width = sizeof(T)) {
        const std::size_t begin = m_bytes.size();
        auto bits = static_cast<std::uint64_t>(value);
        for (std::size_t i = 0; i < width; ++i, bits >>= 8) m_bytes.push_back(static_cast<char>(bits & 0xFF));
        return {begin, m_bytes.size()};
    }

    ByteSpan PutText(const std::u16string& text) {
        const std::size_t begin = m_bytes.size();
        const std::size_t count = std::min<std::size_t>(text.size(), 0xFFFF);
        Put(static_cast<std::uint16_t>(count));
        for (std::size_t i = 0; i < count; ++i) Put(static_cast<std::uint16_t>(text[i]));
        return {begin, m_bytes.size()};
    }

    ByteSpan Empty() const { return {m_bytes.size(), m_bytes.size()}; }

    void Append(const std::string& bytes) { m_bytes += bytes; }

private:
    std::string m_bytes;
};

std::filesystem::path ToFsPath(const std::wstring& text) {
    std::wstring copy = text;
#ifndef _WIN32
    std::replace(copy.begin(), copy.end(), L'\\', L'/');
#endif
    return std::filesystem::path(copy);
}

}  // namespace

std::string EncodeModFile(const ModFile& mod, ModFileLayout* layout) {
    ModFileLayout at;
    CEncoder out;
    at.formatVersion = out.Put(mod.formatVersion);
    at.version = out.Put(mod.version);
    at.gameVersion = out.Empty();
    if (mod.formatVersion >= 4)
        for (int i = 0; i < 4; ++i) at.gameVersion.end = out.Put(mod.gameVersion[i]).end;
    at.legacyEntries = out.Empty();
    if (mod.formatVersion == 1) {
        const std::size_t bytes = (static_cast<std::size_t>(mod.version) + 1) * 9;
        for (std::size_t i = 0; i < bytes; ++i) out.Put(static_cast<std::uint8_t>(mod.legacyFill + i));
        at.legacyEntries.end = out.Size();
    }
    at.headerDword1 = out.Put(mod.headerDword1);
    at.headerDword2 = out.Put(mod.headerDword2);
    at.name = out.PutText(mod.name);
    at.author = out.PutText(mod.author);
    at.description = out.PutText(mod.description);
    at.website = out.PutText(mod.website);
    at.downloadUrl = out.PutText(mod.downloadUrl);
    at.guid = out.Put(mod.guid);
    at.headerDword3 = out.Put(mod.headerDword3);
    at.headerQword = out.Put(mod.headerQword);
    at.requirementCount = out.Put(mod.requirementCount.value_or(static_cast<std::uint16_t>(mod.requirements.size())));
    for (const auto& req : mod.requirements) {
        ModFileLayout::Requirement entry;
        entry.name = out.PutText(req.name);
        entry.guid = out.Put(req.guid);
        entry.version = mod.formatVersion == 1 ? out.Empty() : out.Put(req.version);
        at.requirements.push_back(entry);
    }
    at.headerStringCount = out.Empty();
    if (mod.formatVersion >= 3) {
        at.headerStringCount =
            out.Put(mod.headerStringCount.value_or(static_cast<std::uint16_t>(mod.headerStrings.size())));
        for (const auto& text : mod.headerStrings) at.headerStrings.push_back(out.PutText(text));
    }
    at.headerEnd = out.Size();
    out.Append(mod.content);
    if (layout) *layout = std::move(at);
    return out.Take();
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    const std::filesystem::path target = ToFsPath(path);
    std::error_code ec;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

bool WriteModFile(const std::wstring& path, const ModFile& mod, std::size_t keepBytes) {
    const std::string bytes = EncodeModFile(mod);
    return WriteFileBytes(path, std::string_view(bytes).substr(0, std::min(keepBytes, bytes.size())));
}

std::u16string Units(std::wstring_view text) { return WideToUtf16(text); }

}  // namespace gh::test
