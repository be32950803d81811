#include "ui/panel.h"

#include "platform/cursor.h"

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

CPanel::~CPanel() {
    DestroyOwnWindow();
    background.Release();
}

void CPanel::PrepareBackground(HDC dc, const RECT& client) {
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    if (!background.Prepare(dc, width, height))
        return;
    HGDIOBJ oldPen = SelectObject(background.dc, GetStockObject(WHITE_PEN));
    HGDIOBJ oldBrush = SelectObject(background.dc, GetStockObject(WHITE_BRUSH));
    Rectangle(background.dc, 0, 0, width, height);
    SelectObject(background.dc, oldBrush);
    SelectObject(background.dc, oldPen);
}

void CPanel::OnDestroy() {
    background.Release();
}

void CPanel::OnSize(int width, int height) {
    HWND parent = GetParent(hWnd);
    if (!parent)
        return;
    RECT client;
    GetClientRect(parent, &client);
    SetWindowPos(hWnd, nullptr, (client.right - width) / 2, (client.bottom - height) / 2, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPanel::OnInitPanel(LPARAM) {}
void CPanel::OnCommand(WPARAM, LPARAM) {}
void CPanel::OnNotify(NMHDR*, LRESULT*) {}
LRESULT CPanel::OnUserMessage(UINT, WPARAM, LPARAM) {
    return 0;
}
LRESULT CPanel::OnRegisteredMessage(UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT CPanel::OnUpDownDelta(NMUPDOWN* notification) {
    if (notification)
        notification->iDelta = -notification->iDelta;
    return 0;
}

void CPanel::OnScroll(UINT, WPARAM, LPARAM) {}
LRESULT CPanel::OnMeasureItem(MEASUREITEMSTRUCT*) {
    return 1;
}

LRESULT CPanel::OnDrawItem(DRAWITEMSTRUCT* item) {
    RouteDrawItem(reinterpret_cast<LPARAM>(item));
    return 1;
}

void CPanel::OnPaint(HDC) {}

void CPanel::OnEraseBackground(HDC dc) {
    if (background.released)
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    BitBlt(dc, 0, 0, client.right, client.bottom, background.dc, 0, 0, SRCCOPY);
}

HBRUSH CPanel::OnCtlColorStatic(HDC, HWND) {
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}
void CPanel::OnLButtonDown(WPARAM, POINT) {}
void CPanel::OnLButtonDblClk(WPARAM, POINT) {}
LRESULT CPanel::OnSetCursor(HWND, UINT, UINT) {
    return 0;
}
bool CPanel::OnActivate(bool) {
    return true;
}
void CPanel::OnTimer(UINT_PTR, LPARAM) {}

LRESULT CPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
    case WM_INITDIALOG: {
        RECT client;
        GetClientRect(hWnd, &client);
        HDC dc = GetDC(hWnd);
        PrepareBackground(dc, client);
        ReleaseDC(hWnd, dc);
        OnInitPanel(0);
        return 0;
    }
    case WM_DESTROY:
        OnDestroy();
        *handled = false;
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && header->code == UDN_DELTAPOS)
            return OnUpDownDelta(reinterpret_cast<NMUPDOWN*>(header));
        LRESULT result = -1;
        OnNotify(header, &result);
        if (result != -1)
            return result;
        *handled = false;
        return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        OnScroll(message, wParam, lParam);
        return 0;
    case WM_MEASUREITEM:
        return OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
        return OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        OnPaint(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush =
                OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(brush);
        *handled = false;
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wParam, PointOf(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(wParam, PointOf(lParam));
        return 0;
    case WM_SETCURSOR:
        if (LRESULT answer =
                OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return answer;
        *handled = false;
        return 0;
    case WM_TIMER:
        OnTimer(wParam, lParam);
        return 0;
    default:
        break;
    }
    if (message >= WM_USER && message <= LastUserMessage)
        return OnUserMessage(message, wParam, lParam);
    if (message >= FirstRegisteredMessage && message <= 0xFFFF)
        return OnRegisteredMessage(message, wParam, lParam);
    *handled = false;
    return 0;
}

bool TPanelSet::AddPanel(std::unique_ptr<TPanelInfo> info) {
    if (!info || !info->panel || !IsWindow(frame))
        return false;
    RECT client;
    GetClientRect(frame, &client);
    HWND window = nullptr;
    if (info->asDialog) {
        DLGPROC procedure = info->dialogProcedure ? info->dialogProcedure : BoundDialogProcedure;
        window = CreateDialogParamA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(info->panelId), frame, procedure,
            reinterpret_cast<LPARAM>(static_cast<TWnd*>(info->panel.get())));
    } else {
        if (!info->className[0] && !RegisterWindowClass(DefaultPanelClass, BoundWindowProcedure))
            return false;
        info->panel->SetClassName(info->className[0] ? info->className : DefaultPanelClass);
        // Made at the frame's size at once, so that the background the panel
        // prepares on creation covers it.
        window = CreateBoundWindow(info->panel.get(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                   client, frame);
    }
    if (!window)
        return false;
    MoveWindow(window, 0, 0, client.right, client.bottom, TRUE);
    panels.push_back(std::move(info));
    return true;
}

void TPanelSet::ShowPanel(int id) {
    if (panels.empty()) {
        currentId = id;
        return;
    }
    if (CPanel* current = Panel(currentId)) {
        if (!current->OnActivate(false))
            return;
    }
    for (const auto& info : panels) {
        CPanel* panel = info->panel.get();
        if (info->panelId == id) {
            ShowWindow(panel->hWnd, SW_SHOW);
            if (info->tabButton)
                EnableWindow(info->tabButton, FALSE);
            if (panel->title[0] && GetParent(frame))
                SetWindowTextA(GetParent(frame), panel->title);
            panel->OnActivate(true);
        } else {
            ShowWindow(panel->hWnd, SW_HIDE);
            if (info->tabButton)
                EnableWindow(info->tabButton, TRUE);
        }
    }
    currentId = id;
}

void TPanelSet::DestroyPanels() {
    for (auto& info : panels) {
        if (info->panel && info->panel->hWnd && IsWindow(info->panel->hWnd))
            DestroyWindow(info->panel->hWnd);
        info->panel.reset();
    }
    panels.clear();
    currentId = -1;
}

CPanel* TPanelSet::Panel(int id) const {
    for (const auto& info : panels) {
        if (info->panelId == id)
            return info->panel.get();
    }
    return nullptr;
}
