#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/chunk_walk.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

void OverwriteBytes(const std::string& path, std::int64_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(offset);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

RecordingOptions Recording(int seconds, int channels = 2) {
    RecordingOptions options;
    options.seconds = seconds;
    options.channels = channels;
    return options;
}

} // namespace

TEST(ChunkWalk, CountsFramesOfBothChannelsAndFindsTelemetryStreams) {
    RecordingOptions silent = Recording(1, 1);
    silent.sound = false;
    RecordingOptions oddChunks = Recording(2);
    oddChunks.gsensorPacketBytesFor = [](int packet) { return packet % 2 ? 13 : 15; };
    struct Case {
        const char* what;
        RecordingOptions options;
        std::int64_t frames;
        unsigned telemetryStreams;
    } cases[] = {
        {"00dc 01dc 02wb 03st 04st", Recording(2), 60, (1u << 3) | (1u << 4)},
        {"00dc 01st 02st", silent, 30, (1u << 1) | (1u << 2)},
        {"odd-sized chunks, followed without padding", oddChunks, 60, (1u << 3) | (1u << 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFixtureRecording recording(c.options);
        std::int64_t count = -1;
        TChunkWalk walk;
        ASSERT_TRUE(CountFrames(recording.Path(), &count, &walk));
        EXPECT_EQ(count, c.frames);
        EXPECT_EQ(walk.frontFrames, recording.Written().videoFrames[0]);
        EXPECT_EQ(walk.rearFrames, c.options.channels == 2 ? recording.Written().videoFrames[1] : 0);
        EXPECT_EQ(walk.telemetryStreams, c.telemetryStreams);
    }
}

TEST(ChunkWalk, AnUnknownIdentifierEndsTheWalkThere) {
    TFixtureRecording recording(Recording(1, 1));
    std::int64_t eleventhFrame = 0;
    int frames = 0;
    for (const auto& chunk : recording.Written().chunks) {
        if (chunk.id == "00dc" && frames++ == 10) {
            eleventhFrame = chunk.offset;
            break;
        }
    }
    OverwriteBytes(recording.Path(), eleventhFrame, "00xx");
    std::int64_t count = -1;
    EXPECT_TRUE(CountFrames(recording.Path(), &count));
    EXPECT_EQ(count, 10);
    OverwriteBytes(recording.Path(), kFirstChunkOffset, "JUNK");
    EXPECT_TRUE(CountFrames(recording.Path(), &count));
    EXPECT_EQ(count, 0);
}

TEST(ChunkWalk, FileCutInsideAChunkCountsOnlyHeadersWithinTheFile) {
    RecordingOptions options = Recording(2);
    options.cutAtFraction = 0.5;
    TFixtureRecording recording(options);
    ASSERT_FALSE(recording.Written().hasIndex);
    const auto fileSize = static_cast<std::int64_t>(std::filesystem::file_size(recording.Path()));
    std::int64_t front = 0, rear = 0;
    for (const auto& chunk : recording.Written().chunks) {
        if (chunk.offset + 8 > fileSize)
            break;
        front += chunk.id == "00dc";
        rear += chunk.id == "01dc";
    }
    std::int64_t count = -1;
    ASSERT_TRUE(CountFrames(recording.Path(), &count));
    EXPECT_EQ(count, std::max(front, rear));
    EXPECT_GT(count, 0);
    EXPECT_LT(count, 60);
    EXPECT_FALSE(CountFrames("/nonexistent/velor/file.avi", &count));
    EXPECT_EQ(count, 0);
}
