// The device callback, called directly into a buffer: the volume, the
// controller's states in which nothing is written, the close
// acknowledgement and silence when the queue runs dry.

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/packet_queue.h"
#include "engine/video_stream_info.h"
#include "platform/thread.h"
#include "tests/fixtures/recording_writer.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/time.h>
}

using velor::fixtures::RecordingOptions;
using velor::fixtures::ToneSampleAt;

namespace {

constexpr int kRate = 16000;
constexpr int kDeviceBytes = 2048; // 1024 mono samples, one device buffer
constexpr std::uint8_t kGarbage = 0x55;
// A device buffer lasts 64 ms.
constexpr DWORD kLongerThanABufferMs = 100;

// The sound stream of a controller in the playing state, with a PCM decoder
// and no device; the test plays the part of SDL's audio thread.
class AudioCallbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitFlushPacket();
        m_player.stopped = false;
        m_player.closed = false;
        m_audio = std::make_unique<TAudioStreamInfo>(&m_player);
        ASSERT_TRUE(m_audio->Init(0));
        m_audio->codec = avcodec_find_decoder(AV_CODEC_ID_PCM_S16LE);
        m_audio->codecContext = avcodec_alloc_context3(m_audio->codec);
        m_audio->codecContext->sample_rate = kRate;
        av_channel_layout_default(&m_audio->codecContext->ch_layout, 1);
        ASSERT_GE(avcodec_open2(m_audio->codecContext, m_audio->codec, nullptr), 0);
        m_audio->closing = false;
        m_audio->notOpen = false;
        ASSERT_TRUE(m_audio->PrepareOutput());
        m_audio->volume = SDL_MIX_MAXVOLUME;
    }
    void TearDown() override {
        m_audio->Close();
        m_audio->Release();
    }

    // Queues `chunks` packets of the fixture tone, 533 samples each.
    void QueueTone(int chunks, int samplesPerChunk = 533) {
        for (int c = 0; c < chunks; ++c) {
            TPacketHandle packet = MakePacket();
            ASSERT_EQ(av_new_packet(packet.get(), samplesPerChunk * 2), 0);
            auto* samples = reinterpret_cast<std::int16_t*>(packet->data);
            for (int i = 0; i < samplesPerChunk; ++i)
                samples[i] = ToneSampleAt(m_tone, static_cast<std::int64_t>(c) * samplesPerChunk + i);
            packet->pts = AV_NOPTS_VALUE;
            ASSERT_EQ(m_audio->packetQueue.Put(packet.get()), 0);
        }
    }

    std::vector<std::int16_t> Play(int bytes = kDeviceBytes) {
        std::vector<std::uint8_t> device(static_cast<std::size_t>(bytes), kGarbage);
        TAudioStreamInfo::AudioCallback(m_audio.get(), device.data(), bytes);
        std::vector<std::int16_t> samples(device.size() / 2);
        std::memcpy(samples.data(), device.data(), device.size());
        return samples;
    }

    static bool AllSilent(const std::vector<std::int16_t>& samples) {
        for (std::int16_t sample : samples) {
            if (sample != 0)
                return false;
        }
        return true;
    }

    RecordingOptions m_tone;
    TMediaPlayer m_player;
    std::unique_ptr<TAudioStreamInfo> m_audio;
};

} // namespace

TEST_F(AudioCallbackTest, FullVolumeGivesTheDecodedLevel) {
    QueueTone(4);
    const std::vector<std::int16_t> first = Play();
    const std::vector<std::int16_t> second = Play();
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(first[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i)) << i;
        ASSERT_EQ(second[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, 1024 + i)) << i;
    }
    // 2132 samples decoded, 2048 handed out; the clock is the end of the
    // decoded. The device plays the second buffer from the moment it was
    // filled, and once it has had the time to play it all the played clock
    // stays at its end.
    EXPECT_DOUBLE_EQ(m_audio->clock, 2132.0 / kRate);
    EXPECT_GE(m_audio->PlayedClock(), 1024.0 / kRate);
    EXPECT_LE(m_audio->PlayedClock(), 2048.0 / kRate);
    Sleep(kLongerThanABufferMs);
    EXPECT_DOUBLE_EQ(m_audio->PlayedClock(), 2048.0 / kRate);

    // Once the queue is dry the played clock stops at the end of the sound,
    // not of the silence after it.
    Play();
    Sleep(kLongerThanABufferMs);
    EXPECT_DOUBLE_EQ(m_audio->PlayedClock(), 2132.0 / kRate);
}

