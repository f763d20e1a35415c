#include "launcher/RecordedModReader.h"

#include "catalogue/ModHeaderReader.h"
#include "catalogue/ModRecords.h"

namespace gh {

ModIdentityReader RecordedModReader() {
    return [](const std::wstring& file) -> std::optional<ModIdentity> {
        if (file.size() < 4) return std::nullopt;
        std::wstring extension = file.substr(file.size() - 4);
        for (wchar_t& c : extension)
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (extension != L".mod") return std::nullopt;
        ModInfo info;
        if (!ReadModHeader(info, file) || info.guid == -1) return std::nullopt;
        return ModIdentity{info.guid, info.version};
    };
}

}  // namespace gh
