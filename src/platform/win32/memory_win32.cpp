#include "platform/Memory.h"

namespace gh::platform {

// Nothing to do: the Windows heap offers no way to have the next
// allocations placed in memory made present beforehand.
void PrepareHeap(std::size_t) {}

}  // namespace gh::platform
