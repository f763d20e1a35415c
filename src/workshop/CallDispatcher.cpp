#include "workshop/CallDispatcher.h"

#include <algorithm>

namespace gh {

void CCallDispatcher::Register(SteamAPICall call, ICallResultSink& sink) {
    if (call == kInvalidCall) return;
    auto [first, last] = m_sinks.equal_range(call);
    for (auto it = first; it != last; ++it)
        if (it->second == &sink) return;
    m_sinks.emplace(call, &sink);
}

void CCallDispatcher::Unregister(SteamAPICall call, const ICallResultSink& sink) { Take(call, &sink); }

bool CCallDispatcher::IsRegistered(SteamAPICall call) const { return m_sinks.count(call) != 0; }

bool CCallDispatcher::Take(SteamAPICall call, const ICallResultSink* sink) {
    auto [first, last] = m_sinks.equal_range(call);
    for (auto it = first; it != last; ++it) {
        if (it->second == sink) {
            m_sinks.erase(it);
            return true;
        }
    }
    return false;
}

void CCallDispatcher::Listen(IBroadcastSink& sink) {
    if (std::find(m_listeners.begin(), m_listeners.end(), &sink) == m_listeners.end()) m_listeners.push_back(&sink);
}

void CCallDispatcher::StopListening(const IBroadcastSink& sink) {
    const auto found = std::find(m_listeners.begin(), m_listeners.end(), &sink);
    if (found != m_listeners.end()) m_listeners.erase(found);
}

void CCallDispatcher::Post(SteamAPICall call, const CallResultRecord& record, bool ioFailure) {
    m_posted.push_back(Completion{call, true, ioFailure, false, record});
}

void CCallDispatcher::PostFailure(SteamAPICall call) { m_posted.push_back(Completion{call, false, true, false, {}}); }

void CCallDispatcher::PostBroadcast(const CallResultRecord& record) {
    m_posted.push_back(Completion{kInvalidCall, true, false, true, record});
}

void CCallDispatcher::Broadcast(const CallResultRecord& record) {
    // A listener may stop listening, or make others stop, while it runs.
    const std::vector<IBroadcastSink*> listening = m_listeners;
    for (IBroadcastSink* sink : listening)
        if (std::find(m_listeners.begin(), m_listeners.end(), sink) != m_listeners.end()) sink->OnBroadcast(record);
}

void CCallDispatcher::DispatchPosted() {
    // Only what was posted before this point; handlers may post more.
    std::size_t count = m_posted.size();
    while (count-- > 0 && !m_posted.empty()) {
        Completion done = std::move(m_posted.front());
        m_posted.pop_front();
        if (done.broadcast) {
            Broadcast(done.record);
            continue;
        }
        // A handler may destroy or re-arm other waiting objects, so the
        // sinks are taken one at a time and each is checked again before it
        // runs.
        std::vector<ICallResultSink*> waiting;
        auto [first, last] = m_sinks.equal_range(done.call);
        for (auto it = first; it != last; ++it) waiting.push_back(it->second);
        for (ICallResultSink* sink : waiting) {
            if (!Take(done.call, sink)) continue;
            sink->OnCallCompleted(done.hasRecord ? &done.record : nullptr, done.ioFailure);
        }
    }
}

}  // namespace gh
