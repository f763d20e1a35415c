// The list writers stream their text as the rows are made. These tests hold
// the streamed JSON to the bytes of a writer that builds the whole document
// with nlohmann::json first (the reference below), and the streamed text to
// the whole-text writer it replaced, on rows in every status with problems,
// hidden files and texts that need escaping or replacing.
#include "cli/ListCommand.h"
#include "cli/ModListJson.h"

#include "catalogue/ModHeaderReader.h"
#include "cli/TerminalText.h"
#include "launcher/ModStatusText.h"
#include "platform/Unicode.h"
#include "support/ModFileWriter.h"
#include "support/TempFolder.h"

#include <fmt/format.h>
#include <fmt/xchar.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace gh::test {
namespace {

using Json = nlohmann::ordered_json;

// --- the reference writers -----------------------------------------------------

Json RequirementEntry(std::int64_t guid, std::uint16_t version, const std::string& name) {
    Json entry = Json::object();
    entry["guid"] = guid;
    entry["version"] = version;
    entry["name"] = name;
    return entry;
}

// A dumped document with the characters that the terminal shows escaped
// (controls from DEL on, bidirectional controls, line and paragraph
// separators) as JSON escapes: the same document, nothing raw to reorder
// or hide what a reader sees.
std::string WithEscapes(std::string json) {
    std::vector<char32_t> escaped{0x061C, 0x200E, 0x200F, 0x2028, 0x2029};
    for (char32_t c = 0x7F; c <= 0x9F; ++c) escaped.push_back(c);
    for (char32_t c = 0x202A; c <= 0x202E; ++c) escaped.push_back(c);
    for (char32_t c = 0x2066; c <= 0x2069; ++c) escaped.push_back(c);
    for (const char32_t c : escaped) {
        const std::string raw = WideToUtf8(std::wstring(1, static_cast<wchar_t>(c)));
        const std::string escape = fmt::format("\\u{:04x}", static_cast<std::uint32_t>(c));
        for (std::size_t at = json.find(raw); at != std::string::npos; at = json.find(raw, at + escape.size()))
            json.replace(at, raw.size(), escape);
    }
    return json;
}

std::string ReferenceJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion) {
    Json root = Json::object();
    if (gameVersion)
        root["gameVersion"] = WideToUtf8(
            FormatVersion(gameVersion->major, gameVersion->minor, gameVersion->build, gameVersion->revision));
    else
        root["gameVersion"] = nullptr;
    Json mods = Json::array();
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const ModData mod = rows.DisplayRecord(row);
        Json entry = Json::object();
        entry["name"] = WideToUtf8(mod.name);
        entry["author"] = WideToUtf8(mod.author);
        entry["version"] = mod.version;
        entry["gameVersion"] = WideToUtf8(mod.gameVersionText);
        entry["guid"] = mod.guid;
        entry["status"] = mod.status;
        entry["statusText"] = WideToUtf8(ModStatusText(mod.status));
        entry["description"] = WideToUtf8(mod.description);
        entry["website"] = WideToUtf8(mod.website);
        entry["downloadUrl"] = WideToUtf8(mod.downloadUrl);
        entry["file"] = WideToUtf8(rows.RecordOf(row).filePath);
        if (!rows.RecordOf(row).readError.empty()) entry["readError"] = rows.RecordOf(row).readError;
        Json missing = Json::array();
        Json outdated = Json::array();
        for (const RequirementProblem& problem : rows.ProblemsOf(row)) {
            if (problem.installed)
                outdated.push_back(
                    RequirementEntry(problem.installed->guid, problem.installed->version, problem.installed->name));
            else
                missing.push_back(RequirementEntry(problem.requirement->guid, problem.requirement->version,
                                                   problem.requirement->name));
        }
        entry["missing"] = std::move(missing);
        entry["outdated"] = std::move(outdated);
        mods.push_back(std::move(entry));
    }
    root["mods"] = std::move(mods);
    Json hidden = Json::array();
    for (const HiddenModFile& file : rows.Catalogue().Hidden()) {
        Json entry = Json::object();
        entry["file"] = WideToUtf8(file.file);
        if (!file.readError.empty()) entry["readError"] = file.readError;
        entry["name"] = file.name;
        entry["version"] = file.version;
        entry["guid"] = file.guid;
        const ModInfo* listed = rows.Catalogue().FindByGuid(file.guid);
        entry["sameAs"] = listed ? Json(WideToUtf8(listed->filePath)) : Json(nullptr);
        hidden.push_back(std::move(entry));
    }
    root["hidden"] = std::move(hidden);
    return WithEscapes(root.dump(2, ' ', false, Json::error_handler_t::replace)) + "\n";
}

