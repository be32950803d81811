// The slider's arithmetic, drag, keys and notifications.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/memory_dc_man.h"
#include "ui/slider_bar_ex.h"

namespace {

constexpr int SliderId = 31;

class Slider : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        HDC screen = GetDC(nullptr);
        ASSERT_TRUE(LoadSharedSkin(screen));
        ReleaseDC(nullptr, screen);
    }
    void Make(CSliderBarEx& slider, RECT rect) {
        ASSERT_TRUE(slider.Create(SliderThumbId, SliderThumbId, SliderThumbId, SliderThumbId, SliderBarOffId,
                                  SliderBarOnId, rect, m_parent.hWnd, SliderId, nullptr));
        Pump();
        m_parent.messages.clear();
    }
    std::vector<TRecordedMessage> Notifications() {
        Pump();
        std::vector<TRecordedMessage> kept;
        for (const TRecordedMessage& one : m_parent.messages) {
            if (one.message >= WM_SLIDER_CHANGING && one.message <= WM_SLIDER_PRESSED)
                kept.push_back(one);
        }
        m_parent.messages.clear();
        return kept;
    }
    TParentWindow m_parent{400, 300};
};

TEST_F(Slider, PositionToPixelAndBackFollowTheTrackArithmetic) {
    CSliderBarEx slider;
    Make(slider, RECT{0, 0, 223, 10});
    ASSERT_EQ(slider.thumbWidth, 23);
    ASSERT_EQ(slider.clientWidth, 223);
    // 11 + trunc(200 * (p - 1) / 99)
    EXPECT_EQ(slider.CentreOfPosition(1), 11);
    EXPECT_EQ(slider.CentreOfPosition(100), 211);
    EXPECT_EQ(slider.CentreOfPosition(50), 11 + 98);
    EXPECT_EQ(slider.PositionOfCentre(111), 50);
    slider.marginLeft = 10;
    EXPECT_EQ(slider.CentreOfPosition(1), 21);
    CSliderBarEx upright;
    upright.vertical = true;
    Make(upright, RECT{300, 0, 310, 110});
    // (110 - 1) - 5 - trunc(100 * (p - 1) / 99)
    EXPECT_EQ(upright.CentreOfPosition(1), 104);
    EXPECT_EQ(upright.CentreOfPosition(100), 4);
}

TEST_F(Slider, PressOffTheThumbJumpsAndReportsChangingBeforePressed) {
    CSliderBarEx slider;
    Make(slider, RECT{0, 0, 223, 10});
    SendMessageA(slider.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(111, 5));
    EXPECT_EQ(slider.position, 50);
    const auto first = Notifications();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].message, WM_SLIDER_CHANGING);
    EXPECT_EQ(first[0].lParam, 50);
    EXPECT_EQ(first[0].wParam, static_cast<WPARAM>(SliderId));
    EXPECT_EQ(first[1].message, WM_SLIDER_PRESSED);
    SendMessageA(slider.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(111, 5));
    const auto released = Notifications();
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].message, WM_SLIDER_SET);
    EXPECT_EQ(released[0].lParam, 50);
}

TEST_F(Slider, PressOnTheThumbKeepsItAndDragPastTheEndsReportsTheEnds) {
    CSliderBarEx slider;
    Make(slider, RECT{0, 0, 223, 10});
    slider.position = 50;
    SendMessageA(slider.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(115, 5));
    EXPECT_EQ(slider.position, 50);
    EXPECT_EQ(slider.grabOffset, 6);
    const auto pressed = Notifications();
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].message, WM_SLIDER_PRESSED);
    SendMessageA(slider.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(900, 5));
    auto moved = Notifications();
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(moved.back().lParam, 100);
    EXPECT_EQ(slider.CentreOfPosition(slider.position), 211);
    SendMessageA(slider.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-500, 5));
    moved = Notifications();
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(moved.back().lParam, 1);
    SendMessageA(slider.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(-500, 5));
    EXPECT_FALSE(slider.dragging);
}

TEST_F(Slider, KeysMoveWithinTheRangeEachFollowedByOneSet) {
    CSliderBarEx slider;
    Make(slider, RECT{0, 0, 223, 10});
    const struct {
        WPARAM key;
        int expected;
    } steps[] = {{VK_END, 100}, {VK_RIGHT, 100}, {VK_PRIOR, 100}, {VK_NEXT, 80}, {VK_LEFT, 79},
                 {VK_UP, 78},   {VK_DOWN, 79},   {VK_HOME, 1},    {VK_NEXT, 1}};
    for (const auto& step : steps) {
        SendMessageA(slider.hWnd, WM_KEYDOWN, step.key, 0);
        const auto notified = Notifications();
        ASSERT_EQ(notified.size(), 1u) << step.key;
        EXPECT_EQ(notified[0].message, WM_SLIDER_SET);
        EXPECT_EQ(notified[0].lParam, step.expected) << step.key;
    }
}

TEST_F(Slider, DisabledSliderIgnoresPressesAndKeysAndPaintsTheOffTrack) {
    CSliderBarEx slider;
    Make(slider, RECT{0, 0, 223, 10});
    slider.position = 60;
    slider.enabled = false;
    SendMessageA(slider.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    SendMessageA(slider.hWnd, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(slider.position, 60);
    EXPECT_FALSE(slider.dragging);
    EXPECT_TRUE(Notifications().empty());
    InvalidateRect(slider.hWnd, nullptr, TRUE);
    UpdateWindow(slider.hWnd);
    const RECT* off = SliderAtlas().Find(SliderBarOffId);
    HDC atlasDc = SliderAtlas().dc;
    EXPECT_EQ(PixelAt(slider.hWnd, 5, 5), GetPixel(atlasDc, off->left + 4, off->top + 5));
    EXPECT_EQ(PixelAt(slider.hWnd, 200, 5), GetPixel(atlasDc, off->left + 4, off->top + 5));
}

TEST_F(Slider, TrackIsOnBeforeTheThumbAndOffAfterIt) {
    CSliderBarEx slider;
    Make(slider, RECT{0, 0, 223, 10});
    slider.position = 50;
    slider.showFocus = false;
    InvalidateRect(slider.hWnd, nullptr, TRUE);
    UpdateWindow(slider.hWnd);
    const RECT* on = SliderAtlas().Find(SliderBarOnId);
    const RECT* off = SliderAtlas().Find(SliderBarOffId);
    const RECT* thumb = SliderAtlas().Find(SliderThumbId);
    HDC atlasDc = SliderAtlas().dc;
    EXPECT_EQ(PixelAt(slider.hWnd, 40, 5), GetPixel(atlasDc, on->left + 4, on->top + 5));
    EXPECT_EQ(PixelAt(slider.hWnd, 180, 5), GetPixel(atlasDc, off->left + 4, off->top + 5));
    EXPECT_EQ(PixelAt(slider.hWnd, 109, 5), GetPixel(atlasDc, thumb->left + 11, thumb->top + 5));
}

}  // namespace
