#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "app/termination_signals.h"
#include "language/string_table.h"
#include "platform/monitor.h"
#include "settings/viewer_preferences.h"
#include "tests/app/app_test_support.h"
#include "tests/support/temp_folder.h"
#include "ui/memory_dc_man.h"

namespace {

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void ExpectSameRect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

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

class MainWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureAppApplication();
        SetDefaultPreferences();
    }

    // A main window with the skin only, as the window tests need.
    bool CreateWindow(CMainWnd& window, POINT origin) {
        TMainWndOptions options;
        options.origin = origin;
        options.initialise = [](HWND created) {
            HDC dc = GetDC(created);
            LoadSharedSkin(dc);
            ReleaseDC(created, dc);
        };
        const bool created = window.Create(options);
        PumpMessages();
        return created;
    }

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.File("config")};
    TScopedEnv m_data{"XDG_DATA_HOME", m_home.File("data")};
};

} // namespace

TEST_F(MainWndTest, StartsAtItsFirstSizeEvenOnASmallScreenAndKeepsItAsTheMinimum) {
    const POINT origin = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    CMainWnd window;
    ASSERT_TRUE(CreateWindow(window, origin));
    const RECT rect = WindowRectOf(window.hWnd);
    EXPECT_EQ(rect.right - rect.left, kMainWidth);
    EXPECT_EQ(rect.bottom - rect.top, kMainHeight);
    if (GetSystemMetrics(SM_CXSCREEN) < kMainWidth) {
        EXPECT_LT(rect.left, 0);
    }

    MINMAXINFO limits{};
    SendMessageA(window.hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, kMainWidth);
    EXPECT_EQ(limits.ptMinTrackSize.y, kMainHeight);
    EXPECT_GE(limits.ptMaxTrackSize.x, kMainWidth);
    EXPECT_GE(limits.ptMaxTrackSize.y, kMainHeight);
}

TEST_F(MainWndTest, AnswersHitTestsAndMaximisingTwiceRestoresTheNormalRectangle) {
    CMainWnd window;
    ASSERT_TRUE(CreateWindow(window, POINT{30, 20}));
    const RECT normal = WindowRectOf(window.hWnd);
    const auto hit = [&](int dx, int dy) {
        const RECT now = WindowRectOf(window.hWnd);
        return SendMessageA(window.hWnd, WM_NCHITTEST, 0, MAKELPARAM(now.left + dx, now.top + dy));
    };
    EXPECT_EQ(hit(500, 4), HTTOP);
    EXPECT_EQ(hit(500, 20), HTCAPTION);
    EXPECT_EQ(hit(500, 40), HTCLIENT);

    SendMessageA(window.hWnd, WM_COMMAND, kMaximiseCommand, 0);
    PumpMessages();
    MONITORINFO monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &monitor));
    ExpectSameRect(WindowRectOf(window.hWnd), monitor.rcWork, "maximised");
    EXPECT_EQ(window.Placement(), TPlacement::Maximised);
    EXPECT_EQ(hit(500, 4), HTCLIENT);  // no sizing edge while maximised

    SendMessageA(window.hWnd, WM_COMMAND, kMaximiseCommand, 0);
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
    SendMessageA(closedWindow, WM_COMMAND, kCloseCommand, 0);
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

TEST_F(MainWndTest, StartUpAndShutdownRunInOrderAndSaveThePreferences) {
    std::vector<std::string> steps;
    SetLifecycleObserver([&](const char* step) { steps.emplace_back(step); });
    {
        CMainWnd window;
        TMainWndOptions options;
        options.initialise = [](HWND created) { InitialiseApplication(created); };
        ASSERT_TRUE(window.Create(options));
        EXPECT_FALSE(Strings().empty());
        Preferences().volume = 77;
    }
    PumpMessages();
    ShutDownApplication();
    SetLifecycleObserver(nullptr);

    const std::vector<std::string> expected = {
        "sdl", "preferences", "string table", "gdi", "skin", "fonts", "cursors", "camera settings",
        "save preferences", "release string table", "release camera settings", "release skin", "release gdi",
        "release fonts", "glfw", "quit sdl"};
    EXPECT_EQ(steps, expected);
    EXPECT_TRUE(Strings().empty());
    EXPECT_EQ(SharedGdi().bluePen, nullptr);

    Preferences().volume = 50;
    ASSERT_TRUE(LoadPreferences());
    EXPECT_EQ(Preferences().volume, 77);
}

TEST_F(MainWndTest, AMissingSkinEndsStartUpEarlyButTheWindowStillComes) {
    TTempFolder emptyResources;
    TScopedEnv resources("VELOR_RESOURCE_DIR", emptyResources.Path());
    ReleaseSharedSkin();
    std::vector<std::string> steps;
    SetLifecycleObserver([&](const char* step) { steps.emplace_back(step); });
    {
        CMainWnd window;
        TMainWndOptions options;
        options.initialise = [](HWND created) { InitialiseApplication(created); };
        EXPECT_TRUE(window.Create(options));
        EXPECT_TRUE(IsWindow(window.hWnd));
    }
    PumpMessages();
    SetLifecycleObserver(nullptr);
    ShutDownApplication();
    const std::vector<std::string> expected = {"sdl", "preferences", "string table", "gdi", "skin"};
    EXPECT_EQ(steps, expected);
}
