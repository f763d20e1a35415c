// Which system this program is built for, as a value: for code outside the
// platform layer that describes another program's per-system facts (such as
// the Steam library's record packing and file name) without a preprocessor
// branch of its own.
#pragma once

namespace gh::platform {

enum class TargetSystem { Windows, Posix };

inline constexpr TargetSystem kTargetSystem =
#if defined(_WIN32)
    TargetSystem::Windows;
#elif defined(__unix__)
    TargetSystem::Posix;
#else
#error "Gatehouse has no platform layer for this system"
#endif

}  // namespace gh::platform
