// The status texts the mod manager shows for a mod.
#pragma once

#include <cstdint>
#include <string>

namespace gh {

// 0 "OK", 1 "Compiled for outdated Game Ver.", 2 "-Requires Missing
// Dependencies-", 3 "-Requires Update-"; empty for any other value.
std::wstring ModStatusText(std::int32_t status);

}  // namespace gh
