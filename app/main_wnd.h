#pragma once
// The one main window: a borderless pop-up whose caption band, borders and
// caption buttons are drawn from the skin, sized and moved through its own
// hit testing, maximised to the work area of its monitor and back.

#include <functional>
#include <memory>
#include <string>

#include "app/channel_label.h"
#include "app/command_ids.h"
#include "app/frame_geometry.h"
#include "app/main_controls.h"
#include "app/media_clip_wnd.h"
#include "app/scale_popup_wnd.h"
#include "app/video_control_bar.h"
#include "app/video_layout.h"
#include "engine/media_player.h"
#include "export/frame_capture.h"
#include "platform/drop_files.h"
#include "recordings/card_watcher.h"
#include "recordings/floating_wnd.h"
#include "recordings/gps_readout.h"
#include "recordings/gsensor_graph.h"
#include "recordings/map_panel.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr const char* kMainWndClass = "__Kestrel_MainWnd_Class__";

struct TMainWndOptions {
    // Runs inside creation, before anything is drawn: brings up what the
    // windows draw with (the program's start-up; tests load less).
    std::function<void(HWND)> initialise;
    POINT origin{};
    // A recording to play once the video windows are up; empty for none.
    std::string recording;
    // The folder the recording list shows first; empty: the first removable
    // drive, if any.
    std::string folder;
    // The side window, the map, the G-sensor graph, the read-out and the
    // card watcher (tests of the video area alone go without).
    bool withPanels = true;
    // Whether a channel shows pictures now, so that it may be selected and
    // enlarged; empty: asks the playback controller.
    std::function<bool(int slot)> showsPictures;
    // The pictures the magnifier enlarges; empty: the controller's.
    TFrameSource frameSource;
};

class CMainWnd : public CWndEx, private IPlaybackControl {
public:
    CMainWnd() = default;
    ~CMainWnd() override;

    // Registers the class and creates the window at the origin, 1035 x 720.
    bool Create(const TMainWndOptions& options);

    // Maximised: back to the last normal rectangle; otherwise that rectangle
    // is remembered and the window fills its monitor's work area.
    void ToggleMaximise();
    TPlacement Placement() const { return m_placement; }
    RECT LastNormalRect() const { return m_lastNormalRect; }
    // The layout of the areas inside the frame for the current size.
    TMainLayout Layout() const;
    // The hit-test answer for a point in screen coordinates.
    LRESULT HitTest(POINT screenPoint) const;

    // Keeps the window above all others when the preferences ask for it.
    void ApplyPreferences();

    TChannelMode ChannelMode() const { return m_channelMode; }
    int SelectedSlot() const { return m_selectedSlot; }
    CMediaClipWnd& VideoWindow(int slot) { return slot == kRearSlot ? m_rearClip : m_frontClip; }
    TChannelLabelInfo& Label(int slot) { return slot == kRearSlot ? m_rearLabel : m_frontLabel; }
    TMediaPlayer& Player() { return m_player; }
    CScalePopupWnd& Magnifier() { return m_magnifier; }
    CMainControls& Controls() { return m_controls; }

    // The markers over the video windows that show pictures, and the
    // magnifier pop-up drawing what is under the selected one.
    void ShowMarkers();
    void HideMarkers();
    void ToggleMagnifier();

    // What the window's frame would report if asked for its limits.
    static void TrackLimits(MINMAXINFO* limits);

private:
    // Posted to itself once the controller runs: open the recording given at start.
    static constexpr UINT kOpenStartRecording = WM_USER + 100;

    // Timers. The position slider and time display follow the playback clock.
    static constexpr UINT_PTR kPositionTimer = 10;
    static constexpr UINT kPositionPeriodMs = 300;
    // After a recording ends, the pause before the next one (or the same one
    // again) starts.
    static constexpr UINT_PTR kReplayTimer = 3;
    static constexpr UINT kReplayDelayMs = 500;
    // Once a window is back from full screen with nothing playing, its idle
    // picture is drawn again after the layout settled.
    static constexpr UINT_PTR kIdleRepaintTimer = 1;
    static constexpr UINT kIdleRepaintDelayMs = 10;
    // In full screen, where the pointer is decides whether the control bar shows.
    static constexpr UINT_PTR kPointerTimer = 4;
    static constexpr UINT kPointerPeriodMs = 100;
    // A mount table that is a plain file raises no change flag: read it again.
    static constexpr UINT_PTR kMountPollTimer = 5;
    static constexpr UINT kMountPollPeriodMs = 1000;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void OnCreate();
    void OnSize(int width, int height);
    void OnCommand(int command);
    void OnDestroy();
    void OnTimer(UINT_PTR timer);
    void OnActivateApp(bool active);
    void RepaintIdleSoon();
    void PollTermination();
    void DrawFrame(int width, int height);
    void CreateCaptionButtons();
    void PlaceCaptionButtons(int width);
    void PaintFromBackground(HDC dc);
    RECT WindowRect() const;
    // The video area: labels and video windows in their places (made on
    // first use, which also starts the playback controller).
    void LayOutVideoArea();
    void CreateVideoWindows(const TVideoLayout& places);
    void MarkSelection();
    void SetChannelMode(TChannelMode mode);
    void OnSelectChannel(CMediaClipWnd* clip);
    void OnDisplayStateChanged(CMediaClipWnd* clip);
    void EnterFullScreen(CMediaClipWnd* clip);
    void LeaveFullScreen();
    void OnPlayerNotification(WPARAM code, LPARAM lParam);
    void OnRecordingOpened(LPARAM token);
    void OnRecordingClosed(WPARAM code);
    // At the end of a recording: the same again with the loop preference,
    // otherwise the next one of the list.
    void PlayAfterEnd();
    // Position slider and time display from the playback clock.
    void RefreshPosition();
    void ShowTimes(int positionSeconds, int durationSeconds);

