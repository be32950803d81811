// Following the master clock: after twenty measurements a steady lag
// shortens each chunk by the lag in sample frames, never below nothing;
// sound ahead, a small lag and a reference that is no playback position
// leave the chunks whole.

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
    using TAudioStreamInfo::TAudioStreamInfo;
    double reference = 0.0;
    bool steered = true;

protected:
    double ReferenceClock() const override {
        return steered ? reference : TAudioStreamInfo::ReferenceClock();
    }
};

class AudioSyncTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_audio.Close();
        m_audio.Release();
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

TEST_F(AudioSyncTest, AfterTwentyMeasurementsOnlyASteadyLagShortensTheChunks) {
    // The wall clock (seconds since 1970) stands in for the master clock
    // while no picture is on screen: following it would drop all the sound.
    const double wallClock = static_cast<double>(av_gettime()) / 1000000.0;
    struct Case {
        const char* what;
        int channels;
        double audioClock, reference;
        int bufferedBytes, shortened;
    } cases[] = {
        {"a quarter second behind: 4000 sample frames", 1, 1.0, 1.25, 0, kChunk - 8000},
        {"of every channel", 2, 1.0, 1.25, 0, 2 * kChunk - 16000},
        {"behind by more than the chunk", 1, 1.0, 2.0, 0, 0},
        {"far behind: never below nothing", 1, 1.0, 9.5, 0, 0},
        {"sound ahead", 1, 2.0, 1.5, 0, kChunk},
        {"62.5 ms behind, under the threshold of 128 ms", 1, 1.0, 1.0625, 0, kChunk},
        // 2000 samples still wait in the buffer: the sound heard is at 1.25 s.
        {"buffered sound is not yet heard", 1, 1.375, 1.5, 4000, kChunk - 8000},
        {"a reference that is no playback position", 1, 0.5, wallClock, 0, kChunk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_audio.Close();
        ASSERT_TRUE(AttachPcm(m_audio, AV_CODEC_ID_PCM_S16LE, c.channels));
        m_audio.bufferSize = c.bufferedBytes;
        m_audio.bufferIndex = 0;
        const int chunk = c.channels * kChunk;
        EXPECT_EQ(Measure(kMeasurements, c.audioClock, c.reference, chunk), chunk);
        EXPECT_EQ(Measure(1, c.audioClock, c.reference, chunk), c.shortened);
        EXPECT_EQ(Measure(1, c.audioClock, c.reference, chunk), c.shortened);
    }
}

TEST_F(AudioSyncTest, FollowsTheControllersMasterClock) {
    ASSERT_TRUE(AttachPcm(m_audio, AV_CODEC_ID_PCM_S16LE, 1));
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
    EXPECT_LE(m_audio.SynchronizeAudio(kChunk), kChunk - 8000);
    front->notOpen = true;
}
