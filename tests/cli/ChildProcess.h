// Real child processes for the command-line tests: the built gatehouse
// executable and the stand-in game, run through the system's shell with
// their output collected in files.
#pragma once

#include "support/TempFolder.h"

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace gh::test {

// A program built with the tests, from the path the build gives (on Windows
// a path from the build host becomes one of Wine's drive Z:).
std::wstring BuiltProgram(const char* buildPath);

struct ChildResult {
    int exitCode = -1;
    std::string out;  // standard output, CR LF read as LF
    std::string err;  // standard error, CR LF read as LF
};

// Runs `program` with `args`, each passed as one argument, and waits for it.
// `environment` entries are set for the child only (POSIX shells only).
// Arguments must not hold '"' (cmd.exe cannot quote it).
ChildResult RunChild(const std::wstring& program, const std::vector<std::wstring>& args,
                     const std::vector<std::pair<std::string, std::wstring>>& environment = {});

// Where RunChildWithOutput sends a child's standard output.
enum class ChildOutput {
    FullDevice,  // /dev/full, where every write fails for want of space (POSIX)
    Closed,      // nowhere: the descriptor is closed (POSIX)
    ClosedPipe,  // a pipe whose reader is gone; on POSIX the child starts
                 // with SIGPIPE ignored, as some parents leave it
};

// Runs `program` with `args` as RunChild does, standard output going to
// `output` and standard input reading nothing. The exit code is the child's
// status, or 128 + the number of the signal that ended it.
ChildResult RunChildWithOutput(const std::wstring& program, const std::vector<std::wstring>& args, ChildOutput output);

// Copies the stand-in game to `relative` below `folder` ("exe" appended on
// Windows) and returns the copy's path. The copy records each start in
// "standin-record.txt" beside itself.
std::wstring CopyStandIn(const TempFolder& folder, const std::wstring& relative);

// The record that a stand-in copy in `folderRelative` writes, once it exists
// (empty when it did not appear within `wait`).
std::string WaitForRecord(const TempFolder& folder, const std::wstring& folderRelative,
                          std::chrono::milliseconds wait = std::chrono::seconds(20));

// The "argument N: ..." lines of a record, in order, without their prefix.
std::vector<std::string> RecordedArguments(const std::string& record);

}  // namespace gh::test
