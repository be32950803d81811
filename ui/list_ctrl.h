#pragma once
// The toolkit's own list: a report list of fixed-height rows whose data stay
// with the owner (the list only knows how many rows there are), drawn by the
// list from what a row description answers for each cell, with skinned
// selection and hover pieces and a thin scroll bar of its own. It sits in a
// one-pixel border window; double-clicks, Return and Delete reach the
// window given as the parent, and so do requests for a row's context menu.

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "ui/wnd.h"

// Sent to the parent when Delete is pressed: wParam = the selected row, -1
// when none.
inline constexpr UINT WM_LIST_DELETE_ROW = 8026;
// WM_NOTIFY codes; lParam points to a TListRowNotify.
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT NM_RETURN = static_cast<UINT>(-4);
// The right button released over a row, or the Menu key with a row
// selected: the row's context menu is asked for at `screen`.
inline constexpr UINT NM_RCLICK = static_cast<UINT>(-5);
inline constexpr int ListControlId = 215;
inline constexpr int DefaultRowHeight = 18;
inline constexpr int ListScrollBarWidth = 8;
inline constexpr const char* ListCtrlClass = "__xListCtrl__";
inline constexpr const char* ListBorderClass = "_ListBorderProc_";

struct TListRowNotify {
    NMHDR hdr;
    int row = -1; // -1: the click was below the last row
    POINT screen; // NM_RCLICK: where the menu goes, in screen coordinates
};

// One row's data.
class TListData {
public:
    virtual ~TListData() = default;
};

// The rows a list reads from.
class TListDataSet {
public:
    virtual ~TListDataSet() = default;
    virtual int GetCount() const = 0;
    // Only for 0 <= index < GetCount().
    virtual TListData* GetItem(int index) const = 0;
};

// Rows owned in a growable array, in list order.
class TGenernalListDataSet : public TListDataSet {
public:
    int GetCount() const override { return static_cast<int>(m_rows.size()); }
    TListData* GetItem(int index) const override { return m_rows[index].get(); }
    void Add(std::unique_ptr<TListData> row) { m_rows.push_back(std::move(row)); }
    // Nothing for an index out of range.
    void RemoveAt(int index);
    void Clear() { m_rows.clear(); }

private:
    std::vector<std::unique_ptr<TListData>> m_rows;
};

enum TCellFlag : UINT {
    CellShowsText = 1,
    CellImageLeft = 2,
    CellImageRight = 4,
};
enum class TCellAlign { Left, Centre, Right };
inline constexpr COLORREF NoCellColour = static_cast<COLORREF>(-1);

// A picture to copy into a cell: the source DC and rectangle.
struct TCellImage {
    HDC dc = nullptr;
    RECT source{};
    bool transparentWhite = false;
};

// What the list asks to draw each cell. The defaults are a plain text list.
class TListRowInfo {
public:
    explicit TListRowInfo(TListDataSet* rows = nullptr) : dataSet(rows) {}
    virtual ~TListRowInfo() = default;
    TListRowInfo(const TListRowInfo&) = delete;
    TListRowInfo& operator=(const TListRowInfo&) = delete;

    // Null keeps the list's font.
    virtual HFONT CellFont(int column) const;
    // TCellFlag values.
    virtual UINT CellFlags(int column) const;
    // Filled behind the cell of an unselected row; NoCellColour for none.
    virtual COLORREF CellBackColor(int column) const;
    // Null lets the list alternate its own two colours by row parity.
    virtual HBRUSH RowBackBrush() const;
    virtual std::wstring CellText(int row, int column, TCellAlign* align) const = 0;
    virtual bool CellImage(int row, int column, TCellImage* image) const;
    virtual COLORREF CellTextColor(int row, int column) const;
    virtual COLORREF SelectedTextColor(int row, int column) const;

    TListDataSet* dataSet = nullptr;
};

struct TColumnInfo {
    std::wstring title;
    // Share of the width; a negative value is that many pixels.
    float fraction = 0.0f;
};

// The columns' widths in a list `clientWidth` wide: the width less the
// scroll bar's is shared by the fractions and the last column takes what
// remains, so the columns fill it exactly.
std::vector<int> ColumnWidths(const std::vector<TColumnInfo>& columns, int clientWidth);

struct TListOptions {
    // Receives WM_LIST_DELETE_ROW and the WM_NOTIFY codes.
    HWND parent = nullptr;
    // The border window's place in the parent.
    RECT rect{};
    int rowHeight = DefaultRowHeight;
    // Borrowed; they must outlive the list.
    TListRowInfo* rowInfo = nullptr;
    HFONT font = nullptr;
    std::vector<TColumnInfo> columns;
    COLORREF borderColour = RGB(48, 52, 59);
    COLORREF evenRowColour = RGB(17, 17, 17);
    COLORREF oddRowColour = RGB(24, 25, 28);
};

class TListCtrl : public CWndEx {
public:
    TListCtrl() = default;
    ~TListCtrl() override;

    bool Create(const TListOptions& options);
    // Moves the border window (parent coordinates).
    void Move(const RECT& rect);
    void Show(bool shown);

    // The number of rows; a selection beyond the new end is dropped.
    void SetItemCount(int count);
    int ItemCount() const { return m_count; }
    // The selected row, -1 when none.
    int SelectedRow() const { return m_selected; }
    // Selects and focuses the row, scrolls it into view and redraws; -1
    // clears the selection.
    void SelectRow(int row);
    // Takes one row out: the rows below move up and a selection below it
    // follows its row.
    void DeleteRow(int row);
    // The row at a point of the list window, -1 below the last one.
    int RowAt(POINT point) const;
    int TopRow() const { return m_top; }
    // Rows that fit whole in the window.
    int VisibleRows() const;
    HWND BorderWindow() const { return m_border; }
    void Redraw();

private:
    static LRESULT BorderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void Paint(HDC dc);
    void PaintRow(HDC dc, int row, const RECT& rect, const std::vector<int>& widths);
    void PaintCell(HDC dc, int row, int column, RECT cell, bool selected);
    void PaintRowPieces(HDC dc, const RECT& rect, bool selected);
    void PaintScrollBar(HDC dc, const RECT& client);
    void PaintEmpty(HDC dc, const RECT& rect);
    bool ThumbRect(RECT* thumb) const;
    void ScrollTo(int top);
    void EnsureVisible(int row);
    void OnKey(WPARAM key);
    void OnButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void CheckHover();
    void Notify(UINT code, int row, POINT screen = {});
    void AskForContextMenu(int row, POINT client);
    int MaxTop() const;

    TListOptions m_options;
    HWND m_border = nullptr;
    int m_count = 0;
    int m_selected = -1;
    int m_hot = -1;
    int m_top = 0;
    // While the thumb is dragged: the pointer's offset into it.
    bool m_draggingThumb = false;
    int m_thumbGrab = 0;
};
