#include "platform/Clock.h"

#include <time.h>

namespace gh::platform {

std::int64_t SystemTimeAsFileTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    constexpr std::int64_t kEpochDifference = 116444736000000000LL;  // 1601 to 1970 in 100 ns
    return static_cast<std::int64_t>(ts.tv_sec) * 10000000LL + ts.tv_nsec / 100 + kEpochDifference;
}

std::int64_t MonotonicMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMilliseconds(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec ts{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

}  // namespace gh::platform
