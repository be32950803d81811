// The combo box's list: opening and closing, choices, wheel, Enter, and
// the check box item.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"

namespace {

constexpr int Rows = 8;
constexpr int RowHeight = 18;

class ComboBox : public TSkinTest {
protected:
    void SetUp() override {
        TSkinTest::SetUp();
        for (int i = 0; i < Rows; ++i)
            m_combo.AddItem("choice " + std::to_string(i));
        m_options.parent = m_parent.hWnd;
        m_options.rect = RECT{20, 20, 180, 44};
        m_options.listHeight = 22 + 3 * RowHeight;
        m_options.rowHeight = RowHeight;
        m_options.hideOnCommit = true;
        ASSERT_TRUE(m_combo.Create(m_options));
        Pump();
    }
    void ClickButton() {
        SendMessageA(m_combo.hWnd, WM_COMMAND, MAKEWPARAM(ComboDropButtonId, BN_CLICKED), 0);
        Pump();
    }
    void ClickList(POINT point) {
        SendMessageA(m_combo.ListBox(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        Pump();
    }
    LRESULT ListBoxAsk(UINT message, WPARAM wParam = 0) {
        return SendMessageA(m_combo.ListBox(), message, wParam, 0);
    }
    int ScrollPosition() {
        SCROLLINFO info;
        info.fMask = SIF_POS;
        return GetScrollInfo(m_combo.ScrollBar(), SB_CTL, &info) ? info.nPos : -1;
    }
    TComboBoxOptions m_options;
    TGenComboBox m_combo;
};

TEST_F(ComboBox, DropButtonOpensAndClosesTheListWheelScrollsItAClickChooses) {
    ClickButton();
    ASSERT_TRUE(m_combo.ListOpen());
    EXPECT_EQ(ListBoxAsk(LB_GETCOUNT), Rows);
    EXPECT_EQ(GetCapture(), m_combo.ListBox());
    ListBoxAsk(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA));
    EXPECT_EQ(ListBoxAsk(LB_GETTOPINDEX), 1);
    EXPECT_EQ(ScrollPosition(), RowHeight);
    ListBoxAsk(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_EQ(ListBoxAsk(LB_GETTOPINDEX), 0);
    ClickButton();
    EXPECT_FALSE(m_combo.ListOpen());
    EXPECT_TRUE(m_parent.Take(WM_COMBO_CHOICE).empty());
    // A click on a row chooses it and tells the parent.
    ClickButton();
    ClickList(POINT{10, RowHeight * 2 + 3});
    EXPECT_FALSE(m_combo.ListOpen());
    const auto choices = m_parent.Take(WM_COMBO_CHOICE);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].wParam, 2u);
    EXPECT_EQ(choices[0].lParam, reinterpret_cast<LPARAM>(m_combo.hWnd));
    EXPECT_EQ(m_combo.Text(), "choice 2");
}

TEST_F(ComboBox, SelectingOutOfRangeKeepsTheSelectionAndEnterInTheFieldOnlyClosesTheList) {
    for (int index : {3, Rows, -1})
        m_combo.Select(index);
    EXPECT_EQ(m_combo.SelectedIndex(), 3);
    EXPECT_EQ(m_combo.Text(), "choice 3");
    ClickButton();
    EXPECT_EQ(ListBoxAsk(LB_GETCURSEL), 3);
    m_combo.Select(6);
    EXPECT_EQ(ListBoxAsk(LB_GETCURSEL), 6);
    EXPECT_GT(ScrollPosition(), 0);
    ListBoxAsk(LB_SETCURSEL, 5);
    SendMessageA(m_combo.TextField(), WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_FALSE(m_combo.ListOpen());
    EXPECT_TRUE(m_parent.Take(WM_COMBO_CHOICE).empty());
    EXPECT_EQ(m_combo.SelectedIndex(), 6);
    EXPECT_EQ(m_combo.Text(), "choice 6");
}

TEST(CheckBoxItem, ClickInsideTogglesWithinItsPairAndTellsTheOwner) {
    TParentWindow owner;
    TCheckBoxItem item(L"Loop", nullptr, CheckBoxChoiceOn);
    HDC dc = GetDC(owner.hWnd);
    item.Layout(dc, RECT{10, 10, 200, 30});
    ReleaseDC(owner.hWnd, dc);
    EXPECT_GT(item.Rect().right - item.Rect().left, 27);
    EXPECT_FALSE(item.Click(owner.hWnd, POINT{5, 5}));
    EXPECT_TRUE(item.Click(owner.hWnd, POINT{12, 14}));
    EXPECT_EQ(item.StateId(), CheckBoxChoiceOff);
    EXPECT_TRUE(item.Click(owner.hWnd, POINT{12, 14}));
    const auto toggles = owner.Take(WM_CHECKBOX_TOGGLED);
    ASSERT_EQ(toggles.size(), 2u);
    EXPECT_EQ(toggles.back().wParam, CheckBoxChoiceOn);
}

} // namespace
