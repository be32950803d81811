// The chunk walk's frame count and telemetry streams, and which files keep
// its count and which take the demuxer's.

#include <fstream>

#include <gtest/gtest.h>

#include "engine/chunk_walk.h"
#include "engine/ffmpeg.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

void OverwriteBytes(const std::string& path, std::int64_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(offset);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

template <typename Change> RecordingOptions Shaped(Change change) {
    RecordingOptions options;
    options.seconds = 2;
    change(options);
    return options;
}

} // namespace

TEST(ChunkWalk, CountsTheCameraLayoutAndLeavesOtherFilesToTheDemuxer) {
    constexpr std::int64_t kNotChecked = -1;
    constexpr unsigned kTelemetry34 = (1u << 3) | (1u << 4);
    struct TCase {
        const char* name;
        RecordingOptions options;
        // Bytes written over the recording: offset (from the first chunk of
        // the 11th front frame when negative) and text.
        std::int64_t spoilAt;
        const char* spoil;
        bool cameraLayout;
        std::int64_t walked;
        unsigned telemetryStreams;
    };
    const TCase cases[] = {
        {"00dc 01dc 02wb 03st 04st", Shaped([](RecordingOptions&) {}), 0, nullptr, true, 60,
         kTelemetry34},
        {"00dc 01st 02st", Shaped([](RecordingOptions& o) {
             o.seconds = 1;
             o.channels = 1;
             o.sound = false;
         }),
         0, nullptr, true, 30, (1u << 1) | (1u << 2)},
        {"odd-sized chunks, followed without padding", Shaped([](RecordingOptions& o) {
             o.gsensorPacketBytesFor = [](int packet) { return packet % 2 ? 13 : 15; };
         }),
         0, nullptr, true, 60, kTelemetry34},
        {"odd movi",
         Shaped([](RecordingOptions& o) { o.moviParity = velor::fixtures::MoviParity::Odd; }), 0,
         nullptr, true, 60, kTelemetry34},
        {"cut while recording", Shaped([](RecordingOptions& o) { o.cutAtFraction = 0.5; }), 0,
         nullptr, true, kNotChecked, 0},
        {"cut after it was finished", Shaped([](RecordingOptions& o) {
             o.cutAtFraction = 0.5;
             o.cutHeader = velor::fixtures::CutHeader::Final;
         }),
         0, nullptr, true, kNotChecked, 0},
        {"padded chunks", Shaped([](RecordingOptions& o) { o.riffPadding = true; }), 0, nullptr,
         false, kNotChecked, 0},
        // An unknown identifier ends the walk there.
        {"nothing at the first chunk", Shaped([](RecordingOptions&) {}), kFirstChunkOffset, "JUNK",
         false, 0, 0},
        {"a stranger midway", Shaped([](RecordingOptions&) {}), -1, "00xx", false, 10, 0},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.name);
        TFixtureRecording recording(test.options);
        if (test.spoil) {
            std::int64_t at = test.spoilAt;
            int frames = 0;
            for (const auto& chunk : recording.Written().chunks) {
                if (at < 0 && chunk.id == "00dc" && frames++ == 10)
                    at = chunk.offset;
            }
            OverwriteBytes(recording.Path(), at, test.spoil);
        }
        std::int64_t count = -1;
        TChunkWalk walk;
        ASSERT_TRUE(CountFrames(recording.Path(), &count, &walk));
        EXPECT_EQ(walk.InCameraLayout(), test.cameraLayout);
        if (test.walked != kNotChecked) {
            EXPECT_EQ(count, test.walked);
        }
        if (test.cameraLayout && test.walked != kNotChecked) {
            EXPECT_EQ(walk.frontFrames, recording.Written().videoFrames[0]);
            EXPECT_EQ(walk.rearFrames,
                      test.options.channels == 2 ? recording.Written().videoFrames[1] : 0);
            EXPECT_EQ(walk.telemetryStreams, test.telemetryStreams);
        }
        if (test.cameraLayout)
            continue;
        AVFormatContext* context = nullptr;
        ASSERT_GE(avformat_open_input(&context, recording.Path().c_str(), nullptr, nullptr), 0);
        TInputHandle input(context);
        ASSERT_GE(avformat_find_stream_info(context, nullptr), 0);
        EXPECT_EQ(DemuxedFrameCount(context, 0, 1), 60);
        EXPECT_EQ(DemuxedFrameCount(context, 0, -1), 60);
    }
    std::int64_t count = -1;
    EXPECT_FALSE(CountFrames("/nonexistent/velor/file.avi", &count));
    EXPECT_EQ(count, 0);
}
