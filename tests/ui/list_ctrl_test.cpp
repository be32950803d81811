// The toolkit's list: column widths, the selection through keys, clicks and
// deletions, scrolling the selection into view, what reaches the parent,
// and the skinned selection drawn under the selected row.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/list_ctrl.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr int RowHeight = 20;
constexpr COLORREF RowColour = RGB(17, 17, 17);

class TTextRows : public TListRowInfo {
public:
    std::wstring CellText(int row, int column, TCellAlign* align) const override {
        *align = TCellAlign::Left;
        return std::to_wstring(row) + L"." + std::to_wstring(column);
    }
};

// Keeps the rows that double-clicks, Return and Delete report.
class TListParent : public TWnd {
public:
    TListParent() {
        EnsureUiApplication();
        SetClassName("__ListParent__");
        RegisterWindowClass(className, BoundWindowProcedure);
        CreateBoundWindow(this, WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 122}, nullptr);
    }
    ~TListParent() override { DestroyWindow(hWnd); }
    std::vector<std::pair<UINT, int>> reports;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override {
        *handled = true;
        if (message == WM_NOTIFY) {
            auto* notify = reinterpret_cast<TListRowNotify*>(lParam);
            reports.emplace_back(notify->hdr.code, notify->row);
        } else if (message == WM_LIST_DELETE_ROW) {
            reports.emplace_back(message, static_cast<int>(wParam));
        } else {
            *handled = false;
        }
        return 0;
    }
};

class ListCtrlTest : public TSkinTest {
protected:
    void SetUp() override {
        TSkinTest::SetUp();
        TListOptions options;
        options.parent = m_parent.hWnd;
        // Five whole rows inside the one-pixel border.
        options.rect = RECT{0, 0, 200, 5 * RowHeight + 2};
        options.rowHeight = RowHeight;
        options.rowInfo = &m_rows;
        options.columns = {{L"", 0.5f}, {L"", 0.5f}};
        options.evenRowColour = options.oddRowColour = RowColour;
        ASSERT_TRUE(m_list.Create(options));
        m_list.SetItemCount(12);
    }
    void Key(WPARAM key) { SendMessageA(m_list.hWnd, WM_KEYDOWN, key, 0); }
    void Click(UINT message, int y) { SendMessageA(m_list.hWnd, message, 0, MAKELPARAM(30, y)); }

    TListParent m_parent;
    TTextRows m_rows;
    TListCtrl m_list;
};

TEST(ListColumns, FractionsAndPixelsFillTheWidthLessTheScrollBar) {
    const struct {
        std::vector<TColumnInfo> columns;
        int width;
        std::vector<int> widths;
    } cases[] = {
        {{{L"", 0.45f}, {L"", 0.55f}}, 297, {130, 159}},
        {{{L"", -40.0f}, {L"", 0.5f}, {L"", 0.1f}}, 208, {40, 100, 60}},
        {{{L"", 0.3f}}, 108, {100}},
        {{{L"", 0.5f}, {L"", 0.5f}}, 4, {0, 0}},
        {{}, 300, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColumnWidths(c.columns, c.width), c.widths) << c.width;
}

TEST_F(ListCtrlTest, KeysAndClicksMoveTheSelectionAndReportToTheParent) {
    EXPECT_EQ(m_list.SelectedRow(), -1);
    Key(VK_DOWN);
    EXPECT_EQ(m_list.SelectedRow(), 0);
    Key(VK_END);
    EXPECT_EQ(m_list.SelectedRow(), 11);
    EXPECT_EQ(m_list.TopRow(), 7) << "the selected row is scrolled into view";
    Key(VK_DOWN);
    EXPECT_EQ(m_list.SelectedRow(), 11);
    Key(VK_PRIOR);
    EXPECT_EQ(m_list.SelectedRow(), 6);
    Key(VK_HOME);
    EXPECT_EQ(m_list.TopRow(), 0);

    Click(WM_LBUTTONDOWN, 2 * RowHeight + 3);
    EXPECT_EQ(m_list.SelectedRow(), 2);
    Click(WM_LBUTTONDBLCLK, 3 * RowHeight + 3);
    Key(VK_RETURN);
    Key(VK_DELETE);
    m_list.SetItemCount(3);
    Click(WM_LBUTTONDBLCLK, 4 * RowHeight + 3);
    m_list.SelectRow(-1);
    Key(VK_DELETE);
    const std::vector<std::pair<UINT, int>> expected = {{NM_DBLCLK, 3},
                                                        {NM_RETURN, 2},
                                                        {WM_LIST_DELETE_ROW, 2},
                                                        {NM_DBLCLK, -1},
                                                        {WM_LIST_DELETE_ROW, -1}};
    EXPECT_EQ(m_parent.reports, expected);
}

TEST_F(ListCtrlTest, TheSelectionFollowsItsRowThroughDeletionsAndIsDrawnSkinned) {
    m_list.SelectRow(4);
    m_list.DeleteRow(1);
    EXPECT_EQ(m_list.SelectedRow(), 3);
    m_list.DeleteRow(7);
    EXPECT_EQ(m_list.SelectedRow(), 3);
    EXPECT_EQ(m_list.ItemCount(), 10);
    m_list.DeleteRow(3);
    EXPECT_EQ(m_list.SelectedRow(), -1);
    m_list.DeleteRow(10);
    EXPECT_EQ(m_list.ItemCount(), 9);

    m_list.SelectRow(1);
    const int middle = RowHeight + RowHeight / 2;
    const COLORREF selection = GetPixel(SharedImage(SkinImage::ListSelectedMiddle).dc, 0,
                                        SharedImage(SkinImage::ListSelectedMiddle).height / 2);
    EXPECT_TRUE(Near(PixelAt(m_list.hWnd, 90, middle), selection));
    EXPECT_TRUE(Near(PixelAt(m_list.hWnd, 90, RowHeight * 3 + 2), RowColour));
    m_list.SetItemCount(1);
    EXPECT_EQ(m_list.SelectedRow(), -1) << "the selected row went with the others";
    EXPECT_TRUE(Near(PixelAt(m_list.hWnd, 90, middle), RowColour));
}

} // namespace
