#include <cmath>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using nlohmann::json;
using velor::fixtures::RecordingOptions;

namespace {

json ProbeJson(const std::string& path) {
    TToolRun run = RunProbe({"recording", path});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return json::parse(run.out, nullptr, false);
}

} // namespace

TEST(ProbeRecording, TwoChannelRecordingWithEverything) {
    RecordingOptions options;
    options.seconds = 3;
    TFixtureRecording recording(options);
    json result = ProbeJson(recording.Path());
    ASSERT_FALSE(result.is_discarded());
    EXPECT_EQ(result["frameCount"], 90);
    EXPECT_DOUBLE_EQ(result["frameRate"].get<double>(), 30.0);
    EXPECT_DOUBLE_EQ(result["duration"].get<double>(), 3.0);
    EXPECT_EQ(result["roles"], json::parse(R"({"front":0,"rear":1,"audio":2,"gps":3,"gsensor":4})"));
    EXPECT_EQ(result["timeBases"]["front"], "1/30");
    EXPECT_EQ(result["timeBases"]["rear"], "1/30");
    const json& telemetry = result["telemetry"];
    EXPECT_EQ(telemetry["firstGpsTime"], 1);
    ASSERT_EQ(telemetry["gps"].size(), 3u);
    EXPECT_EQ(telemetry["gps"][0]["valid"], 1);
    EXPECT_EQ(telemetry["gps"][0]["latitudeHemisphere"], "N");
    EXPECT_EQ(telemetry["accelX"].size(), 30u);
    EXPECT_EQ(telemetry["accelZ"].size(), 30u);
    // Seconds 0..3: nothing at 0 and 1, then the records in order.
    EXPECT_EQ(result["fixBySecond"], json::parse("[null,null,0,1]"));
}

TEST(ProbeRecording, OneChannelTwentyFiveFramesVoidFixes) {
    RecordingOptions options;
    options.seconds = 2;
    options.channels = 1;
    options.fps = 25;
    options.sound = false;
    options.gpsKind = velor::fixtures::GpsSentenceKind::RmcVoid;
    TFixtureRecording recording(options);
    json result = ProbeJson(recording.Path());
    EXPECT_EQ(result["roles"], json::parse(R"({"front":0,"rear":-1,"audio":-1,"gps":1,"gsensor":2})"));
    EXPECT_EQ(result["timeBases"]["front"], "1/25");
    EXPECT_TRUE(result["timeBases"]["rear"].is_null());
    const json& first = result["telemetry"]["gps"][0];
    EXPECT_EQ(first["valid"], 0);
    EXPECT_TRUE(first["latitudeHemisphere"].is_null());
    EXPECT_TRUE(first["longitudeHemisphere"].is_null());
    EXPECT_EQ(first["speedKnots"], 0.0);
}

TEST(ProbeRecording, RecordingWithoutTelemetryAndCutRecording) {
    RecordingOptions options;
    options.seconds = 2;
    options.telemetry = false;
    TFixtureRecording bare(options);
    json result = ProbeJson(bare.Path());
    EXPECT_EQ(result["roles"]["gps"], -1);
    EXPECT_TRUE(result["telemetry"]["gps"].empty());
    EXPECT_EQ(result["fixBySecond"], json::parse("[null,null,null]"));

    RecordingOptions cut;
    cut.seconds = 2;
    cut.cutAtFraction = 0.5;
    TFixtureRecording cutRecording(cut);
    json cutResult = ProbeJson(cutRecording.Path());
    EXPECT_GT(cutResult["frameCount"].get<int>(), 0);
    EXPECT_LT(cutResult["frameCount"].get<int>(), 60);
}

TEST(ProbeRecording, NotARecordingExitsOneWithAMessage) {
    TTempFolder folder;
    std::string path = folder.File("readme.avi");
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs("plain text", file);
    std::fclose(file);
    TToolRun run = RunProbe({"recording", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("failed to open input"), std::string::npos) << run.err;

    TToolRun missing = RunProbe({"recording"});
    EXPECT_EQ(missing.exitCode, 1);
    TToolRun unknown = RunProbe({"no-such-command"});
    EXPECT_EQ(unknown.exitCode, 1);
}

namespace {

struct TVariant {
    const char* name;
    void (*apply)(RecordingOptions&);
};

const TVariant kVariants[] = {
    {"mjpeg", [](RecordingOptions& o) { o.codec = velor::fixtures::VideoCodec::Mjpeg; }},
    {"no sound", [](RecordingOptions& o) { o.sound = false; }},
    {"gnrmc", [](RecordingOptions& o) { o.gpsKind = velor::fixtures::GpsSentenceKind::GnRmc; }},
    {"gga only", [](RecordingOptions& o) { o.gpsKind = velor::fixtures::GpsSentenceKind::Gga; }},
    {"lower case", [](RecordingOptions& o) { o.gpsKind = velor::fixtures::GpsSentenceKind::LowerCaseRmc; }},
    {"no carriage return", [](RecordingOptions& o) { o.gpsCarriageReturn = false; }},
    {"short g-sensor", [](RecordingOptions& o) { o.gsensorPacketBytes = 8; }},
    {"long g-sensor", [](RecordingOptions& o) { o.gsensorPacketBytes = 24; }},
    {"first gps at zero", [](RecordingOptions& o) { o.firstGpsAtZero = true; }},
    {"g-sensor as mp3", [](RecordingOptions& o) { o.gsensorAsMp3 = true; }},
    {"odd movi", [](RecordingOptions& o) { o.moviParity = velor::fixtures::MoviParity::Odd; }},
    {"big sound chunks", [](RecordingOptions& o) { o.samplesPerSoundChunk = 4096; }},
};

} // namespace

TEST(ProbeRecording, EveryFixtureVariantGivesAConsistentReport) {
    for (const TVariant& variant : kVariants) {
        SCOPED_TRACE(variant.name);
        RecordingOptions options;
        options.seconds = 2;
        variant.apply(options);
        TFixtureRecording recording(options);
        json result = ProbeJson(recording.Path());
        ASSERT_FALSE(result.is_discarded());
        const auto& written = recording.Written();
        EXPECT_EQ(result["frameCount"], written.videoFrames[0]);
        EXPECT_EQ(result["roles"]["audio"], written.streams.sound);
        EXPECT_EQ(result["roles"]["gps"], written.streams.gps);
        EXPECT_EQ(result["roles"]["gsensor"], written.streams.gsensor);
        size_t fullSensorPackets = 0;
        for (const auto& packet : written.gsensor)
            fullSensorPackets += packet.bytes.size() >= 12;
        EXPECT_EQ(result["telemetry"]["accelY"].size(), fullSensorPackets);
        EXPECT_EQ(result["fixBySecond"].size(), 3u);
    }
}
