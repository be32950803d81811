#include <vector>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/sync.h"
#include "platform/thread.h"
#include "platform/thread_messages.h"

namespace {

// A thread that makes its queue, signals, and then runs `body`.
void StartWithQueue(TThread& thread, const std::function<void()>& body) {
    TEvent ready(true, false);
    thread.Start([&ready, body] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        ready.Set();
        body();
    });
    ready.Wait(INFINITE);
}

} // namespace

TEST(ThreadMessages, PostsToThreadsWithoutAQueueFail) {
    TEvent go(true, false);
    TThread idle, ended;
    idle.Start([&] { go.Wait(INFINITE); });
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(PostThreadMessageA(idle.Id(), WM_USER + 1, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    go.Set();
    idle.Join();
    StartWithQueue(ended, [] {});
    ended.Join();
    EXPECT_FALSE(PostThreadMessageA(ended.Id(), WM_USER, 0, 0));
    EXPECT_FALSE(PostThreadMessageA(999999, WM_USER, 0, 0));
}

TEST(ThreadMessages, ManySendersLoseNothingKeepTheirOrderAndQuitEndsTheLoop) {
    constexpr int kSenders = 4;
    constexpr int kPerSender = 500;
    TThread receiver;
    std::vector<MSG> got;
    BOOL lastResult = TRUE;
    StartWithQueue(receiver, [&] {
        MSG m;
        while ((lastResult = GetMessageA(&m, nullptr, 0, 0)) != FALSE)
            got.push_back(m);
    });
    std::vector<TThread> senders(kSenders);
    for (int s = 0; s < kSenders; ++s) {
        senders[s].Start([&, s] {
            for (int i = 0; i < kPerSender; ++i)
                PostThreadMessageA(receiver.Id(), WM_USER + 1, static_cast<WPARAM>(s), i);
        });
    }
    for (TThread& sender : senders)
        sender.Join();
    PostThreadMessageA(receiver.Id(), WM_QUIT, 0, 0);
    receiver.Join();
    EXPECT_EQ(lastResult, FALSE);
    ASSERT_EQ(got.size(), static_cast<size_t>(kSenders * kPerSender));
    std::vector<LPARAM> next(kSenders, 0);
    for (const MSG& m : got) {
        ASSERT_LT(m.wParam, static_cast<WPARAM>(kSenders));
        EXPECT_EQ(m.message, WM_USER + 1u);
        EXPECT_EQ(m.lParam, next[m.wParam]) << "sender " << m.wParam;
        next[m.wParam] = m.lParam + 1;
    }
}
