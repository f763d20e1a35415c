#include "platform/Clock.h"

#include <windows.h>

namespace gh::platform {

std::int64_t SystemTimeAsFileTime() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

std::int64_t MonotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

void SleepMilliseconds(int milliseconds) {
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace gh::platform
