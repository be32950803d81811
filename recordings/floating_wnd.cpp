#include "recordings/floating_wnd.h"

#include "language/string_table.h"
#include "platform/cursor.h"
#include "platform/thread.h"
#include "platform/tooltip.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr int FileTabX = 8;
constexpr int TabGap = 3;
constexpr int TabWidth = 76;
constexpr int TabHeight = 22;
constexpr int DockedTabY = 2;
constexpr int FloatingTabY = 7;
constexpr UINT SettleDelayMs = 1;
constexpr UINT FloatSettleDelayMs = 10;
constexpr UINT TooltipDelayMs = 500;
constexpr COLORREF FloatingBorderColour = RGB(255, 255, 255);
constexpr COLORREF PanelColourFallback = RGB(27, 29, 33);

struct TTabButton {
    int id;
    const char* faceImage;
    const char* disabledImage;
    const char* tooltipKey;
    bool shownAtStart;
};
// The list's pair first, then the map's; of each pair the selected face first.
constexpr TTabButton TabButtons[] = {
    {FileTabSelectedId, "resource/skin/controls/file_on.png", "resource/skin/controls/file_off.png",
     "button.file_list", true},
    {FileTabId, "resource/skin/controls/file_off.png", "resource/skin/controls/file_off.png",
     "button.file_list", false},
    {MapTabSelectedId, "resource/skin/controls/map_on.png", "resource/skin/controls/map_off.png",
     "button.map", false},
    {MapTabId, "resource/skin/controls/map_off.png", "resource/skin/controls/map_off.png",
     "button.map", true},
};

struct TCursors {
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR westEast = LoadCursorA(nullptr, IDC_SIZEWE);
    HCURSOR northSouth = LoadCursorA(nullptr, IDC_SIZENS);
    HCURSOR diagonalDown = LoadCursorA(nullptr, IDC_SIZENWSE);
    HCURSOR diagonalUp = LoadCursorA(nullptr, IDC_SIZENESW);
};

const TCursors& Cursors() {
    static const TCursors cursors;
    return cursors;
}

LRESULT FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND)
        return 1;
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, FloatingFrameColour);
    EndPaint(window, &paint);
    return 0;
}

SIZE SizeOf(const RECT& rect) {
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void ChangeStyle(HWND window, DWORD removed, DWORD added) {
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & ~removed) | added));
}

void ChangeExStyle(HWND window, DWORD removed, DWORD added) {
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>((style & ~removed) | added));
}

} // namespace

CFloatingWnd::CFloatingWnd() {
    SetClassName(FloatingWndClass);
}

CFloatingWnd::~CFloatingWnd() {
    DestroyOwnWindow();
    m_canvas.Release();
}

bool CFloatingWnd::Create(HWND owner) {
    if (!IsWindow(owner) || !RegisterWindowClass(FloatingWndClass, BoundWindowProcedure,
                                                 TClassStyle::DoubleClicksRedrawOnResize))
        return false;
    m_owner = owner;
    Cursors();
    RECT client;
    GetClientRect(owner, &client);
    m_dockArea =
        DockAreaOf(client.right, client.bottom, SharedImage(SkinImage::FileBackground).width,
                   SharedImage(SkinImage::GSensorBackground).height);
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             m_dockArea, owner) != nullptr;
}

