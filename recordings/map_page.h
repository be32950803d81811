#pragma once
// The map page and the scripts run in it: the template from resource/map
// filled with the first position and the tile server, the marker move and
// the recording's track. Numbers are written the same in every locale.

#include <string>
#include <vector>

#include "recordings/telemetry.h"

inline constexpr const char* kMapPageTemplate = "map/page.html";

// Signed decimal degrees: south and west negative.
struct TTrackPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

// Six decimals, with a point whatever the locale says.
std::string FixedDegrees(double value);
// "moveTo(37.500000, 127.000000);"
std::string MoveToScript(double latitude, double longitude);
// "setTrack([[lat, lon], ...]);"
std::string SetTrackScript(const std::vector<TTrackPoint>& track);
// The valid fixes of the recording in order, with their hemispheres' signs.
std::vector<TTrackPoint> TrackOfTelemetry(const TTelemetry* table);

// The tile address as the page's script takes it: "{z}/{x}/{y}" become
// "${z}/${x}/${y}", quoted as a script string.
std::string TileUrlLiteral(const std::string& tileUrl);
// The template with @LATITUDE@, @LONGITUDE@ and @TILE_URL@ filled in.
std::string FormatMapPage(const std::string& pageTemplate, double latitude, double longitude,
                          const std::string& tileUrl);
// The template's text from the resource folder; empty when it cannot be read.
std::string ReadMapPageTemplate();
