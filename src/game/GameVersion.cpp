#include "game/GameVersion.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

std::wstring FormatVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    return fmt::format(L"{}.{}.{}.{}", a, b, c, d);
}

}  // namespace gh