TEST_F(AudioCallbackTest, VolumeScalesTheLevelAndZeroIsSilenceWithTheClockMoving) {
    QueueTone(4);
    m_audio->volume = 64;
    const std::vector<std::int16_t> half = Play();
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(half[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i) * 64 / 128) << i;

    m_audio->volume = 0;
    EXPECT_TRUE(AllSilent(Play()));
    // The sound was consumed all the same: playback goes on, unheard.
    EXPECT_DOUBLE_EQ(m_audio->clock, 2132.0 / kRate);
    EXPECT_EQ(m_audio->packetQueue.Count(), 0);

    // A volume beyond the scale plays at full level, never louder.
    QueueTone(2);
    m_audio->volume = 1000;
    const std::vector<std::int16_t> loud = Play(200);
    const int playedBefore = 2048;
    const int leftOver = 2132 - playedBefore;
    for (int i = 0; i < 100; ++i) {
        const std::int64_t index = i < leftOver ? playedBefore + i : i - leftOver;
        ASSERT_EQ(loud[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, index)) << i;
    }
}

TEST_F(AudioCallbackTest, PausedSteppingStoppedAndClosedWriteSilenceAndTakeNothing) {
    QueueTone(3);
    std::atomic<bool>* flags[] = {&m_player.paused, &m_player.stopped, &m_player.closed};
    for (std::atomic<bool>* flag : flags) {
        *flag = true;
        EXPECT_TRUE(AllSilent(Play()));
        EXPECT_EQ(m_audio->packetQueue.Count(), 3);
        EXPECT_DOUBLE_EQ(m_audio->clock, 0.0);
        EXPECT_DOUBLE_EQ(m_audio->PlayedClock(), 0.0);
        *flag = false;
    }
    m_player.stepping = 1;
    EXPECT_TRUE(AllSilent(Play()));
    EXPECT_EQ(m_audio->packetQueue.Count(), 3);
    m_player.stepping = 0;

    // Resuming continues from the next queued packet.
    const std::vector<std::int16_t> resumed = Play();
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(resumed[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i)) << i;
}

TEST_F(AudioCallbackTest, AtTheEndOfTheFileTheQueuedSoundStillPlays) {
    QueueTone(2);
    m_player.endOfFile = true;
    const std::vector<std::int16_t> played = Play();
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(played[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i)) << i;
}

TEST_F(AudioCallbackTest, ClosingIsAcknowledgedWithoutPlaying) {
    QueueTone(2);
    m_audio->closing = true;
    EXPECT_TRUE(AllSilent(Play()));
    EXPECT_TRUE(m_audio->decoderAck);
    EXPECT_TRUE(m_audio->rendererAck);
    EXPECT_EQ(m_audio->packetQueue.Count(), 2);
}

TEST_F(AudioCallbackTest, AnEmptyQueueGivesSilenceAndNoAcknowledgement) {
    const std::vector<std::int16_t> played = Play();
    EXPECT_TRUE(AllSilent(played));
    EXPECT_FALSE(m_audio->decoderAck);
    EXPECT_DOUBLE_EQ(m_audio->clock, 0.0);

    // Sound that arrives later plays from its start, after the silence
    // already given.
    QueueTone(3);
    const std::vector<std::int16_t> later = Play();
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(later[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i)) << i;
}

TEST_F(AudioCallbackTest, FlushPacketBetweenChunksPlaysNoGap) {
    QueueTone(1, 512);
    ASSERT_EQ(m_audio->packetQueue.Put(FlushPacket()), 0);
    TPacketHandle packet = MakePacket();
    ASSERT_EQ(av_new_packet(packet.get(), 1024), 0);
    for (int i = 0; i < 512; ++i)
        reinterpret_cast<std::int16_t*>(packet->data)[i] = static_cast<std::int16_t>(100 + i);
    packet->pts = AV_NOPTS_VALUE;
    ASSERT_EQ(m_audio->packetQueue.Put(packet.get()), 0);

    const std::vector<std::int16_t> played = Play();
    for (int i = 0; i < 512; ++i) {
        ASSERT_EQ(played[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i)) << i;
        ASSERT_EQ(played[static_cast<std::size_t>(512 + i)], 100 + i) << i;
    }
}

