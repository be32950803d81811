#pragma once
// Card insertion and removal: an arriving removable volume loads the first
// removable drive; a removed one stops the playback of a recording on it and
// empties the list when the source lies on it.

#include <memory>
#include <string>

#include "platform/mount_watcher.h"
#include "recordings/recording_catalog.h"

// The playback controller as the card rules see it; the main window wires
// the real one in.
class IPlaybackControl {
public:
    virtual ~IPlaybackControl() = default;
    virtual bool IsPlaybackStopped() const = 0;
    // The open recording's full path, empty when none.
    virtual std::string OpenRecordingPath() const = 0;
    virtual void StopPlayback() = 0;
};

// The removal rules for one mount point (playback may be null).
void HandleVolumeRemoval(const std::string& mountPoint, TRecordingCatalog& catalog,
                         IPlaybackControl* playback);

// A device change as WM_DEVICECHANGE carries it: DBT_DEVICEARRIVAL loads
// the first removable drive, DBT_DEVICEREMOVECOMPLETE applies the removal
// rules; other events are ignored.
void HandleDeviceChange(WPARAM event, const std::string& mountPoint, TRecordingCatalog& catalog,
                        IPlaybackControl* playback);

// Watches the mount table and applies the rules above on the main thread.
class TCardWatcher {
public:
    TCardWatcher(TRecordingCatalog& catalog, IPlaybackControl* playback,
                 TVolumeSources sources = VolumeSources());
    TCardWatcher(const TCardWatcher&) = delete;
    TCardWatcher& operator=(const TCardWatcher&) = delete;

    void SetPlayback(IPlaybackControl* playback) { m_playback = playback; }
    // See TMountWatcher::Start.
    bool Start() { return m_watcher.Start(); }
    void CheckForChanges() { m_watcher.CheckForChanges(); }

private:
    TRecordingCatalog& m_catalog;
    IPlaybackControl* m_playback;
    TMountWatcher m_watcher;
};
