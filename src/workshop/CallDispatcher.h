// Delivery of finished asynchronous calls to the objects waiting for them,
// and of broadcasts to the objects listening. A backend posts "call H
// finished with this record" (or "failed"), or a broadcast record, whenever
// it learns of it; the records reach their handlers only when the backend
// runs DispatchPosted() from its RunCallbacks(), so handlers never run in
// the middle of a request or of another handler. Single-threaded.
#pragma once

#include "workshop/WorkshopRecords.h"

#include <cstddef>
#include <deque>
#include <unordered_map>
#include <variant>
#include <vector>

namespace gh {

// Any record a call can finish with, or a broadcast can carry.
using CallResultRecord = std::variant<SubscriptionPage, PublishedFileDetails, DownloadedContent, ItemDownloadResult>;

// What a waiting object implements (CCallResult does).
class ICallResultSink {
public:
    // `record` is null when the call failed without one; valid only during the call.
    virtual void OnCallCompleted(const CallResultRecord* record, bool ioFailure) = 0;

protected:
    ~ICallResultSink() = default;
};

// What a listener for broadcasts implements (CCallback does).
class IBroadcastSink {
public:
    // `record` is valid only during the call.
    virtual void OnBroadcast(const CallResultRecord& record) = 0;

protected:
    ~IBroadcastSink() = default;
};

class CCallDispatcher {
public:
    CCallDispatcher() = default;
    CCallDispatcher(const CCallDispatcher&) = delete;
    CCallDispatcher& operator=(const CCallDispatcher&) = delete;

    // Waiting side. A zero call is never registered. One sink may wait for a
    // call only once; several sinks may wait for the same call.
    void Register(SteamAPICall call, ICallResultSink& sink);
    void Unregister(SteamAPICall call, const ICallResultSink& sink);
    bool IsRegistered(SteamAPICall call) const;
    // Registrations not answered yet.
    std::size_t RegisteredCount() const { return m_sinks.size(); }

    // Listening side: every broadcast dispatched while a sink listens
    // reaches it. A sink listens once however often it is added.
    void Listen(IBroadcastSink& sink);
    void StopListening(const IBroadcastSink& sink);
    std::size_t ListenerCount() const { return m_listeners.size(); }

    // Backend side: remembers a finished call, or a broadcast, until the
    // next DispatchPosted().
    void Post(SteamAPICall call, const CallResultRecord& record, bool ioFailure = false);
    void PostFailure(SteamAPICall call);  // no record, I/O failure
    void PostBroadcast(const CallResultRecord& record);
    std::size_t PostedCount() const { return m_posted.size(); }

    // Hands every completion and broadcast posted before this call, in
    // posting order: a completion to the sinks registered for its call at
    // that moment (each registration is removed just before its sink runs,
    // so a sink runs at most once per registration), a broadcast to the
    // sinks listening at that moment and still listening when their turn
    // comes. What the handlers post waits for the next DispatchPosted(). A
    // completion nobody waits for is dropped.
    void DispatchPosted();

    // Drops posted completions that were not delivered (the backend shut down).
    void DropPosted() { m_posted.clear(); }

private:
    struct Completion {
        SteamAPICall call = kInvalidCall;  // none for a broadcast
        bool hasRecord = false;
        bool ioFailure = false;
        bool broadcast = false;
        CallResultRecord record;
    };

    bool Take(SteamAPICall call, const ICallResultSink* sink);
    void Broadcast(const CallResultRecord& record);

    std::unordered_multimap<SteamAPICall, ICallResultSink*> m_sinks;
    std::vector<IBroadcastSink*> m_listeners;
    std::deque<Completion> m_posted;
};

}  // namespace gh
