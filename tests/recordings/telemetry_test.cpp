#include <cmath>
#include <functional>
#include <memory>
#include <tuple>

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "recordings/telemetry.h"
#include "tests/fixtures/ffmpeg_handles.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::GsensorSample;
using velor::fixtures::RecordingOptions;

namespace {

// Reads the telemetry the way an open does; the pass must leave the input at
// its start.
std::unique_ptr<TTelemetry> Collect(const TFixtureRecording& recording,
                                    TVideoPass* pass = nullptr) {
    AVFormatContext* opened = nullptr;
    EXPECT_EQ(avformat_open_input(&opened, recording.Path().c_str(), nullptr, nullptr), 0);
    velor::fixtures::InputContextPtr input(opened);
    avformat_find_stream_info(input.get(), nullptr);
    velor::fixtures::PacketPtr packet(av_packet_alloc());
    const auto& streams = recording.Written().streams;
    const TTelemetryRoles roles{streams.frontVideo, streams.rearVideo, streams.gps,
                                streams.gsensor};
    auto table = ReadTelemetry(input.get(), packet.get(), roles, pass);
    EXPECT_EQ(av_read_frame(input.get(), packet.get()), 0);
    EXPECT_EQ(packet->stream_index, 0);
    EXPECT_EQ(packet->dts, 0);
    return table;
}

RecordingOptions Seconds(int seconds, const std::function<void(RecordingOptions&)>& change = {}) {
    RecordingOptions options;
    options.seconds = seconds;
    if (change)
        change(options);
    return options;
}

bool Parse(const std::string& sentence, TGpsRecord* record, bool carriageReturn = true) {
    const std::string text = std::string(8, '\xAB') + sentence + (carriageReturn ? "\r" : "");
    return ParseGpsPacket(reinterpret_cast<const std::uint8_t*>(text.data()),
                          static_cast<int>(text.size()), record);
}

} // namespace

TEST(Telemetry, ValidRmcFixesAreCollectedOnePerSecondAndTheVideoPassNoted) {
    const RecordingOptions options = Seconds(4);
    TFixtureRecording recording(options);
    TVideoPass pass;
    auto table = Collect(recording, &pass);
    const auto& gps = recording.Written().gps;
    ASSERT_EQ(table->gps.size(), gps.size());
    EXPECT_EQ(table->firstGpsTime, 1);
    for (size_t i = 0; i < gps.size(); ++i) {
        EXPECT_EQ(table->gps[i].valid, 1);
        EXPECT_NEAR(DecimalDegrees(table->gps[i].latitude), gps[i].fix.latitude, 1e-5);
        EXPECT_NEAR(DecimalDegrees(table->gps[i].longitude), gps[i].fix.longitude, 1e-5);
        EXPECT_EQ(table->gps[i].latitudeHemisphere, 'N');
        EXPECT_EQ(table->gps[i].longitudeHemisphere, 'E');
        EXPECT_NEAR(table->gps[i].speedKnots, options.gpsTrack.speedKnots, 0.01);
    }
    const auto& sensor = recording.Written().gsensor;
    const std::pair<const std::vector<float>*, float GsensorSample::*> axes[] = {
        {&table->accelX, &GsensorSample::x},
        {&table->accelY, &GsensorSample::y},
        {&table->accelZ, &GsensorSample::z}};
    for (const auto& [samples, axis] : axes) {
        ASSERT_EQ(samples->size(), sensor.size());
        for (size_t i = 0; i < sensor.size(); ++i)
            EXPECT_EQ((*samples)[i], sensor[i].sample.*axis) << i;
    }
    EXPECT_EQ(pass.largestDts[0], 119);
    EXPECT_EQ(pass.largestDts[1], 119);
    EXPECT_EQ(pass.largestVideoDts, 119);
    ASSERT_EQ(pass.packets[0].size(), 120u);
    EXPECT_TRUE(pass.packets[0][0].keyFrame);
    EXPECT_GT(pass.packets[0][1].position, pass.packets[0][0].position);
}

TEST(Telemetry, TheFirstFixBelongsToTheSecondAfterFirstGpsTime) {
    const struct {
        const char* what;
        std::function<void(RecordingOptions&)> change;
        size_t fixes;
        int firstGpsTime;
    } cases[] = {
        {"first packet at one second", {}, 3, 1},
        // The second packet's time is then the start.
        {"first packet at zero", [](RecordingOptions& o) { o.firstGpsAtZero = true; }, 3, 1},
        {"no carriage returns", [](RecordingOptions& o) { o.gpsCarriageReturn = false; }, 0, 0},
        {"no telemetry", [](RecordingOptions& o) { o.telemetry = false; }, 0, 0},
    };
    for (const auto& c : cases) {
        TFixtureRecording recording(Seconds(3, c.change));
        auto table = Collect(recording);
        EXPECT_EQ(table->gps.size(), c.fixes) << c.what;
        EXPECT_EQ(table->firstGpsTime, c.firstGpsTime) << c.what;
        EXPECT_EQ(FixAtSecond(table.get(), c.firstGpsTime), nullptr) << c.what;
        if (c.fixes > 0) {
            EXPECT_EQ(FixAtSecond(table.get(), c.firstGpsTime + 1), &table->gps[0]) << c.what;
        }
    }
}

