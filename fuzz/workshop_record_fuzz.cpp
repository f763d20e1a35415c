// The Workshop record reader on arbitrary bytes: it must return an answer
// for every input; a refusal says why; an accepted record names only files
// below the mods folder, within the bounds, and what the writer makes of it
// reads back as the same record. As the reader reads the JSON itself, what
// it takes as JSON must be what the JSON library takes: it accepts no text
// the library refuses, and refuses as not JSON none that the library takes.
#include "workshop/WorkshopRecord.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void CheckFiles(const std::vector<gh::RecordedFile>& files, const std::vector<gh::RecordedMod>& mods) {
    if (files.size() > gh::kRecordMaxFiles || mods.size() > gh::kRecordMaxFiles) std::abort();
    for (const gh::RecordedFile& file : files)
        if (!gh::IsRecordPathBelowMods(file.path)) std::abort();
    for (const gh::RecordedMod& mod : mods)
        if (!gh::IsRecordPathBelowMods(mod.path)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const gh::Result<gh::WorkshopRecord> parsed = gh::ParseWorkshopRecord(text);
    const bool json = nlohmann::json::accept(text.begin(), text.end());
    if (!parsed) {
        if (parsed.Error().Text().empty()) std::abort();
        if (json && parsed.Error().Text().rfind(L"not valid JSON", 0) == 0) std::abort();
        return 0;
    }
    if (!json) std::abort();
    for (const auto& [id, subscription] : parsed->subscriptions) {
        if (id == 0 || id != subscription.id) std::abort();
        CheckFiles(subscription.files, subscription.mods);
        for (const gh::HistoryEntry& entry : subscription.history) {
            if (entry.folder == 0) std::abort();
            CheckFiles(entry.files, entry.mods);
        }
    }
    for (const auto& [id, change] : parsed->changes) {
        if (id == 0) std::abort();
        CheckFiles({}, change.from);
        CheckFiles({}, change.to);
    }
    const gh::Result<gh::WorkshopRecord> again = gh::ParseWorkshopRecord(gh::WorkshopRecordText(*parsed));
    if (!again || !(*again == *parsed)) std::abort();
    return 0;
}
