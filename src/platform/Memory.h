// Making memory present before it is used.
#pragma once

#include <cstddef>

namespace gh::platform {

// Asks that about the next `bytes` of small allocations come from memory that
// is already present. Memory the program touches for the first time costs a
// page fault per 4 KiB page, and on virtual machines a fault costs several
// microseconds: for thousands of small records that is a large part of the
// time. Here the heap grows by `bytes` at once and its pages are made
// present with one system call. A hint only: it does nothing where the
// system or its allocator offers no such thing (Windows, C libraries other
// than glibc, Linux before 5.14), and at most a few MiB are prepared per
// call.
void PrepareHeap(std::size_t bytes);

}  // namespace gh::platform
