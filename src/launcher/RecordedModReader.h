// What the Workshop record keeps of a mod file the sync wrote: its identity
// and version, read from its header by the catalogue's reader, which the
// Workshop layer below does not reach.
#pragma once

#include "workshop/WorkshopSync.h"

namespace gh {

// The reader the sync and the restore hand each file they wrote: for a
// file named *.mod (any case) whose header gives an identity, its guid and
// version; none for other files and files that cannot be read.
ModIdentityReader RecordedModReader();

}  // namespace gh
