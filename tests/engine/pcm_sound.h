#pragma once
// Sound streams fed by hand: a PCM decoder of the test's choosing instead of
// a recording's, packets of given samples, and the fixture tone to compare
// what comes out with.

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "tests/fixtures/recording_writer.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

inline constexpr int kPcmRate = 16000;

// Readies `audio` to decode `id` sound without a device.
inline ::testing::AssertionResult AttachPcm(TAudioStreamInfo& audio, AVCodecID id, int channels,
                                            int rate = kPcmRate) {
    audio.Init(0);
    audio.codec = avcodec_find_decoder(id);
    audio.codecContext.reset(avcodec_alloc_context3(audio.codec));
    if (!audio.codecContext)
        return ::testing::AssertionFailure() << "no decoder";
    audio.codecContext->sample_rate = rate;
    av_channel_layout_default(&audio.codecContext->ch_layout, channels);
    if (avcodec_open2(audio.codecContext.get(), audio.codec, nullptr) < 0)
        return ::testing::AssertionFailure() << "the decoder does not open";
    audio.closing = false;
    audio.notOpen = false;
    if (!audio.PrepareOutput())
        return ::testing::AssertionFailure() << "no conversion to the device's format";
    return ::testing::AssertionSuccess();
}

inline void PutPcm(TPacketQueue& queue, const void* bytes, int size, std::int64_t pts) {
    TPacketHandle packet = MakePacket();
    ASSERT_EQ(av_new_packet(packet.get(), size), 0);
    std::memcpy(packet->data, bytes, static_cast<std::size_t>(size));
    packet->pts = pts;
    ASSERT_EQ(queue.Put(packet.get()), 0);
}

// `samples` from `at` on are `count` samples of the tone from its sample `first`.
inline ::testing::AssertionResult IsTone(const std::vector<std::int16_t>& samples, std::size_t at,
                                         const velor::fixtures::RecordingOptions& tone,
                                         std::int64_t first, std::int64_t count) {
    if (samples.size() < at + static_cast<std::size_t>(count))
        return ::testing::AssertionFailure() << "only " << samples.size() << " samples";
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int16_t expected = velor::fixtures::ToneSampleAt(tone, first + i);
        if (samples[at + static_cast<std::size_t>(i)] != expected)
            return ::testing::AssertionFailure()
                   << "sample " << i << " is " << samples[at + static_cast<std::size_t>(i)]
                   << ", not " << expected;
    }
    return ::testing::AssertionSuccess();
}
