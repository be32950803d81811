// velor-probe track: the GPX validates against the published GPX 1.1 schema
// (xmllint), the KML parses, and both carry the valid fixes with their signs,
// in order, at the receiver's UTC clock.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using velor::fixtures::FormatRmc;
using velor::fixtures::GpsFix;
using velor::fixtures::GpsTime;
using velor::fixtures::RecordingOptions;

namespace {

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;
constexpr double kPrintedDegreesTolerance = 1e-5;

struct TExpectedPoint {
    double latitude;
    double longitude;
    std::string time;
    double speed;
};

std::string Iso(const GpsTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

std::vector<TExpectedPoint> ValidFixes(const TFixtureRecording& recording) {
    std::vector<TExpectedPoint> points;
    for (const auto& packet : recording.Written().gps) {
        if (packet.sentence.find(",A,") != std::string::npos)
            points.push_back({packet.fix.latitude, packet.fix.longitude, Iso(packet.fix.time),
                              packet.fix.speedKnots * kMetresPerSecondPerKnot});
    }
    return points;
}

bool ValidatesAgainstGpxSchema(const std::string& document, const TTempFolder& folder) {
    const std::string path = folder.File("track.gpx");
    std::ofstream(path) << document;
    const std::string command = "xmllint --noout --schema '" VELOR_GPX_SCHEMA "' '" + path + "'";
    return std::system(command.c_str()) == 0;
}

void ExpectGpxPoints(const std::string& document, const std::vector<TExpectedPoint>& expected) {
    TiXmlDocument xml;
    xml.Parse(document.c_str());
    ASSERT_FALSE(xml.Error()) << xml.ErrorDesc();
    const TiXmlElement* segment =
        TiXmlHandle(xml.RootElement()).FirstChild("trk").FirstChild("trkseg").ToElement();
    ASSERT_NE(segment, nullptr);
    size_t i = 0;
    for (const TiXmlElement* point = segment->FirstChildElement("trkpt"); point;
         point = point->NextSiblingElement("trkpt"), ++i) {
        ASSERT_LT(i, expected.size());
        EXPECT_NEAR(std::atof(point->Attribute("lat")), expected[i].latitude,
                    kPrintedDegreesTolerance);
        EXPECT_NEAR(std::atof(point->Attribute("lon")), expected[i].longitude,
                    kPrintedDegreesTolerance);
        EXPECT_EQ(point->FirstChildElement("time")->GetText(), expected[i].time);
        const TiXmlElement* speed = TiXmlHandle(const_cast<TiXmlElement*>(point))
                                        .FirstChild("extensions")
                                        .FirstChild("gpxtpx:TrackPointExtension")
                                        .FirstChild("gpxtpx:speed")
                                        .ToElement();
        ASSERT_NE(speed, nullptr);
        EXPECT_NEAR(std::atof(speed->GetText()), expected[i].speed, 0.01);
    }
    EXPECT_EQ(i, expected.size());
}

void ExpectKmlPoints(const std::string& document, const std::vector<TExpectedPoint>& expected) {
    TiXmlDocument xml;
    xml.Parse(document.c_str());
    ASSERT_FALSE(xml.Error()) << xml.ErrorDesc();
    ASSERT_STREQ(xml.RootElement()->Attribute("xmlns"), "http://www.opengis.net/kml/2.2");
    const TiXmlElement* track = TiXmlHandle(xml.RootElement())
                                    .FirstChild("Document")
                                    .FirstChild("Placemark")
                                    .FirstChild("gx:Track")
                                    .ToElement();
    ASSERT_NE(track, nullptr);
    std::vector<std::string> whens;
    for (const TiXmlElement* when = track->FirstChildElement("when"); when;
         when = when->NextSiblingElement("when"))
        whens.push_back(when->GetText());
    size_t i = 0;
    for (const TiXmlElement* coord = track->FirstChildElement("gx:coord"); coord;
         coord = coord->NextSiblingElement("gx:coord"), ++i) {
        ASSERT_LT(i, expected.size());
        double longitude = 0.0, latitude = 0.0, altitude = -1.0;
        ASSERT_EQ(std::sscanf(coord->GetText(), "%lf %lf %lf", &longitude, &latitude, &altitude),
                  3);
        EXPECT_NEAR(latitude, expected[i].latitude, kPrintedDegreesTolerance);
        EXPECT_NEAR(longitude, expected[i].longitude, kPrintedDegreesTolerance);
        EXPECT_EQ(whens.at(i), expected[i].time);
    }
    EXPECT_EQ(i, expected.size());
    EXPECT_EQ(whens.size(), expected.size());
}

} // namespace

// Each quarter of the globe, a clock that crosses midnight into a new year,
// and a receiver that loses its fix every third second.
TEST(ProbeTrack, WritesTheValidFixesOfEveryHemisphereAsGpxAndKml) {
    struct TCase {
        double latitude;
        double longitude;
        GpsTime start;
        bool losesFix;
    };
    const TCase cases[] = {
        {47.3769, 8.5417, {12, 0, 0, 1, 1, 2026}, false},
        {-33.8688, 151.2093, {23, 59, 58, 31, 12, 2025}, false},
        {40.7128, -74.0060, {8, 30, 0, 15, 6, 2026}, true},
        {-34.6037, -58.3816, {0, 0, 0, 29, 2, 2028}, true},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(testing::Message() << test.latitude << "," << test.longitude);
        RecordingOptions options;
        options.seconds = 4;
        options.gpsTrack.startLatitude = test.latitude;
        options.gpsTrack.startLongitude = test.longitude;
        options.gpsTrack.start = test.start;
        if (test.losesFix) {
            options.gpsSentenceFor = [](int packet, const GpsFix& fix) {
                GpsFix written = fix;
                written.valid = packet % 3 != 1;
                return FormatRmc(written);
            };
        }
        TFixtureRecording recording(options);
        const std::vector<TExpectedPoint> expected = ValidFixes(recording);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(expected.size() < recording.Written().gps.size(), test.losesFix);

        const TToolRun gpx = RunProbe({"track", recording.Path(), "--format", "gpx"});
        ASSERT_EQ(gpx.exitCode, 0) << gpx.err;
        EXPECT_TRUE(ValidatesAgainstGpxSchema(gpx.out, recording.Folder()));
        ExpectGpxPoints(gpx.out, expected);

        const TToolRun kml = RunProbe({"track", recording.Path(), "--format", "kml"});
        ASSERT_EQ(kml.exitCode, 0) << kml.err;
        ExpectKmlPoints(kml.out, expected);
    }
}

TEST(ProbeTrack, RefusesRecordingsWithoutAValidFixAndBadArguments) {
    RecordingOptions options;
    options.seconds = 2;
    options.gpsSentenceFor = [](int, const GpsFix& fix) {
        GpsFix written = fix;
        written.valid = false;
        return FormatRmc(written);
    };
    TFixtureRecording voidFixes(options);
    RecordingOptions plain;
    plain.seconds = 1;
    TFixtureRecording valid(plain);
    const struct {
        std::vector<std::string> arguments;
        std::string said;
    } cases[] = {
        {{"track", voidFixes.Path(), "--format", "gpx"}, "no valid GPS fix"},
        {{"track", voidFixes.Path(), "--format", "kml"}, "no valid GPS fix"},
        {{"track", valid.Path(), "--format", "svg"}, "usage"},
        {{"track", valid.Folder().File("missing.avi"), "--format", "gpx"}, "cannot be opened"},
    };
    for (const auto& test : cases) {
        const TToolRun run = RunProbe(test.arguments);
        EXPECT_EQ(run.exitCode, 1) << test.arguments[1];
        EXPECT_TRUE(run.out.empty());
        EXPECT_TRUE(run.Said(test.said)) << run.err;
    }
}
