// The side window in a stand-in main window on the test X server: its dock
// place and size, the tabs, the hit-test zones, and docking and undocking
// by real mouse drags (xdotool).

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "recordings/floating_wnd.h"
#include "tests/ui/ui_test_support.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr RECT MainRect{60, 60, 60 + 1035, 60 + 720};
constexpr RECT DockInMain{719, 40, 1027, 593};
constexpr int PollRounds = 400;
constexpr useconds_t PollPauseUs = 5000;

// The main window as the side window sees it.
class TMainStandIn : public TWnd {
public:
    TMainStandIn() {
        EnsureUiApplication();
        SetClassName("__SideWindowMain__");
        RegisterWindowClass(className, BoundWindowProcedure);
        CreateBoundWindow(this, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, MainRect, nullptr);
    }
    ~TMainStandIn() override { DestroyWindow(hWnd); }
    std::vector<WPARAM> dockings;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override {
        if (message == WM_SIDE_WINDOW_DOCKING)
            dockings.push_back(wParam);
        *handled = message == WM_DRAWITEM;
        return *handled ? RouteDrawItem(lParam) : 0;
    }
};

bool PumpUntil(const std::function<bool()>& done) {
    for (int round = 0; round < PollRounds; ++round) {
        Pump(1);
        if (done())
            return true;
        usleep(PollPauseUs);
    }
    return false;
}

RECT ScreenRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

class SideWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadStringTable("english"));
        CreateLanguageFonts("english");
        HDC screen = GetDC(nullptr);
        ASSERT_TRUE(LoadSharedSkin(screen));
        ReleaseDC(nullptr, screen);
        ASSERT_TRUE(m_side.Create(m_main.hWnd));
        Pump();
    }

    RECT DockOnScreen() const {
        RECT dock = DockInMain;
        OffsetRect(&dock, MainRect.left, MainRect.top);
        return dock;
    }
    // Presses at `from` (screen), moves through `path` step by step and
    // lets go, while this process goes on handling its messages.
    void Drag(POINT from, const std::vector<POINT>& path) {
        std::string script = "xdotool mousemove --sync " + std::to_string(from.x) + " " +
                             std::to_string(from.y) + " mousedown 1";
        for (POINT step : path)
            script += " sleep 0.05 mousemove --sync " + std::to_string(step.x) + " " +
                      std::to_string(step.y);
        script += " sleep 0.05 mouseup 1";
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        while (waitpid(child, &status, WNOHANG) == 0) {
            Pump(1);
            usleep(PollPauseUs);
        }
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << script;
    }
    LRESULT HitAt(int x, int y) {
        POINT point{x, y};
        ClientToScreen(m_side.hWnd, &point);
        return SendMessageA(m_side.hWnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }

    TMainStandIn m_main;
    CFloatingWnd m_side;
};

TEST(DockGeometry, DockAreaOverlapAndTheFloatingHitZones) {
    EXPECT_TRUE(Same(DockAreaOf(1035, 720, 300, 110), DockInMain));
    const RECT dock{0, 0, 100, 100};
    const struct {
        RECT window;
        double overlap;
    } overlaps[] = {
        {{5, 5, 105, 105}, 0.9025},  {{10, 0, 110, 100}, 0.9},    {{-20, 0, 80, 100}, 0.8},
        {{10, 10, 60, 60}, 1.0},     {{-50, -50, 200, 200}, 1.0}, {{100, 0, 200, 100}, 0.0},
        {{300, 300, 400, 400}, 0.0}, {{0, 0, 0, 0}, 0.0},
    };
    for (const auto& c : overlaps)
        EXPECT_DOUBLE_EQ(DockOverlap(c.window, dock), c.overlap) << Describe(c.window);

    // A 300 x 500 window with a 4-pixel frame; points are client positions.
    const SIZE outer{300, 500};
    const struct {
        POINT client;
        LRESULT hit;
    } zones[] = {
        {{0, 0}, HTTOPLEFT},         {{7, 3}, HTTOPLEFT},      {{7, 4}, HTLEFT},
        {{0, 250}, HTLEFT},          {{0, 493}, HTBOTTOMLEFT}, {{290, 0}, HTTOPRIGHT},
        {{290, 495}, HTBOTTOMRIGHT}, {{295, 250}, HTRIGHT},    {{284, 250}, HTCAPTION},
        {{150, -1}, HTTOP},          {{150, 0}, HTCAPTION},    {{150, 250}, HTCAPTION},
        {{150, 497}, HTBOTTOM},      {{150, 492}, HTCAPTION},
    };
    for (const auto& z : zones)
        EXPECT_EQ(FloatingHitTest(z.client, outer, 4), z.hit) << z.client.x << "," << z.client.y;
}

