#ifndef _WIN32

#include "support/ForkedChild.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace gh::test {

namespace {

void CloseIfOpen(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

void ForkedChild::Channel::Ready() {
    const char byte = 'r';
    while (write(m_toParent, &byte, 1) < 0 && errno == EINTR) {
    }
}

bool ForkedChild::Channel::WaitToContinue() {
    char byte = 0;
    ssize_t n;
    while ((n = read(m_fromParent, &byte, 1)) < 0 && errno == EINTR) {
    }
    return n == 1;
}

ForkedChild::ForkedChild(const std::function<int(Channel&)>& body, unsigned timeoutSeconds) {
    int up[2], down[2];
    if (pipe2(up, O_CLOEXEC) != 0) return;
    if (pipe2(down, O_CLOEXEC) != 0) {
        close(up[0]);
        close(up[1]);
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        close(up[0]);
        close(down[1]);
        alarm(timeoutSeconds);
        Channel channel;
        channel.m_toParent = up[1];
        channel.m_fromParent = down[0];
        _exit(body(channel));
    }
    close(up[1]);
    close(down[0]);
    m_fromChild = up[0];
    m_toChild = down[1];
    if (m_pid < 0) {
        CloseIfOpen(m_fromChild);
        CloseIfOpen(m_toChild);
    }
}

ForkedChild::~ForkedChild() {
    if (m_pid > 0 && m_status < 0) {
        Kill();
        Wait();
    }
    CloseIfOpen(m_fromChild);
    CloseIfOpen(m_toChild);
}

bool ForkedChild::WaitUntilReady() {
    if (m_pid <= 0) return false;
    char byte = 0;
    ssize_t n;
    while ((n = read(m_fromChild, &byte, 1)) < 0 && errno == EINTR) {
    }
    return n == 1;
}

void ForkedChild::Continue() {
    const char byte = 'c';
    while (m_toChild >= 0 && write(m_toChild, &byte, 1) < 0 && errno == EINTR) {
    }
}

void ForkedChild::Kill() { Signal(SIGKILL); }

void ForkedChild::Signal(int signal) {
    if (m_pid > 0 && m_status < 0) kill(m_pid, signal);
}

int ForkedChild::Wait() {
    if (m_pid <= 0) return -1;
    if (m_status >= 0) return m_status;
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_status;
}

int RunInChild(const std::function<int()>& body, unsigned timeoutSeconds) {
    ForkedChild child([&](ForkedChild::Channel&) { return body(); }, timeoutSeconds);
    return child.Wait();
}

}  // namespace gh::test

#endif
