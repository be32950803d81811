#include "ui/combo_box.h"

#include <algorithm>

#include "language/wide_text.h"
#include "platform/cursor.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF BorderColour = RGB(172, 172, 172);
constexpr COLORREF SelectionFill = RGB(203, 233, 246);
constexpr COLORREF SelectionEdge = RGB(38, 159, 218);
constexpr int FieldLeft = 3;
constexpr int FieldTop = 5;
constexpr int IconTextLeft = 30;
constexpr int PlainTextLeft = 5;

TComboBox* ComboOf(HWND window) {
    return reinterpret_cast<TComboBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Hands a standard control's messages to `procedure` first; answers the
// control's own procedure.
WNDPROC Subclass(HWND control, TComboBox* combo, WNDPROC procedure) {
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(combo));
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

RECT ScreenRectOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

LRESULT TComboList::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    return m_owner.OnListMessage(message, wParam, lParam, handled);
}

TComboBox::~TComboBox() {
    if (m_list.hWnd)
        DestroyWindow(m_list.hWnd);
    if (hWnd && IsWindow(hWnd))
        DestroyWindow(hWnd);
    hWnd = nullptr;
    m_background.Release();
    if (m_borderPen)
        DeleteObject(m_borderPen);
}

bool TComboBox::Create(const TComboBoxOptions& options) {
    RegisterStandardControls();
    if (!RegisterWindowClass(ComboListClass, BoundWindowProcedure) ||
        !RegisterWindowClass(ComboFrameClass, BoundWindowProcedure, TClassStyle::Plain))
        return false;
    m_options = options;
    SetClassName(ComboFrameClass);
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE, options.rect, options.parent) != nullptr;
}

void TComboBox::AddItem(const std::string& text, int indent) {
    auto item = std::make_unique<TComboItem>();
    item->text = text;
    item->indent = indent;
    m_items.push_back(std::move(item));
}

std::string TComboBox::Text() const {
    if (!m_textField)
        return std::string();
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(m_textField)) + 1, '\0');
    GetWindowTextA(m_textField, text.data(), static_cast<int>(text.size()));
    text.pop_back();
    return text;
}

void TComboBox::SetFieldText(const std::string& text) {
    if (m_textField)
        SetWindowTextA(m_textField, text.c_str());
}

