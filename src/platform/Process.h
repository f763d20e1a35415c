// Starting programs and handing things to the desktop.
#pragma once

#include <string>
#include <vector>

namespace gh::platform {

// Starts `file` without waiting, with an optional single parameter string
// (passed as one argument). Windows: ShellExecuteW "open", SW_SHOW.
// Linux: posix_spawn in a new session; with a `runner`, `runner file
// [parameters]`, after checking that `file` is a regular file; without one the file is
// started directly, and a Windows executable that cannot be started directly
// is run through `wine` (or `wine64`) when it is on the path. The program
// runs with its own folder as its working folder, as a game started by
// Steam does, with or without a runner. Returns false when the program
// could not be started.
bool StartProgram(const std::wstring& file, const std::wstring* parameters, const std::wstring& runner = {});

// Opens a folder or an address with the desktop (ShellExecuteW; xdg-open),
// passed as one argument. Returns false when that could not be started.
bool OpenWithDesktop(const std::wstring& target);

// Writes a line for a developer (OutputDebugStringW; standard error).
void DebugOutput(const std::wstring& text);

// Whether standard output is a terminal.
bool StandardOutputIsTerminal();

// The program's arguments after its own name, as wide text: Windows takes
// them from the wide command line (so no name is lost to the ANSI code
// page); Linux converts `argv` as names (SystemNameToWide), so a path given
// on the command line reaches the same file whatever its bytes are.
std::vector<std::wstring> ProgramArguments(int argc, char** argv);

}  // namespace gh::platform