std::wstring Pad(const std::wstring& text, std::size_t width) {
    return text.size() >= width ? text : text + std::wstring(width - text.size(), L' ');
}

std::wstring ReferenceText(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion) {
    std::wstring out = L"Emberwake II Version ";
    out += gameVersion
               ? FormatVersion(gameVersion->major, gameVersion->minor, gameVersion->build, gameVersion->revision)
               : std::wstring(L"unknown");
    out += L'\n';
    if (rows.RowCount() == 0) return out + L"No mods are installed.\n" + HiddenText(rows.Catalogue());
    struct Line {
        std::wstring name, version, gameVersion, status, file;
    };
    std::vector<Line> lines;
    Line header{L"NAME", L"VERSION", L"GAME VERSION", L"STATUS", L"FILE"};
    std::size_t nameWidth = header.name.size(), versionWidth = header.version.size(),
                gameWidth = header.gameVersion.size(), statusWidth = header.status.size();
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const ModData mod = rows.DisplayRecord(row);
        Line line{TerminalSafe(mod.name), std::to_wstring(mod.version), TerminalSafe(mod.gameVersionText),
                  ModStatusText(mod.status), TerminalSafe(rows.RecordOf(row).filePath)};
        nameWidth = std::max(nameWidth, std::min<std::size_t>(line.name.size(), 40));
        versionWidth = std::max(versionWidth, line.version.size());
        gameWidth = std::max(gameWidth, line.gameVersion.size());
        statusWidth = std::max(statusWidth, line.status.size());
        lines.push_back(std::move(line));
    }
    const auto format = [&](const Line& line) {
        return Pad(line.name, nameWidth) + L"  " + Pad(line.version, versionWidth) + L"  " +
               Pad(line.gameVersion, gameWidth) + L"  " + Pad(line.status, statusWidth) + L"  " + line.file + L"\n";
    };
    out += format(header);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        out += format(lines[row]);
        if (!rows.RecordOf(row).readError.empty())
            out += L"    cannot be read: " + TerminalSafe(rows.RecordOf(row).readError) + L"\n";
        if (!IsBlocked(rows.StatusOf(row))) continue;
        for (const RequirementProblem& problem : rows.ProblemsOf(row))
            if (!problem.installed)
                out += fmt::format(L"    missing: {} (version {} or later)\n", TerminalSafe(problem.requirement->name),
                                   problem.requirement->version);
        for (const RequirementProblem& problem : rows.ProblemsOf(row))
            if (problem.installed)
                out += fmt::format(L"    outdated: {} (version {} installed)\n", TerminalSafe(problem.installed->name),
                                   problem.installed->version);
    }
    return out + HiddenText(rows.Catalogue());
}

// --- the rows ---------------------------------------------------------------------

constexpr GameVersionParts kGame{1, 25, 5, 2};

ModFile FileMod(std::u16string name, std::int64_t guid, std::uint16_t version = 1) {
    ModFile mod;
    mod.name = std::move(name);
    mod.guid = guid;
    mod.version = version;
    mod.gameVersion[0] = 1;
    mod.gameVersion[1] = 25;
    mod.gameVersion[2] = 5;
    mod.gameVersion[3] = 2;
    return mod;
}

