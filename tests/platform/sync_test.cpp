#include <pthread.h>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/main_thread.h"
#include "platform/sync.h"
#include "platform/thread.h"

TEST(Event, TimedWaitTimesOutWhenNothingSignals) {
    TEvent event(false, false);
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
    EXPECT_EQ(event.Wait(20), WAIT_TIMEOUT);
}

TEST(Event, AutoResetReleasesOneWaitAndClears) {
    TEvent event(false, true);
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
    event.Set();
    event.Set();  // a second Set on a set event adds nothing
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
}

TEST(Event, ManualResetStaysSetUntilReset) {
    TEvent event(true, false);
    event.Set();
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    event.Reset();
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
}

TEST(Event, WaitWithoutLimitIsWokenByAnotherThread) {
    TEvent event(false, false);
    std::atomic<bool> woke{false};
    TThread waiter;
    waiter.Start([&] {
        EXPECT_EQ(event.Wait(INFINITE), WAIT_OBJECT_0);
        woke = true;
    });
    Sleep(20);
    EXPECT_FALSE(woke.load());
    event.Set();
    waiter.Join();
    EXPECT_TRUE(woke.load());
}

TEST(Event, ManualResetWakesEveryWaiter) {
    TEvent event(true, false);
    std::atomic<int> woke{0};
    TThread a, b;
    a.Start([&] { if (event.Wait(5000) == WAIT_OBJECT_0) ++woke; });
    b.Start([&] { if (event.Wait(5000) == WAIT_OBJECT_0) ++woke; });
    event.Set();
    a.Join();
    b.Join();
    EXPECT_EQ(woke.load(), 2);
}

TEST(Semaphore, CountsFollowReleasesAndTakes) {
    TSemaphore semaphore(0, 2147483647);
    EXPECT_EQ(semaphore.Wait(0), WAIT_TIMEOUT);
    LONG previous = -1;
    EXPECT_TRUE(semaphore.Release(3, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_EQ(semaphore.Count(), 3);
    EXPECT_EQ(semaphore.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(semaphore.Wait(10), WAIT_OBJECT_0);
    EXPECT_EQ(semaphore.Count(), 1);
    EXPECT_EQ(semaphore.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(semaphore.Wait(15), WAIT_TIMEOUT);
    EXPECT_EQ(semaphore.Count(), 0);
}

TEST(Semaphore, ReleaseBeyondMaximumIsRefusedAndChangesNothing) {
    TSemaphore semaphore(1, 2);
    EXPECT_FALSE(semaphore.Release(2));
    EXPECT_EQ(semaphore.Count(), 1);
    EXPECT_TRUE(semaphore.Release(1));
    EXPECT_FALSE(semaphore.Release(1));
    EXPECT_EQ(semaphore.Count(), 2);
    EXPECT_FALSE(semaphore.Release(0));
}

TEST(Semaphore, TimedTakeIsWokenByRelease) {
    TSemaphore semaphore(0, 10);
    std::atomic<DWORD> result{WAIT_FAILED};
    TThread taker;
    taker.Start([&] { result = semaphore.Wait(5000); });
    Sleep(20);
    semaphore.Release(1);
    taker.Join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
    EXPECT_EQ(semaphore.Count(), 0);
}

TEST(MainThread, WorkerCallRunsWhileMainWaitsOnEvent) {
    ASSERT_TRUE(IsMainThread());
    TEvent done(true, false);
    std::atomic<bool> ranOnMain{false};
    TThread worker;
    worker.Start([&] {
        CallOnMainThread([&] { ranOnMain = IsMainThread(); });
        done.Set();
    });
    // The main thread only waits here; the worker's call must still run.
    EXPECT_EQ(done.Wait(5000), WAIT_OBJECT_0);
    worker.Join();
    EXPECT_TRUE(ranOnMain.load());
}

TEST(MainThread, JoinOnMainThreadServesWorkerCalls) {
    std::atomic<int> calls{0};
    TThread worker;
    worker.Start([&] {
        for (int i = 0; i < 3; ++i)
            CallOnMainThread([&] { ++calls; });
    });
    worker.Join();
    EXPECT_EQ(calls.load(), 3);
}

TEST(Thread, IdsAreKnownBeforeTheBodyRunsAndDiffer) {
    std::atomic<DWORD> seen{0};
    TEvent go(true, false);
    TThread thread;
    ASSERT_TRUE(thread.Start([&] {
        go.Wait(INFINITE);
        seen = GetCurrentThreadId();
    }));
    DWORD id = thread.Id();
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    go.Set();
    thread.Join();
    EXPECT_EQ(seen.load(), id);
}

TEST(MainThread, PostedCallsRunInOrderOnTheMainThread) {
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

TEST(Thread, CarriesItsNameCutToWhatLinuxKeeps) {
    char seen[32] = {};
    char longSeen[32] = {};
    TThread named, longNamed;
    ASSERT_TRUE(named.Start([&] { pthread_getname_np(pthread_self(), seen, sizeof seen); }, "decode-front"));
    ASSERT_TRUE(longNamed.Start([&] { pthread_getname_np(pthread_self(), longSeen, sizeof longSeen); },
                                "a-name-far-too-long-for-linux"));
    named.Join();
    longNamed.Join();
    EXPECT_STREQ(seen, "decode-front");
    EXPECT_STREQ(longSeen, "a-name-far-too-");
}
