#include "ui/combo_box.h"

#include <algorithm>

#include "language/wide_text.h"
#include "platform/cursor.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF BorderColour = RGB(172, 172, 172);
constexpr COLORREF SelectionFill = RGB(203, 233, 246);
constexpr COLORREF SelectionEdge = RGB(38, 159, 218);
constexpr COLORREF ListBackground = RGB(210, 210, 210);
constexpr int FieldLeft = 3;
constexpr int FieldTop = 5;
constexpr int IconLeft = 8;
constexpr int IconSize = 16;
constexpr int IconTextLeft = 30;
constexpr int PlainTextLeft = 5;
constexpr std::size_t TextBufferSize = 4096;

TComboBox* ComboOf(HWND window) {
    return reinterpret_cast<TComboBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool RegisterClassOnce(const char* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXA existing;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &existing))
        return true;
    WNDCLASSEXA windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

RECT ScreenRectOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

TComboBox::~TComboBox() {
    if (listWindow && IsWindow(listWindow))
        DestroyWindow(listWindow);
    if (hWnd && IsWindow(hWnd)) {
        HWND frame = hWnd;
        DestroyWindow(frame);
    }
    hWnd = nullptr;
    background.Release();
    if (borderPen)
        DeleteObject(borderPen);
}

bool TComboBox::Create(HWND parent, const RECT& rect, HFONT listFont, Gdiplus::Font* rowFont) {
    RegisterStandardControls();
    if (!RegisterClassOnce(ComboListClass, ListWindowProcedure, CS_DBLCLKS) ||
        !RegisterClassOnce(ComboFrameClass, FrameProcedure, 0))
        return false;
    font = listFont;
    gdipFont = rowFont;
    textBuffer.reserve(TextBufferSize);
    SetClassName(ComboFrameClass);
    HWND frame = CreateWindowExA(0, ComboFrameClass, nullptr, WS_CHILD | WS_VISIBLE, rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                 nullptr, GetModuleHandleA(nullptr), this);
    return frame != nullptr;
}

void TComboBox::AddItem(const std::string& text, int indent) {
    auto item = std::make_unique<TComboItem>();
    item->text = text;
    item->indent = indent;
    items.push_back(std::move(item));
}

std::string TComboBox::Text() const {
    if (!textField)
        return std::string();
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(textField)) + 1, '\0');
    GetWindowTextA(textField, text.data(), static_cast<int>(text.size()));
    text.pop_back();
    return text;
}

void TComboBox::SetFieldText(const std::string& text) {
    if (textField)
        SetWindowTextA(textField, text.c_str());
}

