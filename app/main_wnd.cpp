#include "app/main_wnd.h"

#include <cmath>
#include <mutex>

#include "app/termination_signals.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "engine/video_view.h"
#include "platform/monitor.h"
#include "settings/viewer_preferences.h"
#include "ui/memory_dc_man.h"

namespace {

// How often the window looks for a termination signal.
constexpr UINT_PTR kTerminationTimer = 2;
constexpr UINT kTerminationPollMs = 100;

// Posted to itself once the controller runs: open the recording given at start.
constexpr UINT kOpenStartRecording = WM_USER + 100;
// A channel may change its display state while its picture is this close to
// the playback clock.
constexpr double kShownPictureTolerance = 1.0;

constexpr COLORREF kFullScreenColour = RGB(0, 0, 0);
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
    SetWindowPos(hWnd, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hWnd, WM_COMMAND, preferences.channels == 1 ? kOneChannelCommand : kTwoChannelsCommand, 0);
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

bool CMainWnd::ShowsPictures(int slot) const {
    if (m_options.showsPictures)
        return m_options.showsPictures(slot);
    if (!m_player.IsActive())
        return false;
    const int stream = slot == kRearSlot ? m_player.rearStreamIndex() : m_player.frontStreamIndex();
    const TVideoStreamInfo* video = m_player.Video(slot);
    if (stream < 0 || !video)
        return false;
    return std::fabs(video->currentPts.load() - m_player.MasterClock()) <= kShownPictureTolerance;
}

bool CMainWnd::AnyFullScreen() const { return m_fullScreenClip != nullptr; }

void CMainWnd::CreateVideoWindows(const TVideoLayout& places) {
    struct TChannel {
        CMediaClipWnd* clip;
        TChannelLabelInfo* label;
        const TChannelPlace* place;
        int slot;
        SkinImage logo;
        const char* name;
    };
    const TChannel channels[] = {
        {&m_frontClip, &m_frontLabel, &places.front, kFrontSlot, SkinImage::Channel1Logo, "Front Camera"},
        {&m_rearClip, &m_rearLabel, &places.rear, kRearSlot, SkinImage::Channel2Logo, "Rear Camera"}};
    for (const TChannel& channel : channels) {
        channel.label->Create(hWnd, channel.place->label, channel.name);
        TClipOptions options;
        options.parent = hWnd;
        options.rect = channel.place->picture;
        options.slot = channel.slot;
        options.logo = channel.logo;
        options.player = &m_player;
        const int slot = channel.slot;
        options.showsPictures = [this, slot] { return ShowsPictures(slot); };
        channel.clip->Create(options);
    }
}

void CMainWnd::LayOutVideoArea() {
    if (m_fullScreenClip || !hWnd)
        return;
    const RECT area = Layout().videoArea;
    const TVideoLayout places = LayOutChannels(area, m_channelMode);
    if (!m_frontClip.hWnd)
        CreateVideoWindows(places);
    CMediaClipWnd* enlarged = nullptr;
    for (CMediaClipWnd* clip : {&m_frontClip, &m_rearClip}) {
        if (clip->DisplayState() == TDisplayState::Enlarged)
            enlarged = clip;
    }
    const bool twoChannels = m_channelMode == TChannelMode::Two;
    const auto place = [&](CMediaClipWnd& clip, TChannelLabelInfo& label, const TChannelPlace& at, bool shown) {
        // Enlarged, a picture takes the largest 16:9 rectangle of the whole area.
        const RECT picture = &clip == enlarged ? FitWidePicture(area) : at.picture;
        MoveWindow(clip.hWnd, picture.left, picture.top, picture.right - picture.left, picture.bottom - picture.top,
                   TRUE);
        MoveWindow(label.hWnd, at.label.left, at.label.top, kLabelWidth, kLabelHeight, TRUE);
        ShowWindow(clip.hWnd, (enlarged ? &clip == enlarged : shown) ? SW_SHOWNA : SW_HIDE);
        ShowWindow(label.hWnd, !enlarged && shown ? SW_SHOWNA : SW_HIDE);
    };
    place(m_frontClip, m_frontLabel, places.front, true);
    place(m_rearClip, m_rearLabel, places.rear, twoChannels);
    MarkSelection();
    UpdateMagnifierTarget();
    if (m_playerStarted)
        return;
    m_playerStarted = true;
    m_player.Start(hWnd, m_frontClip.hWnd, m_rearClip.hWnd);
    if (!m_options.recording.empty())
        PostMessageA(hWnd, kOpenStartRecording, 0, 0);
}

void CMainWnd::MarkSelection() {
    const bool marked = m_channelMode == TChannelMode::Two;
    m_frontLabel.SetMark(marked && m_selectedSlot == kFrontSlot ? TLabelMark::Selected : TLabelMark::Plain);
    m_rearLabel.SetMark(marked && m_selectedSlot == kRearSlot ? TLabelMark::Selected : TLabelMark::Plain);
}

void CMainWnd::SetChannelMode(TChannelMode mode) {
    m_channelMode = mode;
    if (mode == TChannelMode::One)
        m_selectedSlot = kFrontSlot;
    if (m_background.dc) {
        RECT client;
        GetClientRect(hWnd, &client);
        DrawFrame(client.right, client.bottom);
        InvalidateRect(hWnd, nullptr, TRUE);
    }
    LayOutVideoArea();
}

void CMainWnd::OnSelectChannel(CMediaClipWnd* clip) {
    if (!clip)
        return;
    m_selectedSlot = clip->Slot();
    MarkSelection();
    UpdateMagnifierTarget();
}

void CMainWnd::EnterFullScreen(CMediaClipWnd* clip) {
    m_fullScreenClip = clip;
    m_beforeFullScreen = WindowRect();
    for (HWND child : {m_frontClip.hWnd, m_rearClip.hWnd, m_frontLabel.hWnd, m_rearLabel.hWnd, m_closeButton.hWnd,
                       m_maximiseButton.hWnd, m_minimiseButton.hWnd}) {
        if (child && child != clip->hWnd)
            ShowWindow(child, SW_HIDE);
    }
    MONITORINFO monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&m_beforeFullScreen, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT screen = monitor.rcMonitor;
    SetWindowPos(hWnd, nullptr, screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top,
                 SWP_NOZORDER);
    const RECT picture = FitWidePicture(RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top});
    MoveWindow(clip->hWnd, picture.left, picture.top, picture.right - picture.left, picture.bottom - picture.top,
               TRUE);
    ShowWindow(clip->hWnd, SW_SHOWNA);
}

