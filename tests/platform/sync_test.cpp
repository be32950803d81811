#include <pthread.h>

#include <atomic>
#include <vector>

#include <gtest/gtest.h>

#include "platform/main_thread.h"
#include "platform/sync.h"
#include "platform/thread.h"

TEST(Event, WaitersOnOtherThreadsAreWokenOneOrAll) {
    for (const bool manualReset : {false, true}) {
        TEvent event(manualReset, false);
        std::atomic<int> woke{0};
        TThread a, b;
        for (TThread* waiter : {&a, &b})
            waiter->Start([&] { woke += event.Wait(INFINITE) == WAIT_OBJECT_0; });
        Sleep(20);
        EXPECT_EQ(woke.load(), 0);
        event.Set();
        if (!manualReset) {
            while (woke.load() == 0)
                Sleep(1);
            Sleep(20);
            EXPECT_EQ(woke.load(), 1) << "an auto-reset event lets one through";
            event.Set();
        }
        a.Join();
        b.Join();
        EXPECT_EQ(woke.load(), 2);
    }
}

TEST(MainThread, WorkerCallsRunWhileTheMainThreadWaitsOrJoins) {
    ASSERT_TRUE(IsMainThread());
    TEvent done(true, false);
    std::atomic<int> ranOnMain{0};
    TThread waitedFor, joined;
    waitedFor.Start([&] {
        CallOnMainThread([&] { ranOnMain += IsMainThread(); });
        done.Set();
    });
    // The main thread only waits here; the worker's call must still run.
    EXPECT_EQ(done.Wait(INFINITE), WAIT_OBJECT_0);
    waitedFor.Join();
    joined.Start([&] {
        for (int i = 0; i < 3; ++i)
            CallOnMainThread([&] { ranOnMain += IsMainThread(); });
    });
    joined.Join();
    EXPECT_EQ(ranOnMain.load(), 4);

    std::vector<int> order;
    TThread poster;
    poster.Start([&] {
        for (int i = 0; i < 3; ++i)
            PostToMainThread([&order, i] { order.push_back(i); });
    });
    poster.Join();
    ServiceMainThreadCalls();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(Thread, IdIsKnownBeforeTheBodyRunsAndTheNameIsCutToWhatLinuxKeeps) {
    std::atomic<DWORD> seen{0};
    TEvent go(true, false);
    char name[32] = {};
    TThread thread;
    ASSERT_TRUE(thread.Start(
        [&] {
            go.Wait(INFINITE);
            seen = GetCurrentThreadId();
            pthread_getname_np(pthread_self(), name, sizeof name);
        },
        "a-name-far-too-long-for-linux"));
    const DWORD id = thread.Id();
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    go.Set();
    thread.Join();
    EXPECT_EQ(seen.load(), id);
    EXPECT_STREQ(name, "a-name-far-too-");
}
