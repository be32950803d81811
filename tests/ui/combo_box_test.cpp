// The combo box's list: opening and closing, choices, wheel, Enter, and
// the check box item.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr int Rows = 8;

class ComboBox : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        HDC screen = GetDC(nullptr);
        ASSERT_TRUE(LoadSharedSkin(screen));
        ReleaseDC(nullptr, screen);
        for (int i = 0; i < Rows; ++i)
            m_combo.AddItem("choice " + std::to_string(i));
        m_combo.listHeight = 22 + 3 * m_combo.rowHeight;
        ASSERT_TRUE(m_combo.Create(m_parent.hWnd, RECT{20, 20, 180, 44}, nullptr, nullptr));
        Pump();
    }
    void ClickButton() {
        SendMessageA(m_combo.hWnd, WM_COMMAND, MAKEWPARAM(ComboDropButtonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_combo.dropButton.hWnd));
        Pump();
    }
    int Choices() const { return m_parent.Count(WM_COMBO_CHOICE); }
    TParentWindow m_parent{400, 300};
    TGenComboBox m_combo;
};

TEST_F(ComboBox, DropButtonOpensAndClosesTheList) {
    EXPECT_FALSE(m_combo.ListOpen());
    ClickButton();
    ASSERT_TRUE(m_combo.ListOpen());
    EXPECT_EQ(SendMessageA(m_combo.listBox, LB_GETCOUNT, 0, 0), Rows);
    EXPECT_EQ(GetCapture(), m_combo.listBox);
    ClickButton();
    EXPECT_FALSE(m_combo.ListOpen());
    EXPECT_EQ(Choices(), 0);
}

TEST_F(ComboBox, ClickOnARowChoosesItAndTellsTheParent) {
    ClickButton();
    ASSERT_TRUE(m_combo.ListOpen());
    const int y = m_combo.rowHeight * 2 + 3;
    SendMessageA(m_combo.listBox, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, y));
    Pump();
    EXPECT_FALSE(m_combo.ListOpen());
    ASSERT_EQ(Choices(), 1);
    for (const TRecordedMessage& one : m_parent.messages) {
        if (one.message == WM_COMBO_CHOICE) {
            EXPECT_EQ(one.wParam, 2u);
            EXPECT_EQ(one.lParam, reinterpret_cast<LPARAM>(m_combo.hWnd));
        }
    }
    EXPECT_EQ(m_combo.Text(), "choice 2");
    EXPECT_EQ(m_combo.selectedIndex, 2);
}

TEST_F(ComboBox, OutsideClickWithoutASelectionClosesQuietly) {
    ClickButton();
    SendMessageA(m_combo.listBox, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-50, -50));
    Pump();
    EXPECT_FALSE(m_combo.ListOpen());
    EXPECT_EQ(Choices(), 0);
    // With a selection an outside click reports it, and may hide the combo.
    m_combo.Select(4);
    m_combo.hideOnCommit = true;
    ClickButton();
    SendMessageA(m_combo.listBox, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-50, -50));
    Pump();
    EXPECT_EQ(Choices(), 1);
    EXPECT_FALSE(IsWindowVisible(m_combo.hWnd));
}

TEST_F(ComboBox, WheelStepMovesTheListByOneRow) {
    ClickButton();
    ASSERT_EQ(SendMessageA(m_combo.listBox, LB_GETTOPINDEX, 0, 0), 0);
    SendMessageA(m_combo.listBox, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(SendMessageA(m_combo.listBox, LB_GETTOPINDEX, 0, 0), 1);
    SCROLLINFO info;
    info.fMask = SIF_POS;
    ASSERT_TRUE(GetScrollInfo(m_combo.scrollBar, SB_CTL, &info));
    EXPECT_EQ(info.nPos, m_combo.rowHeight);
    SendMessageA(m_combo.listBox, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(SendMessageA(m_combo.listBox, LB_GETTOPINDEX, 0, 0), 0);
}

TEST_F(ComboBox, EnterInTheFieldWhileOpenOnlyClosesTheList) {
    m_combo.Select(1);
    ClickButton();
    SendMessageA(m_combo.listBox, LB_SETCURSEL, 5, 0);
    SendMessageA(m_combo.textField, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_FALSE(m_combo.ListOpen());
    EXPECT_EQ(Choices(), 0);
    EXPECT_EQ(m_combo.selectedIndex, 1);
    EXPECT_EQ(m_combo.Text(), "choice 1");
}

TEST_F(ComboBox, SelectingOutOfRangeKeepsTheSelection) {
    m_combo.Select(3);
    m_combo.Select(Rows);
    m_combo.Select(-1);
    EXPECT_EQ(m_combo.selectedIndex, 3);
    EXPECT_EQ(m_combo.Text(), "choice 3");
    ClickButton();
    EXPECT_EQ(SendMessageA(m_combo.listBox, LB_GETCURSEL, 0, 0), 3);
    m_combo.Select(6);
    EXPECT_EQ(SendMessageA(m_combo.listBox, LB_GETCURSEL, 0, 0), 6);
    SCROLLINFO info;
    info.fMask = SIF_POS;
    GetScrollInfo(m_combo.scrollBar, SB_CTL, &info);
    EXPECT_GT(info.nPos, 0);
}

TEST(CheckBoxItem, ClickInsideTogglesWithinItsPairAndTellsTheOwner) {
    TParentWindow owner;
    TCheckBoxItem item;
    item.text = L"Loop";
    item.SetState(CheckBoxChoiceOn);
    HDC dc = GetDC(owner.hWnd);
    item.Layout(dc, RECT{10, 10, 200, 30}, false);
    ReleaseDC(owner.hWnd, dc);
    EXPECT_GT(item.rect.right - item.rect.left, 27);
    EXPECT_FALSE(item.Click(owner.hWnd, POINT{5, 5}));
    EXPECT_EQ(owner.Count(WM_CHECKBOX_TOGGLED), 0);
    EXPECT_TRUE(item.Click(owner.hWnd, POINT{12, 14}));
    EXPECT_EQ(item.stateId, CheckBoxChoiceOff);
    EXPECT_TRUE(item.Click(owner.hWnd, POINT{12, 14}));
    EXPECT_EQ(item.stateId, CheckBoxChoiceOn);
    ASSERT_EQ(owner.Count(WM_CHECKBOX_TOGGLED), 2);
    EXPECT_EQ(owner.messages.back().wParam, CheckBoxChoiceOn);
}

}  // namespace
