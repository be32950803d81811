// The sound device through SDL's "disk" driver, on fixture recordings
// opened by the reader: what reaches the device at full volume and at 0,
// pausing, the close handshake, no device without sound, and a device that
// cannot open leaving nothing to wait for.

#include <chrono>
#include <cstring>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/packet_queue.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "tests/support/recording_fixture.h"
#include "tests/support/temp_folder.h"

using velor::fixtures::RecordingOptions;
using velor::fixtures::ToneSampleAt;

namespace {

// Generous bound for the device thread to get somewhere; a hang, not a
// slow machine, is what it catches.
constexpr auto kPatience = std::chrono::seconds(30);

template <typename Condition>
bool WaitFor(Condition condition) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<std::int16_t> ReadSamples(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::int64_t FileSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return file ? static_cast<std::int64_t>(file.tellg()) : -1;
}

class AudioDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the sound stream starts SDL's audio itself";
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
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "closing stops what opening started";
    }

    TAudioStreamInfo* Audio() { return m_player.Audio(); }

    // Reads the whole recording into the queues; the pictures are thrown
    // away as a decoder thread would take them.
    void ReadAll() {
        TPacketHandle out = MakePacket();
        while (m_player.ReadStep()) {
            for (int slot = kFrontSlot; slot <= kRearSlot; ++slot) {
                TBaseStreamInfo* video = m_player.slots[slot].info.get();
                while (video->packetQueue.Get(out.get(), 0) == 1)
                    av_packet_unref(out.get());
            }
            ASSERT_LT(Audio()->packetQueue.Count(), kAudioQueueLimit);
        }
    }

    // Opens, holds the sound back until the whole recording is queued, then
    // lets it play out to the disk file.
    void PlayWholeRecording(const RecordingOptions& options) {
        TFixtureRecording recording(options);
        m_player.path = recording.Path();
        // No decoder or render thread runs here, so no picture ever shows:
        // the channel stands for a hidden one, which the sound does not wait
        // for.
        m_player.Video(kFrontSlot)->hidden = true;
        ASSERT_TRUE(m_player.OpenInput());
        ASSERT_TRUE(Audio()->DeviceOpen());
        m_player.paused = true;
        ReadAll();
        ASSERT_GT(Audio()->packetQueue.Count(), 0);
        m_player.paused = false;
        const double end = static_cast<double>(options.seconds);
        ASSERT_TRUE(WaitFor([&] { return Audio()->packetQueue.Count() == 0 && Audio()->clock >= end - 1e-6; }));
        // All is decoded; a few more device buffers mix the last of it.
        const std::int64_t decodedBy = FileSize(m_output);
        ASSERT_TRUE(WaitFor([&] { return FileSize(m_output) > decodedBy + 4 * 2048; }));
        Audio()->Close();
    }

    TTempFolder m_folder;
    std::string m_output = m_folder.File("device.raw");
    TScopedEnv m_driver{"SDL_AUDIODRIVER", "disk"};
    TScopedEnv m_file{"SDL_DISKAUDIOFILE", m_output};
    TScopedEnv m_delay{"SDL_DISKAUDIODELAY", "1"};
    TMediaPlayer m_player;
};

RecordingOptions ShortRecording(int seconds = 2) {
    RecordingOptions options;
    options.channels = 1;
    options.seconds = seconds;
    options.telemetry = false;
    return options;
}

} // namespace

TEST_F(AudioDeviceTest, FullVolumeWritesTheWholeToneAfterThePause) {
    const RecordingOptions options = ShortRecording();
    m_player.volume = SDL_MIX_MAXVOLUME;
    PlayWholeRecording(options);

    const std::vector<std::int16_t> written = ReadSamples(m_output);
    // While paused the device played silence; the tone's first sample is 0.
    std::size_t firstSound = 0;
    while (firstSound < written.size() && written[firstSound] == 0)
        ++firstSound;
    ASSERT_GE(firstSound, 1u);
    const std::size_t start = firstSound - 1;
    const std::int64_t samples = static_cast<std::int64_t>(options.seconds) * options.sampleRate;
    ASSERT_GE(static_cast<std::int64_t>(written.size() - start), samples);
    // Every sample, in order, without a gap: nothing dropped by following a
    // master clock that shows no picture yet, nothing lost to the pause.
    for (std::int64_t i = 0; i < samples; ++i)
        ASSERT_EQ(written[start + static_cast<std::size_t>(i)], ToneSampleAt(options, i)) << i;
}