void CMainWnd::LeaveFullScreen() {
    m_fullScreenClip = nullptr;
    for (HWND child : {m_closeButton.hWnd, m_maximiseButton.hWnd, m_minimiseButton.hWnd}) {
        if (child)
            ShowWindow(child, SW_SHOWNA);
    }
    const RECT back = m_beforeFullScreen;
    SetWindowPos(hWnd, nullptr, back.left, back.top, back.right - back.left, back.bottom - back.top, SWP_NOZORDER);
    LayOutVideoArea();
    InvalidateRect(hWnd, nullptr, TRUE);
}

void CMainWnd::OnDisplayStateChanged(CMediaClipWnd* clip) {
    if (!clip)
        return;
    switch (clip->DisplayState()) {
    case TDisplayState::Enlarged:
        LayOutVideoArea();
        return;
    case TDisplayState::FullScreen:
        EnterFullScreen(clip);
        return;
    case TDisplayState::Normal:
        if (m_fullScreenClip)
            LeaveFullScreen();
        else
            LayOutVideoArea();
        return;
    }
}

POINT CMainWnd::MagnifierPosition() const {
    if (m_placement == TPlacement::Maximised)
        return POINT{m_lastNormalRect.left, m_lastNormalRect.top};
    RECT client{};
    GetClientRect(hWnd, &client);
    POINT position{client.right - m_metrics.sideWindowWidth - 2 * kSideBorderWidth, kCaptionHeight};
    ClientToScreen(hWnd, &position);
    return position;
}

