// The sound stream fed by hand, with a PCM decoder of the test's choosing
// and no device: decoding from its queue into the device buffer (packed
// copies, planar and float sound converted to packed signed 16-bit, the
// flush packet, broken packets), and
// the device callback called directly into a buffer (the volume, the
// controller's states in which nothing is written, silence when the queue
// runs dry, and the sound's start with the pictures).

#include <algorithm>
#include <functional>

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/media_player.h"
#include "engine/player_reader.h"
#include "engine/video_stream_info.h"
#include "platform/thread.h"
#include "tests/engine/pcm_sound.h"

using velor::fixtures::RecordingOptions;
using velor::fixtures::ToneSampleAt;

namespace {

constexpr int kDeviceBytes = 2048; // 1024 mono samples, one device buffer
constexpr int kChunkSamples = 533;
constexpr std::uint8_t kGarbage = 0x55;
// A device buffer lasts 64 ms.
constexpr DWORD kLongerThanABufferMs = 100;

// The sound stream of a controller in the playing state; the test plays the
// part of SDL's audio thread.
class AudioStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitFlushPacket();
        m_reader.SetStopped(false);
        m_reader.SetClosed(false);
        m_stream->time_base = AVRational{1, kPcmRate};
        Attach(AV_CODEC_ID_PCM_S16LE, 1);
        m_audio.volume = SDL_MIX_MAXVOLUME;
    }
    void TearDown() override {
        m_audio.Close();
        m_audio.Release();
    }

    void Attach(AVCodecID id, int channels) {
        m_audio.Close();
        ASSERT_TRUE(AttachPcm(m_audio, id, channels));
        m_audio.stream = m_stream;
    }
    void PutSamples(const std::vector<std::int16_t>& samples, std::int64_t pts) {
        PutPcm(m_audio.packetQueue, samples.data(), static_cast<int>(samples.size() * 2), pts);
    }
    // Decodes the next piece: its samples, none when nothing was decoded.
    std::vector<std::int16_t> DecodeNext(double* pts = nullptr) {
        double ignored = 0.0;
        const int bytes = m_audio.audio_decode_frame(pts ? pts : &ignored);
        std::vector<std::int16_t> samples(static_cast<std::size_t>(std::max(bytes, 0)) / 2);
        std::memcpy(samples.data(), m_audio.audioBuffer.data(), samples.size() * 2);
        return samples;
    }

    // Queues `chunks` packets of the fixture tone, without times.
    void QueueTone(int chunks, int samplesPerChunk = kChunkSamples) {
        std::vector<std::int16_t> samples(static_cast<std::size_t>(samplesPerChunk));
        for (int c = 0; c < chunks; ++c) {
            for (int i = 0; i < samplesPerChunk; ++i)
                samples[static_cast<std::size_t>(i)] =
                    ToneSampleAt(m_tone, std::int64_t{c} * samplesPerChunk + i);
            PutSamples(samples, AV_NOPTS_VALUE);
        }
    }
    // What the callback writes into a device buffer of `bytes`.
    std::vector<std::int16_t> Play(int bytes = kDeviceBytes) {
        std::vector<std::uint8_t> device(static_cast<std::size_t>(bytes), kGarbage);
        TAudioStreamInfo::AudioCallback(&m_audio, device.data(), bytes);
        std::vector<std::int16_t> samples(device.size() / 2);
        std::memcpy(samples.data(), device.data(), device.size());
        return samples;
    }

    static bool AllSilent(const std::vector<std::int16_t>& samples) {
        return std::all_of(samples.begin(), samples.end(),
                           [](std::int16_t sample) { return sample == 0; });
    }

    RecordingOptions m_tone;
    TMediaPlayer m_player;
    TPlayerReader m_reader{m_player, TPlayerReader::TStreams::AsTheyAre};
    TInputHandle m_container{avformat_alloc_context()};
    AVStream* m_stream = avformat_new_stream(m_container.get(), nullptr);
    TAudioStreamInfo m_audio{&m_player};
};

std::vector<std::int16_t> Ramp(int count, int start, int step = 1) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(start + i * step);
    return samples;
}

} // namespace

TEST_F(AudioStreamTest, PackedSoundIsCopiedAndPacketsWithoutTimeContinueFromItsEnd) {
    PutSamples(Ramp(1600, -800), kPcmRate); // 0.1 s from 1.0 s
    PutSamples(Ramp(800, 1000), AV_NOPTS_VALUE);
    double pts = -1.0;
    EXPECT_EQ(DecodeNext(&pts), Ramp(1600, -800));
    EXPECT_DOUBLE_EQ(pts, 1.0);
    EXPECT_DOUBLE_EQ(m_audio.clock, 1.1);
    EXPECT_EQ(DecodeNext(&pts), Ramp(800, 1000));
    EXPECT_DOUBLE_EQ(pts, 1.1);
    EXPECT_DOUBLE_EQ(m_audio.clock, 1.15);
    // An empty queue: nothing decoded, the clock stays where the sound ends.
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    EXPECT_DOUBLE_EQ(m_audio.clock, 1.15);
}

