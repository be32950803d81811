#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "app/termination_signals.h"
#include "platform/monitor.h"
#include "tests/app/app_test_support.h"

namespace {

// Pumps until the window is gone or a generous bound passes; true when the
// loop was told to quit.
bool PumpUntilGone(HWND window) {
    bool quit = false;
    for (int round = 0; round < 500 && IsWindow(window); ++round) {
        quit = PumpMessages(1) || quit;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return PumpMessages() || quit;
}

// A main window at `origin`.
bool CreateWindow(CMainWnd& window, POINT origin) {
    TMainWndOptions options;
    options.origin = origin;
    const bool created = window.Create(options);
    PumpMessages();
    return created;
}

using MainWndTest = TAppWindowTest;

} // namespace

TEST_F(MainWndTest, StartsAtItsMinimumSizeAnswersHitTestsAndMaximisingTwiceRestores) {
    const POINT origin =
        CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    CMainWnd window;
    ASSERT_TRUE(CreateWindow(window, origin));
    const RECT normal = WindowRectOf(window.hWnd);
    EXPECT_EQ(normal.right - normal.left, kMainWidth);
    EXPECT_EQ(normal.bottom - normal.top, kMainHeight);
    MINMAXINFO limits{};
    SendMessageA(window.hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, kMainWidth);
    EXPECT_EQ(limits.ptMinTrackSize.y, kMainHeight);

    const auto hit = [&](int dx, int dy) {
        const RECT now = WindowRectOf(window.hWnd);
        return SendMessageA(window.hWnd, WM_NCHITTEST, 0, MAKELPARAM(now.left + dx, now.top + dy));
    };
    EXPECT_EQ(hit(500, 4), HTTOP);
    EXPECT_EQ(hit(500, 20), HTCAPTION);
    EXPECT_EQ(hit(500, 40), HTCLIENT);

    SendMessageA(window.hWnd, WM_COMMAND, MainCommand::Maximise, 0);
    PumpMessages();
    MONITORINFO monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &monitor));
    ExpectSameRect(WindowRectOf(window.hWnd), monitor.rcWork, "maximised");
    EXPECT_EQ(window.Placement(), TPlacement::Maximised);
    EXPECT_EQ(hit(500, 4), HTCLIENT); // no sizing edge while maximised

    SendMessageA(window.hWnd, WM_COMMAND, MainCommand::Maximise, 0);
    PumpMessages();
    ExpectSameRect(WindowRectOf(window.hWnd), normal, "restored");
    ExpectSameRect(window.LastNormalRect(), normal, "remembered");
    EXPECT_EQ(window.Placement(), TPlacement::Normal);
    EXPECT_EQ(hit(500, 4), HTTOP);
}

TEST_F(MainWndTest, TheCloseButtonAndATerminationSignalEndTheMessageLoop) {
    CMainWnd closed;
    ASSERT_TRUE(CreateWindow(closed, POINT{30, 20}));
    HWND closedWindow = closed.hWnd;
    SendMessageA(closedWindow, WM_COMMAND, MainCommand::Close, 0);
    EXPECT_FALSE(IsWindow(closedWindow));
    EXPECT_TRUE(PumpMessages());

    InstallTerminationHandlers();
    ClearTerminationRequest();
    CMainWnd signalled;
    ASSERT_TRUE(CreateWindow(signalled, POINT{30, 20}));
    HWND signalledWindow = signalled.hWnd;
    std::raise(SIGTERM);
    EXPECT_TRUE(PumpUntilGone(signalledWindow));
    EXPECT_FALSE(IsWindow(signalledWindow));
    ClearTerminationRequest();
}

TEST_F(MainWndTest, StartsUpFromItsCreationAndShutsDownAfterItIsGone) {
    std::vector<std::string> steps;
    SetLifecycleObserver([&steps](const char* step) { steps.push_back(step); });
    CMainWnd window;
    TMainWndOptions options;
    options.origin = POINT{30, 20};
    options.initialise = [&steps](HWND created) {
        steps.push_back("window created");
        InitialiseApplication(created);
    };
    ASSERT_TRUE(window.Create(options));
    PumpMessages();
    HWND handle = window.hWnd;
    SendMessageA(handle, WM_COMMAND, MainCommand::Close, 0);
    EXPECT_TRUE(PumpUntilGone(handle));
    steps.push_back("window gone");
    ShutDownApplication();
    SetLifecycleObserver(nullptr);

    const std::vector<std::string> expected{"window created",
                                            "sdl",
                                            "preferences",
                                            "string table",
                                            "gdi",
                                            "skin",
                                            "fonts",
                                            "cursors",
                                            "camera settings",
                                            "window gone",
                                            "save preferences",
                                            "release string table",
                                            "release camera settings",
                                            "release skin",
                                            "release gdi",
                                            "release fonts",
                                            "glfw",
                                            "quit sdl"};
    EXPECT_EQ(steps, expected);
    EXPECT_TRUE(std::filesystem::exists(m_home.File("config/Velor/registry.reg")));
}
