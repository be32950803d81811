// The skinned button's states, modes, hover and notifications.

#include <gtest/gtest.h>

#include "platform/gdiplus.h"
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
constexpr POINT ButtonPlace{20, 20};

class ActButton : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        m_normal = WriteSolidPng(m_folder.File("n.png"), 60, 30, NormalColour);
        m_pressed = WriteSolidPng(m_folder.File("p.png"), 60, 30, PressedColour);
        m_over = WriteSolidPng(m_folder.File("o.png"), 60, 30, OverColour);
        m_disabled = WriteSolidPng(m_folder.File("d.png"), 60, 30, DisabledColour);
    }
    bool MakeFull(CActButton& button, const char* caption = nullptr) {
        button.textColour = CaptionColour;
        return button.Create(nullptr, m_normal.c_str(), m_pressed.c_str(), m_over.c_str(), m_disabled.c_str(),
                             caption, ButtonPlace, ButtonSize, nullptr, m_parent.hWnd, ButtonId, nullptr);
    }
    COLORREF Paint(CActButton& button) {
        InvalidateRect(button.hWnd, nullptr, FALSE);
        UpdateWindow(button.hWnd);
        return PixelAt(button.hWnd, 2, 2);
    }
    // Counts caption pixels that are neither the face nor near it.
    int InkPixels(CActButton& button, COLORREF face, COLORREF ink) {
        int count = 0;
        for (int y = 0; y < ButtonSize.cy; ++y) {
            for (int x = 0; x < ButtonSize.cx; ++x) {
                const COLORREF pixel = PixelAt(button.hWnd, x, y);
                if (!Near(pixel, face, 8) && Near(pixel, ink, 60))
                    ++count;
            }
        }
        return count;
    }
    TTempFolder m_folder;
    TParentWindow m_parent;
    std::string m_normal, m_pressed, m_over, m_disabled;
};

TEST_F(ActButton, OnlyANormalImagePaintsItInEveryState) {
    CActButton button;
    ASSERT_TRUE(button.Create(nullptr, m_normal.c_str(), nullptr, nullptr, nullptr, nullptr, ButtonPlace,
                              ButtonSize, nullptr, m_parent.hWnd, ButtonId, nullptr));
    for (int state = StateNormal; state <= StateDisabled; ++state) {
        button.PaintState(state);
        EXPECT_EQ(PixelAt(button.hWnd, 30, 15), NormalColour) << state;
    }
}

TEST_F(ActButton, MissingImageFileFailsCreation) {
    CActButton button;
    EXPECT_FALSE(button.Create(nullptr, m_folder.File("none.png").c_str(), nullptr, nullptr, nullptr, nullptr,
                               ButtonPlace, ButtonSize, nullptr, m_parent.hWnd, ButtonId, nullptr));
    EXPECT_EQ(button.hWnd, nullptr);
}

TEST_F(ActButton, EqualPathsShareOneCellAndEveryStateShowsItsOwnPicture) {
    CActButton button;
    ASSERT_TRUE(button.Create(nullptr, m_normal.c_str(), m_pressed.c_str(), m_normal.c_str(), m_disabled.c_str(),
                              nullptr, ButtonPlace, ButtonSize, nullptr, m_parent.hWnd, ButtonId, nullptr));
    EXPECT_EQ(button.imageOver, button.imageNormal);
    EXPECT_EQ(button.imageManager->strips[0]->usedCount, 3);
    button.PaintState(StatePressed);
    EXPECT_EQ(PixelAt(button.hWnd, 30, 15), PressedColour);
    button.PaintState(StateDisabled);
    EXPECT_EQ(PixelAt(button.hWnd, 30, 15), DisabledColour);
}

TEST_F(ActButton, ClickReachesTheParentAndPressImageShowsWhileDown) {
    CActButton button;
    ASSERT_TRUE(MakeFull(button));
    EXPECT_EQ(Paint(button), NormalColour);
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    UpdateWindow(button.hWnd);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), PressedColour);
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(m_parent.Count(WM_COMMAND), 1);
    EXPECT_EQ(m_parent.messages[0].wParam, MAKEWPARAM(ButtonId, BN_CLICKED));
    EnableWindow(button.hWnd, FALSE);
    EXPECT_EQ(Paint(button), DisabledColour);
}

