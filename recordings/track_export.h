#pragma once
// A recording's GPS fixes written out as a track other programs read: GPX 1.1
// for trip logs and mapping tools, KML 2.2 for globe viewers.

#include <string>

#include "recordings/telemetry.h"

enum class TTrackFormat { Gpx, Kml };

// "gpx" or "kml" (any case) to its format; false for anything else.
bool TrackFormatFromName(const std::string& name, TTrackFormat* format);
// The file name extension with its dot: ".gpx" or ".kml".
const char* TrackFormatExtension(TTrackFormat format);

// How many fixes a track of this telemetry would hold: the valid ones with a
// position and a known clock.
int TrackPointCount(const TTelemetry& telemetry);

// The whole document, one track named `name` with a point per valid fix in
// recording order; empty when no fix qualifies.
std::string WriteTrack(const TTelemetry& telemetry, const std::string& name, TTrackFormat format);

enum class TTrackSaveResult { Saved, NoValidFix, WriteFailed };

// Writes the document to `path`; nothing is created when there is no valid
// fix.
TTrackSaveResult SaveTrack(const TTelemetry& telemetry, const std::string& name,
                           TTrackFormat format, const std::string& path);
