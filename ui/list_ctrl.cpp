#include "ui/list_ctrl.h"

#include <algorithm>

#include "ui/memory_dc_man.h"
#include "ui/selected_font.h"

namespace {

constexpr UINT_PTR HoverCheckTimer = 1;
constexpr UINT HoverCheckMs = 50;
constexpr int WheelRows = 3;
constexpr int CellTextPadding = 6;
constexpr int CellImageGap = 4;
constexpr int MinimumThumbHeight = 16;
constexpr COLORREF ScrollTrackColour = RGB(24, 25, 28);
constexpr COLORREF ScrollThumbColour = RGB(84, 90, 101);
constexpr COLORREF SelectionFallbackColour = RGB(38, 159, 218);
constexpr COLORREF HoverFallbackColour = RGB(36, 39, 45);

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

UINT AlignFormat(TCellAlign align) {
    switch (align) {
    case TCellAlign::Centre:
        return DT_CENTER;
    case TCellAlign::Right:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}

// A left cap, a stretched middle and a right cap across the rectangle.
bool PaintPieces(HDC dc, const RECT& rect, const TMemoryDC& left, const TMemoryDC& middle,
                 const TMemoryDC& right) {
    if (left.released || middle.released || right.released)
        return false;
    const int height = rect.bottom - rect.top;
    const int middleWidth = rect.right - rect.left - left.width - right.width;
    StretchBlt(dc, rect.left, rect.top, left.width, height, left.dc, 0, 0, left.width, left.height,
               SRCCOPY);
    if (middleWidth > 0)
        StretchBlt(dc, rect.left + left.width, rect.top, middleWidth, height, middle.dc, 0, 0,
                   middle.width, middle.height, SRCCOPY);
    StretchBlt(dc, rect.right - right.width, rect.top, right.width, height, right.dc, 0, 0,
               right.width, right.height, SRCCOPY);
    return true;
}

} // namespace

void TGenernalListDataSet::RemoveAt(int index) {
    if (index < 0 || index >= GetCount())
        return;
    m_rows.erase(m_rows.begin() + index);
}

HFONT TListRowInfo::CellFont(int) const {
    return nullptr;
}
UINT TListRowInfo::CellFlags(int) const {
    return CellShowsText;
}
COLORREF TListRowInfo::CellBackColor(int) const {
    return NoCellColour;
}
HBRUSH TListRowInfo::RowBackBrush() const {
    return nullptr;
}
bool TListRowInfo::CellImage(int, int, TCellImage*) const {
    return false;
}
COLORREF TListRowInfo::CellTextColor(int, int) const {
    return RGB(0, 0, 0);
}
COLORREF TListRowInfo::SelectedTextColor(int, int) const {
    return RGB(255, 255, 255);
}

std::vector<int> ColumnWidths(const std::vector<TColumnInfo>& columns, int clientWidth) {
    std::vector<int> widths;
    const int width = std::max(0, clientWidth - ListScrollBarWidth);
    int used = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i + 1 == columns.size()) {
            widths.push_back(std::max(0, width - used));
            break;
        }
        const float fraction = columns[i].fraction;
        const int one = fraction < 0 ? static_cast<int>(-fraction)
                                     : static_cast<int>(static_cast<float>(width) * fraction);
        widths.push_back(one);
        used += one;
    }
    return widths;
}

TListCtrl::~TListCtrl() {
    DestroyOwnWindow();
    if (m_border && IsWindow(m_border))
        DestroyWindow(m_border);
}

bool TListCtrl::Create(const TListOptions& options) {
    if (!options.rowInfo || !IsWindow(options.parent))
        return false;
    m_options = options;
    if (!RegisterWindowClass(ListBorderClass, BorderProcedure, TClassStyle::Plain) ||
        !RegisterWindowClass(ListCtrlClass, BoundWindowProcedure))
        return false;
    const RECT& rect = options.rect;
    m_border = CreateWindowExA(0, ListBorderClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               options.parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!m_border)
        return false;
    SetWindowLongPtrA(m_border, GWLP_USERDATA, static_cast<LONG_PTR>(options.borderColour));
    SetClassName(ListCtrlClass);
    const RECT inner{1, 1, std::max<LONG>(1, rect.right - rect.left - 1),
                     std::max<LONG>(1, rect.bottom - rect.top - 1)};
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, inner, m_border,
                             ListControlId) != nullptr;
}

