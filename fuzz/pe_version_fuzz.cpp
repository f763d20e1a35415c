// Feeds arbitrary bytes to the PE version reader: it must never read out of
// bounds, loop without end or allocate by a size taken from the input.
#include "platform/PeVersionReader.h"

#include "platform/ByteSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gh::platform::CMemoryByteSource source({data, size});
    std::uint16_t parts[4] = {};
    gh::platform::ReadPeFileVersion(source, parts);
    return 0;
}