// Docked: at the dock area with its exact size, the panels in the frame,
// moved by pressing anywhere; the tabs switch the pages.
TEST_F(SideWindowTest, DockedItSitsInItsPlaceAndTheTabsSwitchThePages) {
    EXPECT_TRUE(m_side.Docked());
    EXPECT_TRUE(Same(ScreenRect(m_side.hWnd), DockOnScreen())) << Describe(ScreenRect(m_side.hWnd));
    EXPECT_TRUE(Same(m_side.FrameRect(), RECT{8, 24, 305, 545}));
    RECT panel;
    GetClientRect(m_side.FileList()->hWnd, &panel);
    EXPECT_EQ(panel.right, 297);
    EXPECT_EQ(panel.bottom, 521);
    for (POINT p : {POINT{0, 0}, POINT{200, 10}, POINT{307, 552}})
        EXPECT_EQ(HitAt(p.x, p.y), HTCAPTION);

    int builds = 0;
    m_side.SetMapPageBuilder([&] { ++builds; });
    HWND map = CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 10, 10, m_main.hWnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    m_side.SetMapPanel(map);
    EXPECT_EQ(m_side.CurrentPanel(), FileListPanelId);
    SendMessageA(m_side.hWnd, WM_COMMAND, MapTabId, 0);
    EXPECT_EQ(m_side.CurrentPanel(), MapPanelId);
    SendMessageA(m_side.hWnd, WM_COMMAND, MapTabSelectedId, 0);
    EXPECT_EQ(builds, 2) << "choosing the map, and choosing it again, rebuild its page";
    EXPECT_TRUE(IsWindowVisible(map));
    RECT hosted;
    GetClientRect(map, &hosted);
    EXPECT_EQ(hosted.right, 297);
    EXPECT_EQ(hosted.bottom, 521);
    const std::pair<int, bool> mapShown[] = {
        {FileTabSelectedId, false}, {FileTabId, true}, {MapTabSelectedId, true}, {MapTabId, false}};
    for (auto [id, shown] : mapShown)
        EXPECT_EQ(IsWindowVisible(GetDlgItem(m_side.hWnd, id)) != 0, shown) << id;
    SendMessageA(m_side.hWnd, WM_COMMAND, FileTabId, 0);
    EXPECT_EQ(m_side.CurrentPanel(), FileListPanelId);
    EXPECT_FALSE(IsWindowVisible(map));
    for (auto [id, shown] : mapShown)
        EXPECT_EQ(IsWindowVisible(GetDlgItem(m_side.hWnd, id)) != 0, !shown) << id;
    DestroyWindow(map);
}

// A few pixels undock it at once, and dropped back on its place without
// having left it, it stays loose. Floating, the top-left corner resizes
// diagonally. Dragged away and then over its place again, it docks at the
// dock area's exact size.
TEST_F(SideWindowTest, MouseDragsUndockAndDockAgainOnlyAfterLeavingThePlace) {
    const RECT dock = DockOnScreen();
    const POINT grip{dock.left + 250, dock.top + 12};
    Drag(grip, {{grip.x + 3, grip.y + 2}, {grip.x + 6, grip.y + 4}, {grip.x, grip.y}});
    ASSERT_TRUE(PumpUntil([&] { return !m_side.Docked() && !m_main.dockings.empty(); }));
    EXPECT_EQ(m_main.dockings.back(), 0u);
    EXPECT_EQ(GetParent(m_side.hWnd), nullptr);
    EXPECT_TRUE(IsWindowVisible(m_side.hWnd));
    EXPECT_TRUE(Same(ScreenRect(m_side.hWnd), dock)) << Describe(ScreenRect(m_side.hWnd));
    EXPECT_TRUE(Same(m_side.FrameRect(), RECT{8, 29, 301, 545}));

    // Floating hit zones on the real window.
    const int frame = GetSystemMetrics(SM_CYSIZEFRAME);
    EXPECT_EQ(HitAt(2, 0), HTTOPLEFT);
    EXPECT_EQ(HitAt(150, 12), HTCAPTION);
    EXPECT_EQ(HitAt(305, 300), HTRIGHT);
    EXPECT_EQ(HitAt(150, 553 - frame), HTBOTTOM);

    // The corner: the window grows up and left, its bottom-right corner stays.
    const POINT corner{dock.left + 2, dock.top + 1};
    Drag(corner, {{corner.x - 10, corner.y - 5}, {corner.x - 30, corner.y - 20}});
    PumpUntil([&] { return ScreenRect(m_side.hWnd).left == dock.left - 30; });
    const RECT grown{dock.left - 30, dock.top - 20, dock.right, dock.bottom};
    EXPECT_TRUE(Same(ScreenRect(m_side.hWnd), grown)) << Describe(ScreenRect(m_side.hWnd));
    EXPECT_FALSE(m_side.Docked());

    // Away (under 90 % over the place), then back over it: docked.
    const POINT caption{grown.left + 250, grown.top + 12};
    Drag(caption, {{caption.x - 100, caption.y + 20},
                   {caption.x - 400, caption.y + 60},
                   {caption.x - 100, caption.y + 10},
                   {caption.x + 5, caption.y + 5}});
    ASSERT_TRUE(PumpUntil([&] { return m_side.Docked() && Same(ScreenRect(m_side.hWnd), dock); }))
        << Describe(ScreenRect(m_side.hWnd));
    EXPECT_EQ(GetParent(m_side.hWnd), m_main.hWnd);
    EXPECT_EQ(m_main.dockings.back(), 1u);
    EXPECT_TRUE(IsWindowVisible(m_side.hWnd));
    EXPECT_TRUE(Same(m_side.FrameRect(), RECT{8, 24, 305, 545}));
}

} // namespace