TEST(Telemetry, ShortGsensorPacketsArePassedOverLongOnesRead) {
    TFixtureRecording recording(Seconds(2, [](RecordingOptions& o) {
        o.gsensorPacketBytesFor = [](int packet) {
            return packet % 4 == 1 ? 8 : (packet % 4 == 2 ? 20 : 12);
        };
    }));
    auto table = Collect(recording);
    size_t expected = 0;
    for (const auto& packet : recording.Written().gsensor)
        expected += packet.bytes.size() >= 12;
    EXPECT_LT(expected, recording.Written().gsensor.size());
    EXPECT_EQ(table->accelX.size(), expected);
    EXPECT_EQ(table->accelY.size(), expected);
    EXPECT_EQ(table->accelZ.size(), expected);
}

TEST(Telemetry, OnlyRmcSentencesEndingInACarriageReturnAreParsed) {
    const struct {
        const char* sentence;
        bool parsed;
        TGpsRecord record = {};
    } cases[] = {
        {"$GPRMC,120000.00,V,,,,,,,010126,,,N*4D",
         true,
         {0, 0.0, 0, 0.0, 0, 0.0, {2026, 1, 1, 12, 0, 0, 0}}},
        {"$GNRMC,120001.00,A,4722.6140,N,00832.5020,E,10.0,45.0,010126,,,A*7A",
         true,
         {1, 4722.614, 'N', 832.502, 'E', 10.0, {2026, 1, 1, 12, 0, 1, 0}}},
        {"$GPRMC,120004.25,A,3352.0000,S,15112.0000,W,5.5,45.0,311299,,,A*6C",
         true,
         {1, 3352.0, 'S', 15112.0, 'W', 5.5, {2099, 12, 31, 12, 0, 4, 250}}},
        // Fields a short sentence lacks stay zero (a clock too short to read
        // stays unknown); a status beginning with A is valid.
        {"$GPRMC,1,A,1234.5", true, {1, 1234.5, 0, 0.0, 0, 0.0, {}}},
        {"$GNRMC,,Ax,,,,,", true, {1, 0.0, 0, 0.0, 0, 0.0, {}}},
        {"$GPRMC,,V,,,,,7.5", true, {0, 0.0, 0, 0.0, 0, 7.5, {}}},
        // Numbers no receiver writes read as 0, so that no conversion of the
        // fix overflows.
        {"$GPRMC,1,A,nan,N,-inf,E,1e308", true, {1, 0.0, 'N', 0.0, 'E', 0.0, {}}},
        {"$GPRMC,1,A,1e300,S,-2e9,W,infinity", true, {1, 0.0, 'S', 0.0, 'W', 0.0, {}}},
        {"$GPGGA,120002.00,4722.6140,N,00832.5020,E,1,08,0.9,408.0,M,48.0,M,,*4F", false},
        {"$gprmc,120003.00,A,4722.6140,N,00832.5020,E,10.0,45.0,010126,,,A*5A", false},
        {"", false},
    };
    for (const auto& c : cases) {
        TGpsRecord record;
        ASSERT_EQ(Parse(c.sentence, &record), c.parsed) << c.sentence;
        EXPECT_EQ(record.valid, c.record.valid) << c.sentence;
        EXPECT_DOUBLE_EQ(record.latitude, c.record.latitude) << c.sentence;
        EXPECT_EQ(record.latitudeHemisphere, c.record.latitudeHemisphere) << c.sentence;
        EXPECT_DOUBLE_EQ(record.longitude, c.record.longitude) << c.sentence;
        EXPECT_EQ(record.longitudeHemisphere, c.record.longitudeHemisphere) << c.sentence;
        EXPECT_DOUBLE_EQ(record.speedKnots, c.record.speedKnots) << c.sentence;
        const TGpsClock& clock = record.clock;
        const TGpsClock& expected = c.record.clock;
        EXPECT_EQ(std::tie(clock.year, clock.month, clock.day, clock.hour, clock.minute,
                           clock.second, clock.millisecond),
                  std::tie(expected.year, expected.month, expected.day, expected.hour,
                           expected.minute, expected.second, expected.millisecond))
            << c.sentence;
        EXPECT_TRUE(std::isfinite(SignedDecimalDegrees(record.latitude, 'S'))) << c.sentence;
    }
    TGpsRecord record;
    EXPECT_FALSE(Parse("$GPRMC,1,A,1.0,N,2.0,E,3.0", &record, false));
    EXPECT_FALSE(ParseGpsPacket(nullptr, 0, &record));
}

TEST(Telemetry, CoordinatesInDegreesAndSigned) {
    // The decimal point splits degrees from minutes.
    EXPECT_DOUBLE_EQ(DecimalDegrees(123.25), 1.3875);
    EXPECT_DOUBLE_EQ(DecimalDegrees(3723.2475), 37.0 + 23.2475 / 60.0);
    // The plain conversion ignores the hemisphere; the signed one puts south
    // and west below zero.
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(3352.0, 'S'), -(33.0 + 52.0 / 60.0));
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(15112.0, 'W'), -(151.0 + 12.0 / 60.0));
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(15112.0, 'E'), 151.2);
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(4722.614, 0), DecimalDegrees(4722.614));
}
