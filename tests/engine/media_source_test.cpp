// The player thread's reading, run on the test's thread through
// TPlayerReader: roles, telemetry, back-pressure, the end, seeks, prerolls
// and failed opens, on fixture recordings.

#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "engine/audio_stream_info.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "tests/engine/reader_harness.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

class TRecordingSink : public INotifySink {
public:
    void Notify(WPARAM code, LPARAM lParam) override {
        codes.push_back(code);
        if (code == PlayerNotify::Opened)
            tokens.push_back(lParam);
    }
    void CloseProgressDialog() override { codes.push_back(PlayerNotify::CloseProgressDialog); }
    std::vector<WPARAM> codes;
    std::vector<LPARAM> tokens;
};

RecordingOptions Recording(int seconds, int channels = 2) {
    RecordingOptions options;
    options.seconds = seconds;
    options.channels = channels;
    return options;
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_player.SetNotifySink(&m_sink);
        StartRecordingMessageBoxes(IDOK);
    }
    void TearDown() override { StopRecordingMessageBoxes(); }

    void Open(const RecordingOptions& options) {
        m_recording = std::make_unique<TFixtureRecording>(options);
        ASSERT_TRUE(m_reader.Open(m_recording->Path()));
    }

    TRecordingSink m_sink;
    TMediaPlayer m_player;
    TPlayerReader m_reader{m_player};
    std::unique_ptr<TFixtureRecording> m_recording;
};

} // namespace

