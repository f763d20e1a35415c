// The options every way of starting the launcher shares: the command line
// sets them, the windows and the terminal commands honour them.
#pragma once

#include <optional>
#include <string>

namespace gh {

struct LauncherOptions {
    std::optional<std::wstring> documents;   // replaces the system documents folder
    std::optional<std::wstring> gameFolder;  // replaces the launcher's own folder
    std::optional<std::wstring> workshop;    // a local Workshop folder instead of the Steam client
    std::wstring runner;                     // starts the game as `runner game [parameter]`; empty: none
};

}  // namespace gh
