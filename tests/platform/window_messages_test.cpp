#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <numeric>

#include "platform/last_error.h"
#include "platform/main_thread.h"
#include "platform/thread.h"
#include "tests/platform/window_test_support.h"

namespace {

class WindowMessages : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureTestApplication();
        window = MakeProbeWindow(&probe, WS_POPUP, 0, 0, 20, 20);
    }
    void TearDown() override {
        DestroyWindow(window);
        PumpEvents();
    }
    TProbe probe;
    HWND window = nullptr;
};

constexpr UINT First = WM_USER + 1;
constexpr UINT Second = WM_USER + 2;
constexpr UINT Third = WM_USER + 3;
constexpr UINT Sent = WM_USER + 4;

TEST_F(WindowMessages, CreationAndDestructionMessagesComeInWin32OrderAndCreateCanRefuse) {
    std::vector<std::pair<char, UINT>> destroyed;
    TProbe parentProbe, childProbe, grandchildProbe;
    void* seenParam = nullptr;
    for (auto [probe, who] :
         {std::pair{&parentProbe, 'P'}, {&childProbe, 'C'}, {&grandchildProbe, 'G'}}) {
        probe->handler = [&, who](HWND, UINT message, WPARAM,
                                  LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_CREATE && who == 'P')
                seenParam = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
            if (message == WM_DESTROY || message == WM_NCDESTROY)
                destroyed.push_back({who, message});
            return std::nullopt;
        };
    }
    HWND parent = MakeProbeWindow(&parentProbe, WS_POPUP | WS_VISIBLE, 10, 10, 200, 200);
    HWND child = MakeProbeWindow(&childProbe, WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, parent);
    HWND grandchild = MakeProbeWindow(&grandchildProbe, WS_CHILD, 5, 5, 20, 20, child);
    ASSERT_TRUE(parent && child && grandchild);
    EXPECT_EQ(seenParam, &parentProbe);
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_TRUE(IsWindowVisible(parent));
    // The creation messages, in Win32 order, before anything else about it.
    const std::vector<UINT> created =
        parentProbe.Only({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW});
    ASSERT_GE(created.size(), 5u);
    EXPECT_EQ(std::vector<UINT>(created.begin(), created.begin() + 5),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));

    ASSERT_TRUE(DestroyWindow(parent));
    for (HWND window : {parent, child, grandchild})
        EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(parentProbe.messages.back(), WM_NCDESTROY);
    const std::vector<std::pair<char, UINT>> expected = {{'P', WM_DESTROY},   {'C', WM_DESTROY},
                                                         {'G', WM_DESTROY},   {'G', WM_NCDESTROY},
                                                         {'C', WM_NCDESTROY}, {'P', WM_NCDESTROY}};
    EXPECT_EQ(destroyed, expected);

    // A WM_CREATE answer of -1 fails the creation, and the window is never shown.
    TProbe refusing;
    refusing.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_CREATE ? std::optional<LRESULT>(-1) : std::nullopt;
    };
    EXPECT_EQ(MakeProbeWindow(&refusing, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50), nullptr);
    EXPECT_TRUE(refusing.Only({WM_SHOWWINDOW}).empty());
    EXPECT_EQ(refusing.messages.back(), WM_NCDESTROY);
}

TEST_F(WindowMessages, SentMessagesOvertakePostedOnesAndPostsKeepEachSendersOrder) {
    constexpr int Senders = 4;
    constexpr int PostsEach = 500;
    std::map<WPARAM, std::vector<LPARAM>> received;
    probe.handler = [&](HWND self, UINT message, WPARAM sender,
                        LPARAM sequence) -> std::optional<LRESULT> {
        // Posting from inside a handler queues behind what is already posted.
        if (message == First && sender == Senders)
            PostMessageA(self, Third, 0, 0);
        if (message == First)
            received[sender].push_back(sequence);
        return std::nullopt;
    };
    probe.messages.clear();
    PostMessageA(window, First, Senders, 0);
    PostMessageA(window, Second, 0, 0);
    SendMessageA(window, Sent, 0, 0);
    EXPECT_EQ(probe.Only({First, Second, Third, Sent}), (std::vector<UINT>{Sent}));
    ASSERT_TRUE(PumpUntil([&] { return probe.Only({Third}).size() == 1; }));
    EXPECT_EQ(probe.Only({First, Second, Third, Sent}),
              (std::vector<UINT>{Sent, First, Second, Third}));

    std::vector<std::unique_ptr<TThread>> threads;
    for (int sender = 0; sender < Senders; ++sender) {
        threads.push_back(std::make_unique<TThread>());
        threads.back()->Start([this, sender] {
            for (int i = 0; i < PostsEach; ++i)
                PostMessageA(window, First, static_cast<WPARAM>(sender), i);
        });
    }
    for (auto& thread : threads)
        thread->Join();
    ASSERT_TRUE(PumpUntil([&] { return probe.Only({First}).size() == 1 + Senders * PostsEach; }));
    std::vector<LPARAM> inOrder(PostsEach);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    for (int sender = 0; sender < Senders; ++sender)
        EXPECT_EQ(received[static_cast<WPARAM>(sender)], inOrder) << "sender " << sender;
}

