// The skinned button's states, modes and notifications. Its setters
// repaint by themselves: the tests only let pending paints run (PixelAt).

#include <gtest/gtest.h>

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
        const COLORREF colours[4] = {NormalColour, PressedColour, OverColour, DisabledColour};
        const char** paths[4] = {&m_options.normalPath, &m_options.pressedPath, &m_options.overPath,
                                 &m_options.disabledPath};
        for (int i = 0; i < 4; ++i) {
            m_paths[i] =
                WriteSolidPng(m_folder.File(std::to_string(i) + ".png"), 60, 30, colours[i]);
            *paths[i] = m_paths[i].c_str();
        }
    }
    bool MakeCaptioned(CActButton& button) {
        m_options.caption = "WWWW";
        button.SetTextColour(CaptionColour);
        return button.Create(m_options);
    }
    void Press(CActButton& button, UINT down, UINT up) {
        SendMessageA(button.hWnd, down, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button.hWnd, up, 0, MAKELPARAM(5, 5));
    }
    // Caption pixels: near `ink` and not the face.
    int Ink(CActButton& button, COLORREF face, COLORREF ink) {
        int count = 0;
        for (int y = 0; y < ButtonSize.cy; ++y) {
            for (int x = 0; x < ButtonSize.cx; ++x) {
                const COLORREF pixel = PixelAt(button.hWnd, x, y);
                count += !Near(pixel, face, 8) && Near(pixel, ink, 60);
            }
        }
        return count;
    }
    TTempFolder m_folder;
    std::string m_paths[4];
    TParentWindow m_parent;
    TActButtonOptions m_options;
};

TEST_F(ActButton,
       OnlyANormalPictureShowsInEveryStateStretchedToTheButtonAndAMissingFileFailsCreation) {
    m_options.pressedPath = m_options.overPath = m_options.disabledPath = nullptr;
    // No region, which would keep the button at its creation size.
    m_options.shape = ShapeNone;
    CActButton button;
    ASSERT_TRUE(button.Create(m_options));
    MoveWindow(button.hWnd, 20, 20, 90, 40, TRUE);
    for (int state = StateNormal; state <= StateDisabled; ++state) {
        button.PaintState(state);
        EXPECT_EQ(PixelAt(button.hWnd, 88, 38), NormalColour) << state;
    }
    m_options.normalPath = "/nowhere/none.png";
    CActButton missing;
    EXPECT_FALSE(missing.Create(m_options));
    EXPECT_EQ(missing.hWnd, nullptr);
}

// Clicks and presses reach the parent until the button is locked; locked it
// looks disabled, greys its caption and swallows them.
TEST_F(ActButton, ClickPressAndLock) {
    CActButton button;
    ASSERT_TRUE(MakeCaptioned(button));
    button.SetNotifyOnPress(true);
    EXPECT_GT(Ink(button, NormalColour, CaptionColour), 10);
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), PressedColour);
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const auto clicks = m_parent.Take(WM_COMMAND);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].wParam, MAKEWPARAM(ButtonId, BN_CLICKED));
    // Pressed notifications say which mouse button went down.
    Press(button, WM_RBUTTONDOWN, WM_RBUTTONUP);
    const auto presses = m_parent.Take(WM_ACTBUTTON_PRESSED);
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].wParam, static_cast<WPARAM>(ButtonId));
    EXPECT_EQ(presses[0].lParam, 0);
    EXPECT_EQ(presses[1].lParam, 1);
    button.SetLocked(true);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), DisabledColour);
    EXPECT_EQ(Ink(button, DisabledColour, CaptionColour), 0);
    EXPECT_GT(Ink(button, DisabledColour, GetSysColor(COLOR_GRAYTEXT)), 10);
    Press(button, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_TRUE(m_parent.Take(WM_COMMAND).empty());
    EXPECT_TRUE(m_parent.Take(WM_ACTBUTTON_PRESSED).empty());
    button.SetLocked(false);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), NormalColour);
}

TEST_F(ActButton, ToggleModeShowsPressedExactlyWhileCheckedWithABoldCaption) {
    CActButton button;
    ASSERT_TRUE(MakeCaptioned(button));
    button.SetToggleMode(true);
    const int regular = Ink(button, NormalColour, CaptionColour);
    button.SetChecked(true);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), PressedColour);
    EXPECT_GT(Ink(button, PressedColour, CaptionColour), regular);
    // Pressing and moving change nothing while checked.
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 6));
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), PressedColour);
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button.SetChecked(false);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), NormalColour);
}

} // namespace
