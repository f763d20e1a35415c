// The texts the selection rules show to the player, and the limit they guard.
#pragma once

#include <cstddef>
#include <string>

namespace gh {

// The most entries that checking mods can build, and the most a launch takes.
inline constexpr std::size_t kSelectionLimit = 10;

// "10 mod maximum limit reached!"
std::wstring LimitReachedMessage();

// "You now have <count> mods selected.\n\nPlease remove <count - 10> mod
// before launching Emberwake 2." For counts above the limit.
std::wstring OverLimitMessage(std::size_t count);

// "<count> mods selected!", shown in the Name field.
std::wstring SelectedCountText(std::size_t count);

}  // namespace gh
