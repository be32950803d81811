// The main window's commands: what its buttons, sliders and keys do to the
// playback controller, and how the controller's reports come back as
// button states, the position and the time display.

#include "app/main_wnd.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>

#include "engine/notify_sink.h"
#include "export/captured_dlg.h"
#include "export/file_split_dlg.h"
#include "export/frame_capture.h"
#include "export/progress_dlg.h"
#include "language/string_table.h"
#include "platform/cursor.h"
#include "platform/main_thread.h"
#include "platform/message_box.h"
#include "platform/tooltip.h"
#include "settings/viewer_preferences.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr const char kOpenFailedText[] = "File open failed!";
constexpr const char kOpenFailedCaption[] = "Error";
// A user's stop, or the open of another recording, waits this long at most
// for the controller to close the current one.
constexpr int kStopWaitMs = 3000;
constexpr int kPollMs = 10;
// A frame step is answered within this time, or given up on.
constexpr int kStepWaitMs = 1000;
constexpr double kJumpSeconds = 5.0;
constexpr int kVolumeKeyStep = 5;
constexpr int kPictureDefault = 50;
// Mirroring bits of a channel's orientation.
constexpr int kMirrorSideways = 0x01;
constexpr int kMirrorUpsideDown = 0x10;

// Commands of keys that no button has.
constexpr WORD kTogglePlayKey = 300;
constexpr WORD kToggleMuteKey = 301;
constexpr WORD kVolumeUpKey = 302;
constexpr WORD kVolumeDownKey = 303;
constexpr WORD kLeaveFullScreenKey = 304;

constexpr BYTE kPlain = FVIRTKEY;
constexpr BYTE kWithControl = FVIRTKEY | FCONTROL;
const ACCEL kShortcuts[] = {
    {kPlain, static_cast<WORD>(VK_SPACE), kTogglePlayKey},
    {kPlain, static_cast<WORD>(VK_LEFT), MainCommand::PreviousFrame},
    {kPlain, static_cast<WORD>(VK_RIGHT), MainCommand::NextFrame},
    {kPlain, static_cast<WORD>(VK_PRIOR), MainCommand::PreviousRecording},
    {kPlain, static_cast<WORD>(VK_NEXT), MainCommand::NextRecording},
    {kPlain, 'F', MainCommand::FullScreen},
    {kPlain, static_cast<WORD>(VK_ESCAPE), kLeaveFullScreenKey},
    {kPlain, 'M', kToggleMuteKey},
    {kPlain, static_cast<WORD>(VK_UP), kVolumeUpKey},
    {kPlain, static_cast<WORD>(VK_DOWN), kVolumeDownKey},
    {kPlain, '1', MainCommand::OneChannel},
    {kPlain, '2', MainCommand::TwoChannels},
    {kWithControl, 'S', MainCommand::Capture},
    {kWithControl, 'P', MainCommand::Print},
    {kWithControl, 'Q', MainCommand::Close},
};

