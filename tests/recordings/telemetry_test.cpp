#include <clocale>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "recordings/telemetry.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::GpsSentenceKind;
using velor::fixtures::RecordingOptions;

namespace {

struct TOpenInput {
    AVFormatContext* input = nullptr;
    AVPacket* packet = av_packet_alloc();
    explicit TOpenInput(const std::string& path) {
        if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) == 0)
            avformat_find_stream_info(input, nullptr);
    }
    ~TOpenInput() {
        av_packet_free(&packet);
        avformat_close_input(&input);
    }
};

std::unique_ptr<TTelemetry> Collect(const TFixtureRecording& recording, TVideoPass* pass = nullptr) {
    TOpenInput open(recording.Path());
    EXPECT_NE(open.input, nullptr);
    const auto& streams = recording.Written().streams;
    TTelemetryRoles roles{streams.frontVideo, streams.rearVideo, streams.gps, streams.gsensor};
    auto table = ReadTelemetry(open.input, open.packet, roles, pass);
    // The pass leaves the input at its start.
    EXPECT_EQ(av_read_frame(open.input, open.packet), 0);
    EXPECT_EQ(open.packet->stream_index, 0);
    EXPECT_EQ(open.packet->dts, 0);
    av_packet_unref(open.packet);
    return table;
}

std::vector<std::uint8_t> GpsPacket(const std::string& sentence, bool carriageReturn = true) {
    std::string text = std::string(8, '\xAB') + sentence + (carriageReturn ? "\r" : "");
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

bool Parse(const std::vector<std::uint8_t>& bytes, TGpsRecord* record) {
    return ParseGpsPacket(bytes.data(), static_cast<int>(bytes.size()), record);
}

} // namespace

TEST(Telemetry, ValidRmcFixesAreCollectedOnePerSecond) {
    RecordingOptions options;
    options.seconds = 4;
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
    ASSERT_EQ(table->accelX.size(), sensor.size());
    ASSERT_EQ(table->accelY.size(), sensor.size());
    ASSERT_EQ(table->accelZ.size(), sensor.size());
    for (size_t i = 0; i < sensor.size(); ++i) {
        EXPECT_EQ(table->accelX[i], sensor[i].sample.x);
        EXPECT_EQ(table->accelZ[i], sensor[i].sample.z);
    }
    EXPECT_EQ(pass.largestDts[0], 119);
    EXPECT_EQ(pass.largestDts[1], 119);
    EXPECT_EQ(pass.largestVideoDts, 119);
    EXPECT_EQ(pass.packets[0].size(), 120u);
    EXPECT_TRUE(pass.packets[0][0].keyFrame);
    EXPECT_GT(pass.packets[0][1].position, pass.packets[0][0].position);
}

TEST(Telemetry, VoidGnrmcGgaAndLowerCaseSentences) {
    RecordingOptions options;
    options.seconds = 5;
    options.gpsSentences = {
        "$GPRMC,120000.00,V,,,,,,,010126,,,N*4D",
        "$GNRMC,120001.00,A,4722.6140,N,00832.5020,E,10.0,45.0,010126,,,A*7A",
        "$GPGGA,120002.00,4722.6140,N,00832.5020,E,1,08,0.9,408.0,M,48.0,M,,*4F",
        "$gprmc,120003.00,A,4722.6140,N,00832.5020,E,10.0,45.0,010126,,,A*5A",
        "$GPRMC,120004.00,A,3352.0000,S,15112.0000,W,5.5,45.0,010126,,,A*6C",
    };
    TFixtureRecording recording(options);
    auto table = Collect(recording);
    ASSERT_EQ(table->gps.size(), 3u);
    EXPECT_EQ(table->gps[0].valid, 0);
    EXPECT_EQ(table->gps[0].latitude, 0.0);
    EXPECT_EQ(table->gps[0].latitudeHemisphere, 0);
    EXPECT_EQ(table->gps[0].longitudeHemisphere, 0);
    EXPECT_EQ(table->gps[0].speedKnots, 0.0);
    EXPECT_EQ(table->gps[1].valid, 1);
    EXPECT_DOUBLE_EQ(table->gps[1].latitude, 4722.614);
    EXPECT_DOUBLE_EQ(table->gps[1].speedKnots, 10.0);
    EXPECT_EQ(table->gps[2].latitudeHemisphere, 'S');
    EXPECT_EQ(table->gps[2].longitudeHemisphere, 'W');
    EXPECT_DOUBLE_EQ(table->gps[2].longitude, 15112.0);
}

TEST(Telemetry, FirstPacketAtZeroMakesTheSecondPacketsTimeTheStart) {
    RecordingOptions options;
    options.seconds = 3;
    options.firstGpsAtZero = true;
    TFixtureRecording recording(options);
    auto table = Collect(recording);
    ASSERT_EQ(table->gps.size(), 3u);
    EXPECT_EQ(table->firstGpsTime, 1);
    // The first record belongs to the second after firstGpsTime.
    EXPECT_EQ(FixAtSecond(table.get(), 1), nullptr);
    EXPECT_EQ(FixAtSecond(table.get(), 2), &table->gps[0]);
}

TEST(Telemetry, PacketsWithoutCarriageReturnAddNothing) {
    RecordingOptions options;
    options.seconds = 3;
    options.gpsCarriageReturn = false;
    TFixtureRecording recording(options);
    auto table = Collect(recording);
    EXPECT_TRUE(table->gps.empty());
    EXPECT_EQ(table->firstGpsTime, 0);
}