TEST_F(WindowMessages, MessageLoopRunsUntilQuitAndServesWorkerSends) {
    std::atomic<bool> ranOnMain{false};
    probe.handler = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == Sent) {
            ranOnMain = IsMainThread();
            return 99;
        }
        if (message == Second)
            PostQuitMessage(7);
        return std::nullopt;
    };
    std::atomic<LRESULT> answer{0};
    TThread worker;
    worker.Start([&] {
        // Blocks until the main thread's loop has run it.
        answer = SendMessageA(window, Sent, 0, 0);
        PostMessageA(window, Second, 0, 0);
    });
    MSG message;
    std::vector<UINT> loopSaw;
    PostMessageA(nullptr, Third, 0, 0);
    while (GetMessageA(&message, nullptr, 0, 0)) {
        loopSaw.push_back(message.message);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    worker.Join();
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(answer.load(), 99);
    EXPECT_TRUE(ranOnMain.load());
    // The message for the thread itself comes out of the loop.
    EXPECT_NE(std::find(loopSaw.begin(), loopSaw.end(), Third), loopSaw.end());
}

TEST_F(WindowMessages, PostsToDeadWindowsFailAndOnesOvertakenByDeathLeaveATrace) {
    ASSERT_TRUE(PostMessageA(window, First, 0, 41));
    ASSERT_TRUE(PostMessageA(window, Second, 0, 42));
    DestroyWindow(window);
    testing::internal::CaptureStderr();
    PumpEvents();
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("dropped"), std::string::npos) << "both leave a line";
    EXPECT_NE(trace.find("0x0402"), std::string::npos) << trace;
    EXPECT_TRUE(probe.Only({First, Second}).empty());

    // The handle is dead now: refused on the main thread and on a worker.
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(PostMessageA(window, First, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    std::atomic<BOOL> fromWorker{TRUE};
    TThread worker;
    worker.Start([&] { fromWorker = PostMessageA(window, First, 0, 0); });
    worker.Join();
    EXPECT_FALSE(fromWorker.load());
}

TEST_F(WindowMessages, TimersFireUntilKilledAndDieWithTheirWindow) {
    std::map<WPARAM, int> fired;
    probe.handler = [&](HWND, UINT message, WPARAM id, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_TIMER)
            ++fired[id];
        return std::nullopt;
    };
    EXPECT_EQ(SetTimer(window, 1, 5, nullptr), 1u);
    EXPECT_EQ(SetTimer(window, 2, 5, nullptr), 2u);
    ASSERT_TRUE(PumpUntil([&] { return fired[1] >= 2 && fired[2] >= 2; }));
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));
    const int firstAtKill = fired[1];
    const int secondAtKill = fired[2];
    ASSERT_TRUE(PumpUntil([&] { return fired[2] >= secondAtKill + 3; }));
    EXPECT_EQ(fired[1], firstAtKill);
    // Setting an id again replaces its timer rather than adding one.
    EXPECT_EQ(SetTimer(window, 2, 100000, nullptr), 2u);
    const int secondAtReset = fired[2];
    PumpEvents(20);
    EXPECT_EQ(fired[2], secondAtReset);
    DestroyWindow(window);
    PumpEvents();
    EXPECT_EQ(SetTimer(window, 3, 5, nullptr), 0u);
}

} // namespace
