// Time, as the sync paces its progress refresh and the local Workshop delays results.
#pragma once

#include <cstdint>

namespace gh::platform {

// System time in 100-nanosecond units since 1601 (GetSystemTimeAsFileTime).
std::int64_t SystemTimeAsFileTime();

// A monotonic clock in milliseconds, for delays and time-outs.
std::int64_t MonotonicMilliseconds();

void SleepMilliseconds(int milliseconds);

}  // namespace gh::platform
