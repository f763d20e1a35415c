#include "platform/FaultInjection.h"

#include <mutex>

namespace gh::platform {

namespace detail {
std::atomic<bool> g_fileFaultPlanned{false};
}

namespace {

std::mutex g_mutex;
CScopedFileFault* g_plan = nullptr;

}  // namespace

CScopedFileFault::CScopedFileFault(FileOperation operation, std::uint32_t nth, FaultRepeat repeat)
    : m_operation(operation), m_nth(nth), m_repeat(repeat) {
    std::lock_guard lock(g_mutex);
    m_previous = g_plan;
    g_plan = this;
    detail::g_fileFaultPlanned.store(true, std::memory_order_relaxed);
}

CScopedFileFault::~CScopedFileFault() {
    std::lock_guard lock(g_mutex);
    // Plans end in the reverse order of their start, as scopes do; one
    // ended out of order is only taken out of the chain.
    CScopedFileFault** link = &g_plan;
    while (*link && *link != this) link = &(*link)->m_previous;
    if (*link) *link = m_previous;
    detail::g_fileFaultPlanned.store(g_plan != nullptr, std::memory_order_relaxed);
}

std::uint32_t CScopedFileFault::Calls() const {
    std::lock_guard lock(g_mutex);
    return m_calls;
}

bool CScopedFileFault::Triggered() const {
    std::lock_guard lock(g_mutex);
    return m_triggered;
}

bool TakeInjectedFailure(FileOperation operation) {
    std::lock_guard lock(g_mutex);
    CScopedFileFault* plan = g_plan;
    if (!plan || plan->m_operation != operation) return false;
    ++plan->m_calls;
    const bool fail =
        plan->m_calls == plan->m_nth || (plan->m_repeat == FaultRepeat::FromThenOn && plan->m_calls > plan->m_nth);
    if (fail) plan->m_triggered = true;
    return fail;
}

}  // namespace gh::platform