void CMainWnd::UpdateMagnifierTarget() {
    CMediaClipWnd& clip = VideoWindow(m_selectedSlot);
    TMagnifierTarget& target = m_magnifier.Target();
    RECT client{};
    if (clip.hWnd)
        GetClientRect(clip.hWnd, &client);
    const POINT offset = clip.MarkerOffset();
    target.slot = m_selectedSlot;
    target.markerX = offset.x;
    target.markerY = offset.y;
    target.videoWidth = client.right;
    target.videoHeight = client.bottom;
}

void CMainWnd::ShowMarkers() {
    for (CMediaClipWnd* clip : {&m_frontClip, &m_rearClip}) {
        if (!clip->hWnd || !IsWindowVisible(clip->hWnd) || !ShowsPictures(clip->Slot()))
            continue;
        const int slot = clip->Slot();
        clip->ShowMarker(
            hWnd, [this, slot] { OnSelectChannel(&VideoWindow(slot)); }, [this] { UpdateMagnifierTarget(); });
    }
    UpdateMagnifierTarget();
    if (!m_magnifier.hWnd) {
        TFrameSource source = m_options.frameSource;
        if (!source)
            source = [this](int slot) { return m_player.CopyLastFrame(slot); };
        m_magnifier.Create(hWnd, MagnifierPosition(), std::move(source));
    } else {
        ShowWindow(m_magnifier.hWnd, SW_SHOWNA);
    }
    m_magnifier.Refresh();
}

void CMainWnd::HideMarkers() {
    m_frontClip.HideMarker();
    m_rearClip.HideMarker();
    m_magnifier.StopDrawing();
    if (m_magnifier.hWnd)
        ShowWindow(m_magnifier.hWnd, SW_HIDE);
}

void CMainWnd::ToggleMagnifier() {
    if (m_magnifier.hWnd && IsWindowVisible(m_magnifier.hWnd)) {
        HideMarkers();
        return;
    }
    if (ShowsPictures(m_selectedSlot))
        ShowMarkers();
}

void CMainWnd::ShowIdlePictures() {
    for (CMediaClipWnd* clip : {&m_frontClip, &m_rearClip}) {
        TVideoStreamInfo* video = m_player.Video(clip->Slot());
        if (video && video->view) {
            std::lock_guard hold(video->displayLock);
            video->view->HideView();
        }
        if (clip->hWnd)
            InvalidateRect(clip->hWnd, nullptr, TRUE);
    }
}

void CMainWnd::OnPlayerNotification(WPARAM code, LPARAM lParam) {
    switch (code) {
    case PlayerNotify::Opened:
        m_telemetry = m_player.TakeTelemetry(lParam);
        if (m_magnifier.hWnd && IsWindowVisible(m_magnifier.hWnd))
            m_magnifier.Refresh();
        return;
    case PlayerNotify::Stopped:
    case PlayerNotify::EndOfRecording:
        m_magnifier.StopDrawing();
        m_telemetry.reset();
        ShowIdlePictures();
        return;
    default:
        return;
    }
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
    HDC dc = m_background.dc;
    if (!dc)
        return;
    if (m_fullScreenClip) {
        FillSolid(dc, RECT{0, 0, width, height}, kFullScreenColour);
        return;
    }
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
    // A wider window widens the read-out's band with its last column.
    const TMemoryDC& gps = SharedImage(SkinImage::GpsBackground);
    const RECT& filler = layout.bottomFiller;
    if (Loaded(gps) && filler.right > filler.left)
        StretchBlt(dc, filler.left, filler.top, filler.right - filler.left, filler.bottom - filler.top, gps.dc,
                   gps.width - 1, 0, 1, gps.height, SRCCOPY);
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
