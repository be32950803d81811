#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

class TRecordingSink : public INotifySink {
public:
    void Notify(WPARAM code, LPARAM lParam) override {
        std::lock_guard lock(m_mutex);
        codes.push_back(code);
        if (code == PlayerNotify::Opened)
            telemetry.reset(reinterpret_cast<TTelemetry*>(lParam));
    }
    void CloseProgressDialog() override {
        std::lock_guard lock(m_mutex);
        codes.push_back(PlayerNotify::CloseProgressDialog);
    }
    std::vector<WPARAM> codes;
    std::unique_ptr<TTelemetry> telemetry;

private:
    std::mutex m_mutex;
};

// A player set up as the player thread has it, driven by hand.
class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_player.notifySink = &m_sink;
        for (TStreamSlot& slot : m_player.slots) {
            if (slot.info)
                slot.info->Init(0);
        }
        StartRecordingMessageBoxes(IDOK);
    }
    void TearDown() override {
        StopRecordingMessageBoxes();
        for (TStreamSlot& slot : m_player.slots) {
            if (slot.info)
                slot.info->Close();
        }
        m_player.CloseInput();
    }

    bool Open(const std::string& path) {
        m_player.path = path;
        return m_player.OpenInput();
    }

    // Reads until the reader stops, draining the queues as a consumer would.
    int ReadAll(int* largestVideoQueue = nullptr, int* largestSoundQueue = nullptr) {
        int steps = 0;
        TPacketHandle out = MakePacket();
        while (m_player.ReadStep()) {
            ++steps;
            for (int slot = 0; slot <= kAudioSlot; ++slot) {
                TBaseStreamInfo* info = m_player.slots[slot].info.get();
                int count = info->packetQueue.Count();
                int* largest = slot == kAudioSlot ? largestSoundQueue : largestVideoQueue;
                if (largest && count > *largest)
                    *largest = count;
                if (count >= (slot == kAudioSlot ? kAudioQueueLimit : kVideoQueueLimit) - 1) {
                    while (info->packetQueue.Get(out.get(), 0) == 1)
                        av_packet_unref(out.get());
                }
            }
        }
        return steps;
    }

    TMediaPlayer m_player;
    TRecordingSink m_sink;
};

std::vector<std::int64_t> QueuedDts(TBaseStreamInfo* info) {
    std::vector<std::int64_t> dts;
    TPacketHandle out = MakePacket();
    while (info->packetQueue.Get(out.get(), 0) == 1) {
        dts.push_back(IsFlushPacket(out.get()) ? -999 : out->dts);
        av_packet_unref(out.get());
    }
    return dts;
}

} // namespace

TEST_F(ReaderTest, TwoChannelsWithSoundAndTelemetryGetTheirRoles) {
    RecordingOptions options;
    options.seconds = 2;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    EXPECT_EQ(m_player.frontStreamIndex, 0);
    EXPECT_EQ(m_player.rearStreamIndex, 1);
    EXPECT_EQ(m_player.audioStreamIndex, 2);
    EXPECT_EQ(m_player.gpsStreamIndex, 3);
    EXPECT_EQ(m_player.gsensorStreamIndex, 4);
    EXPECT_EQ(m_player.frameCount, 60);
    EXPECT_DOUBLE_EQ(m_player.frameRate, 30.0);
    EXPECT_DOUBLE_EQ(m_player.duration, 2.0);
    EXPECT_EQ(m_player.Video(0)->streamIndex, 0);
    EXPECT_EQ(m_player.Video(1)->streamIndex, 1);
    EXPECT_EQ(m_player.Audio()->streamIndex, 2);
    EXPECT_FALSE(m_player.slots[3].info);
    EXPECT_FALSE(m_player.slots[4].info);
    EXPECT_EQ(m_player.Video(1)->frameCount, 60);
    EXPECT_EQ(m_sink.codes, (std::vector<WPARAM>{PlayerNotify::Opening, PlayerNotify::CloseProgressDialog,
                                                PlayerNotify::Opened}));
    ASSERT_TRUE(m_sink.telemetry);
    EXPECT_EQ(m_sink.telemetry->gps.size(), 2u);
    EXPECT_EQ(m_sink.telemetry->accelX.size(), 20u);
}

TEST_F(ReaderTest, OneChannelLeavesTheRearSlotAbsent) {
    RecordingOptions options;
    options.channels = 1;
    options.seconds = 1;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    EXPECT_EQ(m_player.frontStreamIndex, 0);
    EXPECT_EQ(m_player.rearStreamIndex, -1);
    EXPECT_EQ(m_player.audioStreamIndex, 1);
    EXPECT_EQ(m_player.gpsStreamIndex, 2);
    EXPECT_EQ(m_player.gsensorStreamIndex, 3);
    EXPECT_EQ(m_player.Video(1)->streamIndex, -1);
    EXPECT_DOUBLE_EQ(m_player.duration, 1.0);
}

