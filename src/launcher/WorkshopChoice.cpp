#include "launcher/WorkshopChoice.h"

#include "workshop/LocalWorkshop.h"
#include "workshop/steamworks/SteamworksClient.h"

namespace gh {

std::unique_ptr<IWorkshopClient> CreateWorkshopClient(const LauncherOptions& options, const CGameFolders& folders) {
    if (options.workshop) return std::make_unique<CLocalWorkshop>(*options.workshop);
    return CreateSteamworksClient(folders.GetGameExecutablePath());
}

}  // namespace gh
