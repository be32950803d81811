// velor-probe capture: the recording opened as the player opens it, the
// shown frames captured under the names the capture command gives them.

#include <cstdlib>
#include <regex>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/fixtures/fixture_test_support.h"
#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using nlohmann::json;
using velor::fixtures::RecordingOptions;

namespace {

// The frame number and channel a JPEG shows, read back with FFmpeg.
std::pair<int, int> JpegShows(const std::string& path) {
    const auto pictures = velor::fixtures::testing::DecodeVideoStream(path, 0);
    if (!pictures || pictures->size() != 1)
        return {-1, -1};
    return {pictures->front().frameNumber, pictures->front().channel};
}

TEST(ProbeCapture, SavesTheShownChannelsUnderTheCaptureNames) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X server for the views";
    RecordingOptions options;
    options.seconds = 3;
    options.codec = velor::fixtures::VideoCodec::Mjpeg;
    TFixtureRecording recording(options);
    for (const char* channels : {"2", "1"}) {
        const std::string folder = recording.Folder().File(std::string("Jpeg") + channels);
        TToolRun run = RunProbe(
            {"capture", recording.Path(), "--at", "1.5", "--dir", folder, "--channels", channels});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::vector<std::string> files =
            json::parse(run.out).at("files").get<std::vector<std::string>>();
        ASSERT_EQ(files.size(), std::string(channels) == "2" ? 2u : 1u);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::regex name(folder + "/NOR_20260101_120000_F_\\d{14}__" +
                                  std::to_string(i + 1) + "\\.jpg");
            EXPECT_TRUE(std::regex_match(files[i], name)) << files[i];
            EXPECT_EQ(JpegShows(files[i]), std::make_pair(45, static_cast<int>(i))) << files[i];
        }
    }
    EXPECT_EQ(RunProbe({"capture", recording.Path(), "--at", "1"}).exitCode, 1) << "no --dir";
}

} // namespace
