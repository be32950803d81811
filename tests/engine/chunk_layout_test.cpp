// Which files keep the chunk walk's count and which take the demuxer's.

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

} // namespace

TEST(ChunkLayout, OnlyTheCameraLayoutKeepsTheWalkOthersCountThroughTheDemuxer) {
    struct TCase {
        const char* name;
        RecordingOptions options;
        // Bytes written over the recording: offset (from the first chunk of
        // the 11th front frame when negative) and text.
        std::int64_t spoilAt;
        const char* spoil;
        bool cameraLayout;
    };
    auto shaped = [](auto change) {
        RecordingOptions options;
        options.seconds = 2;
        change(options);
        return options;
    };
    const TCase cases[] = {
        {"complete", shaped([](RecordingOptions&) {}), 0, nullptr, true},
        {"odd movi",
         shaped([](RecordingOptions& o) { o.moviParity = velor::fixtures::MoviParity::Odd; }), 0,
         nullptr, true},
        {"cut while recording", shaped([](RecordingOptions& o) { o.cutAtFraction = 0.5; }), 0,
         nullptr, true},
        {"cut after it was finished", shaped([](RecordingOptions& o) {
             o.cutAtFraction = 0.5;
             o.cutHeader = velor::fixtures::CutHeader::Final;
         }),
         0, nullptr, true},
        {"padded chunks", shaped([](RecordingOptions& o) { o.riffPadding = true; }), 0, nullptr,
         false},
        {"nothing at the first chunk", shaped([](RecordingOptions&) {}), kFirstChunkOffset, "JUNK",
         false},
        {"a stranger midway", shaped([](RecordingOptions&) {}), -1, "00xx", false},
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
        if (test.cameraLayout)
            continue;
        AVFormatContext* context = nullptr;
        ASSERT_GE(avformat_open_input(&context, recording.Path().c_str(), nullptr, nullptr), 0);
        TInputHandle input(context);
        ASSERT_GE(avformat_find_stream_info(context, nullptr), 0);
        EXPECT_EQ(DemuxedFrameCount(context, 0, 1), 60);
        EXPECT_EQ(DemuxedFrameCount(context, 0, -1), 60);
    }
}
