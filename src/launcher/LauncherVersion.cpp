#include "launcher/LauncherVersion.h"

#include "platform/Unicode.h"

#ifndef GATEHOUSE_VERSION
#error "GATEHOUSE_VERSION must be defined by the build"
#endif

namespace gh {

std::wstring LauncherVersion() { return Utf8ToWide(GATEHOUSE_VERSION); }

}  // namespace gh