LRESULT TListCtrl::BorderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND)
        return 1;
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, static_cast<COLORREF>(GetWindowLongPtrA(window, GWLP_USERDATA)));
    EndPaint(window, &paint);
    return 0;
}

void TListCtrl::Move(const RECT& rect) {
    if (!m_border)
        return;
    const int width = std::max<LONG>(2, rect.right - rect.left);
    const int height = std::max<LONG>(2, rect.bottom - rect.top);
    MoveWindow(m_border, rect.left, rect.top, width, height, TRUE);
    if (hWnd)
        MoveWindow(hWnd, 1, 1, width - 2, height - 2, TRUE);
    ScrollTo(m_top);
}

void TListCtrl::Show(bool shown) {
    if (m_border)
        ShowWindow(m_border, shown ? SW_SHOW : SW_HIDE);
}

void TListCtrl::SetItemCount(int count) {
    m_count = std::max(0, count);
    if (m_selected >= m_count)
        m_selected = -1;
    if (m_hot >= m_count)
        m_hot = -1;
    ScrollTo(m_top);
    Redraw();
}

void TListCtrl::SelectRow(int row) {
    m_selected = row >= 0 && row < m_count ? row : -1;
    if (m_selected >= 0)
        EnsureVisible(m_selected);
    Redraw();
}

void TListCtrl::DeleteRow(int row) {
    if (row < 0 || row >= m_count)
        return;
    --m_count;
    if (m_selected == row)
        m_selected = -1;
    else if (m_selected > row)
        --m_selected;
    m_hot = -1;
    ScrollTo(m_top);
    Redraw();
}

int TListCtrl::RowAt(POINT point) const {
    if (!hWnd || point.y < 0 || point.x < 0)
        return -1;
    const int row = m_top + point.y / std::max(1, m_options.rowHeight);
    return row < m_count ? row : -1;
}

int TListCtrl::VisibleRows() const {
    if (!hWnd)
        return 0;
    RECT client;
    GetClientRect(hWnd, &client);
    return std::max(1, static_cast<int>(client.bottom) / std::max(1, m_options.rowHeight));
}

int TListCtrl::MaxTop() const {
    return std::max(0, m_count - VisibleRows());
}

void TListCtrl::ScrollTo(int top) {
    const int clamped = std::clamp(top, 0, MaxTop());
    if (clamped == m_top)
        return;
    m_top = clamped;
    Redraw();
}

void TListCtrl::EnsureVisible(int row) {
    if (row < m_top)
        ScrollTo(row);
    else if (row >= m_top + VisibleRows())
        ScrollTo(row - VisibleRows() + 1);
}

void TListCtrl::Redraw() {
    if (hWnd)
        InvalidateRect(hWnd, nullptr, FALSE);
}

void TListCtrl::Notify(UINT code, int row, POINT screen) {
    TListRowNotify notify;
    notify.screen = screen;
    notify.hdr.hwndFrom = hWnd;
    notify.hdr.idFrom = ListControlId;
    notify.hdr.code = code;
    notify.row = row;
    SendMessageA(m_options.parent, WM_NOTIFY, ListControlId, reinterpret_cast<LPARAM>(&notify));
}

void TListCtrl::AskForContextMenu(int row, POINT client) {
    if (row < 0)
        return;
    ClientToScreen(hWnd, &client);
    Notify(NM_RCLICK, row, client);
}

void TListCtrl::OnKey(WPARAM key) {
    const int page = VisibleRows();
    int target = m_selected;
    switch (key) {
    case VK_DELETE:
        SendMessageA(m_options.parent, WM_LIST_DELETE_ROW, static_cast<WPARAM>(m_selected), 0);
        return;
    case VK_RETURN:
        if (m_selected >= 0)
            Notify(NM_RETURN, m_selected);
        return;
    case VK_APPS: {
        // From the keyboard the menu opens below the selected row.
        const int rowBottom = (m_selected - m_top + 1) * m_options.rowHeight;
        AskForContextMenu(m_selected, POINT{m_options.rowHeight, rowBottom});
        return;
    }
    case VK_UP:
        target = m_selected < 0 ? 0 : m_selected - 1;
        break;
    case VK_DOWN:
        target = m_selected + 1;
        break;
    case VK_PRIOR:
        target = m_selected - page;
        break;
    case VK_NEXT:
        target = m_selected + page;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = m_count - 1;
        break;
    default:
        return;
    }
    if (m_count > 0)
        SelectRow(std::clamp(target, 0, m_count - 1));
}

