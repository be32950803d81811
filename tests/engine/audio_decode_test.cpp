// Decoding from the sound queue into the device buffer: packed copies,
// pieces of frames larger than the buffer, planar and float sound converted
// to packed signed 16-bit, the flush packet, broken packets.

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/packet_queue.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace {

constexpr int kRate = 16000;

struct TFormatFree {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};

// A sound stream with a decoder of the test's choosing and no device.
class AudioDecodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitFlushPacket();
        m_container.reset(avformat_alloc_context());
        m_stream = avformat_new_stream(m_container.get(), nullptr);
        m_stream->time_base = AVRational{1, kRate};
    }
    void TearDown() override {
        m_audio.Close();
        m_audio.Release();
    }

    void Attach(AVCodecID id, int channels, int rate = kRate) {
        ASSERT_TRUE(m_audio.Init(0));
        m_audio.codec = avcodec_find_decoder(id);
        ASSERT_TRUE(m_audio.codec);
        m_audio.codecContext = avcodec_alloc_context3(m_audio.codec);
        m_audio.codecContext->sample_rate = rate;
        av_channel_layout_default(&m_audio.codecContext->ch_layout, channels);
        ASSERT_GE(avcodec_open2(m_audio.codecContext, m_audio.codec, nullptr), 0);
        m_audio.stream = m_stream;
        m_audio.closing = false;
        m_audio.notOpen = false;
        ASSERT_TRUE(m_audio.PrepareOutput());
    }

    void PutBytes(const void* bytes, int size, std::int64_t pts) {
        TPacketHandle packet = MakePacket();
        ASSERT_EQ(av_new_packet(packet.get(), size), 0);
        std::memcpy(packet->data, bytes, static_cast<std::size_t>(size));
        packet->pts = pts;
        ASSERT_EQ(m_audio.packetQueue.Put(packet.get()), 0);
    }
    void PutSamples(const std::vector<std::int16_t>& samples, std::int64_t pts) {
        PutBytes(samples.data(), static_cast<int>(samples.size() * 2), pts);
    }

    std::vector<std::int16_t> Decoded(int bytes) const {
        std::vector<std::int16_t> samples(static_cast<std::size_t>(bytes) / 2);
        std::memcpy(samples.data(), m_audio.audioBuffer.data(), samples.size() * 2);
        return samples;
    }

    std::unique_ptr<AVFormatContext, TFormatFree> m_container;
    AVStream* m_stream = nullptr;
    TAudioStreamInfo m_audio{nullptr};
};

std::vector<std::int16_t> Ramp(int count, int start, int step = 1) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(start + i * step);
    return samples;
}

} // namespace

TEST_F(AudioDecodeTest, PackedSoundIsCopiedAndMovesTheClockToItsEnd) {
    Attach(AV_CODEC_ID_PCM_S16LE, 1);
    const std::vector<std::int16_t> samples = Ramp(1600, -800);
    PutSamples(samples, kRate); // starts at 1.0 s

    double pts = -1.0;
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 3200);
    EXPECT_EQ(Decoded(3200), samples);
    EXPECT_DOUBLE_EQ(pts, 1.0);
    EXPECT_DOUBLE_EQ(m_audio.clock, 1.1);

    // An empty queue: nothing decoded, the clock stays where the sound ends.
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    EXPECT_DOUBLE_EQ(m_audio.clock, 1.1);
}

TEST_F(AudioDecodeTest, PacketsWithoutTimeContinueFromTheEndOfTheSound) {
    Attach(AV_CODEC_ID_PCM_S16LE, 2);
    PutSamples(Ramp(800, 0), 8000); // 400 stereo frames from 0.5 s
    PutSamples(Ramp(800, 1000), AV_NOPTS_VALUE);
    double pts = 0.0;
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 1600);
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 1600);
    EXPECT_DOUBLE_EQ(pts, 0.525);
    EXPECT_DOUBLE_EQ(m_audio.clock, 0.55);
    EXPECT_EQ(Decoded(1600), Ramp(800, 1000));
}

TEST_F(AudioDecodeTest, FlushPacketIsNotSoundAndTheNextPacketSetsTheClock) {
    Attach(AV_CODEC_ID_PCM_S16LE, 1);
    PutSamples(Ramp(1000, 1), 0);
    ASSERT_EQ(m_audio.packetQueue.Put(FlushPacket()), 0);
    PutSamples(Ramp(500, -3000, 3), 2 * kRate);

    double pts = 0.0;
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 2000);
    EXPECT_EQ(Decoded(2000), Ramp(1000, 1));
    // The flush packet is passed over within the same need.
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 1000);
    EXPECT_EQ(Decoded(1000), Ramp(500, -3000, 3));
    EXPECT_DOUBLE_EQ(pts, 2.0);
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
}

