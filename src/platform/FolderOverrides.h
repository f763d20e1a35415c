// The folders that the command line or the tests put in place of the
// system's: shared by both systems' folder code, not part of the platform's
// public face. An empty text means no override.
#pragma once

#include <string>

namespace gh::platform::detail {

std::wstring DocumentsFolderOverride();
std::wstring LauncherFolderOverride();

}  // namespace gh::platform::detail
