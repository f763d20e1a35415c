#include "platform/StandardStreams.h"

#include "platform/Text.h"
#include "platform/win32/SystemErrorText.h"

#include <windows.h>

#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace gh::platform {

namespace {

// A standard handle that is set but names no open handle: one the parent
// passed without letting it be inherited, or one closed since. A handle
// opened later may be given its value.
bool NamesNoHandle(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    SetLastError(NO_ERROR);
    return GetFileType(handle) == FILE_TYPE_UNKNOWN && GetLastError() == ERROR_INVALID_HANDLE;
}

}  // namespace

StandardStreamsAtStart PrepareStandardStreams() {
    StandardStreamsAtStart closed;
    const struct {
        DWORD id;
        std::FILE* stream;
        const char* mode;
        bool* flag;
    } streams[] = {{STD_INPUT_HANDLE, stdin, "r", &closed.inputClosed},
                   {STD_OUTPUT_HANDLE, stdout, "w", &closed.outputClosed},
                   {STD_ERROR_HANDLE, stderr, "w", &closed.errorClosed}};
    for (const auto& stream : streams) {
        if (!NamesNoHandle(GetStdHandle(stream.id))) continue;
        *stream.flag = true;
        // The C runtime took the handle's value at start: its stream is
        // opened anew on the null device, and the system's standard handle
        // made the same.
        if (std::freopen("NUL", stream.mode, stream.stream) != nullptr)
            SetStdHandle(stream.id, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream.stream))));
    }
    return closed;
}

void EndAsABrokenPipeEnds() {}

namespace detail {

void ForgetStreamError() {
    errno = 0;
    _doserrno = 0;
}

StreamFailure LastStreamError() {
    const int error = errno;
    const unsigned long system = _doserrno;
    StreamFailure failure;
    // A pipe whose reader is gone fails a write with ERROR_NO_DATA; the C
    // runtimes keep that code and map it to different values of errno.
    failure.brokenPipe = error == EPIPE || system == ERROR_NO_DATA || system == ERROR_BROKEN_PIPE;
    if (system != 0)
        failure.reason = win32::SystemErrorText(static_cast<DWORD>(system));
    else
        failure.reason = error != 0 ? SystemNarrowToWide(std::strerror(error)) : std::wstring(L"unknown error");
    return failure;
}

}  // namespace detail

}  // namespace gh::platform