void TComboBox::Select(int index) {
    if (index >= 0 && index < static_cast<int>(m_items.size())) {
        m_selectedIndex = index;
        SetFieldText(m_items[static_cast<std::size_t>(index)]->text);
        if (m_listBox) {
            SendMessageA(m_listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SendMessageA(m_listBox, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
            m_scrollPos = m_options.rowHeight * index;
            SyncScrollBar();
        }
    }
    if (m_textField)
        InvalidateRect(m_textField, nullptr, TRUE);
    if (m_listBox)
        InvalidateRect(m_listBox, nullptr, TRUE);
}

void TComboBox::ToggleList() {
    if (ListOpen()) {
        CloseList();
        SetFocus(m_textField);
        return;
    }
    OpenList();
}

void TComboBox::OpenList() {
    HWND list = CreateBoundWindow(&m_list, WS_POPUP | WS_VISIBLE | WS_BORDER | WS_SYSMENU,
                                  RECT{0, 0, 10, 10}, hWnd);
    if (!list)
        return;
    const RECT field = ScreenRectOf(m_textField);
    const RECT button = ScreenRectOf(m_dropButton.hWnd);
    const int left = field.left - FieldLeft;
    const int top = button.bottom - 1;
    const int bottom =
        std::max(top + m_options.rowHeight, static_cast<int>(button.top) + m_options.listHeight);
    MoveWindow(list, left, top, button.right - left, bottom - top, TRUE);
    SetFocus(m_textField);
}

void TComboBox::CloseList() {
    if (m_list.hWnd)
        SendMessageA(m_list.hWnd, WM_COMBO_CLOSE_LIST, 0, 0);
}

void TComboBox::SyncScrollBar() {
    if (!m_scrollBar || !m_listBox)
        return;
    const auto top = SendMessageA(m_listBox, LB_GETTOPINDEX, 0, 0);
    m_scrollPos = static_cast<int>(top) * m_options.rowHeight;
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = m_scrollPos;
    SetScrollInfo(m_scrollBar, SB_CTL, &info, TRUE);
}

void TComboBox::OnFrameCreate() {
    m_textField =
        CreateWindowExA(0, "edit", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0,
                        0, 10, 10, hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (m_textField) {
        SendMessageA(m_textField, WM_SETFONT, reinterpret_cast<WPARAM>(m_options.font), 0);
        m_textFieldProcedure = Subclass(m_textField, this, TextFieldSubclass);
        if (m_options.readOnly)
            EnableWindow(m_textField, FALSE);
    }
    // Without resource bitmaps the button always comes from an atlas.
    TImageAtlas* atlas = m_options.buttonAtlas ? m_options.buttonAtlas : &ComboButtonAtlas();
    TActButtonOptions button;
    button.parent = hWnd;
    button.controlId = ComboDropButtonId;
    button.faces = TAtlasFaces{atlas, ComboButtonNormalId, ComboButtonPressedId, ComboButtonOverId,
                               ComboButtonNormalId};
    button.shape = ShapeFromImage;
    button.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_OWNERDRAW;
    m_dropButton.Create(button);
    m_borderPen = CreatePen(PS_SOLID, 1, BorderColour);
}

void TComboBox::OnFrameSize(int width, int height) {
    HDC dc = GetDC(hWnd);
    if (m_background.Prepare(dc, width, height)) {
        HGDIOBJ oldPen = SelectObject(m_background.dc, m_borderPen);
        HGDIOBJ oldBrush = SelectObject(m_background.dc, GetStockObject(WHITE_BRUSH));
        Rectangle(m_background.dc, 0, 0, width, height);
        SelectObject(m_background.dc, oldBrush);
        SelectObject(m_background.dc, oldPen);
    }
    ReleaseDC(hWnd, dc);
    RECT button{};
    if (m_dropButton.hWnd)
        GetClientRect(m_dropButton.hWnd, &button);
    if (m_textField)
        MoveWindow(m_textField, FieldLeft, FieldTop, width - button.right - 6, height - 7, TRUE);
    if (m_dropButton.hWnd)
        MoveWindow(m_dropButton.hWnd, width - button.right, (height - button.bottom) / 2,
                   button.right, button.bottom, TRUE);
    InvalidateRect(hWnd, nullptr, TRUE);
}

LRESULT TComboBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        OnFrameCreate();
        return 0;
    case WM_SIZE:
        OnFrameSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        if (!m_background.released) {
            RECT client;
            GetClientRect(hWnd, &client);
            BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom,
                   m_background.dc, 0, 0, SRCCOPY);
        }
        return 1;
    case WM_LBUTTONDOWN:
        ToggleList();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ComboDropButtonId && HIWORD(wParam) == BN_CLICKED)
            ToggleList();
        return 0;
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_COMBO_COMMIT_TEXT: {
        const auto sender = reinterpret_cast<HWND>(wParam);
        const char* text = reinterpret_cast<const char*>(lParam);
        if (sender == m_list.hWnd && text && text[0])
            SetFieldText(text);
        CloseList();
        return 0;
    }
    case WM_DESTROY:
        CloseList();
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

void TComboBox::OnListCreate() {
    HWND window = m_list.hWnd;
    // Made before the list box asks for its row height.
    m_selectionBrush = CreateSolidBrush(SelectionFill);
    m_selectionPen = CreatePen(PS_SOLID, 1, SelectionEdge);
    m_listBox = CreateWindowExA(
        0, "listbox", nullptr,
        WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, 0, 0, 10,
        10, window, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(ComboListBoxId)),
        GetModuleHandleA(nullptr), nullptr);
    if (!m_listBox)
        return;
    SendMessageA(m_listBox, WM_SETFONT, reinterpret_cast<WPARAM>(m_options.font), 0);
    m_listBoxProcedure = Subclass(m_listBox, this, ListBoxSubclass);
    if (m_options.customScrollBar)
        m_scrollBar =
            CreateWindowExA(0, "scrollbar", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 10, 10,
                            window, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (PrepareList(m_listBox, true)) {
        const int rowHeight = m_options.rowHeight;
        SCROLLINFO scrollInfo;
        scrollInfo.fMask = SIF_ALL;
        scrollInfo.nMin = 0;
        scrollInfo.nMax = std::max(0, static_cast<int>(m_items.size()) * rowHeight - 1);
        scrollInfo.nPage = static_cast<UINT>(std::max(rowHeight, m_options.listHeight - rowHeight));
        scrollInfo.nPos = m_scrollPos;
        if (m_scrollBar)
            SetScrollInfo(m_scrollBar, SB_CTL, &scrollInfo, TRUE);
        for (std::size_t i = 0; i < m_items.size(); ++i)
            SendMessageA(m_listBox, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
        if (m_selectedIndex >= 0)
            Select(m_selectedIndex);
    }
    SetCapture(m_listBox);
    SetFocus(m_textField);
}

void TComboBox::DrawRow(const DRAWITEMSTRUCT& item) {
    if (item.itemData >= m_items.size())
        return;
    const TComboItem& row = *m_items[item.itemData];
    HDC dc = item.hDC;
    SetBkMode(dc, TRANSPARENT);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HGDIOBJ oldPen = SelectObject(dc, selected ? m_selectionPen : GetStockObject(WHITE_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, selected ? m_selectionBrush : GetStockObject(WHITE_BRUSH));
    Rectangle(dc, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT text = item.rcItem;
    text.left += row.indent * ComboIndentStep + (row.icon ? IconTextLeft : PlainTextLeft);
    const std::wstring wide = Utf8ToWide(row.text);
    if (m_options.rowFont) {
        Gdiplus::Graphics graphics(dc);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
        Gdiplus::StringFormat format;
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        const Gdiplus::RectF box{static_cast<Gdiplus::REAL>(text.left),
                                 static_cast<Gdiplus::REAL>(text.top),
                                 static_cast<Gdiplus::REAL>(text.right - text.left),
                                 static_cast<Gdiplus::REAL>(text.bottom - text.top)};
        graphics.DrawString(wide.c_str(), -1, m_options.rowFont, box, &format, &black);
        return;
    }
    HFONT rowFont = nullptr;
    if (row.hasFont && row.logFont) {
        LOGFONTA description = *row.logFont;
        description.lfHeight = m_options.rowHeight - 2;
        rowFont = CreateFontIndirectA(&description);
    }
    HGDIOBJ previous = SelectObject(dc, rowFont ? rowFont : m_options.font);
    DrawTextW(dc, wide.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (previous)
        SelectObject(dc, previous);
    if (rowFont)
        DeleteObject(rowFont);
}

LRESULT TComboBox::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        OnListCreate();
        return 0;
    case WM_SIZE: {
        const int width = LOWORD(lParam);
        const int height = HIWORD(lParam);
        const int bar = m_scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        if (m_listBox)
            MoveWindow(m_listBox, 0, 0, width - bar, height, TRUE);
        if (m_scrollBar)
            MoveWindow(m_scrollBar, width - bar, 0, bar, height, TRUE);
        return 0;
    }
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
            static_cast<UINT>(m_options.rowHeight);
        return TRUE;
    case WM_DRAWITEM:
        DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == m_listBox && HIWORD(wParam) == LBN_SELCHANGE) {
            const auto row = static_cast<int>(SendMessageA(m_listBox, LB_GETCURSEL, 0, 0));
            if (row >= 0 && row < static_cast<int>(m_items.size()))
                SetFieldText(m_items[static_cast<std::size_t>(row)]->text);
            InvalidateRect(m_listBox, nullptr, TRUE);
        }
        return 0;
    case WM_VSCROLL: {
        // The bar counts pixels, the list box rows.
        WPARAM forwarded = wParam;
        if (LOWORD(wParam) == SB_THUMBPOSITION || LOWORD(wParam) == SB_THUMBTRACK)
            forwarded =
                MAKEWPARAM(LOWORD(wParam), HIWORD(wParam) / std::max(1, m_options.rowHeight));
        SendMessageA(m_listBox, WM_VSCROLL, forwarded, 0);
        SyncScrollBar();
        return 0;
    }
    case WM_COMBO_CLOSE_LIST:
        DestroyWindow(m_list.hWnd);
        return 0;
    case WM_DESTROY:
        OnListDestroy();
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

void TComboBox::OnListDestroy() {
    if (GetCapture() == m_listBox)
        ReleaseCapture();
    DeleteObject(m_selectionBrush);
    DeleteObject(m_selectionPen);
    m_selectionBrush = nullptr;
    m_selectionPen = nullptr;
    if (m_listBox && IsWindow(m_listBox))
        DestroyWindow(m_listBox);
    m_listBox = nullptr;
    m_scrollBar = nullptr;
}

void TComboBox::CommitChoice(TClickPlace place) {
    const auto row = static_cast<int>(SendMessageA(m_listBox, LB_GETCURSEL, 0, 0));
    HWND frame = hWnd;
    HWND list = m_list.hWnd;
    if (row >= 0 && row < static_cast<int>(m_items.size())) {
        m_selectedIndex = row;
        if (place == TClickPlace::InList)
            SendMessageA(
                frame, WM_COMBO_COMMIT_TEXT, reinterpret_cast<WPARAM>(list),
                reinterpret_cast<LPARAM>(m_items[static_cast<std::size_t>(row)]->text.c_str()));
        SendMessageA(GetParent(frame), WM_COMBO_CHOICE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(frame));
    }
    CloseList();
    if (place == TClickPlace::Outside && m_options.hideOnCommit)
        ShowWindow(frame, SW_HIDE);
}

LRESULT TComboBox::OnListBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    if (message == WM_MOUSEWHEEL) {
        const WORD step = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP;
        CallWindowProcA(m_listBoxProcedure, m_listBox, WM_VSCROLL, MAKEWPARAM(step, 0), 0);
        SyncScrollBar();
        return 0;
    }
    if (message != WM_LBUTTONDOWN) {
        *handled = false;
        return 0;
    }
    RECT client;
    GetClientRect(m_listBox, &client);
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int bar = m_scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const bool onBar = m_scrollBar && point.x >= client.right && point.x < client.right + bar &&
                       point.y >= 0 && point.y < client.bottom;
    if (onBar) {
        SendMessageA(m_scrollBar, WM_LBUTTONDOWN, wParam,
                     MAKELPARAM(point.x - client.right, point.y));
        return 0;
    }
    ReleaseCapture();
    if (!PtInRect(&client, point)) {
        CommitChoice(TClickPlace::Outside);
        return 0;
    }
    CallWindowProcA(m_listBoxProcedure, m_listBox, message, wParam, lParam);
    CommitChoice(TClickPlace::InList);
    return 0;
}

LRESULT TComboBox::ListBoxSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TComboBox* combo = ComboOf(window);
    if (!combo || !combo->m_listBoxProcedure)
        return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC original = combo->m_listBoxProcedure;
    bool handled = false;
    const LRESULT result = combo->OnListBoxMessage(message, wParam, lParam, &handled);
    return handled ? result : CallWindowProcA(original, window, message, wParam, lParam);
}

LRESULT TComboBox::TextFieldSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TComboBox* combo = ComboOf(window);
    if (!combo || !combo->m_textFieldProcedure)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_KEYDOWN) {
        if (wParam == VK_RETURN) {
            const std::string text = combo->Text();
            SendMessageA(combo->hWnd, WM_COMBO_COMMIT_TEXT, reinterpret_cast<WPARAM>(window),
                         reinterpret_cast<LPARAM>(text.c_str()));
            return 0;
        }
        if (wParam == VK_UP || wParam == VK_DOWN) {
            if (combo->m_listBox)
                SendMessageA(combo->m_listBox, WM_KEYDOWN, wParam, lParam);
            return 0;
        }
    }
    if (message == WM_CHAR &&
        (wParam == VK_RETURN || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_ESCAPE))
        return 0;
    return CallWindowProcA(combo->m_textFieldProcedure, window, message, wParam, lParam);
}
