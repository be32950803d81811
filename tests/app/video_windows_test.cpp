#include <gtest/gtest.h>

#include <vector>

#include "app/main_wnd.h"
#include "platform/monitor.h"
#include "tests/app/app_test_support.h"

namespace {

constexpr const char* kParentClass = "__VideoWindowsTestParent__";

RECT ClientRectIn(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    POINT topLeft{rect.left, rect.top};
    POINT bottomRight{rect.right, rect.bottom};
    ScreenToClient(GetParent(child), &topLeft);
    ScreenToClient(GetParent(child), &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

// Keeps the video window's messages to its parent.
class TRecordingParent : public TWnd {
public:
    TRecordingParent() {
        RegisterWindowClass(kParentClass, BoundWindowProcedure);
        SetClassName(kParentClass);
        CreateBoundWindow(this, WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr);
    }
    ~TRecordingParent() override {
        if (IsWindow(hWnd))
            DestroyWindow(hWnd);
    }
    std::vector<UINT> messages;
    std::vector<LPARAM> objects;

private:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM lParam, bool* handled) override {
        *handled = false;
        if (message == kSelectChannelMessage || message == kDisplayStateMessage) {
            messages.push_back(message);
            objects.push_back(lParam);
        }
        return 0;
    }
};

using VideoWindowsTest = TAppWindowTest;

} // namespace

TEST_F(VideoWindowsTest, DoubleClicksWithinTheGapChangeTheStateOnceAndOnlyWithPictures) {
    TRecordingParent parent;
    DWORD now = 10000;
    bool showsPictures = false;
    CMediaClipWnd clip;
    TClipOptions options;
    options.parent = parent.hWnd;
    options.rect = RECT{10, 20, 330, 200};
    options.clock = [&] { return now; };
    options.showsPictures = [&] { return showsPictures; };
    ASSERT_TRUE(clip.Create(options));
    PumpMessages();

    SendMessageA(clip.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(clip.hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clip.DisplayState(), TDisplayState::Normal); // nothing to show yet
    EXPECT_TRUE(parent.messages.empty());

    // The steps cross the clock's wrap: 499 ms is too soon there as well.
    showsPictures = true;
    now = 0xFFFFFF00u;
    struct TStep {
        DWORD after;
        TDisplayState state;
    };
    const TStep steps[] = {{0, TDisplayState::Enlarged},
                           {499, TDisplayState::Enlarged}, // too soon after the accepted one
                           {1, TDisplayState::FullScreen},
                           {600, TDisplayState::Normal}};
    for (const TStep& step : steps) {
        now += step.after;
        SendMessageA(clip.hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_EQ(clip.DisplayState(), step.state) << step.after;
    }
    EXPECT_EQ(parent.messages, (std::vector<UINT>(3, kDisplayStateMessage)));

    parent.messages.clear();
    SendMessageA(clip.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(parent.messages, std::vector<UINT>{kSelectChannelMessage});
    EXPECT_EQ(parent.objects.back(), reinterpret_cast<LPARAM>(&clip));
}

TEST_F(VideoWindowsTest, TheMainWindowLaysOutChannelsSelectsAndGoesFullScreenAndBack) {
    CMainWnd window;
    TMainWndOptions options;
    options.origin = POINT{0, 0};
    options.showsPictures = [](int) { return true; };
    ASSERT_TRUE(window.Create(options));
    PumpMessages();
    CMediaClipWnd& front = window.VideoWindow(kFrontSlot);
    CMediaClipWnd& rear = window.VideoWindow(kRearSlot);
    const RECT area = window.Layout().videoArea;

    const TVideoLayout two = LayOutChannels(area, TChannelMode::Two);
    ExpectSameRect(ClientRectIn(front.hWnd), two.front.picture, "front of two");
    ExpectSameRect(ClientRectIn(rear.hWnd), two.rear.picture, "rear of two");
    EXPECT_EQ(window.Label(kFrontSlot).Mark(), TLabelMark::Selected);
    SendMessageA(rear.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(window.SelectedSlot(), kRearSlot);
    EXPECT_EQ(window.Label(kFrontSlot).Mark(), TLabelMark::Plain);
    EXPECT_EQ(window.Label(kRearSlot).Mark(), TLabelMark::Selected);

    SendMessageA(window.hWnd, WM_COMMAND, MainCommand::OneChannel, 0);
    ExpectSameRect(ClientRectIn(front.hWnd), LayOutChannels(area, TChannelMode::One).front.picture,
                   "one channel");
    EXPECT_FALSE(IsWindowVisible(rear.hWnd));
    SendMessageA(window.hWnd, WM_COMMAND, MainCommand::TwoChannels, 0);
    EXPECT_TRUE(IsWindowVisible(rear.hWnd));

    const RECT normal = WindowRectOf(window.hWnd);
    ASSERT_TRUE(rear.AdvanceDisplayState());
    ExpectSameRect(ClientRectIn(rear.hWnd), FitWidePicture(area), "enlarged");
    EXPECT_FALSE(IsWindowVisible(front.hWnd));

    ASSERT_TRUE(rear.AdvanceDisplayState());
    MONITORINFO monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT screen = WindowRectOf(window.hWnd);
    ExpectSameRect(screen, monitor.rcMonitor, "full screen");
    EXPECT_TRUE(IsWindowVisible(rear.hWnd));
    EXPECT_EQ(window.HitTest(POINT{screen.left + 100, screen.top + 2}), HTCLIENT);

    ASSERT_TRUE(rear.AdvanceDisplayState());
    ExpectSameRect(WindowRectOf(window.hWnd), normal, "back from full screen");
    ExpectSameRect(ClientRectIn(rear.hWnd), two.rear.picture, "rear back in place");
    EXPECT_TRUE(IsWindowVisible(front.hWnd));
}
