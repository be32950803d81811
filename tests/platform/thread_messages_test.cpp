#include <atomic>
#include <vector>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/sync.h"
#include "platform/thread.h"
#include "platform/thread_messages.h"

namespace {

// A thread that makes its queue, then hands control back to the test.
struct QueueThread {
    TThread thread;
    TEvent ready{true, false};
    TEvent go{true, false};
};

} // namespace

TEST(ThreadMessages, PostToThreadWithoutQueueFails) {
    TEvent go(true, false);
    TThread idle;
    idle.Start([&] { go.Wait(INFINITE); });
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(PostThreadMessageA(idle.Id(), WM_USER + 1, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    go.Set();
    idle.Join();
    EXPECT_FALSE(PostThreadMessageA(999999, WM_USER, 0, 0));
}

TEST(ThreadMessages, PostAfterThreadEndedFails) {
    TThread shortLived;
    shortLived.Start([] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    });
    shortLived.Join();
    EXPECT_FALSE(PostThreadMessageA(shortLived.Id(), WM_USER, 0, 0));
}

TEST(ThreadMessages, OrderKeptAndPeekRemovesOnlyWithFlag) {
    QueueThread receiver;
    std::vector<MSG> got;
    BOOL peekKept = FALSE;
    receiver.thread.Start([&] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
        receiver.ready.Set();
        receiver.go.Wait(INFINITE);
        MSG first;
        peekKept = PeekMessageA(&first, nullptr, 0, 0, PM_NOREMOVE);
        MSG again;
        PeekMessageA(&again, nullptr, 0, 0, PM_NOREMOVE);
        peekKept = peekKept && again.message == first.message && again.wParam == first.wParam;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            got.push_back(m);
    });
    receiver.ready.Wait(INFINITE);
    for (WPARAM i = 0; i < 5; ++i)
        ASSERT_TRUE(PostThreadMessageA(receiver.thread.Id(), WM_USER + 1, i, static_cast<LPARAM>(i * 10)));
    receiver.go.Set();
    receiver.thread.Join();
    EXPECT_TRUE(peekKept);
    ASSERT_EQ(got.size(), 5u);
    for (WPARAM i = 0; i < 5; ++i) {
        EXPECT_EQ(got[i].message, WM_USER + 1);
        EXPECT_EQ(got[i].wParam, i);
        EXPECT_EQ(got[i].lParam, static_cast<LPARAM>(i * 10));
    }
}

TEST(ThreadMessages, FilterTakesOnlyTheRangeAndKeepsTheRest) {
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    DWORD self = GetCurrentThreadId();
    PostThreadMessageA(self, WM_USER + 5, 1, 0);
    PostThreadMessageA(self, WM_USER + 1, 2, 0);
    PostThreadMessageA(self, WM_USER + 5, 3, 0);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST(ThreadMessages, GetMessageWaitsAndReportsQuit) {
    QueueThread receiver;
    std::vector<UINT> got;
    BOOL lastResult = TRUE;
    receiver.thread.Start([&] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        receiver.ready.Set();
        while ((lastResult = GetMessageA(&m, nullptr, 0, 0)) != FALSE)
            got.push_back(m.message);
    });
    receiver.ready.Wait(INFINITE);
    Sleep(10);
    PostThreadMessageA(receiver.thread.Id(), WM_USER + 1, 0, 0);
    PostThreadMessageA(receiver.thread.Id(), WM_USER + 2, 0, 0);
    PostThreadMessageA(receiver.thread.Id(), WM_QUIT, 0, 0);
    receiver.thread.Join();
    EXPECT_EQ(lastResult, FALSE);
    EXPECT_EQ(got, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST(ThreadMessages, ManySendersLoseNothingAndKeepTheirOwnOrder) {
    constexpr int kSenders = 4;
    constexpr int kPerSender = 500;
    QueueThread receiver;
    std::vector<MSG> got;
    receiver.thread.Start([&] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        receiver.ready.Set();
        while (GetMessageA(&m, nullptr, 0, 0))
            got.push_back(m);
    });
    receiver.ready.Wait(INFINITE);
    std::vector<TThread> senders(kSenders);
    for (int s = 0; s < kSenders; ++s) {
        senders[s].Start([&, s] {
            for (int i = 0; i < kPerSender; ++i)
                PostThreadMessageA(receiver.thread.Id(), WM_USER + 1, static_cast<WPARAM>(s), i);
        });
    }
    for (TThread& sender : senders)
        sender.Join();
    PostThreadMessageA(receiver.thread.Id(), WM_QUIT, 0, 0);
    receiver.thread.Join();
    ASSERT_EQ(got.size(), static_cast<size_t>(kSenders * kPerSender));
    std::vector<LPARAM> next(kSenders, 0);
    for (const MSG& m : got) {
        ASSERT_LT(m.wParam, static_cast<WPARAM>(kSenders));
        EXPECT_EQ(m.lParam, next[m.wParam]) << "sender " << m.wParam;
        next[m.wParam] = m.lParam + 1;
    }
}