TEST_F(AudioDecodeTest, FlushAloneGivesNothingToPlay) {
    Attach(AV_CODEC_ID_PCM_S16LE, 1);
    ASSERT_EQ(m_audio.packetQueue.Put(FlushPacket()), 0);
    double pts = 0.0;
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    EXPECT_EQ(m_audio.packetQueue.Count(), 0);
}

TEST_F(AudioDecodeTest, FrameLargerThanTheBufferIsHandedOutInPieces) {
    Attach(AV_CODEC_ID_PCM_S16LE, 1);
    constexpr int kSamples = 200000; // 400000 bytes
    std::vector<std::int16_t> samples(kSamples);
    for (int i = 0; i < kSamples; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i % 30011 - 15000);
    PutSamples(samples, 0);

    double pts = -1.0;
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), TAudioStreamInfo::kAudioBufferBytes);
    EXPECT_DOUBLE_EQ(pts, 0.0);
    EXPECT_EQ(Decoded(TAudioStreamInfo::kAudioBufferBytes),
              std::vector<std::int16_t>(samples.begin(), samples.begin() + 144000));

    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 400000 - TAudioStreamInfo::kAudioBufferBytes);
    EXPECT_DOUBLE_EQ(pts, 9.0);
    EXPECT_EQ(Decoded(112000), std::vector<std::int16_t>(samples.begin() + 144000, samples.end()));
    EXPECT_DOUBLE_EQ(m_audio.clock, 12.5);
    EXPECT_EQ(m_audio.audioBuffer.size(), static_cast<std::size_t>(TAudioStreamInfo::kAudioBufferBytes));
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
}

TEST_F(AudioDecodeTest, PiecesNeverSplitASampleFrame) {
    // Seven channels: 14 bytes a frame, which 288000 is not a multiple of.
    Attach(AV_CODEC_ID_PCM_S16LE, 7);
    std::vector<std::int16_t> samples(7 * 30000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(i % 7);
    PutSamples(samples, 0);
    double pts = 0.0;
    const int first = m_audio.audio_decode_frame(&pts);
    ASSERT_GT(first, 0);
    EXPECT_EQ(first % 14, 0);
    EXPECT_LE(first, TAudioStreamInfo::kAudioBufferBytes);
    const int second = m_audio.audio_decode_frame(&pts);
    EXPECT_EQ(first + second, static_cast<int>(samples.size() * 2));
    // The second piece starts on channel 0 again.
    EXPECT_EQ(Decoded(14), Ramp(7, 0));
}

TEST_F(AudioDecodeTest, PlanarSoundIsInterleavedNotCutToItsFirstPlane) {
    Attach(AV_CODEC_ID_PCM_S16LE_PLANAR, 2);
    // The planar PCM packet holds all of the left channel, then the right.
    std::vector<std::int16_t> planes = Ramp(100, 10, 10);
    const std::vector<std::int16_t> right = Ramp(100, -10, -10);
    planes.insert(planes.end(), right.begin(), right.end());
    PutSamples(planes, 0);

    double pts = 0.0;
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 400);
    const std::vector<std::int16_t> decoded = Decoded(400);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(decoded[static_cast<std::size_t>(2 * i)], 10 + 10 * i) << i;
        EXPECT_EQ(decoded[static_cast<std::size_t>(2 * i + 1)], -10 - 10 * i) << i;
    }
    EXPECT_DOUBLE_EQ(m_audio.clock, 100.0 / kRate);
}

TEST_F(AudioDecodeTest, FloatSoundIsConvertedToSigned16) {
    Attach(AV_CODEC_ID_PCM_F32LE, 1);
    const float values[] = {0.5f, -0.25f, 0.0f, 1.0f};
    PutBytes(values, sizeof values, 0);
    double pts = 0.0;
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 8);
    const std::vector<std::int16_t> decoded = Decoded(8);
    EXPECT_EQ(decoded[0], 16384);
    EXPECT_EQ(decoded[1], -8192);
    EXPECT_EQ(decoded[2], 0);
    EXPECT_EQ(decoded[3], 32767);
}

TEST_F(AudioDecodeTest, BrokenPacketIsDroppedAndTheNextOnePlays) {
    Attach(AV_CODEC_ID_PCM_S16LE, 2);
    const std::uint8_t broken[3] = {1, 2, 3}; // not a whole stereo frame
    PutBytes(broken, sizeof broken, 0);
    PutSamples(Ramp(40, 7), 100);
    double pts = 0.0;
    ASSERT_EQ(m_audio.audio_decode_frame(&pts), 80);
    EXPECT_EQ(Decoded(80), Ramp(40, 7));
    EXPECT_DOUBLE_EQ(pts, 100.0 / kRate);
}

TEST_F(AudioDecodeTest, WithoutADecoderNothingIsTaken) {
    ASSERT_TRUE(m_audio.Init(0));
    PutSamples(Ramp(10, 0), 0);
    double pts = 0.0;
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    EXPECT_EQ(m_audio.packetQueue.Count(), 1);
}
