#include "cli/ModListJson.h"

#include "launcher/ModStatusText.h"
#include "platform/Unicode.h"

#include <nlohmann/json.hpp>

namespace gh {

namespace {

using Json = nlohmann::ordered_json;

std::string Text(const std::wstring& wide) { return WideToUtf8(wide); }

Json RequirementEntry(std::int64_t guid, std::uint16_t version, const std::wstring& name) {
    Json entry = Json::object();
    entry["guid"] = guid;
    entry["version"] = version;
    entry["name"] = Text(name);
    return entry;
}

}  // namespace

std::string ModListJson(const CModRows& rows, const std::optional<GameVersionParts>& gameVersion) {
    Json root = Json::object();
    if (gameVersion)
        root["gameVersion"] =
            Text(FormatVersion(gameVersion->major, gameVersion->minor, gameVersion->build, gameVersion->revision));
    else
        root["gameVersion"] = nullptr;

    Json mods = Json::array();
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const ModData& mod = rows.Rows()[row];
        Json entry = Json::object();
        entry["name"] = Text(mod.name);
        entry["author"] = Text(mod.author);
        entry["version"] = mod.version;
        entry["gameVersion"] = Text(mod.gameVersionText);
        entry["guid"] = mod.guid;
        entry["status"] = mod.status;
        entry["statusText"] = Text(ModStatusText(mod.status));
        entry["description"] = Text(mod.description);
        entry["website"] = Text(mod.website);
        entry["downloadUrl"] = Text(mod.downloadUrl);
        entry["file"] = Text(rows.RecordOf(row).filePath);

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
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace gh
