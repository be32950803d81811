#include <gtest/gtest.h>

#include "tests/platform/window_test_support.h"

namespace {

class WindowInput : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
};

std::vector<UINT> ButtonMessages(const TProbe& probe) {
    return probe.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
}

void Click(HWND window, QPoint at, bool second) {
    SendMouse(window, second ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, at);
    SendMouse(window, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

TEST_F(WindowInput, DoubleClicksOnlyForClassesThatAskForThem) {
    RegisterProbeClass("NoDoubleClicks", 0);
    TProbe with, without;
    HWND dbl = MakeProbeWindow(&with, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND plain = MakeProbeWindow(&without, WS_POPUP | WS_VISIBLE, 60, 0, 50, 50, nullptr, "NoDoubleClicks");
    for (HWND window : {dbl, plain}) {
        Click(window, QPoint(5, 5), false);
        Click(window, QPoint(5, 5), true);
    }
    EXPECT_EQ(ButtonMessages(with),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(ButtonMessages(without),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    DestroyWindow(dbl);
    DestroyWindow(plain);
    PumpEvents();
}

TEST_F(WindowInput, CaptureRoutesMouseMessagesToTheCapturingWindow) {
    TProbe under, capturer;
    HWND a = MakeProbeWindow(&under, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND b = MakeProbeWindow(&capturer, WS_POPUP | WS_VISIBLE, 200, 100, 50, 50);
    LPARAM seenAt = 0;
    capturer.handler = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MOUSEMOVE)
            seenAt = lParam;
        return std::nullopt;
    };
    SetCapture(b);
    EXPECT_EQ(GetCapture(), b);
    SendMouse(a, QEvent::MouseMove, QPoint(10, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(under.Only({WM_MOUSEMOVE}).size(), 0u);
    ASSERT_EQ(capturer.Only({WM_MOUSEMOVE}).size(), 1u);
    // In the capturing window's own client coordinates.
    EXPECT_EQ(GET_X_LPARAM(seenAt), 10 - 200);
    EXPECT_EQ(GET_Y_LPARAM(seenAt), 20 - 100);
    ReleaseCapture();
    EXPECT_EQ(capturer.Only({WM_CAPTURECHANGED}).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    SendMouse(a, QEvent::MouseMove, QPoint(10, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(under.Only({WM_MOUSEMOVE}).size(), 1u);
    DestroyWindow(a);
    DestroyWindow(b);
    PumpEvents();
}

// Answers the hit test with `hit` and keeps WM_MOVING rectangles left of a
// limit, as the magnifier marker is kept inside its video window.
struct TDragWindow {
    TProbe probe;
    LRESULT hit = HTCAPTION;
    LONG rightLimit = 100000;
    int movingSeen = 0;
    bool nonClientUp = false;
    HWND window = nullptr;

    void Make(DWORD style, QRect rect, HWND parent = nullptr) {
        probe.handler = [this](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_NCHITTEST)
                return hit;
            if (message == WM_NCLBUTTONUP)
                nonClientUp = true;
            if (message == WM_GETMINMAXINFO) {
                reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{60, 40};
                return 0;
            }
            if (message != WM_MOVING)
                return std::nullopt;
            ++movingSeen;
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (rect->right > rightLimit)
                OffsetRect(rect, rightLimit - rect->right, 0);
            return TRUE;
        };
        window = MakeProbeWindow(&probe, style, rect.x(), rect.y(), rect.width(), rect.height(), parent);
    }
};

// Queues the drag, then presses: the move loop runs inside the press and
// takes the queued motion.
void Drag(HWND window, QPoint fromLocal, std::vector<QPoint> byOffsets) {
    const QPoint start = ScreenPointOf(window, fromLocal);
    for (QPoint offset : byOffsets)
        PostMouseGlobal(window, QEvent::MouseMove, start + offset, Qt::LeftButton);
    PostMouseGlobal(window, QEvent::MouseButtonRelease, start + byOffsets.back(), Qt::NoButton);
    SendMouse(window, QEvent::MouseButtonPress, fromLocal);
}

RECT WindowRectOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(WindowInput, CaptionHitsMoveTheWindowThroughWmMoving) {
    TDragWindow drag;
    drag.Make(WS_POPUP | WS_VISIBLE, QRect(100, 100, 80, 60));
    drag.rightLimit = 260;
    Drag(drag.window, QPoint(10, 10), {QPoint(20, 5), QPoint(40, 30), QPoint(150, 30)});
    EXPECT_EQ(drag.movingSeen, 3);
    EXPECT_TRUE(drag.nonClientUp);
    const RECT rect = WindowRectOf(drag.window);
    // Moved down by 30; the last step was pulled back to the limit.
    EXPECT_EQ(rect.top, 130);
    EXPECT_EQ(rect.right, 260);
    EXPECT_EQ(rect.right - rect.left, 80);
    EXPECT_EQ(drag.probe.Only({WM_LBUTTONDOWN}).size(), 0u);
    DestroyWindow(drag.window);
    PumpEvents();
}

TEST_F(WindowInput, EdgeHitsResizeWithinTheTrackingLimits) {
    TDragWindow drag;
    drag.Make(WS_POPUP | WS_VISIBLE, QRect(100, 100, 80, 60));
    drag.hit = HTBOTTOMRIGHT;
    Drag(drag.window, QPoint(79, 59), {QPoint(30, 20)});
    RECT rect = WindowRectOf(drag.window);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right - rect.left, 110);
    EXPECT_EQ(rect.bottom - rect.top, 80);
    drag.hit = HTLEFT;
    Drag(drag.window, QPoint(0, 10), {QPoint(500, 0)});
    rect = WindowRectOf(drag.window);
    EXPECT_EQ(rect.right - rect.left, 60);  // the smallest tracking width
    EXPECT_EQ(rect.right, 210);             // the right edge stayed
    drag.hit = HTCLIENT;
    Drag(drag.window, QPoint(10, 10), {QPoint(40, 40)});
    EXPECT_EQ(WindowRectOf(drag.window).right, 210);
    EXPECT_EQ(drag.probe.Only({WM_LBUTTONDOWN}).size(), 1u);
    DestroyWindow(drag.window);
    PumpEvents();
}

TEST_F(WindowInput, SetParentKeepsTheObjectAndChildrenBothWays) {
    TProbe frameProbe, childProbe;
    HWND frame = MakeProbeWindow(&frameProbe, WS_POPUP | WS_VISIBLE, 50, 50, 300, 200);
    TDragWindow side;
    side.Make(WS_CHILD | WS_VISIBLE, QRect(10, 10, 100, 100), frame);
    HWND inner = MakeProbeWindow(&childProbe, WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, side.window);
    const LONG_PTR object = GetWindowLongPtrA(side.window, GWLP_USERDATA);

    SetWindowLongPtrA(side.window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(SetParent(side.window, nullptr), frame);
    EXPECT_EQ(GetParent(side.window), nullptr);
    EXPECT_TRUE(WidgetOfWindow(side.window)->isWindow());
    EXPECT_EQ(GetParent(inner), side.window);
    EXPECT_EQ(WidgetOfWindow(inner)->parentWidget(), WidgetOfWindow(side.window));
    EXPECT_EQ(GetWindowLongPtrA(side.window, GWLP_USERDATA), object);

    SetWindowLongPtrA(side.window, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(SetParent(side.window, frame), nullptr);
    EXPECT_EQ(GetParent(side.window), frame);
    EXPECT_EQ(WidgetOfWindow(side.window)->parentWidget(), WidgetOfWindow(frame));
    EXPECT_EQ(GetParent(inner), side.window);
    EXPECT_TRUE(IsChild(frame, inner));
    DestroyWindow(frame);
    EXPECT_FALSE(IsWindow(inner));
    PumpEvents();
}

TEST_F(WindowInput, AMoveCarriesOnAfterTheWindowBecomesTopLevel) {
    TProbe frameProbe;
    HWND frame = MakeProbeWindow(&frameProbe, WS_POPUP | WS_VISIBLE, 50, 50, 300, 200);
    TDragWindow side;
    side.Make(WS_CHILD | WS_VISIBLE, QRect(10, 10, 100, 80), frame);
    bool undocked = false;
    auto base = side.probe.handler;
    side.probe.handler = [&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MOVING && !undocked) {
            // Undock at the first step, as the side window does.
            undocked = true;
            RECT now;
            GetWindowRect(self, &now);
            ShowWindow(self, SW_HIDE);
            SetWindowLongPtrA(self, GWL_STYLE, WS_POPUP);
            SetParent(self, nullptr);
            MoveWindow(self, now.left, now.top, now.right - now.left, now.bottom - now.top, FALSE);
            ShowWindow(self, SW_SHOW);
            return TRUE;
        }
        return base(self, message, wParam, lParam);
    };
    const RECT before = WindowRectOf(side.window);
    Drag(side.window, QPoint(20, 20), {QPoint(5, 5), QPoint(200, 150)});
    EXPECT_TRUE(undocked);
    EXPECT_EQ(GetParent(side.window), nullptr);
    const RECT after = WindowRectOf(side.window);
    EXPECT_EQ(after.left, before.left + 200);
    EXPECT_EQ(after.top, before.top + 150);
    EXPECT_TRUE(side.nonClientUp);
    DestroyWindow(side.window);
    DestroyWindow(frame);
    PumpEvents();
}

TEST_F(WindowInput, ReleasingCaptureEndsTheMoveLoop) {
    TDragWindow drag;
    drag.Make(WS_POPUP | WS_VISIBLE, QRect(100, 100, 80, 60));
    auto base = drag.probe.handler;
    drag.probe.handler = [&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MOVING && drag.movingSeen == 1)
            ReleaseCapture();
        return base(self, message, wParam, lParam);
    };
    Drag(drag.window, QPoint(10, 10), {QPoint(10, 0), QPoint(20, 0), QPoint(30, 0)});
    EXPECT_EQ(drag.movingSeen, 2);
    PumpEvents();
    EXPECT_EQ(drag.movingSeen, 2);
    DestroyWindow(drag.window);
    PumpEvents();
}

LRESULT ChainedButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDCLASSEXA button;
    GetClassInfoExA(nullptr, "BUTTON", &button);
    return CallWindowProcA(button.lpfnWndProc, window, message, wParam, lParam);
}

TEST_F(WindowInput, AButtonCopiedFromTheStandardOneReportsClicksAndAsksToBeDrawn) {
    WNDCLASSEXA copy;
    ASSERT_TRUE(GetClassInfoExA(nullptr, "BUTTON", &copy));
    copy.lpfnWndProc = ChainedButton;
    copy.lpszClassName = "InputTestButton";
    RegisterClassExA(&copy);
    TProbe parentProbe;
    std::vector<WPARAM> commands;
    UINT drawnState = 0;
    int draws = 0;
    parentProbe.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        if (message == WM_DRAWITEM) {
            ++draws;
            drawnState = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->itemState;
        }
        return std::nullopt;
    };
    HWND parent = MakeProbeWindow(&parentProbe, WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    HWND button = CreateWindowExA(0, "InputTestButton", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                  10, 10, 40, 20, parent,
                                  reinterpret_cast<HMENU>(static_cast<std::intptr_t>(119)), nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    UpdateWindow(button);
    EXPECT_GE(draws, 1);
    SendMouse(button, QEvent::MouseButtonPress, QPoint(5, 5));
    UpdateWindow(button);
    EXPECT_TRUE(drawnState & ODS_SELECTED);
    SendMouse(button, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0]), 119);
    EXPECT_EQ(HIWORD(commands[0]), BN_CLICKED);
    // Released outside: no click.
    SendMouse(button, QEvent::MouseButtonPress, QPoint(5, 5));
    SendMouse(button, QEvent::MouseButtonRelease, QPoint(80, 5), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(commands.size(), 1u);
    DestroyWindow(parent);
    PumpEvents();
}

TEST_F(WindowInput, KeysReachTheFocusWithVirtualKeyCodes) {
    TProbe probe;
    std::vector<std::pair<UINT, WPARAM>> keys;
    probe.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_KEYDOWN || message == WM_CHAR)
            keys.push_back({message, wParam});
        return std::nullopt;
    };
    TProbe otherProbe;
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND other = MakeProbeWindow(&otherProbe, WS_POPUP | WS_VISIBLE, 60, 0, 50, 50);
    SetFocus(other);
    EXPECT_EQ(SetFocus(window), other);
    EXPECT_EQ(otherProbe.Only({WM_KILLFOCUS}).size(), 1u);
    EXPECT_EQ(probe.Only({WM_SETFOCUS}).size(), 1u);
    PostKey(other, Qt::Key_Delete);
    PostKey(other, Qt::Key_PageDown);
    PostKey(other, Qt::Key_A, "a");
    PumpEvents();
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_DELETE}, {WM_KEYDOWN, VK_NEXT}, {WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}};
    EXPECT_EQ(keys, expected);
    DestroyWindow(window);
    DestroyWindow(other);
    EXPECT_EQ(GetFocus(), nullptr);
    PumpEvents();
}

} // namespace