TEST_F(ReaderTest, NoSoundAndNoTelemetry) {
    RecordingOptions options;
    options.sound = false;
    options.telemetry = false;
    options.seconds = 1;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    EXPECT_EQ(m_player.audioStreamIndex, -1);
    EXPECT_EQ(m_player.gpsStreamIndex, -1);
    EXPECT_EQ(m_player.gsensorStreamIndex, -1);
    EXPECT_EQ(m_player.Audio()->streamIndex, -1);
    ASSERT_TRUE(m_sink.telemetry);
    EXPECT_TRUE(m_sink.telemetry->gps.empty());
    EXPECT_EQ(m_sink.telemetry->firstGpsTime, 0);
}

TEST_F(ReaderTest, GsensorTakenForMp3StaysTelemetryAndNeverBecomesTheSound) {
    RecordingOptions options;
    options.seconds = 2;
    options.gsensorAsMp3 = true;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    ASSERT_EQ(m_player.formatContext->streams[4]->codecpar->codec_type, AVMEDIA_TYPE_AUDIO)
        << "the fixture no longer provokes the re-typing";
    EXPECT_EQ(m_player.audioStreamIndex, 2);
    EXPECT_EQ(m_player.Audio()->streamIndex, 2);
    EXPECT_EQ(m_player.gpsStreamIndex, 3);
    EXPECT_EQ(m_player.gsensorStreamIndex, 4);
    ASSERT_TRUE(m_sink.telemetry);
    EXPECT_EQ(m_sink.telemetry->accelX.size(), 20u);
}

TEST_F(ReaderTest, GsensorTakenForMp3WithoutSoundLeavesNoSound) {
    RecordingOptions options;
    options.seconds = 2;
    options.sound = false;
    options.gsensorAsMp3 = true;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    EXPECT_EQ(m_player.audioStreamIndex, -1);
    EXPECT_EQ(m_player.Audio()->streamIndex, -1);
    EXPECT_EQ(m_player.gsensorStreamIndex, 3);
}

TEST_F(ReaderTest, TwentyFiveFramesASecondIsRetimedAtTheFirstPacket) {
    RecordingOptions options;
    options.fps = 25;
    options.seconds = 1;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    AVRational before = m_player.formatContext->streams[0]->time_base;
    EXPECT_EQ(before.num, 1);
    EXPECT_EQ(before.den, 25);
    ASSERT_TRUE(m_player.ReadStep());
    AVRational after = m_player.formatContext->streams[0]->time_base;
    EXPECT_EQ(after.num, 2);
    EXPECT_EQ(after.den, 49);
    EXPECT_EQ(m_player.formatContext->streams[1]->time_base.den, 25);
}

TEST_F(ReaderTest, BackPressureHoldsTheQueuesAndPausedReturnsAtOnce) {
    RecordingOptions options;
    options.seconds = 3;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    // Fill the front queue to its limit without a consumer.
    while (m_player.Video(0)->packetQueue.Count() < kVideoQueueLimit)
        ASSERT_TRUE(m_player.ReadStep());
    int rear = m_player.Video(1)->packetQueue.Count();
    m_player.paused = true;
    EXPECT_TRUE(m_player.ReadStep());
    EXPECT_EQ(m_player.Video(0)->packetQueue.Count(), kVideoQueueLimit);
    EXPECT_EQ(m_player.Video(1)->packetQueue.Count(), rear);
    m_player.paused = false;
    m_player.stopped = true;
    EXPECT_FALSE(m_player.ReadStep());
    EXPECT_FALSE(m_player.endOfFile);
}

TEST_F(ReaderTest, QueuesNeverPassTheirLimitsOverAWholeRecording) {
    RecordingOptions options;
    options.seconds = 180;
    options.width = 160;
    options.height = 96;
    options.gopLength = 90;
    if (std::getenv("VELOR_FULL_SIZE_FIXTURES")) {
        options.width = 1920;
        options.height = 1080;
    }
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    int video = 0, sound = 0;
    ReadAll(&video, &sound);
    EXPECT_TRUE(m_player.endOfFile);
    EXPECT_LE(video, kVideoQueueLimit);
    EXPECT_LE(sound, kAudioQueueLimit);
    EXPECT_GE(video, kVideoQueueLimit - 1);
}

TEST_F(ReaderTest, PacketPastTheFrameCountEndsTheRecording) {
    RecordingOptions options;
    options.channels = 1;
    options.sound = false;
    options.telemetry = false;
    options.seconds = 1;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    m_player.frameCount = 10;
    while (m_player.ReadStep()) {
    }
    EXPECT_TRUE(m_player.endOfFile);
    std::vector<std::int64_t> dts = QueuedDts(m_player.Video(0));
    ASSERT_FALSE(dts.empty());
    // dts equal to the frame count is still queued; the one after is not.
    EXPECT_EQ(dts.back(), 10);
}

