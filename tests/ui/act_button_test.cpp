// The skinned button's states, modes, hover and notifications. Its setters
// repaint by themselves: the tests only let pending paints run.

#include <gtest/gtest.h>

#include <deque>

#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/act_button.h"

namespace {

constexpr COLORREF NormalColour = RGB(200, 40, 40);
constexpr COLORREF PressedColour = RGB(40, 200, 40);
constexpr COLORREF OverColour = RGB(40, 40, 200);
constexpr COLORREF DisabledColour = RGB(120, 120, 120);
constexpr COLORREF CaptionColour = RGB(255, 255, 255);
constexpr int ButtonId = 55;
constexpr SIZE ButtonSize{60, 30};

class ActButton : public ::testing::Test {
protected:
    void SetUp() override {
        m_options.parent = m_parent.hWnd;
        m_options.controlId = ButtonId;
        m_options.position = POINT{20, 20};
        m_options.size = ButtonSize;
        m_options.normalPath = Png("n.png", NormalColour);
        m_options.pressedPath = Png("p.png", PressedColour);
        m_options.overPath = Png("o.png", OverColour);
        m_options.disabledPath = Png("d.png", DisabledColour);
    }
    const char* Png(const char* name, COLORREF colour) {
        m_paths.push_back(WriteSolidPng(m_folder.File(name), ButtonSize.cx, ButtonSize.cy, colour));
        return m_paths.back().c_str();
    }
    // What the button shows once pending paints have run.
    COLORREF Shown(CActButton& button, int x = 2, int y = 2) {
        UpdateWindow(button.hWnd);
        return PixelAt(button.hWnd, x, y);
    }
    // Caption pixels: near `ink` and not the face.
    int Ink(CActButton& button, COLORREF face, COLORREF ink) {
        UpdateWindow(button.hWnd);
        int count = 0;
        for (int y = 0; y < ButtonSize.cy; ++y) {
            for (int x = 0; x < ButtonSize.cx; ++x) {
                const COLORREF pixel = PixelAt(button.hWnd, x, y);
                count += !Near(pixel, face, 8) && Near(pixel, ink, 60);
            }
        }
        return count;
    }
    bool HoverAt(CActButton& button, POINT point) {
        POINT screen = point;
        ClientToScreen(button.hWnd, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(button.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
        return PixelAt(button.hWnd, 30, 15) == OverColour;
    }
    TTempFolder m_folder;
    std::deque<std::string> m_paths;
    TParentWindow m_parent;
    TActButtonOptions m_options;
};

TEST_F(ActButton, OnlyANormalPictureShowsInEveryStateAndAMissingFileFailsCreation) {
    m_options.pressedPath = m_options.overPath = m_options.disabledPath = nullptr;
    CActButton button;
    ASSERT_TRUE(button.Create(m_options));
    for (int state = StateNormal; state <= StateDisabled; ++state) {
        button.PaintState(state);
        EXPECT_EQ(PixelAt(button.hWnd, 30, 15), NormalColour) << state;
    }
    m_options.normalPath = "/nowhere/none.png";
    CActButton missing;
    EXPECT_FALSE(missing.Create(m_options));
    EXPECT_EQ(missing.hWnd, nullptr);
}

TEST_F(ActButton, ClickReachesTheParentWhilePressedAndDisabledPicturesShow) {
    CActButton button;
    ASSERT_TRUE(button.Create(m_options));
    EXPECT_EQ(Shown(button), NormalColour);
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Shown(button), PressedColour);
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const auto clicks = m_parent.Take(WM_COMMAND);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].wParam, MAKEWPARAM(ButtonId, BN_CLICKED));
    EnableWindow(button.hWnd, FALSE);
    EXPECT_EQ(Shown(button), DisabledColour);
}

TEST_F(ActButton, LockedButtonSwallowsClicksLooksDisabledAndGreysItsCaption) {
    m_options.caption = "WWWW";
    CActButton button;
    button.SetTextColour(CaptionColour);
    ASSERT_TRUE(button.Create(m_options));
    EXPECT_GT(Ink(button, NormalColour, CaptionColour), 10);
    button.SetLocked(true);
    EXPECT_EQ(Shown(button), DisabledColour);
    EXPECT_EQ(Ink(button, DisabledColour, CaptionColour), 0);
    EXPECT_GT(Ink(button, DisabledColour, GetSysColor(COLOR_GRAYTEXT)), 10);
    button.SetNotifyOnPress(true);
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(m_parent.Take(WM_COMMAND).empty());
    EXPECT_TRUE(m_parent.Take(WM_ACTBUTTON_PRESSED).empty());
    button.SetLocked(false);
    EXPECT_EQ(Shown(button), NormalColour);
}

TEST_F(ActButton, ToggleModeShowsPressedExactlyWhileCheckedWithABoldCaption) {
    m_options.caption = "WWWW";
    CActButton button;
    button.SetTextColour(CaptionColour);
    ASSERT_TRUE(button.Create(m_options));
    button.SetToggleMode(true);
    const int regular = Ink(button, NormalColour, CaptionColour);
    button.SetChecked(true);
    EXPECT_EQ(Shown(button), PressedColour);
    EXPECT_GT(Ink(button, PressedColour, CaptionColour), regular);
    // Pressing and moving change nothing while checked.
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 6));
    EXPECT_EQ(Shown(button), PressedColour);
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button.SetChecked(false);
    EXPECT_EQ(Shown(button), NormalColour);
}

TEST_F(ActButton, HoverShowsInsideTheRegionOnlyAndEndsAtTheNextTickOutside) {
    m_options.shape = ShapeEllipse;
    CActButton button;
    ASSERT_TRUE(button.Create(m_options));
    EXPECT_FALSE(HoverAt(button, POINT{1, 1}));
    EXPECT_TRUE(HoverAt(button, POINT{10, 10}));
    POINT outside{200, 200};
    ClientToScreen(button.hWnd, &outside);
    SetCursorPos(outside.x, outside.y);
    SendMessageA(button.hWnd, WM_TIMER, HoverTimerId, 0);
    EXPECT_EQ(Shown(button, 30, 15), NormalColour);
    // Without a region the hover picture never shows.
    m_options.shape = ShapeNone;
    CActButton plain;
    ASSERT_TRUE(plain.Create(m_options));
    EXPECT_FALSE(HoverAt(plain, POINT{10, 10}));
}

TEST_F(ActButton, NotifyOnPressPostsThePressWithTheButtonSide) {
    CActButton button;
    ASSERT_TRUE(button.Create(m_options));
    button.SetNotifyOnPress(true);
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    const auto presses = m_parent.Take(WM_ACTBUTTON_PRESSED);
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].wParam, static_cast<WPARAM>(ButtonId));
    EXPECT_EQ(presses[0].lParam, 0);
    EXPECT_EQ(presses[1].lParam, 1);
}

TEST_F(ActButton, ASizeOtherThanThePicturesStretchesThem) {
    // No region, which would keep the button at its creation size.
    m_options.shape = ShapeNone;
    CActButton button;
    ASSERT_TRUE(button.Create(m_options));
    MoveWindow(button.hWnd, 20, 20, 90, 40, TRUE);
    EXPECT_EQ(Shown(button), NormalColour);
    EXPECT_EQ(PixelAt(button.hWnd, 88, 38), NormalColour);
}

}  // namespace
