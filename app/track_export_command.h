#pragma once
// "Export GPS track…" of the recording list: asks where to save the
// recording's GPS fixes, as GPX or KML after the save dialog's filter, and
// writes them; a recording without a valid fix is answered with a message
// and nothing is written.

#include <functional>
#include <string>

#include "platform/win_types.h"

inline constexpr const char* NoGpsFixKey = "message.no_gps_fix";
inline constexpr const char* ExportTrackFailedKey = "message.export_track_failed";
inline constexpr const char* ExportTrackTitleKey = "label.export_track";
// Windows' double-NUL filter list; the first is the default.
inline constexpr char TrackFilter[] = "GPX 1.1 (*.gpx)\0*.gpx\0KML 2.2 (*.kml)\0*.kml\0";

// Shows a message (texts UTF-8) as ShowMessageBox does; tests answer it.
using TTrackMessageFunction =
    std::function<int(HWND owner, const char* text, const char* caption, UINT style)>;

// Null `say`: the skinned message box.
void ExportRecordingTrack(HWND owner, const std::string& recording,
                          const TTrackMessageFunction& say = nullptr);
