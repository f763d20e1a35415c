#include "platform/ParentConsole.h"

namespace gh::platform {

// A POSIX program inherits its terminal whatever it is.
void ReachParentConsole() {}

}  // namespace gh::platform
