// Following the master clock: after twenty measurements a steady lag
// shortens each chunk by the lag in sample frames, never below nothing;
// sound ahead, a small lag and a reference that is no playback position
// leave the chunks whole.

#include <limits>

#include <gtest/gtest.h>

#include "engine/media_player.h"
#include "engine/video_stream_info.h"
#include "tests/engine/pcm_sound.h"

namespace {

constexpr int kChunk = 10000; // bytes: 5000 mono sample frames
constexpr int kMeasurements = 20;

// A sound stream whose reference clock the test sets.
class TSteeredAudio : public TAudioStreamInfo {
public:
    explicit TSteeredAudio(TMediaPlayer* owner) : TAudioStreamInfo(owner) {}
    double reference = 0.0;
    bool steered = true;

protected:
    double ReferenceClock() const override { return steered ? reference : TAudioStreamInfo::ReferenceClock(); }
};

class AudioSyncTest : public ::testing::Test {
protected:
    void SetUp() override { Attach(1); }
    void TearDown() override {
        m_audio.Close();
        m_audio.Release();
    }

    void Attach(int channels) {
        m_audio.Close();
        ASSERT_TRUE(AttachPcm(m_audio, AV_CODEC_ID_PCM_S16LE, channels));
    }

    // Measures `count` chunks at a fixed distance; returns the last result.
    int Measure(int count, double audioClock, double reference, int size = kChunk) {
        m_audio.clock = audioClock;
        m_audio.reference = reference;
        int result = 0;
        for (int i = 0; i < count; ++i)
            result = m_audio.SynchronizeAudio(size);
        return result;
    }

    TMediaPlayer m_player;
    TSteeredAudio m_audio{&m_player};
};

} // namespace

TEST_F(AudioSyncTest, SteadyLagShortensChunksAfterTwentyMeasurements) {
    // Sound a quarter second behind: 4000 sample frames, of every channel.
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        Attach(channels);
        const int chunk = channels * kChunk;
        EXPECT_EQ(Measure(kMeasurements, 1.0, 1.25, chunk), chunk);
        EXPECT_EQ(m_audio.diffAverageCount, kMeasurements);
        EXPECT_EQ(Measure(1, 1.0, 1.25, chunk), chunk - channels * 8000);
        EXPECT_EQ(Measure(1, 1.0, 1.25, chunk), chunk - channels * 8000);
    }
}

TEST_F(AudioSyncTest, LagLongerThanTheChunkDropsItWholeButNeverBelowNothing) {
    Measure(kMeasurements, 1.0, 2.0);
    EXPECT_EQ(Measure(1, 1.0, 2.0), 0);
    EXPECT_EQ(Measure(1, 1.0, 9.5), 0);
}

TEST_F(AudioSyncTest, SoundAheadAndSmallLagsPlayUnchanged) {
    EXPECT_EQ(Measure(kMeasurements + 5, 2.0, 1.5), kChunk);
    Attach(1);
    // 62.5 ms behind is under the threshold of 2048 samples (128 ms).
    EXPECT_EQ(Measure(kMeasurements + 5, 1.0, 1.0625), kChunk);
}

TEST_F(AudioSyncTest, UnplayedBufferedSoundCountsAsNotYetHeard) {
    // 2000 samples (0.125 s) still waiting in the buffer: the sound heard is
    // at 1.25 s while the decoded end is at 1.375 s.
    m_audio.bufferSize = 4000;
    m_audio.bufferIndex = 0;
    Measure(kMeasurements, 1.375, 1.5);
    EXPECT_EQ(Measure(1, 1.375, 1.5), kChunk - 8000);
}

TEST_F(AudioSyncTest, DistanceOfTenSecondsOrNoNumberStartsTheAverageAgain) {
    Measure(kMeasurements, 1.0, 1.25);
    EXPECT_EQ(Measure(1, 20.0, 1.25), kChunk);
    EXPECT_EQ(m_audio.diffAverageCount, 0);
    EXPECT_DOUBLE_EQ(m_audio.diffCumulative, 0.0);
    // Twenty new measurements are needed before a lag counts again.
    EXPECT_EQ(Measure(kMeasurements, 1.0, 1.25), kChunk);
    EXPECT_EQ(Measure(1, 1.0, 1.25), kChunk - 8000);

    EXPECT_EQ(Measure(1, 1.0, std::numeric_limits<double>::quiet_NaN()), kChunk);
    EXPECT_EQ(m_audio.diffAverageCount, 0);
}

TEST_F(AudioSyncTest, ReferenceFarAheadIsNoPlaybackPositionAndDropsNothing) {
    // The master clock falls back to the wall clock (seconds since 1970)
    // while no picture is on screen; following it would drop all the sound.
    const double wallClock = static_cast<double>(av_gettime()) / 1000000.0;
    EXPECT_EQ(Measure(kMeasurements + 10, 0.5, wallClock), kChunk);
    EXPECT_EQ(m_audio.diffAverageCount, 0);
}

TEST_F(AudioSyncTest, FollowsTheControllersMasterClock) {
    // The front channel shows the picture of 100 s; the sound is at 99.75 s.
    TVideoStreamInfo* front = m_player.Video(kFrontSlot);
    front->notOpen = false;
    front->currentPts = 100.0;
    front->currentPtsTime = av_gettime();
    m_audio.steered = false;
    m_audio.clock = 99.75;
    for (int i = 0; i < kMeasurements; ++i)
        ASSERT_EQ(m_audio.SynchronizeAudio(kChunk), kChunk);
    // Time passing on the master clock only makes the lag larger.
    const int shortened = m_audio.SynchronizeAudio(kChunk);
    EXPECT_LE(shortened, kChunk - 8000);
    front->notOpen = true;
}
