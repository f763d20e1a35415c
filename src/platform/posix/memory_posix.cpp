#include "platform/Memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace gh::platform {

#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)

namespace {

constexpr std::size_t kLargestStep = std::size_t{4} << 20;

// Blocks up to kLargestStep come from the heap rather than from a mapping of
// their own, and freeing one does not give its pages back to the system at
// once: so the block prepared below is where the next allocations are cut.
bool HeapKeepsPreparedBlocks() {
    static const bool kept = mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestStep)) == 1 &&
                             mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * kLargestStep)) == 1;
    return kept;
}

}  // namespace

void PrepareHeap(std::size_t bytes) {
    bytes = std::min(bytes, kLargestStep);
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    if (bytes < 4 * page || !HeapKeepsPreparedBlocks()) return;
    void* block = std::malloc(bytes);
    if (!block) return;
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
    // Fails harmlessly (EINVAL) on kernels that do not know the advice.
    madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
    // Back to the top of the heap, present, for the allocations to come.
    std::free(block);
}

#else

void PrepareHeap(std::size_t) {}

#endif

}  // namespace gh::platform
