#include "app/main_wnd.h"

#include "app/termination_signals.h"
#include "platform/monitor.h"
#include "settings/viewer_preferences.h"
#include "ui/memory_dc_man.h"

namespace {

// How often the window looks for a termination signal.
constexpr UINT_PTR kTerminationTimer = 2;
constexpr UINT kTerminationPollMs = 100;

constexpr COLORREF kPanelColour = RGB(27, 29, 33);
constexpr COLORREF kListColour = RGB(17, 17, 17);

constexpr const char* kCloseImage = "resource/skin/controls/top_close.png";
constexpr const char* kMaximiseImage = "resource/skin/controls/top_maximize.png";
constexpr const char* kMinimiseImage = "resource/skin/controls/top_minimize.png";

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Loaded(const TMemoryDC& picture) { return picture.dc && picture.width > 0 && picture.height > 0; }

// The whole picture over `target`, stretched as needed; the panel colour
// where the picture is missing.
void StretchPicture(HDC dc, const RECT& target, SkinImage image) {
    if (Width(target) <= 0 || Height(target) <= 0)
        return;
    const TMemoryDC& picture = SharedImage(image);
    if (!Loaded(picture)) {
        FillSolid(dc, target, kPanelColour);
        return;
    }
    StretchBlt(dc, target.left, target.top, Width(target), Height(target), picture.dc, 0, 0, picture.width,
               picture.height, SRCCOPY);
}

// The picture at its natural size with its top-left corner at (x, y).
void CopyPicture(HDC dc, int x, int y, SkinImage image) {
    const TMemoryDC& picture = SharedImage(image);
    if (Loaded(picture))
        BitBlt(dc, x, y, picture.width, picture.height, picture.dc, 0, 0, SRCCOPY);
}

TLayoutMetrics MetricsFromSkin() {
    TLayoutMetrics metrics;
    const TMemoryDC& file = SharedImage(SkinImage::FileBackground);
    const TMemoryDC& gsensor = SharedImage(SkinImage::GSensorBackground);
    if (Loaded(file))
        metrics.sideWindowWidth = file.width;
    if (Loaded(gsensor)) {
        metrics.bottomRowHeight = gsensor.height;
        metrics.gsensorWidth = gsensor.width;
    }
    return metrics;
}

} // namespace

CMainWnd::~CMainWnd() { DestroyOwnWindow(); }

bool CMainWnd::Create(const TMainWndOptions& options) {
    m_options = options;
    SetClassName(kMainWndClass);
    if (!RegisterWindowClass(kMainWndClass, BoundWindowProcedure, TClassStyle::DoubleClicksRedrawOnResize))
        return false;
    return CreateWnd(this, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, options.origin.x, options.origin.y, kMainWidth,
                     kMainHeight, nullptr);
}

void CMainWnd::TrackLimits(MINMAXINFO* limits) {
    MainTrackLimits(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN), limits);
}

RECT CMainWnd::WindowRect() const {
    RECT rect{};
    if (hWnd)
        GetWindowRect(hWnd, &rect);
    return rect;
}

TMainLayout CMainWnd::Layout() const {
    RECT client{};
    if (hWnd)
        GetClientRect(hWnd, &client);
    return MainLayout(client.right, client.bottom, m_metrics);
}

LRESULT CMainWnd::HitTest(POINT screenPoint) const { return FrameHitTest(WindowRect(), screenPoint, m_placement); }