TEST_F(ReaderTest, EveryKindOfRecordingGetsItsRolesAndTelemetry) {
    RecordingOptions oneChannel = Recording(1, 1);
    RecordingOptions bare = Recording(1);
    bare.sound = bare.telemetry = false;
    RecordingOptions mp3 = Recording(2);
    mp3.gsensorAsMp3 = true;
    RecordingOptions mp3Silent = mp3;
    mp3Silent.sound = false;
    struct Case {
        const char* what;
        RecordingOptions options;
        int front, rear, audio, gps, gsensor;
        std::size_t gpsRecords, accelSamples;
    } cases[] = {
        {"two channels, sound, telemetry", Recording(2), 0, 1, 2, 3, 4, 2, 20},
        {"one channel", oneChannel, 0, -1, 1, 2, 3, 1, 10},
        {"no sound, no telemetry", bare, 0, 1, -1, -1, -1, 0, 0},
        // FFmpeg's probe takes the G-sensor stream for mp3: it stays telemetry.
        {"G-sensor taken for mp3", mp3, 0, 1, 2, 3, 4, 2, 20},
        {"G-sensor taken for mp3, no sound", mp3Silent, 0, 1, -1, 2, 3, 2, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_sink.tokens.clear();
        Open(c.options);
        if (c.options.gsensorAsMp3 && c.options.sound) {
            ASSERT_EQ(m_reader.Input()->streams[4]->codecpar->codec_type, AVMEDIA_TYPE_AUDIO)
                << "the fixture no longer provokes the re-typing";
        }
        EXPECT_EQ(m_player.frontStreamIndex(), c.front);
        EXPECT_EQ(m_player.rearStreamIndex(), c.rear);
        EXPECT_EQ(m_player.audioStreamIndex(), c.audio);
        EXPECT_EQ(m_player.gpsStreamIndex(), c.gps);
        EXPECT_EQ(m_player.gsensorStreamIndex(), c.gsensor);
        EXPECT_EQ(m_player.Video(kFrontSlot)->streamIndex, c.front);
        EXPECT_EQ(m_player.Video(kRearSlot)->streamIndex, c.rear);
        EXPECT_EQ(m_player.Audio()->streamIndex, c.audio);
        EXPECT_EQ(m_player.frameCount(), 30 * c.options.seconds);
        EXPECT_DOUBLE_EQ(m_player.frameRate(), 30.0);
        EXPECT_DOUBLE_EQ(m_player.duration(), c.options.seconds);
        ASSERT_EQ(m_sink.tokens.size(), 1u);
        std::unique_ptr<TTelemetry> telemetry = m_player.TakeTelemetry(m_sink.tokens[0]);
        ASSERT_TRUE(telemetry);
        EXPECT_EQ(telemetry->gps.size(), c.gpsRecords);
        EXPECT_EQ(telemetry->accelX.size(), c.accelSamples);
        m_reader.Close();
    }
}

TEST_F(ReaderTest, TheTelemetryTableIsTakenOnceAndOnlyWithItsOwnOpensToken) {
    Open(Recording(1));
    EXPECT_EQ(m_sink.codes,
              (std::vector<WPARAM>{PlayerNotify::Opening, PlayerNotify::CloseProgressDialog,
                                   PlayerNotify::Opened}));
    m_reader.Close();
    // The first table was never taken: the next open frees it, and its
    // token gives nothing any more.
    Open(Recording(2));
    ASSERT_EQ(m_sink.tokens.size(), 2u);
    EXPECT_FALSE(m_player.TakeTelemetry(m_sink.tokens[0]));
    EXPECT_FALSE(m_player.TakeTelemetry(0));
    std::unique_ptr<TTelemetry> telemetry = m_player.TakeTelemetry(m_sink.tokens[1]);
    ASSERT_TRUE(telemetry);
    EXPECT_EQ(telemetry->gps.size(), 2u);
    EXPECT_FALSE(m_player.TakeTelemetry(m_sink.tokens[1]));
    // The table of an open nobody takes goes with the controller.
    m_reader.Close();
    Open(Recording(1));
}

TEST_F(ReaderTest, BackPressureHoldsTheQueuesAndPausedReturnsAtOnce) {
    Open(Recording(3));
    TPacketQueue& front = m_player.Video(kFrontSlot)->packetQueue;
    while (front.Count() < kVideoQueueLimit)
        ASSERT_TRUE(m_reader.ReadStep());
    const int rear = m_player.Video(kRearSlot)->packetQueue.Count();
    m_reader.SetPaused(true);
    EXPECT_TRUE(m_reader.ReadStep());
    EXPECT_EQ(front.Count(), kVideoQueueLimit);
    EXPECT_EQ(m_player.Video(kRearSlot)->packetQueue.Count(), rear);
    m_reader.SetPaused(false);
    m_reader.SetStopped(true);
    EXPECT_FALSE(m_reader.ReadStep());
    EXPECT_FALSE(m_player.endOfFile());
}

TEST_F(ReaderTest, ACutRecordingIsReadToTheCutWithinTheQueueLimits) {
    RecordingOptions cut = Recording(3);
    cut.cutAtFraction = 0.6;
    Open(cut);
    EXPECT_GT(m_player.frameCount(), kVideoQueueLimit);
    EXPECT_LT(m_player.frameCount(), 90);
    const TQueuePeaks peaks = ReadToTheEnd(m_reader, m_player);
    EXPECT_TRUE(m_player.endOfFile());
    EXPECT_LE(peaks.video, kVideoQueueLimit);
    EXPECT_LE(peaks.sound, kAudioQueueLimit);
    EXPECT_GE(peaks.video, kVideoQueueLimit - 1);
}

TEST_F(ReaderTest, PacketPastTheFrameCountEndsTheRecording) {
    RecordingOptions options = Recording(1, 1);
    options.sound = options.telemetry = false;
    Open(options);
    m_reader.SetFrameCount(10);
    while (m_reader.ReadStep()) {
    }
    EXPECT_TRUE(m_player.endOfFile());
    const std::vector<std::int64_t> dts = TakeQueued(m_player.Video(kFrontSlot)->packetQueue);
    ASSERT_FALSE(dts.empty());
    // dts equal to the frame count is still queued; the one after is not.
    EXPECT_EQ(dts.back(), 10);
}

TEST_F(ReaderTest, SeekFlushesEveryLiveQueueAndQueuesTheFlushPacket) {
    Open(Recording(3));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(m_reader.ReadStep());
    ASSERT_TRUE(m_reader.Seek(2000000, 0));
    for (int slot = kFrontSlot; slot <= kAudioSlot; ++slot)
        EXPECT_EQ(TakeQueued(m_player.Stream(slot)->packetQueue),
                  std::vector<std::int64_t>{kFlushMark})
            << slot;
    // Reading goes on from the target.
    std::vector<std::int64_t> after;
    for (int i = 0; i < 10 && after.empty(); ++i) {
        m_reader.ReadStep();
        after = TakeQueued(m_player.Video(kFrontSlot)->packetQueue);
    }
    ASSERT_FALSE(after.empty());
    EXPECT_GE(after.front(), 30);
}

TEST_F(ReaderTest, PrerollReadsUntilEveryStreamReachesTheTargetAndWaitsBoundedly) {
    Open(Recording(2));
    // Nobody decodes: the wait for the decoders gives up on its own.
    m_reader.PrerollTo(1, 15, true);
    EXPECT_EQ(m_player.stepping(), 1);
    EXPECT_EQ(m_player.stepTarget(), 15);
    EXPECT_EQ(m_player.stepMode(), 1);
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot) {
        const std::vector<std::int64_t> dts = TakeQueued(m_player.Video(slot)->packetQueue);
        ASSERT_FALSE(dts.empty());
        EXPECT_EQ(dts.back(), 15) << "slot " << slot;
    }
    // Sound read on the way is not queued while stepping.
    EXPECT_EQ(m_player.Audio()->packetQueue.Count(), 0);
    // A target outside the recording waits for no stream.
    m_reader.PrerollTo(-1, 1000, false);
    EXPECT_EQ(m_player.stepTarget(), 1000);
    EXPECT_EQ(m_player.stepMode(), -1);
}

TEST_F(ReaderTest, WhatIsNoRecordingFailsWithTheErrorBox) {
    TTempFolder folder;
    const std::string notes = folder.File("notes.avi");
    FILE* file = std::fopen(notes.c_str(), "wb");
    std::fputs("this is not a recording\n", file);
    std::fclose(file);
    for (const std::string& path : {notes, std::string("/nonexistent/NOR_20260101_120000_F.avi")}) {
        SCOPED_TRACE(path);
        m_sink.codes.clear();
        StartRecordingMessageBoxes(IDOK);
        EXPECT_FALSE(m_reader.Open(path));
        const std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "failed to open input");
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(m_sink.codes,
                  (std::vector<WPARAM>{PlayerNotify::Opening, PlayerNotify::CloseProgressDialog,
                                       PlayerNotify::OpenFailed}));
        EXPECT_TRUE(m_player.closed());
        EXPECT_EQ(m_reader.Input(), nullptr);
    }
}
