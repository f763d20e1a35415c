#include "platform/ParentConsole.h"

#include <windows.h>

#include <cstdio>

namespace gh::platform {

namespace {

// A handle that leads somewhere: a console, a file or a pipe.
bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool Connect() {
    const bool outMissing = !Usable(GetStdHandle(STD_OUTPUT_HANDLE));
    const bool errMissing = !Usable(GetStdHandle(STD_ERROR_HANDLE));
    if (!outMissing && !errMissing) {
        return true;
    }
    // Fails with ERROR_ACCESS_DENIED when this program has a console already
    // (Wine gives one to a GUI program started from a console program), which
    // then serves as well; otherwise the parent has none (Explorer started
    // the program) and there is nowhere to print.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) {
        return false;
    }
    // The C runtime found no stream at start-up; open the console in place
    // of each missing one, and leave a redirected one as it was.
    if (outMissing) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (errMissing) {
        std::freopen("CONOUT$", "w", stderr);
    }
    return true;
}

}  // namespace

void ReachParentConsole() { [[maybe_unused]] static const bool connected = Connect(); }

}  // namespace gh::platform