// The sound after an open or a jump waits for the pictures and starts where
// they are.
class AudioStartTest : public AudioCallbackTest {
protected:
    void SetUp() override {
        AudioCallbackTest::SetUp();
        m_front = m_player.Video(kFrontSlot);
        m_front->notOpen = false;
    }
    void TearDown() override {
        m_front->notOpen = true;
        AudioCallbackTest::TearDown();
    }
    // `played` is the tone from sample `first` on, or from a little later:
    // the master clock moves on while the test runs (up to `kSlackSamples`,
    // 50 ms on a loaded machine).
    void ExpectToneFrom(const std::vector<std::int16_t>& played, std::int64_t first) {
        constexpr std::int64_t kSlackSamples = kRate / 20;
        std::int64_t offset = 0;
        while (offset < kSlackSamples && played[0] != ToneSampleAt(m_tone, first + offset))
            ++offset;
        ASSERT_LT(offset, kSlackSamples);
        for (int i = 0; i < 1024; ++i)
            ASSERT_EQ(played[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, first + offset + i)) << i;
    }

    // The front channel shows a picture of `serial` at `pts`, just now.
    void ShowPicture(std::uint32_t serial, double pts) {
        m_front->currentPts = pts;
        m_front->currentPtsTime = av_gettime();
        m_front->shownSerial = serial;
    }

    TVideoStreamInfo* m_front = nullptr;
};

TEST_F(AudioStartTest, SoundWaitsForTheFirstPictureOfItsOpen) {
    QueueTone(4);
    // Still the picture of an earlier open (or none at all).
    ShowPicture(m_audio->serial + 1, 0.0);
    EXPECT_TRUE(AllSilent(Play()));
    EXPECT_EQ(m_audio->packetQueue.Count(), 4);

    ShowPicture(m_audio->serial, 0.0);
    ExpectToneFrom(Play(), 0);
}

TEST_F(AudioStartTest, SoundThePicturesPassedIsNotPlayed) {
    QueueTone(20);
    ShowPicture(m_audio->serial, 0.5);
    ExpectToneFrom(Play(), kRate / 2);
}

TEST_F(AudioStartTest, SoundAheadOfThePicturesStartsAfterSilence) {
    QueueTone(10);
    // The pictures reach the sound's start in 100 ms (1600 samples); a
    // device buffer of 4096 samples holds the silence and the start.
    constexpr std::size_t kAheadSamples = 1600;
    ShowPicture(m_audio->serial, -static_cast<double>(kAheadSamples) / kRate);
    const std::vector<std::int16_t> played = Play(8192);
    std::size_t silence = 0;
    while (silence < played.size() && played[silence] == 0)
        ++silence;
    // The tone's first sample is 0 itself; the master clock moves on while
    // the test runs, shortening the silence.
    EXPECT_GE(silence, kAheadSamples - kRate / 20);
    EXPECT_LE(silence, kAheadSamples + 1);
    const std::size_t start = silence - 1;
    for (std::size_t i = 1; start + i < played.size(); ++i)
        ASSERT_EQ(played[start + i], ToneSampleAt(m_tone, static_cast<std::int64_t>(i))) << i;
}

TEST_F(AudioStartTest, AFlushHoldsTheSoundUntilThePicturesAfterIt) {
    QueueTone(2);
    ShowPicture(m_audio->serial, 0.0);
    Play();
    // A jump: the flush is taken once the old sound is used up.
    m_player.flushSerial = m_audio->serial + 1;
    ASSERT_EQ(m_audio->packetQueue.Put(FlushPacket()), 0);
    QueueTone(4);
    Play();
    EXPECT_EQ(m_audio->serial, m_player.flushSerial);
    EXPECT_TRUE(AllSilent(Play()));

    ShowPicture(m_player.flushSerial, m_audio->clock);
    EXPECT_FALSE(AllSilent(Play()));
}

TEST_F(AudioStartTest, AHiddenChannelIsNotWaitedFor) {
    QueueTone(4);
    m_front->hidden = true;
    ShowPicture(m_audio->serial + 1, 0.0);
    const std::vector<std::int16_t> played = Play();
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(played[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i)) << i;
    m_front->hidden = false;
}