// Mods in every status, read from real files: escapes and control
// characters in every text, unpaired surrogates and pairs in names, a
// missing and an outdated requirement reached directly, through a chain and
// inside a ring, and a mod built for another game version.
std::vector<ModInfo> EveryKindOfRecord(const TempFolder& folder) {
    std::vector<ModFile> files;
    ModFile plain = FileMod(u"Plain \"quoted\" back\\slash \u202Eevil\u2066\u200F\u061C\u2028\u2029\u0085", 1, 3);
    plain.author = u"Tab\tNew\nCarriage\rFeed\fBack\b";
    plain.description = std::u16string(u"Controls ") + char16_t{0x01} + char16_t{0x1F} + char16_t{0x7F} +
                        u" del, \u0080 and \u00e9\u4e16, slash / end";
    plain.website = u"https://example.org/a?b=\"c\"";
    plain.downloadUrl = u"https://example.org/\u00fc";
    files.push_back(plain);
    ModFile surrogates = FileMod(u"Lone ", 2, 2);
    surrogates.name += char16_t{0xD800};
    surrogates.name += u" pair \U0001F600 low ";
    surrogates.name += char16_t{0xDC00};
    surrogates.name += char16_t{0xDBFF};
    files.push_back(surrogates);
    ModFile wrongGame = FileMod(u"Old game", 3);
    wrongGame.gameVersion[3] = 1;
    files.push_back(wrongGame);
    ModFile missing = FileMod(u"Needs a missing mod", 4);
    ModFileRequirement gone{u"Gone \"mod\"", 99, 4};
    gone.name += char16_t{0xDFFF};
    missing.requirements.push_back(gone);
    files.push_back(missing);
    ModFile outdated = FileMod(u"Needs a newer Plain", 5);
    outdated.requirements.push_back({u"Plain as it knows it", 1, 7});
    files.push_back(outdated);
    ModFile both = FileMod(u"Needs both", 6);
    both.requirements.push_back({u"Gone again", 98, 1});
    both.requirements.push_back({u"Plain", 1, 5});
    files.push_back(both);
    ModFile chainTop = FileMod(u"Chain top", 7);
    chainTop.requirements.push_back({u"Chain middle", 8, 1});
    files.push_back(chainTop);
    ModFile chainMiddle = FileMod(u"Chain middle", 8);
    chainMiddle.requirements.push_back({u"Needs both", 6, 1});
    files.push_back(chainMiddle);
    ModFile ringA = FileMod(u"Ring A", 9);
    ringA.requirements.push_back({u"Ring B", 10, 1});
    ringA.requirements.push_back({u"Gone", 99, 2});
    files.push_back(ringA);
    ModFile ringB = FileMod(u"Ring B", 10);
    ringB.requirements.push_back({u"Ring A", 9, 1});
    files.push_back(ringB);
    files.push_back(FileMod(u"EDITOR", 11));
    ModFile noGame = FileMod(u"", -1);
    noGame.formatVersion = 3;
    files.push_back(noGame);

    std::vector<ModInfo> records;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::wstring path = folder / (L"mods/Mod" + std::to_wstring(i) + L".mod");
        EXPECT_TRUE(WriteModFile(path, files[i]));
        ModInfo& info = records.emplace_back();
        EXPECT_TRUE(ReadModHeader(info, path));
    }
    // A file that cannot be read: named, with its reason, and hidden by the
    // record without an identity before it.
    ModInfo& unreadable = records.emplace_back();
    EXPECT_FALSE(ReadModHeader(unreadable, folder / L"mods/Missing.mod"));
    // Text that no header yields: bytes that are not UTF-8, and a
    // surrogate encoded as if it were a character.
    ModInfo odd;
    odd.guid = 12;
    odd.name = "Odd \xFF and \x80 and \xED\xA0\xBD";
    odd.filePath = L"C:\\Mods\\Odd.mod";
    records.push_back(odd);
    // Two older files with the identity of the first, which they lose to.
    for (int i = 0; i < 2; ++i) {
        ModInfo copy = records.front();
        copy.name = "Copy \"" + std::to_string(i) + "\"\t";
        copy.version = static_cast<std::uint16_t>(1 + i);
        copy.filePath = L"/MODS/COPIES/COPY" + std::to_wstring(i) + L".MOD";
        records.push_back(std::move(copy));
    }
    return records;
}

std::string Streamed(const CModRows& rows, const std::optional<GameVersionParts>& game, std::size_t* pieces = nullptr) {
    std::string text;
    std::size_t count = 0;
    WriteModListJson(rows, game, [&](std::string_view piece) {
        text += piece;
        ++count;
    });
    if (pieces) *pieces = count;
    return text;
}

