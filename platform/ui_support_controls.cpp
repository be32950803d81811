#include "platform/ui_support_controls.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/cursor.h"
#include "platform/gdi.h"

namespace {

constexpr COLORREF FieldColour = RGB(255, 255, 255);
constexpr COLORREF TrackColour = RGB(226, 228, 232);
constexpr COLORREF ThumbColour = RGB(150, 156, 166);
constexpr int FieldTextInset = 2;
constexpr int MinimumThumb = 12;
constexpr WPARAM BackspaceCharacter = 8;
constexpr WPARAM FirstPrintable = 32;

struct TListState {
    std::vector<ULONG_PTR> items;
    int selected = -1;
    int top = 0;
    int rowHeight = 16;
};

std::map<HWND, HFONT>& Fonts() {
    static std::map<HWND, HFONT> fonts;
    return fonts;
}

std::map<HWND, TListState>& Lists() {
    static std::map<HWND, TListState> lists;
    return lists;
}

std::map<HWND, SCROLLINFO>& Bars() {
    static std::map<HWND, SCROLLINFO> bars;
    return bars;
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

LRESULT CommonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_SETFONT:
        Fonts()[window] = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT: {
        auto found = Fonts().find(window);
        return found == Fonts().end() ? 0 : reinterpret_cast<LRESULT>(found->second);
    }
    case WM_NCDESTROY:
        Fonts().erase(window);
        Lists().erase(window);
        Bars().erase(window);
        *handled = false;
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

HFONT FontOf(HWND window) {
    auto found = Fonts().find(window);
    return found == Fonts().end() ? nullptr : found->second;
}

// The field's brush: white, or what the parent answers for a disabled field.
HBRUSH FieldBrush(HWND window, HDC dc, bool* owned) {
    *owned = false;
    if (!IsWindowEnabled(window) && GetParent(window)) {
        auto answer = SendMessageA(GetParent(window), WM_CTLCOLORSTATIC,
                                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
        if (answer)
            return reinterpret_cast<HBRUSH>(answer);
    }
    *owned = true;
    return CreateSolidBrush(FieldColour);
}

LRESULT EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    const LRESULT common = CommonMessage(window, message, wParam, lParam, &handled);
    if (handled)
        return common;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        bool owned = false;
        HBRUSH brush = FieldBrush(window, dc, &owned);
        FillRect(dc, &client, brush);
        if (owned)
            DeleteObject(brush);
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
        HFONT font = FontOf(window);
        HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        client.left += FieldTextInset;
        DrawTextA(dc, text.c_str(), -1, &client,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (previous)
            SelectObject(dc, previous);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    case WM_CHAR: {
        if (!IsWindowEnabled(window))
            return 0;
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
        text.pop_back();
        if (wParam == BackspaceCharacter) {
            // Drops one whole UTF-8 character.
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
                text.pop_back();
            if (!text.empty())
                text.pop_back();
        } else if (wParam >= FirstPrintable) {
            std::string encoded;
            const auto code = static_cast<std::uint32_t>(wParam);
            if (code < 0x80) {
                encoded += static_cast<char>(code);
            } else if (code < 0x800) {
                encoded += static_cast<char>(0xC0 | (code >> 6));
                encoded += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                encoded += static_cast<char>(0xE0 | (code >> 12));
                encoded += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                encoded += static_cast<char>(0x80 | (code & 0x3F));
            }
            text += encoded;
        } else {
            return 0;
        }
        SetWindowTextA(window, text.c_str());
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_ENABLE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void NotifyParent(HWND window, WORD code) {
    if (GetParent(window))
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code),
                     reinterpret_cast<LPARAM>(window));
}

int VisibleRows(HWND window, const TListState& list) {
    RECT client;
    GetClientRect(window, &client);
    return std::max(1, static_cast<int>(client.bottom) / std::max(1, list.rowHeight));
}

void SetTop(HWND window, TListState& list, int top) {
    const int count = static_cast<int>(list.items.size());
    const int highest = std::max(0, count - VisibleRows(window, list));
    list.top = std::clamp(top, 0, highest);
    InvalidateRect(window, nullptr, TRUE);
}

void PaintList(HWND window, TListState& list) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    Fill(dc, client, FieldColour);
    for (int row = list.top; row < static_cast<int>(list.items.size()); ++row) {
        const int y = (row - list.top) * list.rowHeight;
        if (y >= client.bottom)
            break;
        DRAWITEMSTRUCT item;
        item.CtlType = ODT_LISTBOX;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(window));
        item.itemID = static_cast<UINT>(row);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = row == list.selected ? ODS_SELECTED : 0;
        item.hwndItem = window;
        item.hDC = dc;
        item.rcItem = RECT{0, y, client.right, y + list.rowHeight};
        item.itemData = list.items[static_cast<std::size_t>(row)];
        SendMessageA(GetParent(window), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    }
    EndPaint(window, &paint);
}

int RowAt(const TListState& list, int y) {
    if (y < 0)
        return -1;
    const int row = list.top + y / std::max(1, list.rowHeight);
    return row < static_cast<int>(list.items.size()) ? row : -1;
}

void Select(HWND window, TListState& list, int row, bool notify) {
    if (row == list.selected)
        return;
    list.selected = row;
    if (row >= 0 && row < list.top)
        SetTop(window, list, row);
    else if (row >= list.top + VisibleRows(window, list))
        SetTop(window, list, row - VisibleRows(window, list) + 1);
    InvalidateRect(window, nullptr, TRUE);
    if (notify && (GetWindowLongA(window, GWL_STYLE) & LBS_NOTIFY))
        NotifyParent(window, LBN_SELCHANGE);
}

LRESULT ListMessage(HWND window, TListState& list, UINT message, WPARAM wParam, LPARAM lParam) {
    const int count = static_cast<int>(list.items.size());
    switch (message) {
    case LB_ADDSTRING:
        list.items.push_back(static_cast<ULONG_PTR>(lParam));
        InvalidateRect(window, nullptr, TRUE);
        return count;
    case LB_RESETCONTENT:
        list = TListState{{}, -1, 0, list.rowHeight};
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case LB_SETCURSEL: {
        const int row = static_cast<int>(static_cast<std::intptr_t>(wParam));
        Select(window, list, row >= 0 && row < count ? row : -1, false);
        return row >= 0 && row < count ? row : LB_ERR;
    }
    case LB_GETCURSEL:
        return list.selected;
    case LB_GETCOUNT:
        return count;
    case LB_GETTOPINDEX:
        return list.top;
    case LB_SETTOPINDEX:
        SetTop(window, list, static_cast<int>(wParam));
        return 0;
    case LB_GETITEMDATA:
        return wParam < list.items.size() ? static_cast<LRESULT>(list.items[wParam]) : LB_ERR;
    case LB_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        RECT client;
        GetClientRect(window, &client);
        const int y = (static_cast<int>(wParam) - list.top) * list.rowHeight;
        *rect = RECT{0, y, client.right, y + list.rowHeight};
        return 1;
    }
    case LB_ITEMFROMPOINT: {
        const int row = RowAt(list, GET_Y_LPARAM(lParam));
        return row < 0 ? MAKELONG(static_cast<WORD>(count), 1) : row;
    }
    default:
        return LB_ERR;
    }
}

LRESULT ListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    const LRESULT common = CommonMessage(window, message, wParam, lParam, &handled);
    if (handled)
        return common;
    if (message == WM_CREATE) {
        TListState& list = Lists()[window];
        MEASUREITEMSTRUCT measure;
        measure.CtlType = ODT_LISTBOX;
        measure.CtlID = static_cast<UINT>(GetDlgCtrlID(window));
        measure.itemHeight = static_cast<UINT>(list.rowHeight);
        if (GetParent(window))
            SendMessageA(GetParent(window), WM_MEASUREITEM, measure.CtlID,
                         reinterpret_cast<LPARAM>(&measure));
        list.rowHeight = std::max(1, static_cast<int>(measure.itemHeight));
        return 0;
    }
    auto found = Lists().find(window);
    if (found == Lists().end())
        return DefWindowProcA(window, message, wParam, lParam);
    TListState& list = found->second;
    if (message >= LB_ADDSTRING && message <= LB_ITEMFROMPOINT)
        return ListMessage(window, list, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintList(window, list);
        return 0;
    // A list made small and then sized to its rows would keep a top row
    // that leaves its last page short.
    case WM_SIZE:
        SetTop(window, list, list.top);
        return 0;
    case WM_LBUTTONDOWN: {
        const int row = RowAt(list, GET_Y_LPARAM(lParam));
        if (row >= 0)
            Select(window, list, row, true);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_UP && list.selected > 0)
            Select(window, list, list.selected - 1, true);
        else if (wParam == VK_DOWN && list.selected + 1 < static_cast<int>(list.items.size()))
            Select(window, list, list.selected + 1, true);
        return 0;
    case WM_VSCROLL:
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            SetTop(window, list, list.top - 1);
            break;
        case SB_LINEDOWN:
            SetTop(window, list, list.top + 1);
            break;
        case SB_PAGEUP:
            SetTop(window, list, list.top - VisibleRows(window, list));
            break;
        case SB_PAGEDOWN:
            SetTop(window, list, list.top + VisibleRows(window, list));
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            SetTop(window, list, HIWORD(wParam));
            break;
        default:
            break;
        }
        return 0;
    case WM_MOUSEWHEEL:
        SetTop(window, list, list.top + (GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : -1));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The thumb's span along the bar, in pixels.
void ThumbSpan(HWND window, const SCROLLINFO& info, int* top, int* bottom) {
    RECT client;
    GetClientRect(window, &client);
    const int length = client.bottom;
    const int range = std::max(1, info.nMax - info.nMin + 1);
    const int page = info.nPage ? static_cast<int>(info.nPage) : range;
    const int thumb =
        std::clamp(length * page / range, MinimumThumb, std::max(MinimumThumb, length));
    const int travel = std::max(1, range - page);
    const int free = std::max(0, length - thumb);
    *top = free * std::clamp(info.nPos - info.nMin, 0, travel) / travel;
    *bottom = *top + thumb;
}

LRESULT ScrollProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    const LRESULT common = CommonMessage(window, message, wParam, lParam, &handled);
    if (handled)
        return common;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        Fill(dc, client, TrackColour);
        const SCROLLINFO& info = Bars()[window];
        int top = 0;
        int bottom = 0;
        ThumbSpan(window, info, &top, &bottom);
        Fill(dc, RECT{2, top + 1, client.right - 2, bottom - 1}, ThumbColour);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const SCROLLINFO& info = Bars()[window];
        int top = 0;
        int bottom = 0;
        ThumbSpan(window, info, &top, &bottom);
        const int y = GET_Y_LPARAM(lParam);
        const WORD code = y < top ? SB_PAGEUP : (y >= bottom ? SB_PAGEDOWN : SB_THUMBPOSITION);
        if (GetParent(window))
            SendMessageA(GetParent(window), WM_VSCROLL, MAKEWPARAM(code, info.nPos),
                         reinterpret_cast<LPARAM>(window));
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void RegisterOne(const char* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXA windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);
}

} // namespace