TEST_F(AudioDeviceTest, VolumeZeroWritesSilenceWhileTheSoundIsConsumed) {
    const RecordingOptions options = ShortRecording();
    m_player.volume = 0;
    PlayWholeRecording(options);
    const std::vector<std::int16_t> written = ReadSamples(m_output);
    ASSERT_FALSE(written.empty());
    for (std::size_t i = 0; i < written.size(); ++i)
        ASSERT_EQ(written[i], 0) << i;
}

TEST_F(AudioDeviceTest, CloseHandshakeIsAcknowledgedAndTheDeviceReopens) {
    TFixtureRecording recording(ShortRecording(1));
    m_player.path = recording.Path();
    ASSERT_TRUE(m_player.OpenInput());
    TAudioStreamInfo* audio = Audio();
    ASSERT_TRUE(audio->DeviceOpen());
    EXPECT_EQ(audio->Channels(), 1);
    EXPECT_EQ(audio->SampleRate(), 16000);

    // The controller's side of the handshake.
    audio->closing = true;
    audio->packetQueue.Flush();
    audio->packetQueue.Put(FlushPacket());
    ASSERT_TRUE(WaitFor([&] { return audio->decoderAck && audio->rendererAck; }));
    audio->Close();
    EXPECT_FALSE(audio->DeviceOpen());
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    EXPECT_FALSE(audio->decoderAck);
    EXPECT_TRUE(audio->notOpen);

    // The one device of the process is free again for the next recording.
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot)
        m_player.slots[slot].info->Close();
    m_player.CloseInput();
    ASSERT_TRUE(m_player.OpenInput());
    EXPECT_TRUE(audio->DeviceOpen());
    EXPECT_FALSE(audio->closing);
    EXPECT_FALSE(audio->decoderAck);
}

TEST_F(AudioDeviceTest, RecordingWithoutSoundOpensNoDevice) {
    RecordingOptions options = ShortRecording(1);
    options.sound = false;
    TFixtureRecording recording(options);
    m_player.path = recording.Path();
    ASSERT_TRUE(m_player.OpenInput());
    TAudioStreamInfo* audio = Audio();
    EXPECT_EQ(audio->streamIndex, -1);
    EXPECT_FALSE(audio->DeviceOpen());
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    EXPECT_EQ(FileSize(m_output), -1) << "the disk device was never opened";
    // Nothing will call back: a close has nothing to wait for.
    EXPECT_TRUE(audio->closing);
    EXPECT_TRUE(audio->decoderAck && audio->rendererAck);
    audio->Close();
    EXPECT_FALSE(audio->DeviceOpen());
}

TEST_F(AudioDeviceTest, DeviceThatCannotOpenLeavesNothingQueuedOrAwaited) {
    TScopedEnv noDriver("SDL_AUDIODRIVER", "no-such-driver");
    // Four seconds of sound chunks are more than the queue's limit: were
    // they queued for a stream nobody drains, the reader would wait for
    // ever.
    TFixtureRecording recording(ShortRecording(4));
    m_player.path = recording.Path();
    ASSERT_TRUE(m_player.OpenInput());
    TAudioStreamInfo* audio = Audio();
    EXPECT_GE(audio->streamIndex, 0);
    EXPECT_FALSE(audio->DeviceOpen());
    EXPECT_TRUE(audio->closing);
    EXPECT_TRUE(audio->decoderAck && audio->rendererAck);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    ReadAll();
    EXPECT_EQ(audio->packetQueue.Count(), 0);
    EXPECT_TRUE(m_player.endOfFile);
}
