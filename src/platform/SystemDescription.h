// The system the launcher runs on, in words for a bug report: what a mod's
// author needs to reproduce a problem, and nothing that names the player or
// the machine (no host name, no user name, no path).
#pragma once

#include <string>

namespace gh::platform {

// One line: the system's name and version and the processor's architecture,
// such as "Linux 6.1.0-13-amd64 x86_64 (Debian GNU/Linux 12 (bookworm))"
// or "Windows 10.0.19045 x64", and on Windows run by Wine "... under Wine
// 8.0 on Linux 6.1.0". Parts that cannot be learnt are left out.
std::wstring SystemDescription();

}  // namespace gh::platform