TEST_F(ReaderTest, EndOfFileIsReported) {
    RecordingOptions options;
    options.seconds = 1;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    ReadAll();
    EXPECT_TRUE(m_player.endOfFile);
}

TEST_F(ReaderTest, CutRecordingOpensAndReadsUpToTheCut) {
    RecordingOptions options;
    options.seconds = 2;
    options.cutAtFraction = 0.6;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    EXPECT_GT(m_player.frameCount, 0);
    EXPECT_LT(m_player.frameCount, 60);
    int largest = 0;
    ReadAll(&largest);
    EXPECT_TRUE(m_player.endOfFile);
}

TEST_F(ReaderTest, SeekFlushesEveryLiveQueueAndQueuesTheFlushPacket) {
    RecordingOptions options;
    options.seconds = 3;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(m_player.ReadStep());
    m_player.seekTarget = 2000000;
    m_player.seekFlags = 0;
    m_player.seekRequest = 1;
    ASSERT_TRUE(m_player.SeekNow());
    for (int slot = 0; slot <= kAudioSlot; ++slot) {
        std::vector<std::int64_t> dts = QueuedDts(m_player.slots[slot].info.get());
        EXPECT_EQ(dts, (std::vector<std::int64_t>{-999})) << "slot " << slot;
    }
    // Reading goes on from the target.
    m_player.seekRequest = 0;
    ASSERT_TRUE(m_player.ReadStep());
    std::vector<std::int64_t> after;
    for (int i = 0; i < 10 && after.empty(); ++i) {
        m_player.ReadStep();
        after = QueuedDts(m_player.Video(0));
    }
    ASSERT_FALSE(after.empty());
    EXPECT_GE(after.front(), 30);
}

TEST_F(ReaderTest, PrerollReadsUntilEveryStreamReachesTheTargetAndWaitsBoundedly) {
    RecordingOptions options;
    options.seconds = 2;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    // Nobody decodes: the wait for the decoders gives up on its own.
    m_player.PrerollTo(1, 15, true);
    EXPECT_EQ(m_player.stepping, 1);
    EXPECT_EQ(m_player.stepTarget, 15);
    EXPECT_EQ(m_player.stepMode, 1);
    for (int slot = 0; slot <= 1; ++slot) {
        std::vector<std::int64_t> dts = QueuedDts(m_player.Video(slot));
        ASSERT_FALSE(dts.empty());
        EXPECT_EQ(dts.back(), 15) << "slot " << slot;
    }
    // Sound read on the way is not queued while stepping.
    EXPECT_EQ(m_player.Audio()->packetQueue.Count(), 0);

    // Decoders that report at once end the wait early.
    TThread decoders;
    decoders.Start([&] {
        for (int i = 0; i < 2; ++i) {
            while (!m_player.stepEvent)
                Sleep(1);
            m_player.stepEvent->Set();
            Sleep(15);
        }
    });
    m_player.PrerollTo(-1, 5, false);
    decoders.Join();
    EXPECT_EQ(m_player.stepMode, -1);
}

TEST_F(ReaderTest, PrerollOutsideTheRecordingWaitsForNoStream) {
    RecordingOptions options;
    options.seconds = 1;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    m_player.PrerollTo(1, 1000, false);
    EXPECT_EQ(m_player.stepTarget, 1000);
}

TEST_F(ReaderTest, FileThatIsNotARecordingFailsWithTheErrorBox) {
    TTempFolder folder;
    std::string path = folder.File("notes.avi");
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs("this is not a recording\n", file);
    std::fclose(file);
    EXPECT_FALSE(Open(path));
    std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "failed to open input");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(m_sink.codes, (std::vector<WPARAM>{PlayerNotify::Opening, PlayerNotify::CloseProgressDialog,
                                                PlayerNotify::OpenFailed}));
    EXPECT_TRUE(m_player.closed);
    EXPECT_EQ(m_player.formatContext, nullptr);
}

TEST_F(ReaderTest, MissingFileFailsTheSameWay) {
    EXPECT_FALSE(Open("/nonexistent/NOR_20260101_120000_F.avi"));
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(m_sink.codes.back(), PlayerNotify::OpenFailed);
}

TEST_F(ReaderTest, CloseInputResetsTheInputState) {
    RecordingOptions options;
    options.seconds = 1;
    TFixtureRecording recording(options);
    ASSERT_TRUE(Open(recording.Path()));
    m_player.PrerollTo(1, 3, false);
    m_player.pendingOp = 2;
    m_player.CloseInput();
    EXPECT_TRUE(m_player.closed);
    EXPECT_EQ(m_player.formatContext, nullptr);
    EXPECT_EQ(m_player.readPacket, nullptr);
    EXPECT_EQ(m_player.stepTarget, -1);
    EXPECT_EQ(m_player.stepping, 0);
    EXPECT_EQ(m_player.pendingOp, 0);
    EXPECT_EQ(m_player.duration, 0.0);
    EXPECT_FALSE(m_player.stepEvent);
    m_player.CloseInput();
}
