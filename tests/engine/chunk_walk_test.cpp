#include <cstdio>
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

} // namespace

TEST(ChunkWalk, CountsFramesOfBothChannelsAndFindsTelemetryStreams) {
    RecordingOptions options;
    options.seconds = 2;
    TFixtureRecording recording(options);
    std::int64_t count = -1;
    TChunkWalk walk;
    ASSERT_TRUE(CountFrames(recording.Path(), &count, &walk));
    EXPECT_EQ(count, 60);
    EXPECT_EQ(walk.frontFrames, recording.Written().videoFrames[0]);
    EXPECT_EQ(walk.rearFrames, recording.Written().videoFrames[1]);
    // 00dc 01dc 02wb 03st 04st
    EXPECT_EQ(walk.telemetryStreams, (1u << 3) | (1u << 4));
}

TEST(ChunkWalk, OneChannelWithoutSoundNumbersTelemetryAfterVideo) {
    RecordingOptions options;
    options.channels = 1;
    options.sound = false;
    options.seconds = 1;
    TFixtureRecording recording(options);
    std::int64_t count = 0;
    TChunkWalk walk;
    ASSERT_TRUE(CountFrames(recording.Path(), &count, &walk));
    EXPECT_EQ(count, 30);
    EXPECT_EQ(walk.rearFrames, 0);
    EXPECT_EQ(walk.telemetryStreams, (1u << 1) | (1u << 2));
}

TEST(ChunkWalk, UnknownIdentifierAtTheFirstChunkGivesZero) {
    RecordingOptions options;
    options.seconds = 1;
    TFixtureRecording recording(options);
    OverwriteBytes(recording.Path(), kFirstChunkOffset, "JUNK");
    std::int64_t count = -1;
    EXPECT_TRUE(CountFrames(recording.Path(), &count));
    EXPECT_EQ(count, 0);
}

TEST(ChunkWalk, UnknownIdentifierMidwayEndsTheWalkThere) {
    RecordingOptions options;
    options.seconds = 1;
    options.channels = 1;
    TFixtureRecording recording(options);
    const auto& chunks = recording.Written().chunks;
    // Spoil the header of the 11th front frame: ten frames stay counted.
    int framesBefore = 0;
    for (const auto& chunk : chunks) {
        if (chunk.id == "00dc" && framesBefore++ == 10) {
            OverwriteBytes(recording.Path(), chunk.offset, "00xx");
            break;
        }
    }
    std::int64_t count = -1;
    EXPECT_TRUE(CountFrames(recording.Path(), &count));
    EXPECT_EQ(count, 10);
}

TEST(ChunkWalk, FileCutInsideAChunkCountsOnlyHeadersWithinTheFile) {
    RecordingOptions options;
    options.seconds = 2;
    options.cutAtFraction = 0.5;
    TFixtureRecording recording(options);
    const auto& written = recording.Written();
    ASSERT_FALSE(written.hasIndex);
    std::int64_t fileSize = static_cast<std::int64_t>(std::filesystem::file_size(recording.Path()));
    std::int64_t front = 0, rear = 0;
    for (const auto& chunk : written.chunks) {
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
}

TEST(ChunkWalk, OddSizedChunksAreFollowedWithoutPadding) {
    RecordingOptions options;
    options.seconds = 2;
    options.gsensorPacketBytesFor = [](int packet) { return packet % 2 ? 13 : 15; };
    TFixtureRecording recording(options);
    std::int64_t count = -1;
    ASSERT_TRUE(CountFrames(recording.Path(), &count));
    EXPECT_EQ(count, 60);
}

TEST(ChunkWalk, MissingFileFails) {
    std::int64_t count = 5;
    EXPECT_FALSE(CountFrames("/nonexistent/velor/file.avi", &count));
    EXPECT_EQ(count, 0);
}