    // Commands (main_wnd_commands.cpp).
    void InstallShortcuts();
    // Hands the recording to the controller after closing the open one;
    // false when the controller would not let go of it.
    bool OpenRecording(const std::string& path);
    bool WaitUntilClosed();
    // Opens a recording and plays it, or says that it could not.
    void OpenAndPlay(const std::string& path);
    void Play();
    void Pause();
    void StopPlayback() override;
    // A frame while paused, five seconds while playing.
    void StepOrJump(int direction);
    void PlayNeighbour(int direction);
    void SetMute(bool mute);
    void OnVolumeChanged(int percent);
    void StepVolume(int delta);
    int ClampedSecond(int value) const;
    void OnPositionMoving(int value);
    void OnPositionReleased(int value);
    void OnSlider(UINT message, int id, int value);
    void SyncSliderFrom(int id, int value);
    void SetPictureValue(int id, int value);
    void ResetPicture();
    void Mirror(int command);
    void ShowMirroring(int orientation);
    void ShowChannelPicture();
    void CaptureOrPrintFrames(TCaptureAction action);
    void ToggleFullScreen();
    // The same control in the main window and on the control bar.
    void ShowSwitch(int id);
    void SetButtonEnabled(int id, bool enabled);
    void SetSliderPosition(int id, int value);
    void SetPositionRange(int duration);
    int SliderValue(int id);
    void AttachStepTooltips();
    // The panels (main_wnd_panels.cpp): the side window with the recording
    // list and the map, the G-sensor graph, the read-out, the card watcher.
    void CreatePanels();
    void LayOutPanels();
    std::string SelectedRecording();
    std::string NeighbourRecording(int direction);
    void EnableRecordingList(bool enabled);
    // The list made the recording of `path` the current row.
    void SelectInList(const std::string& path);
    // The answer to the list's request to open a recording.
    bool OpenFromList(const char* path);
    // Files or folders dropped on the window (main_wnd_drop.cpp).
    void OnDropFiles(HDROP drop);
    void ShowTelemetry(int second);
    void DrawReadout();
    void OnTelemetryChanged();
    void OnGraphSeek(int second);
    void OpenViewerSettings();
    void OpenCameraSettings();
    void RelabelAll();
    // IPlaybackControl, for the list and the card watcher.
    bool IsPlaybackStopped() const override;
    std::string OpenRecordingPath() const override;
    // Full screen: the control bar follows the pointer.
    void FollowPointer();
    // With no recording left on screen, the video windows show their logos.
    void ShowIdlePictures();
    bool ShowsPictures(int slot) const;
    bool AnyFullScreen() const;
    void UpdateMagnifierTarget();
    POINT MagnifierPosition() const;

    TMemoryDC m_background;
    CMediaClipWnd m_frontClip;
    CMediaClipWnd m_rearClip;
    TChannelLabelInfo m_frontLabel;
    TChannelLabelInfo m_rearLabel;
    TMediaPlayer m_player;
    bool m_playerStarted = false;
    std::unique_ptr<TTelemetry> m_telemetry;
    CScalePopupWnd m_magnifier;
    // Hidden while another program had the focus, to come back with it.
    bool m_magnifierHiddenAway = false;
    CActButton m_closeButton;
    CActButton m_maximiseButton;
    CActButton m_minimiseButton;
    CMainControls m_controls;
    // What the time display shows, so a redrawn frame can show it again.
    int m_shownPosition = 0;
    int m_shownDuration = 0;
    // The recording open or last opened.
    std::string m_recording;
    CVideoControlBar m_bar;
    CFloatingWnd m_side;
    CMapPanel m_map;
    CGSensorGraph m_graph;
    CGpsReadout m_readout;
    std::unique_ptr<TCardWatcher> m_cardWatcher;
    // Paused by the user (the play button shows).
    bool m_paused = false;
    // The open recording is being closed by the user or for another one.
    bool m_closingOnPurpose = false;
    // The controller answered the last frame step.
    bool m_stepDone = true;
    TMainWndOptions m_options;
    TLayoutMetrics m_metrics;
    RECT m_lastNormalRect{};
    TPlacement m_placement = TPlacement::Normal;
    TChannelMode m_channelMode = TChannelMode::Two;
    int m_selectedSlot = kFrontSlot;
    // The video window shown full screen, and the rectangle to go back to.
    CMediaClipWnd* m_fullScreenClip = nullptr;
    RECT m_beforeFullScreen{};
};