void TComboBox::Select(int index) {
    if (index >= 0 && index < static_cast<int>(items.size())) {
        selectedIndex = index;
        textBuffer = Utf8ToWide(items[static_cast<std::size_t>(index)]->text);
        SetFieldText(items[static_cast<std::size_t>(index)]->text);
        if (listBox) {
            SendMessageA(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SendMessageA(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
            scrollPos = rowHeight * index;
            SyncScrollBar();
        }
    }
    if (textField)
        InvalidateRect(textField, nullptr, TRUE);
    if (listBox)
        InvalidateRect(listBox, nullptr, TRUE);
}

void TComboBox::ToggleList() {
    if (listWindow) {
        CloseList();
        SetFocus(textField);
        return;
    }
    OpenList();
}

void TComboBox::OpenList() {
    HWND list = CreateWindowExA(0, ComboListClass, nullptr, WS_POPUP | WS_VISIBLE | WS_BORDER | WS_SYSMENU,
                                0, 0, 10, 10, hWnd, nullptr, GetModuleHandleA(nullptr), this);
    if (!list)
        return;
    const RECT field = ScreenRectOf(textField);
    const RECT button = ScreenRectOf(dropButton.hWnd);
    const int left = field.left - FieldLeft;
    const int top = button.bottom - 1;
    const int bottom = std::max(top + rowHeight, static_cast<int>(button.top) + listHeight);
    MoveWindow(list, left, top, button.right - left, bottom - top, TRUE);
    SetFocus(textField);
}

void TComboBox::CloseList() {
    if (listWindow && IsWindow(listWindow))
        SendMessageA(listWindow, WM_COMBO_CLOSE_LIST, 0, 0);
    listWindow = nullptr;
}

void TComboBox::SyncScrollBar() {
    if (!scrollBar || !listBox)
        return;
    const auto top = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    scrollPos = static_cast<int>(top) * rowHeight;
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = scrollPos;
    SetScrollInfo(scrollBar, SB_CTL, &info, TRUE);
}

void TComboBox::OnFrameCreate() {
    textField = CreateWindowExA(0, "edit", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                0, 0, 10, 10, hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (textField) {
        SendMessageA(textField, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        SetWindowLongPtrA(textField, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_textFieldProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(textField, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextFieldSubclass)));
        if (readOnly)
            EnableWindow(textField, FALSE);
    }
    // Without resource bitmaps the button always comes from an atlas.
    TImageAtlas* atlas = buttonAtlas ? buttonAtlas : &ComboButtonAtlas();
    dropButton.shape = ShapeFromImage;
    dropButton.CreateFromAtlas(atlas, ComboButtonNormalId, ComboButtonPressedId, ComboButtonOverId,
                               ComboButtonNormalId, POINT{0, 0}, hWnd, ComboDropButtonId,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_OWNERDRAW);
    borderPen = CreatePen(PS_SOLID, 1, BorderColour);
}

void TComboBox::OnFrameSize(int width, int height) {
    HDC dc = GetDC(hWnd);
    if (background.Prepare(dc, width, height)) {
        HGDIOBJ oldPen = SelectObject(background.dc, borderPen);
        HGDIOBJ oldBrush = SelectObject(background.dc, GetStockObject(WHITE_BRUSH));
        Rectangle(background.dc, 0, 0, width, height);
        SelectObject(background.dc, oldBrush);
        SelectObject(background.dc, oldPen);
    }
    ReleaseDC(hWnd, dc);
    RECT button{};
    if (dropButton.hWnd)
        GetClientRect(dropButton.hWnd, &button);
    if (textField)
        MoveWindow(textField, FieldLeft, FieldTop, width - button.right - 6, height - 7, TRUE);
    if (dropButton.hWnd)
        MoveWindow(dropButton.hWnd, width - button.right, (height - button.bottom) / 2, button.right,
                   button.bottom, TRUE);
    InvalidateRect(hWnd, nullptr, TRUE);
}

LRESULT TComboBox::OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        OnFrameCreate();
        return 0;
    case WM_SIZE:
        OnFrameSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        if (!background.released) {
            RECT client;
            GetClientRect(hWnd, &client);
            BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom, background.dc, 0,
                   0, SRCCOPY);
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
        if (sender == listWindow && text && text[0])
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

void TComboBox::OnListCreate(HWND window) {
    listWindow = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Made before the list box asks for its row height.
    selectionBrush = CreateSolidBrush(SelectionFill);
    selectionPen = CreatePen(PS_SOLID, 1, SelectionEdge);
    listBackgroundBrush = CreateSolidBrush(ListBackground);
    listBox = CreateWindowExA(0, "listbox", nullptr,
                              WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
                              0, 0, 10, 10, window,
                              reinterpret_cast<HMENU>(static_cast<std::intptr_t>(ComboListBoxId)),
                              GetModuleHandleA(nullptr), nullptr);
    if (!listBox)
        return;
    SendMessageA(listBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SetWindowLongPtrA(listBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_listBoxProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListBoxSubclass)));
    if (customScrollBar)
        scrollBar = CreateWindowExA(0, "scrollbar", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 10,
                                    10, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (PrepareList(listBox, true)) {
        scrollInfo.fMask = SIF_ALL;
        scrollInfo.nMin = 0;
        scrollInfo.nMax = std::max(0, static_cast<int>(items.size()) * rowHeight - 1);
        scrollInfo.nPage = static_cast<UINT>(std::max(rowHeight, listHeight - rowHeight));
        scrollInfo.nPos = scrollPos;
        if (scrollBar)
            SetScrollInfo(scrollBar, SB_CTL, &scrollInfo, TRUE);
        for (std::size_t i = 0; i < items.size(); ++i)
            SendMessageA(listBox, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
        if (selectedIndex >= 0)
            Select(selectedIndex);
    }
    SetCapture(listBox);
    SetFocus(textField);
}

void TComboBox::DrawRow(const DRAWITEMSTRUCT& item) {
    if (item.itemData >= items.size())
        return;
    const TComboItem& row = *items[item.itemData];
    HDC dc = item.hDC;
    SetBkMode(dc, TRANSPARENT);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HGDIOBJ oldPen = SelectObject(dc, selected ? selectionPen : GetStockObject(WHITE_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, selected ? selectionBrush : GetStockObject(WHITE_BRUSH));
    Rectangle(dc, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT text = item.rcItem;
    text.left += row.indent * ComboIndentStep + (row.icon ? IconTextLeft : PlainTextLeft);
    (void)IconLeft;
    (void)IconSize;
    const std::wstring wide = Utf8ToWide(row.text);
    if (gdipFont) {
        Gdiplus::Graphics graphics(dc);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
        Gdiplus::StringFormat format;
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        const Gdiplus::RectF box{static_cast<Gdiplus::REAL>(text.left), static_cast<Gdiplus::REAL>(text.top),
                                 static_cast<Gdiplus::REAL>(text.right - text.left),
                                 static_cast<Gdiplus::REAL>(text.bottom - text.top)};
        graphics.DrawString(wide.c_str(), -1, gdipFont, box, &format, &black);
        return;
    }
    HFONT rowFont = nullptr;
    if (row.hasFont && row.logFont) {
        LOGFONTA description = *row.logFont;
        description.lfHeight = rowHeight - 2;
        rowFont = CreateFontIndirectA(&description);
    }
    HGDIOBJ previous = SelectObject(dc, rowFont ? rowFont : font);
    DrawTextW(dc, wide.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (previous)
        SelectObject(dc, previous);
    if (rowFont)
        DeleteObject(rowFont);
}

LRESULT TComboBox::OnListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_SIZE: {
        const int width = LOWORD(lParam);
        const int height = HIWORD(lParam);
        const int bar = scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        if (listBox)
            MoveWindow(listBox, 0, 0, width - bar, height, TRUE);
        if (scrollBar)
            MoveWindow(scrollBar, width - bar, 0, bar, height, TRUE);
        return 0;
    }
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(rowHeight);
        return TRUE;
    case WM_DRAWITEM:
        DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == listBox && HIWORD(wParam) == LBN_SELCHANGE) {
            const auto row = static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
            if (row >= 0 && row < static_cast<int>(items.size()))
                SetFieldText(items[static_cast<std::size_t>(row)]->text);
            InvalidateRect(listBox, nullptr, TRUE);
        }
        return 0;
    case WM_VSCROLL: {
        // The bar counts pixels, the list box rows.
        WPARAM forwarded = wParam;
        if (LOWORD(wParam) == SB_THUMBPOSITION || LOWORD(wParam) == SB_THUMBTRACK)
            forwarded = MAKEWPARAM(LOWORD(wParam), HIWORD(wParam) / std::max(1, rowHeight));
        SendMessageA(listBox, WM_VSCROLL, forwarded, 0);
        SyncScrollBar();
        return 0;
    }
    case WM_COMBO_CLOSE_LIST:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (GetCapture() == listBox)
            ReleaseCapture();
        DeleteObject(selectionBrush);
        DeleteObject(selectionPen);
        DeleteObject(listBackgroundBrush);
        selectionBrush = nullptr;
        selectionPen = nullptr;
        listBackgroundBrush = nullptr;
        if (listBox && IsWindow(listBox))
            DestroyWindow(listBox);
        listBox = nullptr;
        scrollBar = nullptr;
        if (listWindow == window)
            listWindow = nullptr;
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

void TComboBox::CommitChoice(bool fromOutside) {
    const auto row = static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    HWND frame = hWnd;
    HWND list = listWindow;
    if (row >= 0 && row < static_cast<int>(items.size())) {
        selectedIndex = row;
        if (!fromOutside)
            SendMessageA(frame, WM_COMBO_COMMIT_TEXT, reinterpret_cast<WPARAM>(list),
                         reinterpret_cast<LPARAM>(items[static_cast<std::size_t>(row)]->text.c_str()));
        SendMessageA(GetParent(frame), WM_COMBO_CHOICE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(frame));
    }
    CloseList();
    if (fromOutside && hideOnCommit)
        ShowWindow(frame, SW_HIDE);
}

LRESULT TComboBox::OnListBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    if (message == WM_MOUSEWHEEL) {
        const WORD step = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP;
        CallWindowProcA(m_listBoxProcedure, listBox, WM_VSCROLL, MAKEWPARAM(step, 0), 0);
        SyncScrollBar();
        return 0;
    }
    if (message != WM_LBUTTONDOWN) {
        *handled = false;
        return 0;
    }
    RECT client;
    GetClientRect(listBox, &client);
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int bar = scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const bool onBar = scrollBar && point.x >= client.right && point.x < client.right + bar &&
                       point.y >= 0 && point.y < client.bottom;
    if (onBar) {
        SendMessageA(scrollBar, WM_LBUTTONDOWN, wParam, MAKELPARAM(point.x - client.right, point.y));
        return 0;
    }
    ReleaseCapture();
    if (!PtInRect(&client, point)) {
        CommitChoice(true);
        return 0;
    }
    CallWindowProcA(m_listBoxProcedure, listBox, message, wParam, lParam);
    CommitChoice(false);
    return 0;
}

LRESULT TComboBox::FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* combo = BoundObject<TComboBox>(window, message, lParam);
    if (!combo)
        return DefWindowProcA(window, message, wParam, lParam);
    bool handled = false;
    const LRESULT result = combo->OnFrameMessage(message, wParam, lParam, &handled);
    if (message == WM_NCDESTROY)
        UnbindWindow(window);
    return handled ? result : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TComboBox::ListWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TComboBox* combo = nullptr;
    if (message == WM_CREATE) {
        combo = static_cast<TComboBox*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (combo)
            combo->OnListCreate(window);
        return 0;
    }
    combo = ComboOf(window);
    if (!combo)
        return DefWindowProcA(window, message, wParam, lParam);
    bool handled = false;
    const LRESULT result = combo->OnListMessage(window, message, wParam, lParam, &handled);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return handled ? result : DefWindowProcA(window, message, wParam, lParam);
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
            if (combo->listBox)
                SendMessageA(combo->listBox, WM_KEYDOWN, wParam, lParam);
            return 0;
        }
    }
    if (message == WM_CHAR && (wParam == VK_RETURN || wParam == VK_UP || wParam == VK_DOWN ||
                               wParam == VK_ESCAPE))
        return 0;
    return CallWindowProcA(combo->m_textFieldProcedure, window, message, wParam, lParam);
}
