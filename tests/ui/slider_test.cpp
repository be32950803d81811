// The slider's drag, keys, owner's setters and notifications, on a track of
// 223 pixels with a 23-pixel thumb.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/slider_bar_ex.h"

namespace {

constexpr int SliderId = 31;
constexpr RECT Track{0, 0, 223, 10};
// Notifications as (message, position).
using TNotes = std::vector<std::pair<UINT, LPARAM>>;

class Slider : public TSkinTest {
protected:
    void Make(CSliderBarEx& slider, TSliderOptions options = {}) {
        options.parent = m_parent.hWnd;
        options.controlId = SliderId;
        if (options.rect.right == 0)
            options.rect = Track;
        ASSERT_TRUE(slider.Create(options));
        Pump();
        m_parent.messages.clear();
    }
    // The notifications posted since the last call.
    TNotes Notified() {
        Pump();
        TNotes kept;
        for (const TRecordedMessage& one : m_parent.messages) {
            EXPECT_EQ(one.wParam, static_cast<WPARAM>(SliderId));
            kept.emplace_back(one.message, one.lParam);
        }
        m_parent.messages.clear();
        return kept;
    }
    // The atlas picture `id` at (x, y) of it.
    COLORREF AtlasPixel(UINT id, int x, int y) {
        const RECT* rect = SliderAtlas().Find(id);
        return GetPixel(SliderAtlas().surface.dc, rect->left + x, rect->top + y);
    }
};

TEST_F(Slider, PressOffTheThumbJumpsThereOnItGripsItAndDragsPastTheEndsReportTheEnds) {
    CSliderBarEx slider;
    Make(slider);
    SendMessageA(slider.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(111, 5));
    EXPECT_EQ(slider.Position(), 50);
    EXPECT_EQ(Notified(), (TNotes{{WM_SLIDER_CHANGING, 50}, {WM_SLIDER_PRESSED, 50}}));
    SendMessageA(slider.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(111, 5));
    EXPECT_EQ(Notified(), (TNotes{{WM_SLIDER_SET, 50}}));
    // Gripped 6 pixels right of its centre (109), the thumb follows 6 behind:
    // at 125 its centre is 119, position 54.
    SendMessageA(slider.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(115, 5));
    EXPECT_EQ(Notified(), (TNotes{{WM_SLIDER_PRESSED, 50}}));
    for (int x : {125, 900, -500})
        SendMessageA(slider.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 5));
    EXPECT_EQ(
        Notified(),
        (TNotes{{WM_SLIDER_CHANGING, 54}, {WM_SLIDER_CHANGING, 100}, {WM_SLIDER_CHANGING, 1}}));
    SendMessageA(slider.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(-500, 5));
    EXPECT_EQ(Notified(), (TNotes{{WM_SLIDER_SET, 1}}));
}

TEST_F(Slider, KeysMoveWithinTheRangeEachFollowedByOneSet) {
    CSliderBarEx slider;
    Make(slider);
    const struct {
        WPARAM key;
        int expected;
    } steps[] = {{VK_END, 100}, {VK_RIGHT, 100}, {VK_PRIOR, 100}, {VK_NEXT, 80}, {VK_LEFT, 79},
                 {VK_UP, 78},   {VK_DOWN, 79},   {VK_HOME, 1},    {VK_NEXT, 1}};
    for (const auto& step : steps) {
        SendMessageA(slider.hWnd, WM_KEYDOWN, step.key, 0);
        EXPECT_EQ(Notified(), (TNotes{{WM_SLIDER_SET, step.expected}})) << step.key;
    }
}

TEST_F(Slider, OwnersSettersKeepTheRangeOrderedAndThePositionInsideIt) {
    CSliderBarEx slider;
    Make(slider);
    slider.SetRange(20, 8);
    EXPECT_EQ(slider.MinValue(), 8);
    EXPECT_EQ(slider.MaxValue(), 20);
    for (const auto& [asked, kept] : {std::pair{99, 20}, {-4, 8}, {9, 9}}) {
        slider.SetPosition(asked);
        EXPECT_EQ(slider.Position(), kept) << asked;
    }
    // A narrower range pulls the position in; the owner's changes are quiet
    // unless asked, and then told only when they really change something.
    slider.SetRange(10, 12);
    EXPECT_EQ(slider.Position(), 10);
    slider.SetPosition(11);
    slider.SetPosition(11, TSliderNotify::Set);
    slider.SetPosition(40, TSliderNotify::Set);
    slider.SetPosition(12, TSliderNotify::Set);
    EXPECT_EQ(Notified(), (TNotes{{WM_SLIDER_SET, 12}}));
    slider.SetPageStep(-3);
    EXPECT_EQ(slider.PageStep(), 0);
}

TEST_F(Slider, TrackIsOnBeforeTheThumbOffAfterItAndFollowsTheSetters) {
    CSliderBarEx slider;
    TSliderOptions noFocus;
    noFocus.showFocus = false;
    Make(slider, noFocus);
    slider.SetPosition(50);
    EXPECT_EQ(PixelAt(slider.hWnd, 40, 5), AtlasPixel(SliderBarOnId, 4, 5));
    EXPECT_EQ(PixelAt(slider.hWnd, 180, 5), AtlasPixel(SliderBarOffId, 4, 5));
    EXPECT_EQ(PixelAt(slider.hWnd, 109, 5), AtlasPixel(SliderThumbId, 11, 5));
    slider.SetPosition(90);
    EXPECT_EQ(PixelAt(slider.hWnd, 160, 5), AtlasPixel(SliderBarOnId, 4, 5));
    // Disabled: only the off track, and presses and keys are ignored.
    slider.SetEnabled(false);
    EXPECT_EQ(PixelAt(slider.hWnd, 40, 5), AtlasPixel(SliderBarOffId, 4, 5));
    SendMessageA(slider.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    SendMessageA(slider.hWnd, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(slider.Position(), 90);
    EXPECT_TRUE(Notified().empty());
}

} // namespace