bool TListCtrl::ThumbRect(RECT* thumb) const {
    RECT client;
    GetClientRect(hWnd, &client);
    const int visible = VisibleRows();
    if (m_count <= visible || client.bottom <= 0)
        return false;
    const int track = client.bottom;
    const int height = std::max(MinimumThumbHeight, track * visible / m_count);
    const int top = (track - height) * m_top / std::max(1, MaxTop());
    *thumb = RECT{client.right - ListScrollBarWidth + 2, top, client.right - 2, top + height};
    return true;
}

void TListCtrl::OnButtonDown(POINT point) {
    SetFocus(hWnd);
    RECT client;
    GetClientRect(hWnd, &client);
    if (point.x >= client.right - ListScrollBarWidth) {
        RECT thumb;
        if (!ThumbRect(&thumb))
            return;
        if (point.y < thumb.top || point.y >= thumb.bottom) {
            ScrollTo(m_top + (point.y < thumb.top ? -VisibleRows() : VisibleRows()));
            return;
        }
        m_draggingThumb = true;
        m_thumbGrab = point.y - thumb.top;
        SetCapture(hWnd);
        return;
    }
    const int row = RowAt(point);
    if (row >= 0)
        SelectRow(row);
}

void TListCtrl::OnMouseMove(POINT point) {
    if (m_draggingThumb) {
        RECT client;
        RECT thumb;
        GetClientRect(hWnd, &client);
        if (!ThumbRect(&thumb))
            return;
        const int room = std::max<LONG>(1, client.bottom - (thumb.bottom - thumb.top));
        ScrollTo((point.y - m_thumbGrab) * MaxTop() / room);
        return;
    }
    const int row = RowAt(point);
    if (row == m_hot)
        return;
    m_hot = row;
    Redraw();
    SetTimer(hWnd, HoverCheckTimer, HoverCheckMs, nullptr);
}

void TListCtrl::CheckHover() {
    POINT cursor;
    GetCursorPos(&cursor);
    RECT window;
    GetWindowRect(hWnd, &window);
    if (PtInRect(&window, cursor) && IsWindowVisible(hWnd))
        return;
    KillTimer(hWnd, HoverCheckTimer);
    m_hot = -1;
    Redraw();
}

void TListCtrl::PaintRowPieces(HDC dc, const RECT& rect, bool selected) {
    using enum SkinImage;
    const bool drawn =
        selected ? PaintPieces(dc, rect, SharedImage(ListSelectedLeft),
                               SharedImage(ListSelectedMiddle), SharedImage(ListSelectedRight))
                 : PaintPieces(dc, rect, SharedImage(ListHoveredLeft),
                               SharedImage(ListHoveredMiddle), SharedImage(ListHoveredRight));
    if (!drawn)
        FillSolid(dc, rect, selected ? SelectionFallbackColour : HoverFallbackColour);
}

