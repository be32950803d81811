#include "recordings/card_watcher.h"

#include "platform/removable_volumes.h"

void HandleVolumeRemoval(const std::string& mountPoint, TRecordingCatalog& catalog,
                         IPlaybackControl* playback) {
    // Whole path components decide: a card at /media/card2 is not the one
    // at /media/card, and Linux paths differ by case.
    if (playback && !playback->IsPlaybackStopped() &&
        PathLiesUnder(playback->OpenRecordingPath(), mountPoint))
        playback->StopPlayback();
    if (PathLiesUnder(catalog.SourcePath(), mountPoint))
        catalog.ForgetSource();
}

void HandleDeviceChange(WPARAM event, const std::string& mountPoint, TRecordingCatalog& catalog,
                        IPlaybackControl* playback) {
    if (event == DBT_DEVICEARRIVAL)
        catalog.LoadSource(true);
    else if (event == DBT_DEVICEREMOVECOMPLETE)
        HandleVolumeRemoval(mountPoint, catalog, playback);
}

TCardWatcher::TCardWatcher(TRecordingCatalog& catalog, IPlaybackControl* playback,
                           TVolumeSources sources)
    : m_catalog(catalog), m_playback(playback),
      m_watcher(
          [this](WPARAM event, const std::string& mountPoint) {
              HandleDeviceChange(event, mountPoint, m_catalog, m_playback);
          },
          std::move(sources)) {}
