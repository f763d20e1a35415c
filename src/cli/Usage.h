// The texts of --help and --version.
#pragma once

#include <string>

namespace gh {

// The usage, ending in a line end; printed on standard output for --help
// and on standard error after a command-line error.
std::wstring UsageText();

// "gatehouse <version>" and a line end.
std::wstring VersionText();

}  // namespace gh
