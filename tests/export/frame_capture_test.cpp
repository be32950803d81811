// Capturing the shown frames into JPEG files: names, sizes, what ends the
// loop, what is reported, and the position printing takes from telemetry.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <set>

#include "engine/ffmpeg.h"
#include "export/frame_capture.h"
#include "recordings/telemetry.h"
#include "tests/export/decoded_frames.h"

namespace {

using velor::fixtures::VideoCodec;

std::tm CaptureTime() {
    std::tm at{};
    strptime("2018-10-10 10:11:12", "%Y-%m-%d %H:%M:%S", &at);
    return at;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The frame number and channel a captured picture shows.
std::pair<int, int> Shows(const TPictureFile& picture) { return PatternIn(picture, 0, 0, picture.width, picture.height); }

class FrameCapture : public ::testing::TestWithParam<VideoCodec> {};

TEST_P(FrameCapture, SavesEveryChannelWholeUnderTheRecordingAndTheTime) {
    for (int channels : {1, 2}) {
        TFixtureRecording recording(SmallRecording(channels, GetParam()), "REC_A.avi");
        TTempFolder out;
        const std::vector<TShownFrame> frames =
            ShownFramesOf(recording.Path(), channels == 2 ? std::vector<int>{0, 1} : std::vector<int>{0}, 7);
        ASSERT_TRUE(frames[0].frame);
        if (GetParam() == VideoCodec::Mjpeg) {
            EXPECT_NE(frames[0].frame->format, AV_PIX_FMT_YUV420P) << "the conversion is not exercised";
        }

        const TCaptureResult result = CaptureFrames(frames, CaptureBaseName(out.Path(), recording.Path()), CaptureTime());

        std::vector<std::string> expected{out.File("REC_A_20181010101112__1.jpg")};
        if (channels == 2)
            expected.push_back(out.File("REC_A_20181010101112__2.jpg"));
        EXPECT_EQ(result.outcome, TCaptureOutcome::Done);
        EXPECT_EQ(result.files, expected);
        EXPECT_EQ(FilesIn(out.Path()).size(), expected.size());
        for (std::size_t channel = 0; channel < expected.size(); ++channel) {
            const TPictureFile picture = ReadPicture(expected[channel]);
            EXPECT_EQ(picture.width, kPictureWidth);
            EXPECT_EQ(picture.height, kPictureHeight);
            EXPECT_EQ(Shows(picture), std::make_pair(7, static_cast<int>(channel))) << expected[channel];
        }
    }
    // A second capture in the same second replaces the first.
    TFixtureRecording recording(SmallRecording(2, GetParam()), "REC_A.avi");
    TTempFolder out;
    const std::string base = CaptureBaseName(out.Path(), recording.Path());
    const TCaptureResult first = CaptureFrames(ShownFramesOf(recording.Path(), {0, 1}, 2), base, CaptureTime());
    const TCaptureResult second = CaptureFrames(ShownFramesOf(recording.Path(), {0, 1}, 20), base, CaptureTime());
    EXPECT_EQ(first.files, second.files);
    EXPECT_EQ(FilesIn(out.Path()).size(), 2u);
    EXPECT_EQ(Shows(ReadPicture(second.files[0])), std::make_pair(20, 0));
    EXPECT_EQ(Shows(ReadPicture(second.files[1])), std::make_pair(20, 1));
}

INSTANTIATE_TEST_SUITE_P(Codecs, FrameCapture, ::testing::Values(VideoCodec::H264, VideoCodec::Mjpeg),
                         [](const auto& info) { return info.param == VideoCodec::H264 ? "H264" : "Mjpeg"; });

TEST(FrameCaptureTest, StopsAtTheFirstChannelWithoutVideoAndReportsWhatWasNotSaved) {
    TFixtureRecording recording(SmallRecording(2), "REC_A.avi");
    struct TCase {
        const char* what;
        std::vector<int> streams;
        bool folderExists;
        TCaptureOutcome outcome;
        std::set<std::string> files;
    };
    const TCase cases[] = {
        {"front without video", {-1, 1}, true, TCaptureOutcome::Failed, {}},
        {"the channel after one without video", {0, -1, 1}, true, TCaptureOutcome::Done,
         {"REC_A_20181010101112__1.jpg"}},
        {"a folder that is not there", {0, 1}, false, TCaptureOutcome::Failed, {}},
    };
    for (const TCase& c : cases) {
        TTempFolder out;
        const std::string folder = c.folderExists ? out.Path() : out.File("missing");
        const TCaptureResult result =
            CaptureFrames(ShownFramesOf(recording.Path(), c.streams, 0), CaptureBaseName(folder, recording.Path()), CaptureTime());
        EXPECT_EQ(result.outcome, c.outcome) << c.what;
        EXPECT_EQ(result.files.size(), c.files.size()) << c.what;
        EXPECT_EQ(FilesIn(out.Path()), c.files) << c.what;
    }
}

TEST(FrameCaptureTest, PrintsThePositionWithTheSignOfItsHemisphere) {
    TTelemetry telemetry;
    telemetry.firstGpsTime = 1;
    // Valid fixes as written, ddmm.mmmm with their hemispheres.
    const auto fix = [](double latitude, char north, double longitude, char east) {
        return TGpsRecord{1, latitude, north, longitude, east, 0.0};
    };
    telemetry.gps = {fix(3330.0, 'S', 15115.0, 'E'), fix(4722.5, 'N', 12215.0, 'W')};
    struct TCase {
        int second;
        double latitude;
        double longitude;
    };
    const TCase cases[] = {
        {1, 0.0, 0.0},  // the second of the first fix's stamp has none yet
        {2, -33.5, 151.25},
        {3, 47.375, -122.25},
        {4, 0.0, 0.0},  // past the last fix
    };
    for (const TCase& c : cases) {
        const TPrintedPosition position = PrintedPosition(&telemetry, c.second);
        EXPECT_DOUBLE_EQ(position.latitude, c.latitude) << c.second;
        EXPECT_DOUBLE_EQ(position.longitude, c.longitude) << c.second;
    }
}

} // namespace