void TListCtrl::PaintCell(HDC dc, int row, int column, RECT cell, bool selected) {
    const TListRowInfo& info = *m_options.rowInfo;
    const UINT flags = info.CellFlags(column);
    const bool plain = !selected && row != m_hot;
    const COLORREF back = info.CellBackColor(column);
    if (plain && back != NoCellColour)
        FillSolid(dc, cell, back);
    TCellImage image;
    if ((flags & (CellImageLeft | CellImageRight)) && info.CellImage(row, column, &image) &&
        image.dc) {
        const int width = image.source.right - image.source.left;
        const int height = image.source.bottom - image.source.top;
        const int y = cell.top + (cell.bottom - cell.top - height) / 2;
        const int x =
            (flags & CellImageLeft) ? cell.left + CellImageGap : cell.right - CellImageGap - width;
        if (image.transparentWhite) {
            const RECT source{image.source.left, image.source.top, image.source.right - 1,
                              image.source.bottom - 1};
            TransparentCopy(dc, x, y, image.dc, source, RGB(255, 255, 255));
        } else {
            BitBlt(dc, x, y, width, height, image.dc, image.source.left, image.source.top, SRCCOPY);
        }
        if (flags & CellImageLeft)
            cell.left = x + width;
        else
            cell.right = x;
    }
    if (!(flags & CellShowsText))
        return;
    TCellAlign align = TCellAlign::Left;
    const std::wstring text = info.CellText(row, column, &align);
    if (text.empty())
        return;
    TSelectedFont font(dc, info.CellFont(column));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc,
                 selected ? info.SelectedTextColor(row, column) : info.CellTextColor(row, column));
    cell.left += CellTextPadding;
    cell.right -= CellTextPadding;
    DrawTextW(dc, text.c_str(), -1, &cell,
              AlignFormat(align) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TListCtrl::PaintRow(HDC dc, int row, const RECT& rect, const std::vector<int>& widths) {
    const bool selected = row == m_selected;
    if (selected || row == m_hot) {
        PaintRowPieces(dc, rect, selected);
    } else if (HBRUSH brush = m_options.rowInfo->RowBackBrush()) {
        FillRect(dc, &rect, brush);
    } else {
        FillSolid(dc, rect, row % 2 ? m_options.oddRowColour : m_options.evenRowColour);
    }
    int left = rect.left;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const RECT cell{left, rect.top, left + widths[column], rect.bottom};
        PaintCell(dc, row, static_cast<int>(column), cell, selected);
        left = cell.right;
    }
}

void TListCtrl::PaintScrollBar(HDC dc, const RECT& client) {
    const RECT track{client.right - ListScrollBarWidth, 0, client.right, client.bottom};
    RECT thumb;
    if (!ThumbRect(&thumb)) {
        // Nothing to scroll: the strip is part of the empty list.
        PaintEmpty(dc, track);
        return;
    }
    FillSolid(dc, track, ScrollTrackColour);
    FillSolid(dc, thumb, ScrollThumbColour);
}

void TListCtrl::PaintEmpty(HDC dc, const RECT& rect) {
    if (HBRUSH brush = m_options.rowInfo->RowBackBrush())
        FillRect(dc, &rect, brush);
    else
        FillSolid(dc, rect, m_options.evenRowColour);
}

void TListCtrl::Paint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    TSelectedFont font(dc, m_options.font);
    const std::vector<int> widths = ColumnWidths(m_options.columns, client.right);
    const int rowsRight = client.right - ListScrollBarWidth;
    const int height = std::max(1, m_options.rowHeight);
    int y = 0;
    for (int row = m_top; row < m_count && y < client.bottom; ++row, y += height)
        PaintRow(dc, row, RECT{0, y, rowsRight, y + height}, widths);
    if (y < client.bottom)
        PaintEmpty(dc, RECT{0, y, rowsRight, client.bottom});
    PaintScrollBar(dc, client);
}

LRESULT TListCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        Paint(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        ScrollTo(m_top);
        Redraw();
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(PointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (m_draggingThumb) {
            m_draggingThumb = false;
            ReleaseCapture();
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        Notify(NM_DBLCLK, RowAt(PointOf(lParam)));
        return 0;
    case WM_RBUTTONDOWN: {
        // The row under the pointer becomes the one the menu acts on.
        SetFocus(hWnd);
        const int row = RowAt(PointOf(lParam));
        if (row >= 0)
            SelectRow(row);
        return 0;
    }
    case WM_RBUTTONUP:
        AskForContextMenu(RowAt(PointOf(lParam)), PointOf(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(PointOf(lParam));
        return 0;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<std::int16_t>(HIWORD(wParam));
        ScrollTo(m_top - delta * WheelRows / WHEEL_DELTA);
        return 0;
    }
    case WM_KEYDOWN:
        OnKey(wParam);
        return 0;
    case WM_TIMER:
        if (wParam == HoverCheckTimer)
            CheckHover();
        return 0;
    case WM_DESTROY:
        KillTimer(hWnd, HoverCheckTimer);
        *handled = false;
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
