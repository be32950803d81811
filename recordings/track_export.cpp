#include "recordings/track_export.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

// Six decimals are about 0.1 m, finer than a dash camera's receiver.
constexpr int kCoordinateDecimals = 6;
constexpr int kSpeedDecimals = 2;
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr const char* kGpxOpening =
    "<gpx version=\"1.1\" creator=\"VELOR player\"\n"
    "     xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
    "     xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"\n"
    "     xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    "     xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
    "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";
constexpr const char* kKmlOpening = "<kml xmlns=\"http://www.opengis.net/kml/2.2\"\n"
                                    "     xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n";

struct TTrackPoint {
    double latitude = 0.0;
    double longitude = 0.0;
    double speedMetresPerSecond = 0.0;
    std::string time;
};

// Printed with a '.' decimal point whatever locale the interface has set.
std::string Decimal(double value, int decimals) {
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(text.data(), result.ptr);
}

std::string IsoTime(const TGpsClock& clock) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", clock.year, clock.month,
                  clock.day, clock.hour, clock.minute, clock.second);
    std::string time = text;
    if (clock.millisecond > 0) {
        std::snprintf(text, sizeof text, ".%03d", clock.millisecond);
        time += text;
    }
    return time + "Z";
}

bool Qualifies(const TGpsRecord& fix) {
    const bool positioned = fix.latitudeHemisphere != 0 && fix.longitudeHemisphere != 0;
    return fix.valid && positioned && fix.clock.Known();
}

std::vector<TTrackPoint> TrackPoints(const TTelemetry& telemetry) {
    std::vector<TTrackPoint> points;
    for (const TGpsRecord& fix : telemetry.gps) {
        if (!Qualifies(fix))
            continue;
        points.push_back({SignedDecimalDegrees(fix.latitude, fix.latitudeHemisphere),
                          SignedDecimalDegrees(fix.longitude, fix.longitudeHemisphere),
                          fix.speedKnots * kMetresPerSecondPerKnot, IsoTime(fix.clock)});
    }
    return points;
}

std::string EscapedText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

std::string GpxDocument(const std::vector<TTrackPoint>& points, const std::string& name) {
    std::string out = kXmlDeclaration;
    out += kGpxOpening;
    out += "  <trk>\n    <name>" + EscapedText(name) + "</name>\n    <trkseg>\n";
    for (const TTrackPoint& point : points) {
        out += "      <trkpt lat=\"" + Decimal(point.latitude, kCoordinateDecimals) + "\" lon=\"" +
               Decimal(point.longitude, kCoordinateDecimals) + "\">\n";
        out += "        <time>" + point.time + "</time>\n";
        out += "        <extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>" +
               Decimal(point.speedMetresPerSecond, kSpeedDecimals) +
               "</gpxtpx:speed></gpxtpx:TrackPointExtension></extensions>\n";
        out += "      </trkpt>\n";
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
    return out;
}

std::string KmlDocument(const std::vector<TTrackPoint>& points, const std::string& name) {
    const std::string title = "<name>" + EscapedText(name) + "</name>\n";
    std::string out = kXmlDeclaration;
    out += kKmlOpening;
    out += "  <Document>\n    " + title + "    <Placemark>\n      " + title;
    out += "      <gx:Track>\n";
    for (const TTrackPoint& point : points)
        out += "        <when>" + point.time + "</when>\n";
    // KML orders a coordinate longitude first.
    for (const TTrackPoint& point : points) {
        out += "        <gx:coord>" + Decimal(point.longitude, kCoordinateDecimals) + " " +
               Decimal(point.latitude, kCoordinateDecimals) + " 0</gx:coord>\n";
    }
    out += "      </gx:Track>\n    </Placemark>\n  </Document>\n</kml>\n";
    return out;
}

} // namespace

bool TrackFormatFromName(const std::string& name, TTrackFormat* format) {
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "gpx")
        *format = TTrackFormat::Gpx;
    else if (lower == "kml")
        *format = TTrackFormat::Kml;
    else
        return false;
    return true;
}

const char* TrackFormatExtension(TTrackFormat format) {
    return format == TTrackFormat::Kml ? ".kml" : ".gpx";
}

int TrackPointCount(const TTelemetry& telemetry) {
    int count = 0;
    for (const TGpsRecord& fix : telemetry.gps)
        count += Qualifies(fix) ? 1 : 0;
    return count;
}

std::string WriteTrack(const TTelemetry& telemetry, const std::string& name, TTrackFormat format) {
    const std::vector<TTrackPoint> points = TrackPoints(telemetry);
    if (points.empty())
        return {};
    return format == TTrackFormat::Kml ? KmlDocument(points, name) : GpxDocument(points, name);
}

TTrackSaveResult SaveTrack(const TTelemetry& telemetry, const std::string& name,
                           TTrackFormat format, const std::string& path) {
    const std::string document = WriteTrack(telemetry, name, format);
    if (document.empty())
        return TTrackSaveResult::NoValidFix;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << document;
    file.close();
    return file ? TTrackSaveResult::Saved : TTrackSaveResult::WriteFailed;
}