TEST_F(ActButton, LockedButtonSwallowsClicksPaintsDisabledAndGreysItsCaption) {
    CActButton button;
    ASSERT_TRUE(MakeFull(button, "WWWW"));
    EXPECT_GT(InkPixels(button, NormalColour, CaptionColour), 10);
    button.locked = 1;
    EXPECT_EQ(Paint(button), DisabledColour);
    EXPECT_EQ(InkPixels(button, DisabledColour, CaptionColour), 0);
    EXPECT_GT(InkPixels(button, DisabledColour, GetSysColor(COLOR_GRAYTEXT)), 10);
    button.notifyOnPress = 1;
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(m_parent.Count(WM_COMMAND), 0);
    EXPECT_EQ(m_parent.Count(WM_ACTBUTTON_PRESSED), 0);
}

TEST_F(ActButton, ToggleModeShowsPressedExactlyWhileCheckedWithABoldCaption) {
    CActButton button;
    ASSERT_TRUE(MakeFull(button, "WWWW"));
    button.toggleMode = 1;
    button.SetCaption("WWWW");
    ASSERT_NE(button.boldFont, nullptr);
    Paint(button);
    const int regular = InkPixels(button, NormalColour, CaptionColour);
    button.checked = 1;
    EXPECT_EQ(Paint(button), PressedColour);
    EXPECT_GT(InkPixels(button, PressedColour, CaptionColour), regular);
    // Pressing and moving change nothing while checked.
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 6));
    UpdateWindow(button.hWnd);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), PressedColour);
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button.checked = 0;
    EXPECT_EQ(Paint(button), NormalColour);
    EXPECT_FALSE(button.hovering);
}

TEST_F(ActButton, HoverStartsOnMoveAndEndsAtTheNextTimerTickOutside) {
    CActButton button;
    ASSERT_TRUE(MakeFull(button));
    Paint(button);
    POINT inside{10, 10};
    ClientToScreen(button.hWnd, &inside);
    SetCursorPos(inside.x, inside.y);
    SendMessageA(button.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(button.hovering);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), OverColour);
    POINT outside{200, 200};
    ClientToScreen(button.hWnd, &outside);
    SetCursorPos(outside.x, outside.y);
    SendMessageA(button.hWnd, WM_TIMER, HoverTimerId, 0);
    EXPECT_FALSE(button.hovering);
    UpdateWindow(button.hWnd);
    EXPECT_EQ(PixelAt(button.hWnd, 2, 2), NormalColour);
}

TEST_F(ActButton, NotifyOnPressPostsThePressWithTheButtonSide) {
    CActButton button;
    ASSERT_TRUE(MakeFull(button));
    button.notifyOnPress = 1;
    SendMessageA(button.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(button.hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    Pump();
    std::vector<LPARAM> sides;
    for (const TRecordedMessage& one : m_parent.messages) {
        if (one.message == WM_ACTBUTTON_PRESSED) {
            EXPECT_EQ(one.wParam, static_cast<WPARAM>(ButtonId));
            sides.push_back(one.lParam);
        }
    }
    EXPECT_EQ(sides, (std::vector<LPARAM>{0, 1}));
}

TEST_F(ActButton, EllipticShapeLeavesTheCornersOutOfTheRegion) {
    CActButton button;
    button.shape = ShapeEllipse;
    ASSERT_TRUE(MakeFull(button));
    ASSERT_NE(button.region, nullptr);
    EXPECT_FALSE(PtInRegion(button.region, 0, 0));
    EXPECT_TRUE(PtInRegion(button.region, 30, 15));
    CActButton plain;
    plain.shape = ShapeNone;
    ASSERT_TRUE(MakeFull(plain));
    EXPECT_EQ(plain.region, nullptr);
    // Without a region the hover picture never shows.
    SendMessageA(plain.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_FALSE(plain.hovering);
}

TEST_F(ActButton, RequestedSizeOtherThanTheCellsStretchesThePicture) {
    CActButton button;
    // No region, which would keep the button at its creation size.
    button.shape = ShapeNone;
    ASSERT_TRUE(MakeFull(button));
    MoveWindow(button.hWnd, 20, 20, 90, 40, TRUE);
    EXPECT_EQ(Paint(button), NormalColour);
    EXPECT_TRUE(button.stretch);
    EXPECT_EQ(PixelAt(button.hWnd, 88, 38), NormalColour);
}

}  // namespace
