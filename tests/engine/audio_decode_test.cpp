// Decoding from the sound queue into the device buffer: packed copies,
// pieces of frames larger than the buffer, planar and float sound converted
// to packed signed 16-bit, the flush packet, broken packets.

#include <gtest/gtest.h>

#include "tests/engine/pcm_sound.h"

namespace {

// A sound stream with a decoder of the test's choosing and no device.
class AudioDecodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitFlushPacket();
        m_stream->time_base = AVRational{1, kPcmRate};
    }
    void TearDown() override {
        m_audio.Close();
        m_audio.Release();
    }

    void Attach(AVCodecID id, int channels) {
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

    TInputHandle m_container{avformat_alloc_context()};
    AVStream* m_stream = avformat_new_stream(m_container.get(), nullptr);
    TAudioStreamInfo m_audio{nullptr};
};

std::vector<std::int16_t> Ramp(int count, int start, int step = 1) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(start + i * step);
    return samples;
}

} // namespace

TEST_F(AudioDecodeTest, PackedSoundIsCopiedAndPacketsWithoutTimeContinueFromItsEnd) {
    Attach(AV_CODEC_ID_PCM_S16LE, 1);
    PutSamples(Ramp(1600, -800), kPcmRate);  // 0.1 s from 1.0 s
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

TEST_F(AudioDecodeTest, FlushPacketIsNotSoundAndTheNextPacketSetsTheClock) {
    Attach(AV_CODEC_ID_PCM_S16LE, 1);
    PutSamples(Ramp(1000, 1), 0);
    ASSERT_EQ(m_audio.packetQueue.Put(FlushPacket()), 0);
    PutSamples(Ramp(500, -3000, 3), 2 * kPcmRate);
    double pts = 0.0;
    EXPECT_EQ(DecodeNext(), Ramp(1000, 1));
    // The flush packet is passed over within the same need.
    EXPECT_EQ(DecodeNext(&pts), Ramp(500, -3000, 3));
    EXPECT_DOUBLE_EQ(pts, 2.0);
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    // A flush alone gives nothing to play, and is taken.
    ASSERT_EQ(m_audio.packetQueue.Put(FlushPacket()), 0);
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    EXPECT_EQ(m_audio.packetQueue.Count(), 0);
}

TEST_F(AudioDecodeTest, FrameLargerThanTheBufferIsHandedOutInPieces) {
    Attach(AV_CODEC_ID_PCM_S16LE, 1);
    constexpr int kSamples = 200000;  // 400000 bytes
    std::vector<std::int16_t> samples(kSamples);
    for (int i = 0; i < kSamples; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i % 30011 - 15000);
    PutSamples(samples, 0);
    constexpr int kPiece = TAudioStreamInfo::kAudioBufferBytes / 2;
    double pts = -1.0;
    EXPECT_EQ(DecodeNext(&pts), std::vector<std::int16_t>(samples.begin(), samples.begin() + kPiece));
    EXPECT_DOUBLE_EQ(pts, 0.0);
    EXPECT_EQ(DecodeNext(&pts), std::vector<std::int16_t>(samples.begin() + kPiece, samples.end()));
    EXPECT_DOUBLE_EQ(pts, 9.0);
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
    const std::size_t first = DecodeNext().size();
    ASSERT_GT(first, 0u);
    EXPECT_EQ(first % 7, 0u);
    const std::vector<std::int16_t> second = DecodeNext();
    EXPECT_EQ(first + second.size(), samples.size());
    // The second piece starts on channel 0 again.
    EXPECT_EQ(std::vector<std::int16_t>(second.begin(), second.begin() + 7), Ramp(7, 0));
}

TEST_F(AudioDecodeTest, PlanarAndFloatSoundIsConvertedToPackedSigned16) {
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
        {"planar, not cut to its first plane", AV_CODEC_ID_PCM_S16LE_PLANAR, 2, planes.data(), 400, interleaved},
        {"float", AV_CODEC_ID_PCM_F32LE, 1, values, sizeof values, {16384, -8192, 0, 32767}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.codec, c.channels);
        PutPcm(m_audio.packetQueue, c.bytes, c.size, 0);
        EXPECT_EQ(DecodeNext(), c.expected);
        EXPECT_DOUBLE_EQ(m_audio.clock, static_cast<double>(c.expected.size() / c.channels) / kPcmRate);
        m_audio.Close();
    }
}

TEST_F(AudioDecodeTest, BrokenPacketIsDroppedAndTheNextOnePlays) {
    Attach(AV_CODEC_ID_PCM_S16LE, 2);
    const std::uint8_t broken[3] = {1, 2, 3};  // not a whole stereo frame
    PutPcm(m_audio.packetQueue, broken, sizeof broken, 0);
    PutSamples(Ramp(40, 7), 100);
    double pts = 0.0;
    EXPECT_EQ(DecodeNext(&pts), Ramp(40, 7));
    EXPECT_DOUBLE_EQ(pts, 100.0 / kPcmRate);
}

TEST_F(AudioDecodeTest, WithoutADecoderNothingIsTaken) {
    ASSERT_TRUE(m_audio.Init(0));
    PutSamples(Ramp(10, 0), 0);
    double pts = 0.0;
    EXPECT_EQ(m_audio.audio_decode_frame(&pts), -1);
    EXPECT_EQ(m_audio.packetQueue.Count(), 1);
}
