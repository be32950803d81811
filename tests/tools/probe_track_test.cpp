// velor-probe track: the GPX validates against the published GPX 1.1 schema
// (xmllint), the KML parses, and both carry the valid fixes with their signs,
// in order, at the receiver's UTC clock.

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using velor::fixtures::GpsFix;
using velor::fixtures::GpsTime;

namespace {

struct TPoint {
    double latitude = 0.0, longitude = 0.0;
    std::string time;
};

std::vector<TPoint> Points(const std::string& document, bool kml) {
    TiXmlDocument xml;
    xml.Parse(document.c_str());
    std::vector<TPoint> points;
    TiXmlHandle root(xml.RootElement());
    TiXmlHandle track = root.FirstChild("Document").FirstChild("Placemark").FirstChild("gx:Track");
    TiXmlHandle segment = root.FirstChild("trk").FirstChild("trkseg");
    for (int i = 0;; ++i) {
        TPoint point;
        const TiXmlElement* at =
            (kml ? track.Child("gx:coord", i) : segment.Child("trkpt", i)).ToElement();
        const TiXmlElement* time = kml  ? track.Child("when", i).ToElement()
                                   : at ? at->FirstChildElement("time")
                                        : nullptr;
        if (!at || !time)
            return points;
        if (kml)
            std::sscanf(at->GetText(), "%lf %lf", &point.longitude, &point.latitude);
        else
            point = {std::atof(at->Attribute("lat")), std::atof(at->Attribute("lon")), {}};
        point.time = time->GetText();
        points.push_back(point);
    }
}

std::vector<TPoint> ValidFixes(const TFixtureRecording& recording) {
    std::vector<TPoint> points;
    for (const auto& packet : recording.Written().gps) {
        const GpsTime& t = packet.fix.time;
        char time[32];
        std::snprintf(time, sizeof time, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day,
                      t.hour, t.minute, t.second);
        if (packet.sentence.find(",A,") != std::string::npos)
            points.push_back({packet.fix.latitude, packet.fix.longitude, time});
    }
    return points;
}

void ExpectSamePoints(const std::vector<TPoint>& actual, const std::vector<TPoint>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].latitude, expected[i].latitude, 1e-5) << i;
        EXPECT_NEAR(actual[i].longitude, expected[i].longitude, 1e-5) << i;
        EXPECT_EQ(actual[i].time, expected[i].time) << i;
    }
}

} // namespace

// Each quarter of the globe, a clock that crosses midnight into a new year,
// and a receiver that loses its fix every third second.
TEST(ProbeTrack, WritesTheValidFixesOfEveryHemisphereAsGpxAndKml) {
    const struct {
        double latitude, longitude;
        GpsTime start;
        bool losesFix;
    } cases[] = {
        {47.3769, 8.5417, {12, 0, 0, 1, 1, 2026}, false},
        {-33.8688, 151.2093, {23, 59, 58, 31, 12, 2025}, false},
        {40.7128, -74.0060, {8, 30, 0, 15, 6, 2026}, true},
        {-34.6037, -58.3816, {0, 0, 0, 29, 2, 2028}, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.latitude << "," << test.longitude);
        velor::fixtures::RecordingOptions options;
        options.seconds = 4;
        options.gpsTrack.startLatitude = test.latitude;
        options.gpsTrack.startLongitude = test.longitude;
        options.gpsTrack.start = test.start;
        if (test.losesFix) {
            options.gpsSentenceFor = [](int packet, const GpsFix& fix) {
                GpsFix written = fix;
                written.valid = packet % 3 != 1;
                return velor::fixtures::FormatRmc(written);
            };
        }
        TFixtureRecording recording(options);
        const std::vector<TPoint> expected = ValidFixes(recording);
        EXPECT_EQ(expected.size() < recording.Written().gps.size(), test.losesFix);
        for (const char* format : {"gpx", "kml"}) {
            const TToolRun run = RunProbe({"track", recording.Path(), "--format", format});
            ASSERT_EQ(run.exitCode, 0) << run.err;
            SCOPED_TRACE(format);
            ExpectSamePoints(Points(run.out, format[0] == 'k'), expected);
        }
        const std::string gpx = recording.Folder().File("track.gpx");
        std::ofstream(gpx) << RunProbe({"track", recording.Path(), "--format", "gpx"}).out;
        const std::string xmllint = "xmllint --noout --schema '" VELOR_GPX_SCHEMA "' '" + gpx + "'";
        EXPECT_EQ(std::system(xmllint.c_str()), 0);
    }
}

TEST(ProbeTrack, RefusesARecordingWithoutAValidFix) {
    velor::fixtures::RecordingOptions options;
    options.seconds = 2;
    options.gpsKind = velor::fixtures::GpsSentenceKind::RmcVoid;
    TFixtureRecording voidFixes(options);
    const TToolRun run = RunProbe({"track", voidFixes.Path(), "--format", "kml"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(run.Said("no valid GPS fix")) << run.err;
}