void CFloatingWnd::SetOwnerClientRect(const RECT& client) {
    m_dockArea = DockAreaOf(client.right - client.left, client.bottom - client.top,
                            SharedImage(SkinImage::FileBackground).width,
                            SharedImage(SkinImage::GSensorBackground).height);
    if (!hWnd || !Docked())
        return;
    const SIZE size = SizeOf(m_dockArea);
    SetWindowPos(hWnd, nullptr, m_dockArea.left, m_dockArea.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CFloatingWnd::Docked() const {
    return hWnd && (GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD);
}

void CFloatingWnd::GetTrackSizes(MINMAXINFO* limits) const {
    const SIZE dock = SizeOf(m_dockArea);
    limits->ptMinTrackSize = POINT{dock.cx, dock.cy};
    limits->ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

CFileListPanel* CFloatingWnd::FileList() const {
    return m_panels ? static_cast<CFileListPanel*>(m_panels->Panel(FileListPanelId)) : nullptr;
}

int CFloatingWnd::SelectedPath(std::string* path) {
    CFileListPanel* list = FileList();
    if (!list) {
        path->clear();
        return -1;
    }
    return list->SelectedPath(path);
}

int CFloatingWnd::PreviousPath(std::string* path) {
    CFileListPanel* list = FileList();
    if (!list) {
        path->clear();
        return NoRows;
    }
    return list->PreviousPath(path);
}

int CFloatingWnd::NextPath(std::string* path) {
    CFileListPanel* list = FileList();
    if (!list) {
        path->clear();
        return NoRows;
    }
    return list->NextPath(path);
}

void CFloatingWnd::SetMapPanel(HWND window) {
    m_mapWindow = window;
    if (m_mapPage)
        m_mapPage->SetHosted(window);
}

CActButton* CFloatingWnd::Tab(int id) {
    for (CActButton& tab : m_tabs) {
        if (tab.hWnd && GetDlgCtrlID(tab.hWnd) == id)
            return &tab;
    }
    return nullptr;
}

void CFloatingWnd::RefreshTooltips() {
    for (const TTabButton& one : TabButtons) {
        std::string text;
        GetString(one.tooltipKey, &text, nullptr);
        if (CActButton* tab = Tab(one.id))
            AttachToolTip(tab->hWnd, text.c_str());
    }
    if (CFileListPanel* list = FileList())
        list->RefreshTooltips();
}

void CFloatingWnd::OnCreate() {
    RECT window;
    GetWindowRect(hWnd, &window);
    HDC dc = GetDC(hWnd);
    m_canvas.Prepare(dc, window.right - window.left, window.bottom - window.top);
    ReleaseDC(hWnd, dc);
    LayOut();
}

void CFloatingWnd::LayOut() {
    RECT window;
    GetWindowRect(hWnd, &window);
    const SIZE size = SizeOf(window);
    DrawBorder(size.cx, size.cy);
    CreateTabs();
    PlaceTabs();
    m_frameRect =
        PanelFrameRect(size.cx, size.cy, Docked() ? TDockState::Docked : TDockState::Floating);
    if (!m_frame)
        CreateFrame();
    if (!m_frame)
        return;
    const SIZE frame = SizeOf(m_frameRect);
    MoveWindow(m_frame, m_frameRect.left, m_frameRect.top, frame.cx, frame.cy, TRUE);
    for (int id : {FileListPanelId, MapPanelId}) {
        if (CPanel* panel = m_panels->Panel(id))
            MoveWindow(panel->hWnd, 0, 0, frame.cx, frame.cy, TRUE);
    }
}

void CFloatingWnd::CreateTabs() {
    if (m_tabs[0].hWnd)
        return;
    HDC reference = GetDC(hWnd);
    int x = FileTabX;
    for (std::size_t i = 0; i < m_tabs.size(); ++i) {
        const TTabButton& one = TabButtons[i];
        TActButtonOptions options;
        options.parent = hWnd;
        options.controlId = one.id;
        options.position = POINT{x, DockedTabY};
        options.size = SIZE{TabWidth, TabHeight};
        options.normalPath = options.pressedPath = options.overPath = one.faceImage;
        options.disabledPath = one.disabledImage;
        options.background = m_canvas.released ? nullptr : m_canvas.dc;
        options.reference = reference;
        if (!one.shownAtStart)
            options.style &= ~WS_VISIBLE;
        m_tabs[i].Create(options);
        // The second pair stands right of the first.
        if (i == 1)
            x += TabWidth + TabGap;
    }
    ReleaseDC(hWnd, reference);
    RefreshTooltips();
}

void CFloatingWnd::CreateFrame() {
    WNDCLASSEXA frameClass;
    frameClass.lpfnWndProc = FrameProcedure;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.lpszClassName = FloatingSubWndClass;
    WNDCLASSEXA existing;
    if (!GetClassInfoExA(frameClass.hInstance, FloatingSubWndClass, &existing))
        RegisterClassExA(&frameClass);
    const SIZE size = SizeOf(m_frameRect);
    m_frame = CreateWindowExA(0, FloatingSubWndClass, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                              m_frameRect.left, m_frameRect.top, size.cx, size.cy, hWnd, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!m_frame)
        return;
    m_panels = std::make_unique<TPanelSet>(m_frame);
    auto list = std::make_unique<TPanelInfo>();
    list->panelId = FileListPanelId;
    auto listPanel = std::make_unique<CFileListPanel>();
    listPanel->SetOwner(m_owner);
    list->panel = std::move(listPanel);
    m_panels->AddPanel(std::move(list));
    auto map = std::make_unique<TPanelInfo>();
    map->panelId = MapPanelId;
    auto mapPage = std::make_unique<CHostPanel>();
    m_mapPage = mapPage.get();
    map->panel = std::move(mapPage);
    if (!m_panels->AddPanel(std::move(map)))
        m_mapPage = nullptr;
    if (m_mapPage && m_mapWindow)
        m_mapPage->SetHosted(m_mapWindow);
    m_panels->ShowPanel(FileListPanelId);
    if (CFileListPanel* panel = FileList())
        panel->RefreshTooltips();
}

void CFloatingWnd::DrawBorder(int width, int height) {
    if (m_canvas.released)
        return;
    const RECT whole{0, 0, width, height};
    const TMemoryDC& toolbar = SharedImage(SkinImage::ToolbarBackground);
    if (toolbar.released) {
        FillSolid(m_canvas.dc, whole, PanelColourFallback);
        return;
    }
    StretchBlt(m_canvas.dc, 0, 0, width, height, toolbar.dc, 0, 0, toolbar.width, toolbar.height,
               SRCCOPY);
    if (!Docked()) {
        HGDIOBJ oldPen = SelectObject(m_canvas.dc, CreatePen(PS_SOLID, 1, FloatingBorderColour));
        HGDIOBJ oldBrush = SelectObject(m_canvas.dc, GetStockObject(NULL_BRUSH));
        Rectangle(m_canvas.dc, 0, 0, width, height);
        SelectObject(m_canvas.dc, oldBrush);
        DeleteObject(SelectObject(m_canvas.dc, oldPen));
        return;
    }
    // Docked, the edges are the toolbar's own first row and column.
    StretchBlt(m_canvas.dc, 0, 0, width, 1, toolbar.dc, 0, 0, toolbar.width, 1, SRCCOPY);
    StretchBlt(m_canvas.dc, 0, height - 1, width, 1, toolbar.dc, 0, 0, toolbar.width, 1, SRCCOPY);
    StretchBlt(m_canvas.dc, 0, 0, 1, height, toolbar.dc, 0, 0, 1, toolbar.height, SRCCOPY);
    StretchBlt(m_canvas.dc, width - 1, 0, 1, height, toolbar.dc, 0, 0, 1, toolbar.height, SRCCOPY);
}

void CFloatingWnd::PlaceTabs() {
    const int y = Docked() ? DockedTabY : FloatingTabY;
    for (CActButton& tab : m_tabs) {
        if (!tab.hWnd)
            continue;
        RECT rect;
        GetWindowRect(tab.hWnd, &rect);
        POINT place{rect.left, rect.top};
        ScreenToClient(hWnd, &place);
        MoveWindow(tab.hWnd, place.x, y, TabWidth, TabHeight, TRUE);
    }
}

void CFloatingWnd::Present() {
    HDC dc = GetDC(hWnd);
    m_canvas.CopyTo(dc);
    ReleaseDC(hWnd, dc);
}

void CFloatingWnd::OnSize(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    RECT window;
    GetWindowRect(hWnd, &window);
    HDC dc = GetDC(hWnd);
    if (window.right - window.left > m_canvas.width || window.bottom - window.top > m_canvas.height)
        m_canvas.Prepare(dc, window.right - window.left, window.bottom - window.top);
    ReleaseDC(hWnd, dc);
    LayOut();
    Present();
    InvalidateRect(hWnd, nullptr, FALSE);
}

void CFloatingWnd::ShowTabPair(int selectedShown, int selectedHidden, int otherShown,
                               int otherHidden) {
    for (int id : {selectedShown, otherShown}) {
        if (CActButton* tab = Tab(id))
            ShowWindow(tab->hWnd, SW_SHOW);
    }
    for (int id : {selectedHidden, otherHidden}) {
        if (CActButton* tab = Tab(id))
            ShowWindow(tab->hWnd, SW_HIDE);
    }
}

void CFloatingWnd::OnTabCommand(int id) {
    if (!m_panels)
        return;
    switch (id) {
    case FileTabId:
        ShowTabPair(FileTabSelectedId, FileTabId, MapTabId, MapTabSelectedId);
        m_panels->ShowPanel(FileListPanelId);
        return;
    case MapTabId:
        ShowTabPair(MapTabSelectedId, MapTabId, FileTabId, FileTabSelectedId);
        if (m_buildMapPage)
            m_buildMapPage();
        m_panels->ShowPanel(MapPanelId);
        return;
    case MapTabSelectedId:
        if (m_buildMapPage)
            m_buildMapPage();
        return;
    default:
        return;
    }
}

LRESULT CFloatingWnd::HitTest(LPARAM lParam) const {
    if (Docked() || IsZoomed(hWnd))
        return HTCAPTION;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hWnd, &point);
    RECT window;
    GetWindowRect(hWnd, &window);
    return FloatingHitTest(point, SizeOf(window), GetSystemMetrics(SM_CYSIZEFRAME));
}

bool CFloatingWnd::OnSetCursor(UINT hitTest) {
    const TCursors& cursors = Cursors();
    HCURSOR cursor = nullptr;
    switch (static_cast<LRESULT>(hitTest)) {
    case HTCAPTION:
        cursor = cursors.hand;
        break;
    case HTLEFT:
    case HTRIGHT:
        cursor = cursors.westEast;
        break;
    case HTTOP:
    case HTBOTTOM:
        cursor = cursors.northSouth;
        break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        cursor = cursors.diagonalDown;
        break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        cursor = cursors.diagonalUp;
        break;
    default:
        return false;
    }
    SetCursor(cursor);
    return true;
}

void CFloatingWnd::Undock() {
    RECT window;
    GetWindowRect(hWnd, &window);
    const SIZE size = SizeOf(window);
    ShowWindow(hWnd, SW_HIDE);
    // As a child the numbers are the parent's; SetParent keeps them, so
    // they are made the screen position first.
    MoveWindow(hWnd, window.left, window.top, size.cx, size.cy, FALSE);
    ChangeExStyle(hWnd, WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    ChangeStyle(hWnd, WS_CHILD | WS_POPUP | WS_SYSMENU | WS_THICKFRAME, WS_POPUP);
    SetParent(hWnd, nullptr);
    // The move loop goes on with the window, now top-level, under the
    // pointer.
    ShowWindow(hWnd, SW_SHOW);
    SetTimer(hWnd, SettleTimer, SettleDelayMs, nullptr);
    m_dockArmed = false;
    m_lastMoveTick = GetTickCount();
}

void CFloatingWnd::Dock() {
    ShowWindow(hWnd, SW_HIDE);
    SetParent(hWnd, m_owner);
    ChangeStyle(hWnd, WS_POPUP | WS_CHILD, WS_CHILD);
    ChangeExStyle(hWnd, WS_EX_TOOLWINDOW, 0);
    // Losing the capture ends the move loop, as the button coming up would.
    ReleaseCapture();
    SetTimer(hWnd, SettleTimer, SettleDelayMs, nullptr);
    m_dockArmed = false;
    m_dragFlags = 0;
}

bool CFloatingWnd::OnMoving(RECT* proposed) {
    if (!(m_dragFlags & DragInProgress) || !proposed)
        return false;
    if (Docked()) {
        Undock();
        return true;
    }
    m_lastMoveTick = GetTickCount();
    RECT dock = m_dockArea;
    POINT origin{0, 0};
    ClientToScreen(m_owner, &origin);
    OffsetRect(&dock, origin.x, origin.y);
    const double overlap = DockOverlap(*proposed, dock);
    if (m_dockArmed && overlap >= DockOverlapNeeded) {
        Dock();
        return true;
    }
    if (overlap < DockOverlapNeeded) {
        m_dockArmed = true;
        return true;
    }
    return false;
}

void CFloatingWnd::SettleAfterMove() {
    if (!Docked()) {
        SetTimer(hWnd, FloatSettledTimer, FloatSettleDelayMs, nullptr);
    } else {
        const SIZE size = SizeOf(m_dockArea);
        SetWindowPos(hWnd, nullptr, m_dockArea.left, m_dockArea.top, size.cx, size.cy,
                     SWP_NOZORDER | SWP_SHOWWINDOW);
        PostMessageA(m_owner, WM_SIDE_WINDOW_DOCKING, 1, 0);
    }
    for (CActButton& tab : m_tabs) {
        if (tab.hWnd && IsWindowVisible(tab.hWnd))
            InvalidateRect(tab.hWnd, nullptr, FALSE);
    }
    CFileListPanel* list = FileList();
    if (list && CurrentPanel() == FileListPanelId)
        list->RedrawButtons();
    LayOut();
    Present();
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CFloatingWnd::OnTimer(UINT_PTR id) {
    KillTimer(hWnd, id);
    switch (id) {
    case SettleTimer:
        SettleAfterMove();
        return;
    case FloatSettledTimer:
        m_lastMoveTick = 0;
        if (!Docked()) {
            PostMessageA(m_owner, WM_SIDE_WINDOW_DOCKING, 0, 0);
            SetTimer(hWnd, TooltipTimer, TooltipDelayMs, nullptr);
        }
        return;
    case TooltipTimer:
        RefreshTooltips();
        return;
    default:
        return;
    }
}

LRESULT CFloatingWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        m_canvas.CopyTo(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        m_canvas.CopyTo(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        RECT window;
        GetWindowRect(hWnd, &window);
        DrawBorder(window.right - window.left, window.bottom - window.top);
        PlaceTabs();
        *handled = false;
        return 0;
    }
    case WM_GETMINMAXINFO:
        GetTrackSizes(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_NCHITTEST:
        return HitTest(lParam);
    case WM_SETCURSOR:
        if (OnSetCursor(LOWORD(lParam)))
            return TRUE;
        *handled = false;
        return 0;
    case WM_NCLBUTTONDOWN: {
        m_dragFlags |= DragInProgress;
        // The move loop runs inside the default handling.
        const LRESULT result = DefWindowProcA(hWnd, message, wParam, lParam);
        m_dragFlags &= ~DragInProgress;
        return result;
    }
    case WM_NCLBUTTONUP:
        m_dragFlags &= ~DragInProgress;
        *handled = false;
        return 0;
    case WM_MOVING:
        if (OnMoving(reinterpret_cast<RECT*>(lParam)))
            return TRUE;
        *handled = false;
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COMMAND:
        OnTabCommand(LOWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    case WM_CLOSE:
        PostMessageA(m_owner, WM_CLOSE, wParam, lParam);
        return 0;
    case WM_DESTROY:
        for (int id : {SettleTimer, FloatSettledTimer, TooltipTimer})
            KillTimer(hWnd, static_cast<UINT_PTR>(id));
        m_mapPage = nullptr;
        if (m_panels)
            m_panels->DestroyPanels();
        m_frame = nullptr;
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
