#include "cli/HeaderReport.h"

#include "catalogue/ModRows.h"
#include "cli/JsonEscapes.h"
#include "cli/TerminalText.h"
#include "platform/ByteSource.h"
#include "platform/InputFile.h"
#include "platform/Unicode.h"

#include <fmt/format.h>
#include <fmt/xchar.h>
#include <nlohmann/json.hpp>

#include <algorithm>

namespace gh {

namespace {

using Json = nlohmann::ordered_json;

struct TextField {
    const char* key;           // JSON key
    const wchar_t* label;      // for people, at the start of a line
    const wchar_t* word;       // for people, inside a sentence
    const std::string* value;  // UTF-8
    const HeaderTextNote* note;
    std::size_t limit;
};

std::vector<TextField> TextFields(const ModInspection& inspection) {
    const ModInfo& info = inspection.info;
    const HeaderNotes& notes = inspection.notes;
    return {
        {"name", L"Name", L"name", &info.name, &notes.name, kNameLimit},
        {"author", L"Author", L"author", &info.author, &notes.author, kAuthorLimit},
        {"description", L"Description", L"description", &info.description, &notes.description, kDescriptionLimit},
        {"website", L"Website", L"website", &info.website, &notes.website, kWebsiteLimit},
        {"downloadUrl", L"Download link", L"download link", &info.downloadUrl, &notes.downloadUrl, kDownloadUrlLimit}};
}

std::wstring GameVersionOf(const ModInfo& info) {
    return FormatVersion(info.gameVersion[0], info.gameVersion[1], info.gameVersion[2], info.gameVersion[3]);
}

void Warn(ModInspection& inspection, const char* code, std::wstring text) {
    inspection.warnings.push_back({code, std::move(text)});
}

// A text stored longer than a text can be, whose rest is read as the fields
// after it; none when the field's text fits.
std::optional<InspectFinding> TooLong(const TextField& field) {
    const std::size_t stored = field.note->storedUnits;
    if (stored <= kHeaderTextMaxUnits) return std::nullopt;
    return InspectFinding{"text-too-long", fmt::format(L"the {} holds {} characters, more than the {} a text can "
                                                       L"have: the rest is read as the fields that follow",
                                                       field.word, stored, kHeaderTextMaxUnits)};
}

// The reader reads any bytes as a header (a format above 4 like 4, 0 like
// 2, missing fields as defaults), so that a damaged file still has a row.
// Only formats 1 to 4 are known layouts, and a file that ends before its
// identity holds no more than the start of a header: neither is a mod file
// this launcher can read, whatever row the mod list makes of it.
void CollectProblems(ModInspection& inspection) {
    const std::uint16_t format = inspection.notes.formatVersion;
    if (format < 1 || format > 4)
        inspection.problems.push_back(
            {"unknown-format", fmt::format(L"its header format is {}, not one of 1 to 4 (the mod list reads it as "
                                           L"format {})",
                                           format, format == 0 ? 2 : 4)});
    if (!inspection.notes.hasIdentity) {
        inspection.problems.push_back(
            {"ends-before-identity",
             fmt::format(L"it ends after {} bytes, before its identity (guid)", inspection.fileBytes)});
        // A text too long for its field can be why: its rest was read as
        // the fields that follow, and the identity was looked for too late.
        for (const TextField& field : TextFields(inspection))
            if (auto tooLong = TooLong(field)) inspection.problems.push_back(std::move(*tooLong));
    }
}

const char* OpenProblemCode(StatusKind kind) {
    switch (kind) {
        case StatusKind::NotFound: return "not-found";
        case StatusKind::Denied: return "denied";
        case StatusKind::WrongType: return "not-a-file";
        default: return "cannot-open";
    }
}

void CollectWarnings(ModInspection& inspection, const std::optional<GameVersionParts>& installedGame) {
    const ModInfo& info = inspection.info;
    const HeaderNotes& notes = inspection.notes;
    const std::uint16_t format = notes.formatVersion;
    for (const TextField& field : TextFields(inspection)) {
        const std::size_t stored = field.note->storedUnits;
        if (auto tooLong = TooLong(field))
            inspection.warnings.push_back(std::move(*tooLong));
        else if (stored > field.limit && field.note->keptUnits == field.limit)
            Warn(inspection, "text-cut",
                 fmt::format(L"the {} is cut to {} of its {} characters", field.word, field.limit, stored));
    }
    if (info.guid == -1) Warn(inspection, "no-identity", L"the mod has no identity (guid -1): it cannot be required");
    if (!IsListed(info))
        Warn(inspection, "unlisted-name",
             L"the mod is named \"EDITOR\": the mod manager and list never show a mod of that name (it still "
             L"satisfies other mods' requirements)");
    const bool versions = format != 1;
    for (std::size_t i = 0; i < info.requirements.size(); ++i) {
        const CModRequirement& req = info.requirements[i];
        if (req.guid == info.guid && info.guid != -1)
            Warn(inspection, "requires-itself", fmt::format(L"requirement {} names the mod itself", i + 1));
        if (versions && req.version == 0)
            Warn(inspection, "requirement-version-0",
                 fmt::format(L"requirement {} asks for version 0: any installed version satisfies it", i + 1));
    }
    if (format >= 4) {
        if (!installedGame)
            Warn(inspection, "game-version-unknown",
                 L"the installed game's version cannot be read, so the mod will show as built for another version");
        else if (info.gameVersion[0] != installedGame->major || info.gameVersion[1] != installedGame->minor ||
                 info.gameVersion[2] != installedGame->build || info.gameVersion[3] != installedGame->revision)
            Warn(inspection, "other-game-version",
                 fmt::format(L"built for game version {}, the installed game is {}", GameVersionOf(info),
                             FormatVersion(installedGame->major, installedGame->minor, installedGame->build,
                                           installedGame->revision)));
    } else {
        Warn(inspection, "no-game-version",
             L"header formats before 4 carry no game version: the mod will show as built for another version");
    }
    if (notes.endedEarly)
        Warn(inspection, "cut-short",
             fmt::format(L"the file ends after {} bytes, inside its header: the fields after that keep their "
                         L"defaults{}",
                         inspection.fileBytes,
                         info.requirementsPastEnd + info.headerStringsPastEnd > 0
                             ? fmt::format(L", and {} counted entries repeat the last one",
                                           info.requirementsPastEnd + info.headerStringsPastEnd)
                             : std::wstring()));
}

std::wstring Quoted(std::string_view utf8) { return L"\"" + TerminalSafe(utf8) + L"\""; }

std::wstring FieldsText(const std::wstring& path, const ModInspection& inspection) {
    const ModInfo& info = inspection.info;
    const HeaderNotes& notes = inspection.notes;
    std::wstring out;
    out += L"File: " + TerminalSafe(path) + L"\n";
    out += fmt::format(L"Header format: {}\n", notes.formatVersion);
    out += fmt::format(L"Identity (guid): {}\n", info.guid);
    out += fmt::format(L"Version: {}\n", info.version);
    out += L"Game version: " + (notes.formatVersion >= 4 ? GameVersionOf(info) : std::wstring(L"none")) + L"\n";
    for (const TextField& field : TextFields(inspection))
        out += fmt::format(L"{}: {} ({} of {} characters kept)\n", field.label, Quoted(*field.value),
                           field.note->keptUnits, field.note->storedUnits);
    out += fmt::format(L"Requirements: {}\n", notes.requirementCount);
    for (std::size_t i = 0; i < info.requirements.size(); ++i) {
        const CModRequirement& req = info.requirements[i];
        out += fmt::format(L"  {}. {}: guid {}, ", i + 1, Quoted(req.name), req.guid);
        out += notes.formatVersion == 1 ? std::wstring(L"any version (format 1 keeps none)")
                                        : fmt::format(L"version {} or later", req.version);
        out += L"\n";
    }
    if (info.requirementsPastEnd > 0)
        out += fmt::format(L"  ... {} more past the end of the file, each like the last\n", info.requirementsPastEnd);
    out += fmt::format(L"Header texts: {}\n", notes.headerStringCount);
    for (std::size_t i = 0; i < info.headerStrings.size(); ++i)
        out += fmt::format(L"  {}. {}\n", i + 1, Quoted(info.headerStrings[i]));
    if (info.headerStringsPastEnd > 0)
        out += fmt::format(L"  ... {} more past the end of the file, each empty\n", info.headerStringsPastEnd);
    out += fmt::format(L"Header: {} of the file's {} bytes\n", std::min(notes.headerBytes, inspection.fileBytes),
                       inspection.fileBytes);
    if (inspection.warnings.empty()) return out + L"Warnings: none\n";
    out += L"Warnings:\n";
    for (const InspectFinding& warning : inspection.warnings) out += L"  - " + warning.text + L"\n";
    return out;
}

std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

Json FindingsJson(const std::vector<InspectFinding>& findings) {
    Json list = Json::array();
    for (const InspectFinding& finding : findings) {
        Json entry = Json::object();
        entry["code"] = finding.code;
        entry["text"] = Utf8(finding.text);
        list.push_back(std::move(entry));
    }
    return list;
}

void AddFieldsJson(Json& root, const ModInspection& inspection) {
    const ModInfo& info = inspection.info;
    const HeaderNotes& notes = inspection.notes;
    root["format"] = notes.formatVersion;
    root["guid"] = info.guid;
    root["version"] = info.version;
    if (notes.formatVersion >= 4)
        root["gameVersion"] = Utf8(GameVersionOf(info));
    else
        root["gameVersion"] = nullptr;
    for (const TextField& field : TextFields(inspection)) {
        Json text = Json::object();
        text["text"] = *field.value;
        text["length"] = field.note->keptUnits;
        text["storedLength"] = field.note->storedUnits;
        root[field.key] = std::move(text);
    }
    Json requirements = Json::array();
    for (const CModRequirement& req : info.requirements) {
        Json entry = Json::object();
        entry["name"] = req.name;
        entry["guid"] = req.guid;
        if (notes.formatVersion == 1)
            entry["version"] = nullptr;
        else
            entry["version"] = req.version;
        requirements.push_back(std::move(entry));
    }
    root["requirementCount"] = notes.requirementCount;
    root["requirements"] = std::move(requirements);
    root["requirementsPastEnd"] = info.requirementsPastEnd;
    Json texts = Json::array();
    for (const std::string& text : info.headerStrings) texts.push_back(text);
    root["headerTextCount"] = notes.headerStringCount;
    root["headerTexts"] = std::move(texts);
    root["headerTextsPastEnd"] = info.headerStringsPastEnd;
    root["headerBytes"] = std::min(notes.headerBytes, inspection.fileBytes);
    root["fileBytes"] = inspection.fileBytes;
    root["warnings"] = FindingsJson(inspection.warnings);
}

// The reasons, for a line on standard error.
std::wstring ProblemsText(const std::vector<InspectFinding>& problems) {
    std::wstring out;
    for (const InspectFinding& problem : problems) out += (out.empty() ? L"" : L"; ") + problem.text;
    return out;
}

}  // namespace

std::wstring InspectionText(const std::wstring& path, const ModInspection& inspection) {
    return inspection.readable ? FieldsText(path, inspection) : std::wstring();
}

std::string InspectionJson(const std::wstring& path, const ModInspection& inspection) {
    Json root = Json::object();
    root["file"] = Utf8(path);
    root["readable"] = inspection.readable;
    root["problems"] = FindingsJson(inspection.problems);
    if (inspection.readable) AddFieldsJson(root, inspection);
    return WithShownEscapes(root.dump(2, ' ', false, Json::error_handler_t::replace)) + "\n";
}

ModInspection InspectModHeader(platform::IByteSource& source, std::uint64_t fileBytes,
                               const std::optional<GameVersionParts>& installedGame) {
    ModInspection inspection;
    inspection.fileBytes = fileBytes;
    ReadModHeaderFrom(inspection.info, source, &inspection.notes);
    CollectProblems(inspection);
    inspection.readable = inspection.problems.empty();
    if (inspection.readable) CollectWarnings(inspection, installedGame);
    return inspection;
}

ModInspection InspectModFile(const std::wstring& path, const std::optional<GameVersionParts>& installedGame) {
    platform::CInputFile file;
    Status opened = file.Open(path);
    if (!opened) {
        ModInspection inspection;
        inspection.problems.push_back({OpenProblemCode(opened.Kind()), opened.Text()});
        inspection.opened = std::move(opened);
        return inspection;
    }
    platform::CFileByteSource source(file);
    ModInspection inspection = InspectModHeader(source, file.Size().value_or(0), installedGame);
    inspection.info.filePath = path;
    return inspection;
}

int RunInspect(const std::wstring& path, bool json, const CGameFolders& folders, IConsole& console) {
    const ModInspection inspection = InspectModFile(path, folders.GameVersion());
    if (json)
        console.OutBytes(InspectionJson(path, inspection));
    else
        console.Out(InspectionText(path, inspection));
    if (inspection.readable) return 0;
    const std::wstring file = L"gatehouse: \"" + TerminalSafe(path) + L"\" ";
    console.Err(file + (inspection.opened ? L"is not a mod file this launcher can read: " : L"cannot be read: ") +
                TerminalSafe(ProblemsText(inspection.problems)) + L"\n");
    return 1;
}

}  // namespace gh