// The main thread waits in short naps, doing meanwhile what the player's
// threads ask of it (they may be waiting for that to finish).
void Nap(int milliseconds) {
    ServiceMainThreadCalls();
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

void CMainWnd::InstallShortcuts() {
    SetWindowAccelerators(hWnd, kShortcuts, static_cast<int>(std::size(kShortcuts)));
}

// --- Controls of both sets ------------------------------------------------

void CMainWnd::ShowSwitch(int id) {
    m_controls.ShowSwitch(id);
    if (m_bar.hWnd)
        m_bar.Controls().ShowSwitch(id);
}

void CMainWnd::SetButtonEnabled(int id, bool enabled) {
    m_controls.SetEnabled(id, enabled);
    if (m_bar.hWnd)
        m_bar.Controls().SetEnabled(id, enabled);
}

void CMainWnd::SetSliderPosition(int id, int value) {
    for (CMainControls* controls : {&m_controls, &m_bar.Controls()}) {
        if (CSliderBarEx* slider = controls->Slider(id); slider && slider->hWnd)
            slider->SetPosition(value);
    }
}

void CMainWnd::SetPositionRange(int duration) {
    for (CMainControls* controls : {&m_controls, &m_bar.Controls()}) {
        CSliderBarEx* slider = controls->Slider(MainSlider::Position);
        if (!slider || !slider->hWnd)
            continue;
        slider->SetRange(0, duration);
        slider->SetPageStep(duration / 10);
        slider->SetPosition(0);
    }
}

int CMainWnd::SliderValue(int id) {
    const CSliderBarEx* slider = m_controls.Slider(id);
    return slider && slider->hWnd ? slider->Position() : 0;
}

// The tooltips of the frame buttons say what they do now: a frame while
// paused, five seconds while playing.
void CMainWnd::AttachStepTooltips() {
    const struct {
        int id;
        const char* key;
    } steps[] = {{MainCommand::PreviousFrame, "button.prev_frame"},
                 {MainCommand::NextFrame, "button.next_frame"}};
    for (const auto& step : steps) {
        std::string text;
        std::string value;
        GetString(step.key, &text, &value);
        const std::string shown = CMainControls::WithShortcut(step.id, m_paused ? value : text);
        for (CMainControls* controls : {&m_controls, &m_bar.Controls()}) {
            if (CActButton* button = controls->Button(step.id); button && button->hWnd)
                AttachToolTip(button->hWnd, shown.c_str());
        }
    }
}

// --- Opening and the playback commands --------------------------------------

bool CMainWnd::WaitUntilClosed() {
    for (int waited = 0; m_player.IsActive() && waited < kStopWaitMs; waited += kPollMs)
        Nap(kPollMs);
    return !m_player.IsActive();
}

bool CMainWnd::OpenRecording(const std::string& path) {
    if (path.empty())
        return false;
    if (m_player.IsActive()) {
        // The closing of the current recording must not go on to the next one.
        m_closingOnPurpose = true;
        m_player.Stop();
        WaitUntilClosed();
    }
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    EnableRecordingList(false);
    if (m_player.IsActive()) {
        EnableRecordingList(true);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return false;
    }
    m_recording = path;
    m_player.OpenRecording(path, MixingVolume(SliderValue(MainSlider::Volume)));
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return true;
}

void CMainWnd::OpenAndPlay(const std::string& path) {
    if (path.empty())
        return;
    if (!OpenRecording(path)) {
        MessageBoxA(hWnd, kOpenFailedText, kOpenFailedCaption, MB_OK);
        return;
    }
    m_paused = false;
    ShowSwitch(MainCommand::Pause);
}

void CMainWnd::Play() {
    if (m_paused && m_player.IsActive()) {
        m_paused = false;
        ShowSwitch(MainCommand::Pause);
        AttachStepTooltips();
        m_player.Resume();
        SetTimer(hWnd, kPositionTimer, kPositionPeriodMs, nullptr);
        return;
    }
    if (m_player.IsActive())
        return;
    std::string path = SelectedRecording();
    if (path.empty())
        path = m_recording;
    if (path.empty())
        return;
    OpenAndPlay(path);
}

void CMainWnd::Pause() {
    if (!m_player.IsActive())
        return;
    KillTimer(hWnd, kPositionTimer);
    m_paused = true;
    ShowSwitch(MainCommand::Play);
    AttachStepTooltips();
    if (!m_player.paused())
        m_player.Pause();
}

void CMainWnd::StopPlayback() {
    KillTimer(hWnd, kPositionTimer);
    m_magnifier.StopDrawing();
    if (m_player.IsActive()) {
        m_closingOnPurpose = true;
        m_player.Stop();
    }
    m_paused = false;
    ShowSwitch(MainCommand::Play);
    for (int id : {MainCommand::PreviousFrame, MainCommand::NextFrame, MainCommand::Play})
        SetButtonEnabled(id, true);
    AttachStepTooltips();
    m_telemetry.reset();
    ShowTimes(0, 0);
    OnTelemetryChanged();
    SetSliderPosition(MainSlider::Position, 0);
}

void CMainWnd::StepOrJump(int direction) {
    if (!m_player.IsActive())
        return;
    if (!m_paused) {
        m_player.SeekBy(direction * kJumpSeconds);
        return;
    }
    const int stepButton = direction > 0 ? MainCommand::NextFrame : MainCommand::PreviousFrame;
    SetButtonEnabled(stepButton, false);
    SetButtonEnabled(MainCommand::Play, false);
    m_stepDone = false;
    m_player.StepFrame(direction);
    // The answer comes as a notification: keep the window alive meanwhile.
    MSG message;
    for (int waited = 0; !m_stepDone && waited < kStepWaitMs; waited += 1) {
        while (!m_stepDone && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!m_stepDone)
            Nap(1);
    }
    SetButtonEnabled(stepButton, true);
    SetButtonEnabled(MainCommand::Play, true);
}

void CMainWnd::PlayNeighbour(int direction) {
    const std::string path = NeighbourRecording(direction);
    if (path.empty())
        return;
    OpenAndPlay(path);
}

void CMainWnd::SetMute(bool mute) {
    if (!m_player.IsActive())
        return;
    m_player.SetMuted(mute);
    ShowSwitch(mute ? MainCommand::Unmute : MainCommand::Mute);
}

void CMainWnd::OnVolumeChanged(int percent) {
    if (!m_player.IsActive())
        return;
    if (m_player.muted())
        SetMute(false);
    m_player.SetVolume(MixingVolume(percent));
}

void CMainWnd::StepVolume(int delta) {
    const int percent = std::clamp(SliderValue(MainSlider::Volume) + delta, 0, 100);
    SetSliderPosition(MainSlider::Volume, percent);
    OnVolumeChanged(percent);
}

// --- The position slider ----------------------------------------------------

int CMainWnd::ClampedSecond(int value) const {
    if (!m_player.IsActive())
        return 0;
    return std::clamp(value, 0, static_cast<int>(m_player.duration()));
}

void CMainWnd::OnPositionMoving(int value) {
    const int second = ClampedSecond(value);
    ShowTimes(second, static_cast<int>(m_player.duration()));
    ShowTelemetry(second);
    if (m_player.IsActive() && m_paused)
        m_player.SeekWhilePaused(second);
}

void CMainWnd::OnPositionReleased(int value) {
    if (!m_player.IsActive() || m_paused)
        return;
    m_player.SeekTo(ClampedSecond(value));
    for (int waited = 0; m_player.seekPending() && waited < kStopWaitMs; waited += kPollMs)
        Nap(kPollMs);
    // Three frame periods for the first pictures after the seek.
    const double rate = m_player.frameRate();
    if (rate > 0.0)
        Nap(static_cast<int>(3 * 1000 / rate));
    SetTimer(hWnd, kPositionTimer, kPositionPeriodMs, nullptr);
}

void CMainWnd::OnSlider(UINT message, int id, int value) {
    switch (id) {
    case MainSlider::Position:
        if (message == WM_SLIDER_PRESSED)
            KillTimer(hWnd, kPositionTimer);
        else if (message == WM_SLIDER_CHANGING)
            OnPositionMoving(value);
        else if (message == WM_SLIDER_SET)
            OnPositionReleased(value);
        SyncSliderFrom(id, value);
        return;
    case MainSlider::Volume:
        if (message != WM_SLIDER_PRESSED)
            OnVolumeChanged(value);
        SyncSliderFrom(id, value);
        return;
    case MainSlider::Brightness:
    case MainSlider::Contrast:
    case MainSlider::Chroma:
        if (message != WM_SLIDER_PRESSED)
            SetPictureValue(id, value);
        return;
    default:
        return;
    }
}

// The other set's slider of the same id follows the one the user moved.
void CMainWnd::SyncSliderFrom(int id, int value) {
    SetSliderPosition(id, value);
}

// --- Picture ---------------------------------------------------------------

void CMainWnd::SetPictureValue(int id, int value) {
    if (!m_player.IsActive())
        return;
    TPictureSettings settings = m_player.PictureSettings(m_selectedSlot);
    if (id == MainSlider::Brightness)
        settings.brightness = value;
    else if (id == MainSlider::Contrast)
        settings.contrast = value;
    else
        settings.chroma = value;
    m_player.SetPictureSettings(m_selectedSlot, settings);
}

void CMainWnd::ResetPicture() {
    TPictureSettings settings = m_player.PictureSettings(m_selectedSlot);
    settings.brightness = settings.contrast = settings.chroma = kPictureDefault;
    for (int id : {MainSlider::Brightness, MainSlider::Contrast, MainSlider::Chroma})
        SetSliderPosition(id, kPictureDefault);
    m_player.SetPictureSettings(m_selectedSlot, settings);
}

// The two mirrorings exclude each other.
void CMainWnd::Mirror(int command) {
    TPictureSettings settings = m_player.PictureSettings(m_selectedSlot);
    switch (command) {
    case MainCommand::MirrorSidewaysOn:
        settings.orientation = (settings.orientation | kMirrorSideways) & ~kMirrorUpsideDown;
        break;
    case MainCommand::MirrorUpsideDownOn:
        settings.orientation = (settings.orientation | kMirrorUpsideDown) & ~kMirrorSideways;
        break;
    case MainCommand::MirrorSidewaysOff:
        settings.orientation &= ~kMirrorSideways;
        break;
    case MainCommand::MirrorUpsideDownOff:
        settings.orientation &= ~kMirrorUpsideDown;
        break;
    default:
        return;
    }
    m_player.SetPictureSettings(m_selectedSlot, settings);
    ShowMirroring(settings.orientation);
}

void CMainWnd::ShowMirroring(int orientation) {
    ShowSwitch((orientation & kMirrorSideways) ? MainCommand::MirrorSidewaysOff
                                               : MainCommand::MirrorSidewaysOn);
    ShowSwitch((orientation & kMirrorUpsideDown) ? MainCommand::MirrorUpsideDownOff
                                                 : MainCommand::MirrorUpsideDownOn);
}

// The selected channel's own values in the mirroring buttons and sliders.
void CMainWnd::ShowChannelPicture() {
    const TPictureSettings settings = m_player.PictureSettings(m_selectedSlot);
    ShowMirroring(settings.orientation);
    SetSliderPosition(MainSlider::Brightness, settings.brightness);
    SetSliderPosition(MainSlider::Contrast, settings.contrast);
    SetSliderPosition(MainSlider::Chroma, settings.chroma);
}

// --- Capture, print, split ---------------------------------------------------

void CMainWnd::CaptureOrPrintFrames(TCaptureAction action) {
    if (!m_player.IsActive())
        return;
    const int channels = m_channelMode == TChannelMode::One ? 1 : 2;
    const std::vector<TShownFrame> frames = ShownFrames(m_player, channels);
    const TPrintedPosition position =
        PrintedPosition(m_telemetry.get(), ClampedSecond(m_player.CurrentSecond()));
    const std::string capturePath = Preferences().capturePath;
    if (action == TCaptureAction::Capture) {
        std::error_code error;
        std::filesystem::create_directories(capturePath, error);
        if (error) {
            MessageBoxA(hWnd, error.message().c_str(), "Exception", MB_OK);
            return;
        }
    }
    const std::string text =
        action == TCaptureAction::Capture ? CaptureBaseName(capturePath, m_recording) : m_recording;
    const TCaptureResult result =
        CaptureOrPrint(frames, text, position.latitude, position.longitude, action, hWnd);
    ReportCapture(hWnd, result, capturePath);
}

// --- The command table --------------------------------------------------------

void CMainWnd::ToggleFullScreen() {
    CMediaClipWnd& clip = VideoWindow(m_selectedSlot);
    if (m_fullScreenClip) {
        m_fullScreenClip->SetDisplayState(TDisplayState::Normal);
        OnDisplayStateChanged(m_fullScreenClip);
        return;
    }
    if (!clip.hWnd || !ShowsPictures(m_selectedSlot))
        return;
    clip.SetDisplayState(TDisplayState::FullScreen);
    OnDisplayStateChanged(&clip);
}

void CMainWnd::OnCommand(int command) {
    switch (command) {
    case MainCommand::Close:
        DestroyWindow(hWnd);
        return;
    case MainCommand::Minimise:
        ShowWindow(hWnd, SW_SHOWMINNOACTIVE);
        return;
    case MainCommand::Maximise:
        if (!m_fullScreenClip)
            ToggleMaximise();
        return;
    case MainCommand::OneChannel:
        SetChannelMode(TChannelMode::One);
        return;
    case MainCommand::TwoChannels:
        SetChannelMode(TChannelMode::Two);
        return;
    case MainCommand::Magnifier:
        ToggleMagnifier();
        return;
    case MainCommand::ViewerSettings:
        OpenViewerSettings();
        return;
    case MainCommand::CameraSettings:
        OpenCameraSettings();
        return;
    case MainCommand::Print:
        CaptureOrPrintFrames(TCaptureAction::Print);
        return;
    case MainCommand::Capture:
        CaptureOrPrintFrames(TCaptureAction::Capture);
        return;
    case MainCommand::Split:
        ShowFileSplitDialog(hWnd, m_recording);
        return;
    case MainCommand::FullScreen:
        ToggleFullScreen();
        return;
    case MainCommand::MirrorSidewaysOff:
    case MainCommand::MirrorSidewaysOn:
    case MainCommand::MirrorUpsideDownOff:
    case MainCommand::MirrorUpsideDownOn:
        Mirror(command);
        return;
    case MainCommand::PreviousRecording:
        PlayNeighbour(-1);
        return;
    case MainCommand::NextRecording:
        PlayNeighbour(1);
        return;
    case MainCommand::PreviousFrame:
        StepOrJump(-1);
        return;
    case MainCommand::NextFrame:
        StepOrJump(1);
        return;
    case MainCommand::Play:
        Play();
        return;
    case MainCommand::Pause:
        Pause();
        return;
    case MainCommand::StopPlayback:
        StopPlayback();
        return;
    case MainCommand::Mute:
        SetMute(true);
        return;
    case MainCommand::Unmute:
        SetMute(false);
        return;
    case MainCommand::ResetPicture:
        ResetPicture();
        return;
    case kSpeedKmhCommand:
    case kSpeedMphCommand:
        if (m_readout.OnCommand(command))
            DrawReadout();
        return;
    case kTogglePlayKey:
        if (m_player.IsActive() && !m_paused)
            Pause();
        else
            Play();
        return;
    case kToggleMuteKey:
        SetMute(!m_player.muted());
        return;
    case kVolumeUpKey:
        StepVolume(kVolumeKeyStep);
        return;
    case kVolumeDownKey:
        StepVolume(-kVolumeKeyStep);
        return;
    case kLeaveFullScreenKey:
        if (m_fullScreenClip)
            ToggleFullScreen();
        return;
    default:
        return;
    }
}

// --- What the controller reports -------------------------------------------

void CMainWnd::ShowTimes(int positionSeconds, int durationSeconds) {
    m_shownPosition = positionSeconds;
    m_shownDuration = durationSeconds;
    if (m_bar.hWnd && m_fullScreenClip)
        m_bar.ShowTimes(positionSeconds, durationSeconds);
    if (m_fullScreenClip)
        return;
    m_controls.DrawTimes(hWnd, m_background.dc, positionSeconds, durationSeconds);
}

void CMainWnd::RefreshPosition() {
    // A recording on its way out keeps the position it was stopped at.
    if (!m_player.IsActive() || m_closingOnPurpose)
        return;
    // Between the last picture and the end notification no picture is
    // shown, and the controller's clock falls back to the time of day.
    const int second = ClampedSecond(m_player.CurrentSecond());
    SetSliderPosition(MainSlider::Position, second);
    ShowTimes(second, static_cast<int>(m_player.duration()));
    ShowTelemetry(second);
}

void CMainWnd::OnRecordingOpened(LPARAM token) {
    m_telemetry = m_player.TakeTelemetry(token);
    m_closingOnPurpose = false;
    m_paused = false;
    ShowSwitch(MainCommand::Pause);
    AttachStepTooltips();
    const int duration = static_cast<int>(m_player.duration());
    SetPositionRange(duration);
    ShowTimes(0, duration);
    OnTelemetryChanged();
    SelectInList(m_recording);
    EnableRecordingList(true);
    SetTimer(hWnd, kPositionTimer, kPositionPeriodMs, nullptr);
}

void CMainWnd::OnRecordingClosed(WPARAM code) {
    m_magnifier.StopDrawing();
    for (int id : {MainCommand::PreviousFrame, MainCommand::NextFrame, MainCommand::Play})
        SetButtonEnabled(id, true);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    KillTimer(hWnd, kPositionTimer);
    m_paused = false;
    ShowSwitch(MainCommand::Play);
    AttachStepTooltips();
    // A recording the user stopped or replaced has not "ended", even when
    // the player reached its end on the way.
    const bool ended = code == PlayerNotify::EndOfRecording && !m_closingOnPurpose;
    m_closingOnPurpose = false;
    if (ended) {
        if (CSliderBarEx* slider = m_controls.Slider(MainSlider::Position))
            SetSliderPosition(MainSlider::Position, slider->MaxValue());
        m_telemetry.reset();
        ShowTimes(0, 0);
        OnTelemetryChanged();
        SetTimer(hWnd, kReplayTimer, kReplayDelayMs, nullptr);
    }
    ShowIdlePictures();
}

void CMainWnd::PlayAfterEnd() {
    KillTimer(hWnd, kReplayTimer);
    if (m_player.IsActive())
        return;
    // A recording that ended because its card went is not followed by
    // another from the same card: each would fail to open with a message.
    std::error_code error;
    if (Preferences().loop != 0) {
        if (std::filesystem::exists(m_recording, error))
            OpenAndPlay(m_recording);
        return;
    }
    const std::string next = NeighbourRecording(1);
    if (!next.empty() && std::filesystem::exists(next, error))
        OpenAndPlay(next);
}

void CMainWnd::OnPlayerNotification(WPARAM code, LPARAM lParam) {
    switch (code) {
    case PlayerNotify::OpenFailed:
        EnableRecordingList(true);
        // The play button had already turned into pause for an open that
        // never played.
        m_paused = false;
        ShowSwitch(MainCommand::Play);
        return;
    case PlayerNotify::Opened:
        OnRecordingOpened(lParam);
        if (m_magnifier.hWnd && IsWindowVisible(m_magnifier.hWnd))
            m_magnifier.Refresh();
        return;
    case PlayerNotify::Stopped:
    case PlayerNotify::EndOfRecording:
        OnRecordingClosed(code);
        return;
    case PlayerNotify::Paused:
    case PlayerNotify::PausedAfterStep:
        if (m_paused)
            SetButtonEnabled(MainCommand::Play, true);
        if (code == PlayerNotify::Paused)
            RefreshPosition();
        return;
    case PlayerNotify::Opening:
        // An open that is already over closed no dialog: showing one now
        // would leave it up until it gives up by itself.
        if (m_player.opening())
            ShowProgressDialog(hWnd);
        return;
    default:
        break;
    }
    if ((code & 0xFFFF) == (PlayerNotify::StepDone & 0xFFFF)) {
        m_stepDone = true;
        if (m_paused) {
            for (int id : {MainCommand::PreviousFrame, MainCommand::NextFrame, MainCommand::Play})
                SetButtonEnabled(id, true);
            RefreshPosition();
        }
    }
}