TEST(Telemetry, ShortGsensorPacketsArePassedOverLongOnesRead) {
    RecordingOptions options;
    options.seconds = 2;
    options.gsensorPacketBytesFor = [](int packet) { return packet % 4 == 1 ? 8 : (packet % 4 == 2 ? 20 : 12); };
    TFixtureRecording recording(options);
    auto table = Collect(recording);
    size_t expected = 0;
    for (const auto& packet : recording.Written().gsensor)
        expected += packet.bytes.size() >= 12;
    EXPECT_EQ(table->accelX.size(), expected);
    EXPECT_EQ(table->accelY.size(), expected);
    EXPECT_EQ(table->accelZ.size(), expected);
    EXPECT_LT(expected, recording.Written().gsensor.size());
}

TEST(Telemetry, RecordingWithoutTelemetryGivesAnEmptyTable) {
    RecordingOptions options;
    options.seconds = 1;
    options.telemetry = false;
    TFixtureRecording recording(options);
    auto table = Collect(recording);
    EXPECT_TRUE(table->gps.empty());
    EXPECT_TRUE(table->accelX.empty());
    EXPECT_EQ(table->firstGpsTime, 0);
    EXPECT_EQ(FixAtSecond(table.get(), 0), nullptr);
}

TEST(Telemetry, ParsingIgnoresTheLocalesDecimalComma) {
    const char* locales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "ru_RU.UTF-8"};
    std::string old = std::setlocale(LC_NUMERIC, nullptr);
    bool commaLocale = false;
    for (const char* locale : locales) {
        if (std::setlocale(LC_NUMERIC, locale) && std::localeconv()->decimal_point[0] == ',') {
            commaLocale = true;
            break;
        }
    }
    if (!commaLocale) {
        std::setlocale(LC_NUMERIC, old.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    TGpsRecord record;
    bool parsed = Parse(GpsPacket("$GPRMC,1,A,3723.2475,N,12158.3416,W,0.13,309.62,120598,,*10"), &record);
    std::setlocale(LC_NUMERIC, old.c_str());
    ASSERT_TRUE(parsed);
    EXPECT_DOUBLE_EQ(record.latitude, 3723.2475);
    EXPECT_DOUBLE_EQ(record.longitude, 12158.3416);
    EXPECT_DOUBLE_EQ(record.speedKnots, 0.13);
}

TEST(Telemetry, SentenceParsingEdgeCases) {
    TGpsRecord record;
    EXPECT_FALSE(Parse(GpsPacket("$GPRMC,1,A,1.0,N,2.0,E,3.0", false), &record));
    EXPECT_FALSE(Parse(std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 13}, &record));
    EXPECT_FALSE(Parse(GpsPacket("$GPRMC"), &record));
    EXPECT_FALSE(ParseGpsPacket(nullptr, 0, &record));
    // A short sentence leaves the missing fields zero.
    ASSERT_TRUE(Parse(GpsPacket("$GPRMC,1,A,1234.5"), &record));
    EXPECT_EQ(record.valid, 1);
    EXPECT_DOUBLE_EQ(record.latitude, 1234.5);
    EXPECT_EQ(record.latitudeHemisphere, 0);
    EXPECT_EQ(record.speedKnots, 0.0);
    // Status that only begins with A.
    ASSERT_TRUE(Parse(GpsPacket("$GNRMC,,Ax,,,,,"), &record));
    EXPECT_EQ(record.valid, 1);
    ASSERT_TRUE(Parse(GpsPacket("$GPRMC,,V,,,,,7.5"), &record));
    EXPECT_EQ(record.valid, 0);
    EXPECT_DOUBLE_EQ(record.speedKnots, 7.5);
}

TEST(Telemetry, FixAtSecondBoundaries) {
    TTelemetry table;
    table.firstGpsTime = 3;
    table.gps.resize(4);
    for (int i = 0; i < 4; ++i)
        table.gps[i].speedKnots = i;
    EXPECT_EQ(FixAtSecond(&table, 3), nullptr);
    EXPECT_EQ(FixAtSecond(&table, 4), &table.gps[0]);
    EXPECT_EQ(FixAtSecond(&table, 7), &table.gps[3]);
    EXPECT_EQ(FixAtSecond(&table, 8), nullptr);
    EXPECT_EQ(FixAtSecond(&table, -100), nullptr);
    EXPECT_EQ(FixAtSecond(nullptr, 4), nullptr);
}

TEST(Telemetry, CoordinateAndSpeedConversions) {
    TCoordinateParts parts = SplitCoordinate(123.25);
    EXPECT_EQ(parts.degrees, 1);
    EXPECT_EQ(parts.minutes, 23);
    EXPECT_DOUBLE_EQ(parts.seconds, 15.0);
    EXPECT_DOUBLE_EQ(DecimalDegrees(123.25), 1.3875);
    EXPECT_DOUBLE_EQ(DecimalDegrees(3723.2475), 37.0 + 23.2475 / 60.0);
    EXPECT_DOUBLE_EQ(SpeedKmh(10.0), 18.52);
    EXPECT_DOUBLE_EQ(SpeedMph(10.0), 11.5);
    // The hemisphere letters never change the plain conversion...
    EXPECT_GT(DecimalDegrees(3352.0), 0.0);
    // ...but the signed form puts south and west below zero.
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(3352.0, 'S'), -(33.0 + 52.0 / 60.0));
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(15112.0, 'W'), -(151.0 + 12.0 / 60.0));
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(15112.0, 'E'), 151.2);
    EXPECT_DOUBLE_EQ(SignedDecimalDegrees(4722.614, 0), DecimalDegrees(4722.614));
}
