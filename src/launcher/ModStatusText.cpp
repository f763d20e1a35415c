#include "launcher/ModStatusText.h"

#include "catalogue/ModRecords.h"

namespace gh {

std::wstring ModStatusText(std::int32_t status) {
    switch (status) {
        case StatusOk: return L"OK";
        case StatusWrongGameVersion: return L"Compiled for outdated Game Ver.";
        case StatusMissingRequirement: return L"-Requires Missing Dependencies-";
        case StatusOutdatedRequirement: return L"-Requires Update-";
        default: return {};
    }
}

}  // namespace gh