TEST(ModListJsonTest, StreamedTextIsTheDocumentWritersByteForByte) {
    TempFolder folder;
    const CModCatalogue catalogue(EveryKindOfRecord(folder));
    const CModRows rows(catalogue, kGame);
    std::vector<std::int32_t> statuses;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) statuses.push_back(rows.StatusOf(row));
    for (std::int32_t status : {StatusOk, StatusWrongGameVersion, StatusMissingRequirement, StatusOutdatedRequirement})
        EXPECT_NE(std::find(statuses.begin(), statuses.end(), status), statuses.end()) << "status " << status;
    ASSERT_EQ(catalogue.Hidden().size(), 3u);

    EXPECT_EQ(Streamed(rows, kGame), ReferenceJson(rows, kGame));
    // The escapes read back to the rows' own texts.
    const Json parsed = Json::parse(Streamed(rows, kGame));
    EXPECT_EQ(parsed["mods"][0]["name"], rows.RecordOf(0).name);
    EXPECT_EQ(parsed["mods"][0]["description"], rows.RecordOf(0).description);
    EXPECT_EQ(ModListJson(rows, kGame), ReferenceJson(rows, kGame));
    const CModRows unknownGame(catalogue, std::nullopt);
    EXPECT_EQ(Streamed(unknownGame, std::nullopt), ReferenceJson(unknownGame, std::nullopt));
    const CModCatalogue empty(std::vector<ModInfo>{});
    const CModRows none(empty, kGame);
    EXPECT_EQ(Streamed(none, kGame), ReferenceJson(none, kGame));
}

TEST(ModListJsonTest, LongListsComeInBoundedPiecesOfWholeMods) {
    std::vector<ModInfo> records;
    for (int i = 0; i < 3000; ++i) {
        ModInfo& mod = records.emplace_back();
        mod.guid = i;
        mod.version = 1;
        mod.name = "Mod " + std::to_string(i);
        mod.description = std::string(200, 'd');
        if (i % 7 == 0) mod.requirements.push_back({i + 100000, 1, "missing"});
    }
    const CModCatalogue catalogue(std::move(records));
    const CModRows rows(catalogue, kGame);
    std::vector<std::string> pieces;
    WriteModListJson(rows, kGame, [&](std::string_view piece) { pieces.emplace_back(piece); });
    ASSERT_GT(pieces.size(), 5u);
    std::string whole;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        whole += pieces[i];
        EXPECT_LT(pieces[i].size(), kJsonPieceSize + 2048);
        // Every piece but the last ends with a mod's closing brace.
        if (i + 1 < pieces.size()) {
            EXPECT_TRUE(pieces[i].ends_with("\n    }")) << "piece " << i;
        }
    }
    EXPECT_EQ(whole, ReferenceJson(rows, kGame));
}

TEST(ModListTextTest, StreamedTextIsTheWholeTextWritersInPiecesOfWholeLines) {
    TempFolder folder;
    std::vector<ModInfo> records = EveryKindOfRecord(folder);
    for (int i = 0; i < 2000; ++i) {
        ModInfo& mod = records.emplace_back();
        mod.guid = 1000 + i;
        mod.version = static_cast<std::uint16_t>(i * 37);
        mod.gameVersion[0] = static_cast<std::uint16_t>(i % 3 ? 1 : 10000);
        mod.name = std::string(static_cast<std::size_t>(i % 60), 'n') + "\x1b[2J";
        if (i % 5 == 0) mod.requirements.push_back({4, 1, "Needs a missing mod"});
    }
    // Files hidden by others of the same identity are named after the rows.
    for (int i = 0; i < 3; ++i) {
        ModInfo& copy = records.emplace_back();
        copy.guid = 1000 + i;
        copy.name = "Hidden copy";
        copy.filePath = L"/MODS/COPY" + std::to_wstring(i) + L".MOD";
    }
    const CModCatalogue catalogue(std::move(records));
    for (const auto& game : {std::optional<GameVersionParts>(kGame), std::optional<GameVersionParts>()}) {
        const CModRows rows(catalogue, game);
        std::vector<std::wstring> pieces;
        WriteModListText(rows, game, [&](std::wstring_view piece) { pieces.emplace_back(piece); });
        ASSERT_GT(pieces.size(), 1u);
        std::wstring whole;
        for (const std::wstring& piece : pieces) {
            EXPECT_TRUE(piece.ends_with(L"\n"));
            whole += piece;
        }
        EXPECT_EQ(whole, ReferenceText(rows, game));
    }
    const CModCatalogue empty(std::vector<ModInfo>{});
    EXPECT_EQ(ModListText(CModRows(empty, kGame), kGame), ReferenceText(CModRows(empty, kGame), kGame));
}

}  // namespace
}  // namespace gh::test