TEST_F(AudioStreamTest, FlushAndBrokenPacketsAreNotSoundAndTheNextPacketSetsTheClock) {
    PutSamples(Ramp(1000, 1), 0);
    ASSERT_EQ(m_audio.packetQueue.Put(FlushPacket()), 0);
    PutSamples(Ramp(500, -3000, 3), 2 * kPcmRate);
    double pts = 0.0;
    EXPECT_EQ(DecodeNext(), Ramp(1000, 1));
    // The flush packet is passed over within the same need.
    EXPECT_EQ(DecodeNext(&pts), Ramp(500, -3000, 3));
    EXPECT_DOUBLE_EQ(pts, 2.0);
    // Half a sample is dropped and the next packet plays.
    const std::uint8_t broken[1] = {1};
    PutPcm(m_audio.packetQueue, broken, sizeof broken, 0);
    PutSamples(Ramp(40, 7), 3 * kPcmRate);
    EXPECT_EQ(DecodeNext(&pts), Ramp(40, 7));
    EXPECT_DOUBLE_EQ(pts, 3.0);
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    // A flush alone gives nothing to play, and is taken.
    ASSERT_EQ(m_audio.packetQueue.Put(FlushPacket()), 0);
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    EXPECT_EQ(m_audio.packetQueue.Count(), 0);
}

TEST_F(AudioStreamTest, PlanarAndFloatSoundIsConvertedToPackedSigned16) {
    // The planar PCM packet holds all of the left channel, then the right.
    std::vector<std::int16_t> planes = Ramp(100, 10, 10);
    const std::vector<std::int16_t> right = Ramp(100, -10, -10);
    planes.insert(planes.end(), right.begin(), right.end());
    std::vector<std::int16_t> interleaved;
    for (int i = 0; i < 100; ++i) {
        interleaved.push_back(static_cast<std::int16_t>(10 + 10 * i));
        interleaved.push_back(static_cast<std::int16_t>(-10 - 10 * i));
    }
    const float values[] = {0.5f, -0.25f, 0.0f, 1.0f};
    struct Case {
        const char* what;
        AVCodecID codec;
        int channels;
        const void* bytes;
        int size;
        std::vector<std::int16_t> expected;
    } cases[] = {
        {"planar, not cut to its first plane", AV_CODEC_ID_PCM_S16LE_PLANAR, 2, planes.data(), 400,
         interleaved},
        {"float", AV_CODEC_ID_PCM_F32LE, 1, values, sizeof values, {16384, -8192, 0, 32767}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.codec, c.channels);
        PutPcm(m_audio.packetQueue, c.bytes, c.size, 0);
        EXPECT_EQ(DecodeNext(), c.expected);
        EXPECT_DOUBLE_EQ(m_audio.clock,
                         static_cast<double>(c.expected.size() / c.channels) / kPcmRate);
    }
}

TEST_F(AudioStreamTest, FullVolumeGivesTheDecodedLevel) {
    QueueTone(4);
    EXPECT_TRUE(IsTone(Play(), 0, m_tone, 0, 1024));
    EXPECT_TRUE(IsTone(Play(), 0, m_tone, 1024, 1024));
    // 2132 samples decoded, 2048 handed out; the clock is the end of the
    // decoded. The device plays the second buffer from the moment it was
    // filled, and once it has had the time to play it all the played clock
    // stays at its end.
    EXPECT_DOUBLE_EQ(m_audio.clock, 2132.0 / kPcmRate);
    EXPECT_GE(m_audio.PlayedClock(), 1024.0 / kPcmRate);
    EXPECT_LE(m_audio.PlayedClock(), 2048.0 / kPcmRate);
    Sleep(kLongerThanABufferMs);
    EXPECT_DOUBLE_EQ(m_audio.PlayedClock(), 2048.0 / kPcmRate);

    // Once the queue is dry the played clock stops at the end of the sound,
    // not of the silence after it.
    Play();
    Sleep(kLongerThanABufferMs);
    EXPECT_DOUBLE_EQ(m_audio.PlayedClock(), 2132.0 / kPcmRate);
}

TEST_F(AudioStreamTest, VolumeScalesTheLevelAndZeroIsSilenceWithTheClockMoving) {
    QueueTone(4);
    m_audio.volume = 64;
    const std::vector<std::int16_t> half = Play();
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(half[static_cast<std::size_t>(i)], ToneSampleAt(m_tone, i) * 64 / 128) << i;

    m_audio.volume = 0;
    EXPECT_TRUE(AllSilent(Play()));
    // The sound was consumed all the same: playback goes on, unheard.
    EXPECT_DOUBLE_EQ(m_audio.clock, 2132.0 / kPcmRate);
    EXPECT_EQ(m_audio.packetQueue.Count(), 0);

    // A volume beyond the scale plays at full level, never louder: the 84
    // samples left of the last chunk, then the next chunk's.
    QueueTone(2);
    m_audio.volume = 1000;
    const std::vector<std::int16_t> loud = Play(200);
    EXPECT_TRUE(IsTone(loud, 0, m_tone, 2048, 84));
    EXPECT_TRUE(IsTone(loud, 84, m_tone, 0, 16));
}

