#include "app/main_wnd.h"

#include <utility>

#include "app/main_frame.h"
#include "app/termination_signals.h"
#include "app/track_export_command.h"
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
    TLayoutMetrics metrics = m_metrics;
    metrics.sideDocked = !m_side.hWnd || m_side.Docked();
    return MainLayout(client.right, client.bottom, metrics);
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
                 preferences.channels == 1 ? MainCommand::OneChannel : MainCommand::TwoChannels, 0);
    TPictureSettings front = m_player.PictureSettings(kFrontSlot);
    front.orientation = preferences.frontRotate;
    TPictureSettings rear = m_player.PictureSettings(kRearSlot);
    rear.orientation = preferences.rearRotate;
    if (m_selectedSlot == kFrontSlot) {
        front.brightness = preferences.brightness;
        front.contrast = preferences.contrast;
        front.chroma = preferences.chroma;
        const std::pair<int, int> sliders[] = {{MainSlider::Brightness, preferences.brightness},
                                               {MainSlider::Contrast, preferences.contrast},
                                               {MainSlider::Chroma, preferences.chroma},
                                               {MainSlider::Volume, preferences.volume}};
        for (const auto& [id, value] : sliders) {
            if (CSliderBarEx* slider = m_controls.Slider(id))
                slider->SetPosition(value);
        }
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
    m_controls.Create(hWnd, m_background.dc, Layout());
    ShowTimes(0, 0);
    if (m_options.withPanels)
        CreatePanels();
    LayOutVideoArea();
    m_lastNormalRect = WindowRect();
    SetTimer(hWnd, kTerminationTimer, kTerminationPollMs, nullptr);
    InstallShortcuts();
    ApplyPreferences();
    DragAcceptFiles(hWnd, TRUE);
}

void CMainWnd::DrawFrame(int width, int height) {
    TLayoutMetrics metrics = m_metrics;
    metrics.sideDocked = !m_side.hWnd || m_side.Docked();
    DrawMainFrame(m_background.dc, width, height, metrics,
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
    const TCaptionButton buttons[] = {{&m_closeButton, MainCommand::Close, kCloseImage},
                                      {&m_maximiseButton, MainCommand::Maximise, kMaximiseImage},
                                      {&m_minimiseButton, MainCommand::Minimise, kMinimiseImage}};
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
    m_controls.LayOut(Layout());
    ShowTimes(m_shownPosition, m_shownDuration);
    LayOutPanels();
    LayOutVideoArea();
    InvalidateRect(hWnd, nullptr, TRUE);
}

void CMainWnd::RepaintIdleSoon() {
    if (!m_player.IsActive())
        SetTimer(hWnd, kIdleRepaintTimer, kIdleRepaintDelayMs, nullptr);
}

void CMainWnd::OnActivateApp(bool active) {
    // The magnifier floats above other programs' windows: it goes while
    // another program has the focus.
    if (!active) {
        m_magnifierHiddenAway = m_magnifier.hWnd && IsWindowVisible(m_magnifier.hWnd);
        if (m_magnifierHiddenAway)
            ShowWindow(m_magnifier.hWnd, SW_HIDE);
        return;
    }
    if (m_magnifierHiddenAway && m_magnifier.hWnd)
        ShowWindow(m_magnifier.hWnd, SW_SHOWNA);
    // A floating side window is a pop-up of its own: it comes up with us.
    if (m_side.hWnd && !m_side.Docked())
        SetWindowPos(m_side.hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_magnifierHiddenAway = false;
}

void CMainWnd::OnTimer(UINT_PTR timer) {
    switch (timer) {
    case kTerminationTimer:
        PollTermination();
        return;
    case kPositionTimer:
        RefreshPosition();
        return;
    case kIdleRepaintTimer:
        KillTimer(hWnd, kIdleRepaintTimer);
        if (m_channelMode == TChannelMode::One && VideoWindow(m_selectedSlot).hWnd)
            InvalidateRect(VideoWindow(m_selectedSlot).hWnd, nullptr, TRUE);
        return;
    case kReplayTimer:
        PlayAfterEnd();
        return;
    case kPointerTimer:
        FollowPointer();
        return;
    case kMountPollTimer:
        if (m_cardWatcher)
            m_cardWatcher->CheckForChanges();
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
    KillTimer(hWnd, kPositionTimer);
    KillTimer(hWnd, kReplayTimer);
    KillTimer(hWnd, kPointerTimer);
    KillTimer(hWnd, kMountPollTimer);
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
    case WM_SLIDER_CHANGING:
    case WM_SLIDER_SET:
    case WM_SLIDER_PRESSED:
        OnSlider(message, static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
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
    case WM_OPEN_RECORDING:
        return OpenFromList(reinterpret_cast<const char*>(lParam)) ? 1 : 0;
    case WM_EXPORT_TRACK:
        ExportRecordingTrack(hWnd, reinterpret_cast<const char*>(lParam));
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SIDE_WINDOW_DOCKING: {
        RECT client;
        GetClientRect(hWnd, &client);
        OnSize(client.right, client.bottom);
        return 0;
    }
    case WM_GSENSOR_SEEK:
        OnGraphSeek(static_cast<int>(wParam));
        return 0;
    case WM_ACTIVATEAPP:
        OnActivateApp(wParam != FALSE);
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
        OpenAndPlay(m_options.recording);
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
