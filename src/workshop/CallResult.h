// One asynchronous call bound to one handler (CCallResult), and a handler of
// one kind of broadcast (CCallback). The handlers run inside the client's
// RunCallbacks(): a call's once, with the call's record (null when there is
// none or it is of another kind) and whether the call failed in transport; a
// broadcast's for every broadcast of its kind while it listens.
#pragma once

#include "workshop/CallDispatcher.h"

#include <functional>
#include <utility>
#include <variant>

namespace gh {

template <class T>
class CCallResult final : private ICallResultSink {
public:
    using Handler = std::function<void(const T* result, bool ioFailure)>;

    // `dispatcher` must outlive this object.
    explicit CCallResult(CCallDispatcher& dispatcher) : m_dispatcher(&dispatcher) {}
    // Destroying a call that was not answered yet unregisters it.
    ~CCallResult() { Cancel(); }
    CCallResult(const CCallResult&) = delete;
    CCallResult& operator=(const CCallResult&) = delete;

    // Waits for `call`. A call set earlier on this object is unregistered
    // first. A zero call is not registered: its handler never runs.
    void Set(SteamAPICall call, Handler handler) {
        Cancel();
        if (call == kInvalidCall) return;
        m_call = call;
        m_handler = std::move(handler);
        m_dispatcher->Register(call, *this);
    }

    template <class Owner>
    void Set(SteamAPICall call, Owner* owner, void (Owner::*method)(const T*, bool)) {
        Set(call, [owner, method](const T* result, bool failed) { (owner->*method)(result, failed); });
    }

    // Stops waiting; the handler will not run.
    void Cancel() {
        if (m_call != kInvalidCall) m_dispatcher->Unregister(m_call, *this);
        m_call = kInvalidCall;
        m_handler = nullptr;
    }

    // Registered and not answered yet.
    bool IsActive() const { return m_call != kInvalidCall; }
    SteamAPICall Call() const { return m_call; }

private:
    void OnCallCompleted(const CallResultRecord* record, bool ioFailure) override {
        // The handler may set this object again or destroy it: nothing of
        // this object is touched once it runs.
        Handler handler = std::move(m_handler);
        m_handler = nullptr;
        m_call = kInvalidCall;
        const T* result = record ? std::get_if<T>(record) : nullptr;
        if (handler) handler(result, ioFailure || result == nullptr);
    }

    CCallDispatcher* m_dispatcher;
    SteamAPICall m_call = kInvalidCall;
    Handler m_handler;
};

template <class T>
class CCallback final : private IBroadcastSink {
public:
    using Handler = std::function<void(const T& record)>;

    // Listens from construction to destruction (or Stop). `dispatcher` must
    // outlive this object.
    CCallback(CCallDispatcher& dispatcher, Handler handler) : m_dispatcher(&dispatcher), m_handler(std::move(handler)) {
        m_dispatcher->Listen(*this);
    }
    ~CCallback() { Stop(); }
    CCallback(const CCallback&) = delete;
    CCallback& operator=(const CCallback&) = delete;

    void Stop() { m_dispatcher->StopListening(*this); }

private:
    void OnBroadcast(const CallResultRecord& record) override {
        if (const T* found = std::get_if<T>(&record)) m_handler(*found);
    }

    CCallDispatcher* m_dispatcher;
    Handler m_handler;
};

}  // namespace gh
