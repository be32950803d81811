// The main window's panels: the side window with the recording list and the
// map, the G-sensor graph and the GPS read-out in the bottom band, the card
// watcher, and the two settings dialogs.

#include "app/main_wnd.h"

#include <filesystem>

#include "language/language_fonts.h"
#include "platform/removable_volumes.h"
#include "recordings/side_window_ids.h"
#include "settings/blackbox_setup_dlg.h"
#include "settings/preferred_language.h"
#include "settings/viewer_preferences.h"
#include "settings/viewer_setup_dlg.h"

namespace {

// The graph window inside the G-sensor picture.
constexpr POINT kGraphOffset{7, 19};
constexpr SIZE kGraphSize{285, 84};

RECT GraphRect(const TMainLayout& layout) {
    const int left = layout.gsensor.left + kGraphOffset.x;
    const int top = layout.gsensor.top + kGraphOffset.y;
    return RECT{left, top, left + kGraphSize.cx, top + kGraphSize.cy};
}

} // namespace

void CMainWnd::CreatePanels() {
    const TMainLayout layout = Layout();
    m_side.Create(hWnd);
    RECT client;
    GetClientRect(hWnd, &client);
    m_side.SetOwnerClientRect(client);
    if (m_map.Create(m_side.PanelFrame() ? m_side.PanelFrame() : hWnd, RECT{0, 0, 1, 1}))
        m_side.SetMapPanel(m_map.hWnd);
    m_graph.Create(hWnd, GraphRect(layout));
    m_readout.Create(hWnd, POINT{layout.gpsReadOut.left, layout.gpsReadOut.top}, m_background.dc);
    m_readout.OnPosition(
        [this](double latitude, double longitude) { m_map.MoveMarker(latitude, longitude); });

    CFileListPanel* list = m_side.FileList();
    if (!list)
        return;
    list->SetPlayback(static_cast<IPlaybackControl*>(this));
    list->SetBeforeSourceChoice([this] { HideMarkers(); });
    TRecordingCatalog& catalog = list->Catalog();
    if (!m_options.folder.empty())
        catalog.LoadFolder(m_options.folder);
    else
        catalog.LoadSource(true);
    if (!m_options.recording.empty())
        SelectInList(m_options.recording);
    IPlaybackControl* playback = this;
    m_cardWatcher = std::make_unique<TCardWatcher>(catalog, playback);
    m_cardWatcher->Start();
    if (VolumeSources().mountsFile != TVolumeSources().mountsFile)
        SetTimer(hWnd, kMountPollTimer, kMountPollPeriodMs, nullptr);
}

void CMainWnd::LayOutPanels() {
    if (!m_side.hWnd)
        return;
    const TMainLayout layout = Layout();
    RECT client;
    GetClientRect(hWnd, &client);
    // Maximised, the window is laid out like any other size (the video
    // area grows), so the dock area follows it too.
    m_side.SetOwnerClientRect(client);
    if (m_graph.hWnd) {
        const RECT graph = GraphRect(layout);
        MoveWindow(m_graph.hWnd, graph.left, graph.top, graph.right - graph.left,
                   graph.bottom - graph.top, TRUE);
    }
    m_readout.MoveTo(POINT{layout.gpsReadOut.left, layout.gpsReadOut.top});
    DrawReadout();
}

std::string CMainWnd::SelectedRecording() {
    std::string path;
    if (m_side.hWnd)
        m_side.SelectedPath(&path);
    return path;
}

std::string CMainWnd::NeighbourRecording(int direction) {
    std::string path;
    if (!m_side.hWnd)
        return path;
    if (direction < 0)
        m_side.PreviousPath(&path);
    else
        m_side.NextPath(&path);
    return path;
}

void CMainWnd::EnableRecordingList(bool enabled) {
    CFileListPanel* list = m_side.hWnd ? m_side.FileList() : nullptr;
    if (list && list->List().hWnd)
        EnableWindow(list->List().hWnd, enabled ? TRUE : FALSE);
}

void CMainWnd::SelectInList(const std::string& path) {
    CFileListPanel* list = m_side.hWnd ? m_side.FileList() : nullptr;
    if (!list)
        return;
    for (int row = 0; row < list->RowCount(); ++row) {
        if (list->PathAt(row) == path) {
            // Played from the list now: next and previous count from it.
            list->SetCurrentRow(row);
            list->SetRebuilt(false);
            return;
        }
    }
}

bool CMainWnd::OpenFromList(const char* path) {
    if (!path || !OpenRecording(path))
        return false;
    m_paused = false;
    ShowSwitch(MainCommand::Pause);
    return true;
}

bool CMainWnd::IsPlaybackStopped() const {
    return !m_player.IsActive();
}

std::string CMainWnd::OpenRecordingPath() const {
    return m_player.IsActive() ? m_recording : std::string();
}

// --- What follows playback -------------------------------------------------

void CMainWnd::DrawReadout() {
    if (m_fullScreenClip || !m_background.dc)
        return;
    m_readout.Draw(m_background.dc, m_telemetry.get(), m_shownPosition);
    const RECT area = Layout().gpsReadOut;
    InvalidateRect(hWnd, &area, FALSE);
}

void CMainWnd::ShowTelemetry(int second) {
    if (m_graph.hWnd)
        m_graph.ShowSecond(second);
    DrawReadout();
}

void CMainWnd::OnTelemetryChanged() {
    const TTelemetry* telemetry = m_telemetry.get();
    if (m_graph.hWnd)
        m_graph.SetTelemetry(telemetry, telemetry ? m_player.duration() : 0.0);
    if (m_map.hWnd)
        m_map.SetTrack(telemetry);
    DrawReadout();
}

void CMainWnd::OnGraphSeek(int second) {
    if (!m_player.IsActive())
        return;
    const int clamped = ClampedSecond(second);
    ShowTimes(clamped, static_cast<int>(m_player.duration()));
    SetSliderPosition(MainSlider::Position, clamped);
    DrawReadout();
    if (m_player.seekPending())
        return;
    if (m_paused)
        m_player.SeekWhilePaused(clamped);
    else
        m_player.SeekTo(clamped);
}

// --- Settings ---------------------------------------------------------------

void CMainWnd::OpenViewerSettings() {
    HideMarkers();
    const TViewerSettingsResult result = ShowViewerSettingsDialog(
        hWnd, m_player.IsActive() && !m_paused ? TPlaybackState::Playing : TPlaybackState::Stopped);
    if (result.applyPreferences)
        ApplyPreferences();
    if (result.languageChanged)
        RelabelAll();
}

void CMainWnd::OpenCameraSettings() {
    CFileListPanel* list = m_side.hWnd ? m_side.FileList() : nullptr;
    const std::string folder = list ? list->Catalog().SourcePath() : std::string();
    if (!folder.empty() && m_player.IsActive())
        StopPlayback();
    ShowCameraSettingsDialog(hWnd, folder);
}

// Every text of the window in the language just chosen.
void CMainWnd::RelabelAll() {
    CreateLanguageFonts(Preferences().language);
    m_controls.SetTooltipTexts();
    if (m_bar.hWnd)
        m_bar.Controls().SetTooltipTexts();
    AttachStepTooltips();
    if (m_side.hWnd) {
        m_side.RefreshTooltips();
        if (CFileListPanel* list = m_side.FileList())
            list->RefreshTooltips();
        InvalidateRect(m_side.hWnd, nullptr, TRUE);
    }
    RECT client;
    GetClientRect(hWnd, &client);
    OnSize(client.right, client.bottom);
}
