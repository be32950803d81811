#include <atomic>

#include <gtest/gtest.h>

#include "platform/mm_timer.h"
#include "platform/sync.h"
#include "platform/thread.h"

namespace {

struct TickLog {
    std::atomic<int> count{0};
    std::atomic<int> inside{0};
    std::atomic<int> overlapped{0};
    TEvent reached{true, false};
    int wanted = 0;
    DWORD sleepMs = 0;
};

void RecordTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* log = reinterpret_cast<TickLog*>(user);
    if (log->inside.fetch_add(1) != 0)
        ++log->overlapped;
    if (log->sleepMs)
        Sleep(log->sleepMs);
    if (++log->count == log->wanted)
        log->reached.Set();
    --log->inside;
}

UINT g_selfKillId = 0;
std::atomic<int> g_selfKillCalls{0};

void KillOwnTimer(UINT id, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    ++g_selfKillCalls;
    timeKillEvent(id);
}

} // namespace

TEST(MultimediaTimer, PeriodicCallbacksNeverOverlapNorComeEarlyNorAfterTheKill) {
    TickLog log;
    log.wanted = 300;
    TIMECAPS caps;
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
    EXPECT_EQ(caps.wPeriodMin, 1u);
    ASSERT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
    DWORD start = timeGetTime();
    UINT id = timeSetEvent(1, 1, RecordTick, reinterpret_cast<DWORD_PTR>(&log), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    ASSERT_EQ(log.reached.Wait(30000), WAIT_OBJECT_0);
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    timeEndPeriod(1);
    DWORD elapsed = timeGetTime() - start;
    int after = log.count.load();
    Sleep(20);
    EXPECT_EQ(log.count.load(), after) << "callbacks after timeKillEvent returned";
    EXPECT_EQ(log.overlapped.load(), 0);
    // Absolute deadlines: 300 periods of 1 ms never come early.
    EXPECT_GE(elapsed + 1, 300u);
}

TEST(MultimediaTimer, OneShotFiresOnceAndKillWaitsForASlowCallbackOrEndsFromItsOwn) {
    TickLog once;
    once.wanted = 1;
    UINT id = timeSetEvent(5, 1, RecordTick, reinterpret_cast<DWORD_PTR>(&once), TIME_ONESHOT);
    ASSERT_NE(id, 0u);
    ASSERT_EQ(once.reached.Wait(5000), WAIT_OBJECT_0);
    Sleep(30);
    EXPECT_EQ(once.count.load(), 1);
    timeKillEvent(id);

    TickLog slow;
    slow.wanted = 1;
    slow.sleepMs = 60;
    id = timeSetEvent(1, 1, RecordTick, reinterpret_cast<DWORD_PTR>(&slow), TIME_PERIODIC);
    ASSERT_EQ(slow.reached.Wait(5000), WAIT_OBJECT_0);
    // A callback may be running now; when the kill returns none may be.
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_EQ(slow.inside.load(), 0);
    const int after = slow.count.load();
    Sleep(100);
    EXPECT_EQ(slow.count.load(), after);

    // A kill from the timer's own callback ends it without waiting for itself.
    g_selfKillCalls = 0;
    g_selfKillId = timeSetEvent(1, 1, KillOwnTimer, 0, TIME_PERIODIC);
    ASSERT_NE(g_selfKillId, 0u);
    for (int i = 0; i < 500 && g_selfKillCalls.load() == 0; ++i)
        Sleep(2);
    Sleep(30);
    EXPECT_EQ(g_selfKillCalls.load(), 1);
    EXPECT_EQ(timeKillEvent(g_selfKillId), TIMERR_NOCANDO);
    EXPECT_EQ(timeSetEvent(1, 1, nullptr, 0, TIME_PERIODIC), 0u);
    EXPECT_EQ(timeKillEvent(123456), TIMERR_NOCANDO);
}
