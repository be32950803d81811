#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/fixtures/fixture_test_support.h"
#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using velor::fixtures::MoviParity;
using velor::fixtures::RecordingOptions;
using velor::fixtures::testing::DecodedPicture;

namespace {

class ProbeFrame : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X server for the views";
    }

    // The written picture, read back with FFmpeg's PNG decoder.
    DecodedPicture FrameAt(const TFixtureRecording& recording, const std::string& at,
                           const std::string& channel) {
        const std::string out = recording.Folder().File("frame.png");
        std::remove(out.c_str());
        const TToolRun run =
            RunProbe({"frame", recording.Path(), "--at", at, "--out", out, "--channel", channel});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const auto pictures = velor::fixtures::testing::DecodeVideoStream(out, 0);
        return pictures && pictures->size() == 1 ? pictures->front() : DecodedPicture{};
    }
};

RecordingOptions SixSeconds(MoviParity parity) {
    RecordingOptions options;
    options.seconds = 6;
    options.gopLength = 30;
    options.moviParity = parity;
    return options;
}

} // namespace

// Seeks into the middle of a group of pictures, so the frame is right only
// when decoding started at the key frame before it, on the file whose index
// FFmpeg does not load (an odd-sized movi list).
TEST_F(ProbeFrame, WritesTheFrameEachChannelShowsAtTheTime) {
    TFixtureRecording recording(SixSeconds(MoviParity::Odd));
    const DecodedPicture front = FrameAt(recording, "3.5", "0");
    EXPECT_EQ(front.frameNumber, 105);
    EXPECT_EQ(front.channel, 0);
    const DecodedPicture rear = FrameAt(recording, "1.2", "1");
    EXPECT_EQ(rear.frameNumber, 36);
    EXPECT_EQ(rear.channel, 1);
}

TEST_F(ProbeFrame, FailsWithAMessage) {
    TFixtureRecording recording(SixSeconds(MoviParity::Even));
    const std::string out = recording.Folder().File("frame.png");
    const std::string missing = recording.Folder().File("NOR_20260101_000000_F.avi");
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{missing, "--at", "1", "--out", out}, "velor-probe frame:"},
        {{recording.Path(), "--at", "60", "--out", out}, "after the end"},
        {{recording.Path(), "--at", "1", "--out", out, "--channel", "2"}, "usage"},
        {{recording.Path(), "--at", "1", "--out", "/nonexistent/frame.png"}, "cannot write"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), "frame");
        const TToolRun run = RunProbe(arguments);
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_TRUE(run.Said(c.message)) << run.err;
    }
}
