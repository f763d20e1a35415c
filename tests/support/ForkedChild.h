// A forked copy of the test process that runs one piece of code, for tests
// that need a second process (another user, a writer killed mid-write, a
// call that might never return). POSIX only: on Windows the class is absent.
#pragma once

#ifndef _WIN32

#include <functional>

namespace gh::test {

class ForkedChild {
public:
    // The child's side of the two pipes between the processes.
    class Channel {
    public:
        // Tells the parent that the child got where it was going.
        void Ready();
        // Waits until the parent calls Continue(); false if the parent went away.
        bool WaitToContinue();

    private:
        friend class ForkedChild;
        int m_toParent = -1;
        int m_fromParent = -1;
    };

    // Forks; the child runs `body` and exits with its result without running
    // any destructors or test code of the parent. A child still running after
    // `timeoutSeconds` is ended by SIGALRM.
    explicit ForkedChild(const std::function<int(Channel&)>& body, unsigned timeoutSeconds = 20);
    ~ForkedChild();  // kills a child that is still running
    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;

    bool Started() const { return m_pid > 0; }
    // Waits until the child calls Ready(); false if it exited or failed first.
    bool WaitUntilReady();
    void Continue();
    void Kill();  // SIGKILL
    // Sends `signal` to a child that is still running.
    void Signal(int signal);
    // Waits for the child: its exit code, or 128 + the signal that ended it.
    int Wait();

private:
    int m_pid = -1;
    int m_fromChild = -1;
    int m_toChild = -1;
    int m_status = -1;
};

// Runs `body` in a child and returns what Wait() returns.
int RunInChild(const std::function<int()>& body, unsigned timeoutSeconds = 20);

// Exit code for a child that could not set up what the test needs.
inline constexpr int kChildCannotSetUp = 77;

}  // namespace gh::test

#endif
