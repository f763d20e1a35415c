// The launcher's own version, as the build names it ("1.4.0").
#pragma once

#include <string>

namespace gh {

std::wstring LauncherVersion();

}  // namespace gh
