#include "cli/WorkshopChoice.h"

#include "workshop/LocalWorkshop.h"

namespace gh {

std::unique_ptr<IWorkshopClient> CreateWorkshopClient(const CliOptions& options) {
    if (options.workshop) return std::make_unique<CLocalWorkshop>(*options.workshop);
    // The Steam client backend plugs in here once it exists.
    return nullptr;
}

}  // namespace gh
