#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using nlohmann::json;
using velor::fixtures::GsensorSample;
using velor::fixtures::RecordingOptions;

namespace {

json ProbeJson(const std::string& path) {
    const TToolRun run = RunProbe({"recording", path});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.Json();
}

} // namespace

TEST(ProbeRecording, TwoChannelRecordingWithEverything) {
    RecordingOptions options;
    options.seconds = 3;
    TFixtureRecording recording(options);
    const json result = ProbeJson(recording.Path());
    EXPECT_EQ(result["frameCount"], 90);
    EXPECT_EQ(result["frameRate"], 30.0);
    EXPECT_EQ(result["duration"], 3.0);
    EXPECT_EQ(result["roles"],
              json::parse(R"({"front":0,"rear":1,"audio":2,"gps":3,"gsensor":4})"));
    EXPECT_EQ(result["timeBases"], json::parse(R"({"front":"1/30","rear":"1/30"})"));
    const json& telemetry = result["telemetry"];
    EXPECT_EQ(telemetry["firstGpsTime"], 1);
    ASSERT_EQ(telemetry["gps"].size(), 3u);
    EXPECT_EQ(telemetry["gps"][0]["valid"], 1);
    EXPECT_EQ(telemetry["gps"][0]["latitudeHemisphere"], "N");
    EXPECT_EQ(telemetry["gps"][0]["longitudeHemisphere"], "E");
    const auto& sensor = recording.Written().gsensor;
    const std::pair<const char*, float GsensorSample::*> axes[] = {{"accelX", &GsensorSample::x},
                                                                   {"accelY", &GsensorSample::y},
                                                                   {"accelZ", &GsensorSample::z}};
    for (const auto& [key, axis] : axes) {
        ASSERT_EQ(telemetry[key].size(), sensor.size()) << key;
        for (size_t i = 0; i < sensor.size(); ++i)
            EXPECT_EQ(telemetry[key][i], sensor[i].sample.*axis) << key << i;
    }
    // Seconds 0..3: nothing at 0 and 1, then the records in order.
    EXPECT_EQ(result["fixBySecond"], json::parse("[null,null,0,1]"));
}

TEST(ProbeRecording, NotARecordingExitsOneWithAMessage) {
    TTempFolder folder;
    const std::string path = folder.File("readme.avi");
    std::ofstream(path) << "plain text";
    const TToolRun run = RunProbe({"recording", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(run.Said("failed to open input")) << run.err;
    EXPECT_EQ(RunProbe({"recording"}).exitCode, 1);
    EXPECT_EQ(RunProbe({"no-such-command"}).exitCode, 1);
}
