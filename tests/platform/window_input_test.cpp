#include <gtest/gtest.h>

#include "tests/platform/window_test_support.h"

namespace {

class WindowInput : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
    void TearDown() override { PumpEvents(); }
};

TEST_F(WindowInput, DoubleClicksOnlyForClassesThatAskAndCaptureRoutesTheMouse) {
    RegisterProbeClass("NoDoubleClicks", 0);
    TProbe with, without;
    HWND dbl = MakeProbeWindow(&with, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND plain = MakeProbeWindow(&without, WS_POPUP | WS_VISIBLE, 200, 100, 50, 50, nullptr,
                                 "NoDoubleClicks");
    for (HWND window : {dbl, plain}) {
        for (QEvent::Type press : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
            SendMouse(window, press, QPoint(5, 5));
            SendMouse(window, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton,
                      Qt::NoButton);
        }
    }
    const auto buttons = [](const TProbe& probe) {
        return probe.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
    };
    EXPECT_EQ(buttons(with),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(buttons(without),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));

    LPARAM seenAt = 0;
    without.handler = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MOUSEMOVE)
            seenAt = lParam;
        return std::nullopt;
    };
    SetCapture(plain);
    EXPECT_EQ(GetCapture(), plain);
    SendMouse(dbl, QEvent::MouseMove, QPoint(10, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(with.Only({WM_MOUSEMOVE}).size(), 0u);
    ASSERT_EQ(without.Only({WM_MOUSEMOVE}).size(), 1u);
    // In the capturing window's own client coordinates.
    EXPECT_EQ(GET_X_LPARAM(seenAt), 10 - 200);
    EXPECT_EQ(GET_Y_LPARAM(seenAt), 20 - 100);
    ReleaseCapture();
    EXPECT_EQ(without.Only({WM_CAPTURECHANGED}).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    SendMouse(dbl, QEvent::MouseMove, QPoint(10, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(with.Only({WM_MOUSEMOVE}).size(), 1u);
    DestroyWindow(dbl);
    DestroyWindow(plain);
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

    void Make(DWORD style, QRect rect) {
        probe.handler = [this](HWND, UINT message, WPARAM,
                               LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_NCHITTEST)
                return hit;
            nonClientUp = nonClientUp || message == WM_NCLBUTTONUP;
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
        window = MakeProbeWindow(&probe, style, rect.x(), rect.y(), rect.width(), rect.height());
    }
    // Queues the drag, then presses: the move loop runs inside the press and
    // takes the queued motion.
    void Drag(QPoint fromLocal, std::vector<QPoint> byOffsets) const {
        const QPoint start = ScreenPointOf(window, fromLocal);
        for (QPoint offset : byOffsets)
            PostMouseGlobal(window, QEvent::MouseMove, start + offset, Qt::LeftButton);
        PostMouseGlobal(window, QEvent::MouseButtonRelease, start + byOffsets.back(), Qt::NoButton);
        SendMouse(window, QEvent::MouseButtonPress, fromLocal);
    }
    RECT Rect() const {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    }
};

TEST_F(WindowInput, HitTestsMoveThroughWmMovingAndResizeWithinTheTrackingLimits) {
    TDragWindow drag;
    drag.Make(WS_POPUP | WS_VISIBLE, QRect(100, 100, 80, 60));
    drag.rightLimit = 260;
    drag.Drag(QPoint(10, 10), {QPoint(20, 5), QPoint(40, 30), QPoint(150, 30)});
    EXPECT_EQ(drag.movingSeen, 3);
    EXPECT_TRUE(drag.nonClientUp);
    // Moved down by 30; the last step was pulled back to the limit.
    RECT rect = drag.Rect();
    EXPECT_EQ(std::vector<LONG>({rect.top, rect.right, rect.right - rect.left}),
              std::vector<LONG>({130, 260, 80}));

    drag.hit = HTBOTTOMRIGHT;
    drag.Drag(QPoint(79, 59), {QPoint(30, 20)});
    rect = drag.Rect();
    EXPECT_EQ(std::vector<LONG>({rect.left, rect.right - rect.left, rect.bottom - rect.top}),
              std::vector<LONG>({180, 110, 80}));
    drag.hit = HTLEFT;
    drag.Drag(QPoint(0, 10), {QPoint(500, 0)});
    rect = drag.Rect();
    EXPECT_EQ(rect.right - rect.left, 60); // the smallest tracking width
    EXPECT_EQ(rect.right, 290);            // the right edge stayed
    // Releasing the capture ends the loop.
    drag.hit = HTCAPTION;
    drag.rightLimit = 100000;
    drag.movingSeen = 0;
    auto base = drag.probe.handler;
    drag.probe.handler = [&](HWND self, UINT message, WPARAM wParam,
                             LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MOVING && drag.movingSeen == 1)
            ReleaseCapture();
        return base(self, message, wParam, lParam);
    };
    drag.Drag(QPoint(10, 10), {QPoint(10, 0), QPoint(20, 0), QPoint(30, 0)});
    PumpEvents();
    EXPECT_EQ(drag.movingSeen, 2);
    DestroyWindow(drag.window);
}

TEST_F(WindowInput, KeysReachTheFocusWithVirtualKeyCodes) {
    TProbe probe, otherProbe;
    std::vector<std::pair<UINT, WPARAM>> keys;
    probe.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_KEYDOWN || message == WM_CHAR)
            keys.push_back({message, wParam});
        return std::nullopt;
    };
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
}

} // namespace