void RegisterStandardControls() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterOne("edit", EditProcedure, CS_DBLCLKS);
    RegisterOne("listbox", ListProcedure, CS_DBLCLKS);
    RegisterOne("scrollbar", ScrollProcedure, 0);
}

int SetScrollInfo(HWND window, int, const SCROLLINFO* info, BOOL redraw) {
    if (!info || !IsWindow(window))
        return 0;
    SCROLLINFO& bar = Bars()[window];
    if (info->fMask & SIF_RANGE) {
        bar.nMin = info->nMin;
        bar.nMax = info->nMax;
    }
    if (info->fMask & SIF_PAGE)
        bar.nPage = info->nPage;
    if (info->fMask & SIF_POS)
        bar.nPos = info->nPos;
    const int highest = std::max(bar.nMin, bar.nMax - static_cast<int>(bar.nPage) + 1);
    bar.nPos = std::clamp(bar.nPos, bar.nMin, highest);
    if (redraw)
        InvalidateRect(window, nullptr, TRUE);
    return bar.nPos;
}

BOOL GetScrollInfo(HWND window, int, SCROLLINFO* info) {
    auto found = Bars().find(window);
    if (!info || found == Bars().end())
        return FALSE;
    const UINT mask = info->fMask;
    *info = found->second;
    info->fMask = mask;
    return TRUE;
}
