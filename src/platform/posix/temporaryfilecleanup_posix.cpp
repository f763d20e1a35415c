#include "platform/posix/TemporaryFileCleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace gh::platform::posix {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Enough for every file one install writes at once (a subscription list
// holds at most 50).
constexpr std::size_t kSlots = 64;
constexpr std::size_t kPathBytes = 4096;

enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathBytes];
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the slots' states");

std::array<Slot, kSlots> g_slots;
struct sigaction g_previous[std::size(kSignals)];
std::once_flag g_installed;

std::size_t IndexOf(int signal) {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        if (kSignals[i] == signal) return i;
    return 0;
}

// Async-signal-safe: reads the slots, unlinks, and then hands the signal on.
void OnSignal(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    for (Slot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == kReady) unlink(slot.path);
    const struct sigaction& previous = g_previous[IndexOf(signal)];
    if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
    } else {
        // The default action, so that the exit status tells of the signal
        // (128 + n). The signal is blocked in here; it ends the process as
        // soon as the handler returns.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(signal, &fallback, nullptr);
        raise(signal);
    }
    errno = savedErrno;
}

void InstallHandlers() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction current {};
        if (sigaction(kSignals[i], nullptr, &current) != 0) continue;
        // A signal the process ignores (nohup) does not end it: the writer
        // goes on, and its file must stay.
        if ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN) continue;
        g_previous[i] = current;
        struct sigaction action {};
        action.sa_sigaction = OnSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        // While one of them is handled, the other two wait.
        sigemptyset(&action.sa_mask);
        for (int other : kSignals) sigaddset(&action.sa_mask, other);
        sigaction(kSignals[i], &action, nullptr);
    }
}

}  // namespace

int RegisterForCleanup(const std::string& path) {
    if (path.size() >= kPathBytes) return -1;
    std::call_once(g_installed, InstallHandlers);
    for (std::size_t i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) continue;
        std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
        g_slots[i].state.store(kReady, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void ReleaseCleanup(int slot) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= kSlots) return;
    g_slots[static_cast<std::size_t>(slot)].state.store(kFree, std::memory_order_release);
}

CCleanupSignalsBlocked::CCleanupSignalsBlocked() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int signal : kSignals) sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, &m_saved);
}

CCleanupSignalsBlocked::~CCleanupSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &m_saved, nullptr); }

}  // namespace gh::platform::posix