TEST_F(AudioStreamTest, PausedSteppingStoppedAndClosedWriteSilenceAndTakeNothing) {
    QueueTone(3);
    const std::function<void(bool)> states[] = {
        [this](bool on) { m_reader.SetPaused(on); },
        [this](bool on) { m_reader.SetStopped(on); },
        [this](bool on) { m_reader.SetClosed(on); },
        [this](bool on) { on ? m_reader.SetStepping(1, 10) : m_reader.EndStepping(); },
    };
    for (const auto& state : states) {
        state(true);
        EXPECT_TRUE(AllSilent(Play()));
        EXPECT_EQ(m_audio.packetQueue.Count(), 3);
        EXPECT_DOUBLE_EQ(m_audio.clock, 0.0);
        EXPECT_DOUBLE_EQ(m_audio.PlayedClock(), 0.0);
        state(false);
    }
    // Playing goes on from the next queued packet, and at the end of the
    // file the queued sound still plays.
    m_reader.SetEndOfFile(true);
    EXPECT_TRUE(IsTone(Play(), 0, m_tone, 0, 1024));
}

// The sound after an open or a jump waits for the pictures and starts where
// they are.
class AudioStartTest : public AudioStreamTest {
protected:
    void SetUp() override {
        AudioStreamTest::SetUp();
        m_front.notOpen = false;
    }
    void TearDown() override {
        m_front.notOpen = true;
        AudioStreamTest::TearDown();
    }
    // `played` is the tone from sample `first` on, or from a little later:
    // the master clock moves on while the test runs (up to 50 ms on a loaded
    // machine).
    void ExpectToneFrom(const std::vector<std::int16_t>& played, std::int64_t first) {
        constexpr std::int64_t kSlackSamples = kPcmRate / 20;
        std::int64_t offset = 0;
        while (offset < kSlackSamples && played[0] != ToneSampleAt(m_tone, first + offset))
            ++offset;
        ASSERT_LT(offset, kSlackSamples);
        EXPECT_TRUE(IsTone(played, 0, m_tone, first + offset, 1024));
    }

    // The front channel shows a picture of `serial` at `pts`, just now.
    void ShowPicture(std::uint32_t serial, double pts) {
        m_front.currentPts = pts;
        m_front.currentPtsTime = av_gettime();
        m_front.shownSerial = serial;
    }

    TVideoStreamInfo& m_front = *m_player.Video(kFrontSlot);
};

TEST_F(AudioStartTest, SoundWaitsForTheFirstPictureOfItsOpenAndSkipsWhatThePicturesPassed) {
    QueueTone(20);
    // Still the picture of an earlier open (or none at all).
    ShowPicture(m_audio.serial + 1, 0.5);
    EXPECT_TRUE(AllSilent(Play()));
    EXPECT_EQ(m_audio.packetQueue.Count(), 20);

    ShowPicture(m_audio.serial, 0.5);
    ExpectToneFrom(Play(), kPcmRate / 2);
}

TEST_F(AudioStartTest, SoundAheadOfThePicturesStartsAfterSilence) {
    QueueTone(10);
    // The pictures reach the sound's start in 100 ms (1600 samples); a
    // device buffer of 4096 samples holds the silence and the start.
    constexpr std::size_t kAheadSamples = 1600;
    ShowPicture(m_audio.serial, -static_cast<double>(kAheadSamples) / kPcmRate);
    const std::vector<std::int16_t> played = Play(8192);
    std::size_t silence = 0;
    while (silence < played.size() && played[silence] == 0)
        ++silence;
    // The tone's first sample is 0 itself; the master clock moves on while
    // the test runs, shortening the silence.
    EXPECT_GE(silence, kAheadSamples - kPcmRate / 20);
    EXPECT_LE(silence, kAheadSamples + 1);
    const std::size_t start = silence - 1;
    EXPECT_TRUE(IsTone(played, start, m_tone, 0, static_cast<std::int64_t>(played.size() - start)));
}

TEST_F(AudioStartTest, AFlushHoldsTheSoundUntilThePicturesAfterIt) {
    QueueTone(2);
    ShowPicture(m_audio.serial, 0.0);
    Play();
    // A jump: the flush is taken once the old sound is used up.
    const std::uint32_t afterTheJump = m_audio.serial + 1;
    m_reader.SetFlushSerial(afterTheJump);
    ASSERT_EQ(m_audio.packetQueue.Put(FlushPacket()), 0);
    QueueTone(4);
    Play();
    EXPECT_EQ(m_audio.serial, afterTheJump);
    EXPECT_TRUE(AllSilent(Play()));

    ShowPicture(afterTheJump, m_audio.clock);
    EXPECT_FALSE(AllSilent(Play()));
}

TEST_F(AudioStartTest, AHiddenChannelIsNotWaitedFor) {
    QueueTone(4);
    m_front.hidden = true;
    ShowPicture(m_audio.serial + 1, 0.0);
    EXPECT_TRUE(IsTone(Play(), 0, m_tone, 0, 1024));
    m_front.hidden = false;
}