void CMainWnd::ToggleMaximise() {
    if (!hWnd)
        return;
    const RECT current = WindowRect();
    MONITORINFO monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&current, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    RECT target = monitor.rcWork;
    if (SameRect(current, monitor.rcWork)) {
        m_placement = TPlacement::Normal;
        target = m_lastNormalRect;
    } else {
        m_lastNormalRect = current;
        m_placement = TPlacement::Maximised;
    }
    SetWindowPos(hWnd, nullptr, target.left, target.top, Width(target), Height(target),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainWnd::ApplyPreferences() {
    const bool onTop = Preferences().alwaysTop != 0;
    SetWindowPos(hWnd, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMainWnd::OnCreate() {
    if (m_options.initialise)
        m_options.initialise(hWnd);
    m_metrics = MetricsFromSkin();
    RECT client;
    GetClientRect(hWnd, &client);
    HDC dc = GetDC(hWnd);
    m_background.Prepare(dc, client.right, client.bottom);
    ReleaseDC(hWnd, dc);
    DrawFrame(client.right, client.bottom);
    CreateCaptionButtons();
    m_lastNormalRect = WindowRect();
    SetTimer(hWnd, kTerminationTimer, kTerminationPollMs, nullptr);
    ApplyPreferences();
}

void CMainWnd::DrawFrame(int width, int height) {
    HDC dc = m_background.dc;
    if (!dc)
        return;
    FillSolid(dc, RECT{0, 0, width, height}, kPanelColour);
    const TMemoryDC& logo = SharedImage(SkinImage::TopFrameLogo);
    const TMemoryDC& right = SharedImage(SkinImage::TopFrameRight);
    const int rightLeft = width - (Loaded(right) ? right.width : 0);
    StretchPicture(dc, RECT{Loaded(logo) ? logo.width : 0, 0, rightLeft, kCaptionHeight}, SkinImage::TopFrameCenter);
    CopyPicture(dc, 0, 0, SkinImage::TopFrameLogo);
    CopyPicture(dc, rightLeft, 0, SkinImage::TopFrameRight);
    const int bottomTop = height - kBottomBandHeight;
    StretchPicture(dc, RECT{0, kCaptionHeight, kSideBorderWidth, bottomTop}, SkinImage::LeftFrame);
    StretchPicture(dc, RECT{width - kSideBorderWidth, kCaptionHeight, width, bottomTop}, SkinImage::RightFrame);
    StretchPicture(dc, RECT{0, bottomTop, width, height}, SkinImage::Bottom);

    // What the panels and controls will cover shows their backgrounds until
    // they are there.
    const TMainLayout layout = MainLayout(width, height, m_metrics);
    StretchPicture(dc, layout.toolbar, SkinImage::ToolbarBackground);
    StretchPicture(dc, layout.videoArea, SkinImage::ToolbarBackground);
    StretchPicture(dc, layout.positionBand, SkinImage::TimeBarBackground);
    StretchPicture(dc, layout.playbackBand, SkinImage::ControlBarBackground);
    CopyPicture(dc, layout.gpsReadOut.left, layout.gpsReadOut.top, SkinImage::GpsBackground);
    CopyPicture(dc, layout.gsensor.left, layout.gsensor.top, SkinImage::GSensorBackground);
    CopyPicture(dc, layout.pictureAdjust.left, layout.pictureAdjust.top, SkinImage::BrightnessBackground);
    FillSolid(dc, layout.sideWindow, kListColour);
    CopyPicture(dc, layout.sideWindow.left, layout.sideWindow.top, SkinImage::FileBackground);
}

void CMainWnd::CreateCaptionButtons() {
    RECT client;
    GetClientRect(hWnd, &client);
    struct TCaptionButton {
        CActButton* button;
        int command;
        const char* image;
    };
    const TCaptionButton buttons[] = {{&m_closeButton, kCloseCommand, kCloseImage},
                                      {&m_maximiseButton, kMaximiseCommand, kMaximiseImage},
                                      {&m_minimiseButton, kMinimiseCommand, kMinimiseImage}};
    HDC reference = GetDC(hWnd);
    int x = client.right;
    for (const TCaptionButton& one : buttons) {
        x -= kCaptionButtonWidth;
        TActButtonOptions options;
        options.parent = hWnd;
        options.controlId = one.command;
        options.position = POINT{x, 0};
        options.size = SIZE{kCaptionButtonWidth, kCaptionButtonHeight};
        options.normalPath = one.image;
        options.background = m_background.dc;
        options.reference = reference;
        one.button->Create(options);
    }
    ReleaseDC(hWnd, reference);
}

void CMainWnd::PlaceCaptionButtons(int width) {
    // The buttons sit on the caption's right piece, which is the same at any
    // width, so the pictures composited over it stay right.
    CActButton* const buttons[] = {&m_closeButton, &m_maximiseButton, &m_minimiseButton};
    int x = width;
    for (CActButton* button : buttons) {
        x -= kCaptionButtonWidth;
        if (button->hWnd)
            MoveWindow(button->hWnd, x, 0, kCaptionButtonWidth, kCaptionButtonHeight, TRUE);
    }
}

void CMainWnd::OnSize(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    HDC dc = GetDC(hWnd);
    m_background.Prepare(dc, width, height);
    ReleaseDC(hWnd, dc);
    DrawFrame(width, height);
    PlaceCaptionButtons(width);
    InvalidateRect(hWnd, nullptr, TRUE);
}

void CMainWnd::OnCommand(int command) {
    switch (command) {
    case kCloseCommand:
        DestroyWindow(hWnd);
        return;
    case kMinimiseCommand:
        ShowWindow(hWnd, SW_SHOWMINNOACTIVE);
        return;
    case kMaximiseCommand:
        ToggleMaximise();
        return;
    default:
        return;
    }
}

void CMainWnd::PollTermination() {
    if (TerminationRequested())
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
}

void CMainWnd::PaintFromBackground(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    if (m_background.dc)
        BitBlt(dc, 0, 0, client.right, client.bottom, m_background.dc, 0, 0, SRCCOPY);
}

void CMainWnd::OnDestroy() {
    KillTimer(hWnd, kTerminationTimer);
    m_background.Release();
    PostQuitMessage(0);
}

LRESULT CMainWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_NCHITTEST:
        return HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_GETMINMAXINFO:
        TrackLimits(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        PaintFromBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        PaintFromBackground(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTerminationTimer)
            PollTermination();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
