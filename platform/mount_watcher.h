#pragma once
// Card arrival and removal. Windows sends WM_DEVICECHANGE; here the mount
// table is watched (the kernel flags a change of /proc/self/mounts with
// POLLPRI) on the main thread, and each removable mount point that appears
// or goes away is reported with the event code Windows would give it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/removable_volumes.h"
#include "platform/win_types.h"

inline constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
inline constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;

class TMountWatcher {
public:
    // Called on the main thread with DBT_DEVICEARRIVAL or
    // DBT_DEVICEREMOVECOMPLETE and the mount point concerned.
    using TDeviceChange = std::function<void(WPARAM event, const std::string& mountPoint)>;

    // Takes the removable mount points of `sources` as they are now as known:
    // only later changes are reported.
    TMountWatcher(TDeviceChange onChange, TVolumeSources sources = VolumeSources());
    ~TMountWatcher();
    TMountWatcher(const TMountWatcher&) = delete;
    TMountWatcher& operator=(const TMountWatcher&) = delete;

    // Starts watching the mount table for the kernel's change flag; needs the
    // user interface application. False when the table cannot be opened or
    // there is no application. A regular file (a test's) never raises the
    // flag: its owner calls CheckForChanges after rewriting it.
    bool Start();

    // Reads the table again and reports every removal, then every arrival,
    // each in the order of the mount points' paths.
    void CheckForChanges();

    const std::vector<std::string>& KnownMountPoints() const { return m_known; }

private:
    struct TNotifier;

    TDeviceChange m_onChange;
    TVolumeSources m_sources;
    std::vector<std::string> m_known;
    std::unique_ptr<TNotifier> m_notifier;
};
