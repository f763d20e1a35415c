#include "platform/StandardStreams.h"
#include "platform/SystemError.h"

#include "platform/Text.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace gh::platform {

StandardStreamsAtStart PrepareStandardStreams() {
    StandardStreamsAtStart closed;
    bool* const flags[] = {&closed.inputClosed, &closed.outputClosed, &closed.errorClosed};
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        *flags[fd] = true;
        // The lowest free descriptor is this one, as the ones below are open
        // by now; it is inherited, as a standard stream is.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened > fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
    signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigprocmask(SIG_UNBLOCK, &pipe, nullptr);
    return closed;
}

void EndAsABrokenPipeEnds() {
    // SIGPIPE may have been ignored since the start (a library may do so).
    signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigprocmask(SIG_UNBLOCK, &pipe, nullptr);
    raise(SIGPIPE);
    _exit(128 + SIGPIPE);  // not reached: the signal ends the process
}

namespace detail {

void ForgetStreamError() { errno = 0; }

StreamFailure LastStreamError() {
    const int error = errno;
    StreamFailure failure;
    failure.brokenPipe = error == EPIPE;
    failure.reason = SystemErrorStatus(error).Text();
    return failure;
}

}  // namespace detail

}  // namespace gh::platform
