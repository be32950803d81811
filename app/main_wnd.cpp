#include "app/main_wnd.h"

#include "app/main_frame.h"
#include "app/termination_signals.h"
#include "engine/notify_sink.h"
#include "platform/monitor.h"
#include "settings/viewer_preferences.h"

namespace {

// How often the window looks for a termination signal.
constexpr UINT_PTR kTerminationTimer = 2;
constexpr UINT kTerminationPollMs = 100;

constexpr const char* kCloseImage = "resource/skin/controls/top_close.png";
constexpr const char* kMaximiseImage = "resource/skin/controls/top_maximize.png";
constexpr const char* kMinimiseImage = "resource/skin/controls/top_minimize.png";

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

CMainWnd::~CMainWnd() {
    DestroyOwnWindow();
}

bool CMainWnd::Create(const TMainWndOptions& options) {
    m_options = options;
    SetClassName(kMainWndClass);
    if (!RegisterWindowClass(kMainWndClass, BoundWindowProcedure,
                             TClassStyle::DoubleClicksRedrawOnResize))
        return false;
    return CreateWnd(this, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, options.origin.x,
                     options.origin.y, kMainWidth, kMainHeight, nullptr);
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

LRESULT CMainWnd::HitTest(POINT screenPoint) const {
    if (m_fullScreenClip)
        return HTCLIENT;
    return FrameHitTest(WindowRect(), screenPoint, m_placement);
}

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
    const ViewerPreferences& preferences = Preferences();
    const bool onTop = preferences.alwaysTop != 0;
    SetWindowPos(hWnd, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hWnd, WM_COMMAND,
                 preferences.channels == 1 ? kOneChannelCommand : kTwoChannelsCommand, 0);
    TPictureSettings front = m_player.PictureSettings(kFrontSlot);
    front.orientation = preferences.frontRotate;
    TPictureSettings rear = m_player.PictureSettings(kRearSlot);
    rear.orientation = preferences.rearRotate;
    if (m_selectedSlot == kFrontSlot) {
        front.brightness = preferences.brightness;
        front.contrast = preferences.contrast;
        front.chroma = preferences.chroma;
        m_player.SetVolume(MixingVolume(preferences.volume));
    }
    m_player.SetPictureSettings(kFrontSlot, front);
    m_player.SetPictureSettings(kRearSlot, rear);
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
    LayOutVideoArea();
    m_lastNormalRect = WindowRect();
    SetTimer(hWnd, kTerminationTimer, kTerminationPollMs, nullptr);
    ApplyPreferences();
}

void CMainWnd::DrawFrame(int width, int height) {
    DrawMainFrame(m_background.dc, width, height, m_metrics,
                  m_fullScreenClip ? TFrameLook::FullScreen : TFrameLook::Windowed);
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
    LayOutVideoArea();
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
        if (!m_fullScreenClip)
            ToggleMaximise();
        return;
    case kOneChannelCommand:
        SetChannelMode(TChannelMode::One);
        return;
    case kTwoChannelsCommand:
        SetChannelMode(TChannelMode::Two);
        return;
    case kMagnifierCommand:
        ToggleMagnifier();
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
    m_magnifier.EndThread();
    if (m_magnifier.hWnd)
        DestroyWindow(m_magnifier.hWnd);
    // The player thread ends its decoder and render threads and the views
    // go before the windows that hold them.
    if (!m_player.stopped())
        m_player.Shutdown();
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
    case WM_MOVE:
        if (m_placement == TPlacement::Normal) {
            m_frontClip.Marker().Follow();
            m_rearClip.Marker().Follow();
        }
        *handled = false;
        return 0;
    case WM_SHOWWINDOW:
        // The magnifier's pop-ups are not children: they go and come with the window.
        if (m_magnifier.hWnd && m_magnifier.Drawing())
            ShowWindow(m_magnifier.hWnd, wParam ? SW_SHOWNA : SW_HIDE);
        for (CMediaClipWnd* clip : {&m_frontClip, &m_rearClip}) {
            if (clip->MarkerShown())
                ShowWindow(clip->Marker().hWnd, wParam ? SW_SHOWNA : SW_HIDE);
        }
        *handled = false;
        return 0;
    case kSelectChannelMessage:
        OnSelectChannel(reinterpret_cast<CMediaClipWnd*>(lParam));
        return 0;
    case kDisplayStateMessage:
        OnDisplayStateChanged(reinterpret_cast<CMediaClipWnd*>(lParam));
        return 0;
    case kPlayerNotifyMessage:
        OnPlayerNotification(wParam, lParam);
        return 0;
    case kOpenStartRecording:
        m_player.OpenRecording(m_options.recording, MixingVolume(Preferences().volume));
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
