// The process's standard streams: made safe at start, and writes to them
// that say whether they reached their reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gh::platform {

// Which of the standard streams were closed when the program started.
struct StandardStreamsAtStart {
    bool inputClosed = false;
    bool outputClosed = false;
    bool errorClosed = false;
};

// Called first thing in main, before anything is opened. Each standard
// stream that is closed is opened on the null device, so that no file the
// program opens later takes its place and receives what the program prints;
// the result says which were closed.
// POSIX: descriptors 0 to 2; SIGPIPE is also put back to its default
// action and unblocked (a parent may have left it ignored), so that a write
// into a pipe whose reader is gone ends the process as a pipeline expects.
// Windows: a standard handle that names no open handle is replaced; one
// that was never set (a windowed program started without a console) is
// left for ReachParentConsole (ParentConsole.h).
StandardStreamsAtStart PrepareStandardStreams();

enum class StandardStream { Output, Error };

// What a failed write to a standard stream met.
struct StreamFailure {
    bool brokenPipe = false;  // the stream is a pipe whose reader is gone
    std::wstring reason;      // the system's words, such as "No space left on device"
};

// Writes `bytes` to the C runtime's standard output or error and flushes
// it, so that they reach the system now. Returns what went wrong, if
// anything did.
std::optional<StreamFailure> WriteStandardStream(StandardStream stream, std::string_view bytes);

// Closes standard output, which reports a failure that the system noted
// only then (a file system that writes on close). Nothing may be written to
// it afterwards.
std::optional<StreamFailure> CloseStandardOutput();

// After a broken pipe: ends the process as the system ends a writer into a
// pipe without a reader. POSIX raises SIGPIPE at its default action, so the
// exit status is the signal's and nothing is printed. Windows has no such
// signal: it returns, and the caller ends with status 1 and no message.
void EndAsABrokenPipeEnds();

namespace detail {
// Per system, around a call of the C runtime's stream functions: forget the
// last error before it, and describe the one it failed with after it.
void ForgetStreamError();
StreamFailure LastStreamError();
}  // namespace detail

}  // namespace gh::platform
