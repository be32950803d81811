// The main window's video area: the video windows and their labels, the
// channel mode and selection, the display states, the magnifier and what
// the player thread reports.

#include "app/main_wnd.h"

#include <cmath>
#include <mutex>

#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "engine/video_view.h"
#include "platform/monitor.h"
#include "settings/viewer_preferences.h"

namespace {

// A channel may change its display state while its picture is this close to
// the playback clock.
constexpr double kShownPictureTolerance = 1.0;

} // namespace

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

bool CMainWnd::AnyFullScreen() const {
    return m_fullScreenClip != nullptr;
}

void CMainWnd::CreateVideoWindows(const TVideoLayout& places) {
    struct TChannel {
        CMediaClipWnd* clip;
        TChannelLabelInfo* label;
        const TChannelPlace* place;
        int slot;
        SkinImage logo;
        const char* name;
    };
    const TChannel channels[] = {{&m_frontClip, &m_frontLabel, &places.front, kFrontSlot,
                                  SkinImage::Channel1Logo, "Front Camera"},
                                 {&m_rearClip, &m_rearLabel, &places.rear, kRearSlot,
                                  SkinImage::Channel2Logo, "Rear Camera"}};
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
    const auto place = [&](CMediaClipWnd& clip, TChannelLabelInfo& label, const TChannelPlace& at,
                           bool shown) {
        // Enlarged, a picture takes the largest 16:9 rectangle of the whole area.
        const RECT picture = &clip == enlarged ? FitWidePicture(area) : at.picture;
        MoveWindow(clip.hWnd, picture.left, picture.top, picture.right - picture.left,
                   picture.bottom - picture.top, TRUE);
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
    m_frontLabel.SetMark(marked && m_selectedSlot == kFrontSlot ? TLabelMark::Selected
                                                                : TLabelMark::Plain);
    m_rearLabel.SetMark(marked && m_selectedSlot == kRearSlot ? TLabelMark::Selected
                                                              : TLabelMark::Plain);
}

void CMainWnd::SetChannelMode(TChannelMode mode) {
    m_channelMode = mode;
    if (mode == TChannelMode::One)
        m_selectedSlot = kFrontSlot;
    const bool one = mode == TChannelMode::One;
    m_controls.ShowSwitch(one ? MainCommand::OneChannelShown : MainCommand::TwoChannelsShown);
    m_controls.ShowSwitch(one ? MainCommand::TwoChannels : MainCommand::OneChannel);
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
    ShowChannelPicture();
    UpdateMagnifierTarget();
}

void CMainWnd::EnterFullScreen(CMediaClipWnd* clip) {
    m_fullScreenClip = clip;
    m_beforeFullScreen = WindowRect();
    m_controls.SetAllHidden(true);
    if (!m_bar.hWnd)
        m_bar.Create(hWnd);
    m_bar.Controls().CopyStateFrom(m_controls);
    m_bar.ShowTimes(m_shownPosition, m_shownDuration);
    SetTimer(hWnd, kPointerTimer, kPointerPeriodMs, nullptr);
    for (HWND child : {m_frontClip.hWnd, m_rearClip.hWnd, m_frontLabel.hWnd, m_rearLabel.hWnd,
                       m_closeButton.hWnd, m_maximiseButton.hWnd, m_minimiseButton.hWnd}) {
        if (child && child != clip->hWnd)
            ShowWindow(child, SW_HIDE);
    }
    MONITORINFO monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&m_beforeFullScreen, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT screen = monitor.rcMonitor;
    SetWindowPos(hWnd, nullptr, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOZORDER);
    const RECT picture =
        FitWidePicture(RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top});
    MoveWindow(clip->hWnd, picture.left, picture.top, picture.right - picture.left,
               picture.bottom - picture.top, TRUE);
    ShowWindow(clip->hWnd, SW_SHOWNA);
}

void CMainWnd::LeaveFullScreen() {
    m_fullScreenClip = nullptr;
    KillTimer(hWnd, kPointerTimer);
    if (m_bar.hWnd) {
        ShowWindow(m_bar.hWnd, SW_HIDE);
        m_controls.CopyStateFrom(m_bar.Controls());
    }
    m_controls.SetAllHidden(false);
    for (HWND child : {m_closeButton.hWnd, m_maximiseButton.hWnd, m_minimiseButton.hWnd}) {
        if (child)
            ShowWindow(child, SW_SHOWNA);
    }
    const RECT back = m_beforeFullScreen;
    SetWindowPos(hWnd, nullptr, back.left, back.top, back.right - back.left, back.bottom - back.top,
                 SWP_NOZORDER);
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
        RepaintIdleSoon();
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
            hWnd, [this, slot] { OnSelectChannel(&VideoWindow(slot)); },
            [this] { UpdateMagnifierTarget(); });
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

void CMainWnd::FollowPointer() {
    if (!m_fullScreenClip || !m_bar.hWnd)
        return;
    POINT pointer{};
    GetCursorPos(&pointer);
    const RECT window = WindowRect();
    MONITORINFO monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    m_bar.FollowPointer(pointer, monitor.rcWork);
}
