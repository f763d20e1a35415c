#include "workshop/CallResult.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace gh {
namespace {

using DownloadCall = CCallResult<DownloadedContent>;

DownloadedContent Download(UGCHandle content) {
    DownloadedContent r;
    r.result = kResultOk;
    r.contentHandle = content;
    return r;
}

struct Seen {
    int calls = 0;
    std::optional<UGCHandle> content;  // none: the handler got no record
    bool ioFailure = false;
};

DownloadCall::Handler Recorder(Seen& seen) {
    return [&seen](const DownloadedContent* r, bool failed) {
        ++seen.calls;
        seen.content = r ? std::optional<UGCHandle>(r->contentHandle) : std::nullopt;
        seen.ioFailure = failed;
    };
}

TEST(CallResultTest, DeliversOnceAndOnlyInsideDispatch) {
    CCallDispatcher dispatcher;
    Seen seen;
    DownloadCall call(dispatcher);
    call.Set(7, Recorder(seen));
    EXPECT_TRUE(call.IsActive());

    dispatcher.Post(7, Download(70));
    EXPECT_EQ(seen.calls, 0) << "a posted record waits for the pump";
    dispatcher.DispatchPosted();
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.content, 70u);
    EXPECT_FALSE(seen.ioFailure);
    EXPECT_FALSE(call.IsActive());
    EXPECT_EQ(dispatcher.RegisteredCount(), 0u);

    dispatcher.Post(7, Download(71));
    dispatcher.DispatchPosted();
    EXPECT_EQ(seen.calls, 1) << "a handler runs once";
}

TEST(CallResultTest, ZeroHandleIsNeverRegistered) {
    CCallDispatcher dispatcher;
    Seen seen;
    DownloadCall call(dispatcher);
    call.Set(kInvalidCall, Recorder(seen));
    EXPECT_FALSE(call.IsActive());
    EXPECT_EQ(dispatcher.RegisteredCount(), 0u);
    dispatcher.Post(kInvalidCall, Download(1));
    dispatcher.DispatchPosted();
    EXPECT_EQ(seen.calls, 0);
}

TEST(CallResultTest, SettingAgainDropsTheEarlierCall) {
    CCallDispatcher dispatcher;
    Seen seen;
    DownloadCall call(dispatcher);
    call.Set(1, Recorder(seen));
    call.Set(2, Recorder(seen));
    EXPECT_FALSE(dispatcher.IsRegistered(1));
    dispatcher.Post(1, Download(10));
    dispatcher.Post(2, Download(20));
    dispatcher.DispatchPosted();
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.content, 20u);
}

TEST(CallResultTest, DestroyingWhilePendingUnregisters) {
    CCallDispatcher dispatcher;
    Seen seen;
    {
        DownloadCall call(dispatcher);
        call.Set(5, Recorder(seen));
        EXPECT_EQ(dispatcher.RegisteredCount(), 1u);
    }
    EXPECT_EQ(dispatcher.RegisteredCount(), 0u);
    dispatcher.Post(5, Download(50));
    dispatcher.DispatchPosted();  // must not reach the destroyed object
    EXPECT_EQ(seen.calls, 0);
}

TEST(CallResultTest, FailuresAndRecordsOfAnotherKindArriveWithoutRecord) {
    CCallDispatcher dispatcher;
    Seen failed, wrongKind, flagged;
    DownloadCall a(dispatcher), b(dispatcher), c(dispatcher);
    a.Set(1, Recorder(failed));
    b.Set(2, Recorder(wrongKind));
    c.Set(3, Recorder(flagged));
    dispatcher.PostFailure(1);
    dispatcher.Post(2, SubscriptionPage{});
    dispatcher.Post(3, Download(30), /*ioFailure=*/true);
    dispatcher.DispatchPosted();
    EXPECT_EQ(failed.calls, 1);
    EXPECT_FALSE(failed.content);
    EXPECT_TRUE(failed.ioFailure);
    EXPECT_FALSE(wrongKind.content);
    EXPECT_TRUE(wrongKind.ioFailure);
    EXPECT_EQ(flagged.content, 30u);
    EXPECT_TRUE(flagged.ioFailure);
}

TEST(CallResultTest, HandlersMayDestroyOrReArmCallResults) {
    CCallDispatcher dispatcher;
    auto victim = std::make_unique<DownloadCall>(dispatcher);
    Seen victimSeen;
    victim->Set(2, Recorder(victimSeen));

    // The first handler destroys a call result that waits for a completion
    // posted in the same round, and destroys itself.
    auto self = std::make_unique<DownloadCall>(dispatcher);
    self->Set(1, [&](const DownloadedContent*, bool) {
        victim.reset();
        self.reset();
    });
    dispatcher.Post(1, Download(1));
    dispatcher.Post(2, Download(2));
    dispatcher.DispatchPosted();
    EXPECT_FALSE(self);
    EXPECT_EQ(victimSeen.calls, 0);

    // A handler that sets its own object again waits for the new call.
    DownloadCall rearmed(dispatcher);
    int rounds = 0;
    DownloadCall::Handler handler = [&](const DownloadedContent*, bool) {
        if (++rounds == 1) rearmed.Set(4, handler);
        dispatcher.Post(4, Download(4));  // posted during dispatch: waits for the next round
    };
    rearmed.Set(3, handler);
    dispatcher.Post(3, Download(3));
    dispatcher.DispatchPosted();
    EXPECT_EQ(rounds, 1);
    EXPECT_TRUE(rearmed.IsActive());
    dispatcher.DispatchPosted();
    EXPECT_EQ(rounds, 2);
    EXPECT_FALSE(rearmed.IsActive());
}

TEST(CallResultTest, MemberHandlersAndSeveralWaitersOnOneCall) {
    struct Owner {
        int seen = 0;
        void OnDone(const DownloadedContent* r, bool) { seen += r ? 1 : 100; }
    } owner;
    CCallDispatcher dispatcher;
    DownloadCall a(dispatcher), b(dispatcher);
    a.Set(9, &owner, &Owner::OnDone);
    b.Set(9, &owner, &Owner::OnDone);
    dispatcher.Post(9, Download(9));
    dispatcher.DispatchPosted();
    EXPECT_EQ(owner.seen, 2);
}

}  // namespace
}  // namespace gh
