// The sound device through SDL's "disk" driver, on fixture recordings
// opened by the reader: what reaches the device at full volume and at 0,
// pausing, the close handshake, no device without sound, and a device that
// cannot open leaving nothing to wait for.

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/media_player.h"
#include "engine/player_reader.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "tests/engine/pcm_sound.h"
#include "tests/engine/reader_harness.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

// Generous bound for the device thread to get somewhere; a hang, not a
// slow machine, is what it catches.
constexpr auto kPatience = std::chrono::seconds(30);

template <typename Condition> bool WaitFor(Condition condition) {
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
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::int64_t FileSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return file ? static_cast<std::int64_t>(file.tellg()) : -1;
}

RecordingOptions Recording(int seconds) {
    RecordingOptions options;
    options.channels = 1;
    options.seconds = seconds;
    options.telemetry = false;
    return options;
}

class AudioDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the sound stream starts SDL's audio itself";
        StartRecordingMessageBoxes(IDOK);
    }
    void TearDown() override {
        StopRecordingMessageBoxes();
        m_reader.reset();
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "closing stops what opening started";
    }

    TAudioStreamInfo& Audio() { return *m_player.Audio(); }
    void Open(const RecordingOptions& options) {
        m_recording = std::make_unique<TFixtureRecording>(options);
        ASSERT_TRUE(m_reader->Open(m_recording->Path()));
    }

    // Opens, holds the sound back until the whole recording is queued, then
    // lets it play out to the disk file; what the device was given.
    std::vector<std::int16_t> PlayWholeRecording(const RecordingOptions& options) {
        // No decoder or render thread runs here, so no picture ever shows:
        // the channel stands for a hidden one, which the sound does not wait
        // for.
        m_player.Video(kFrontSlot)->hidden = true;
        Open(options);
        EXPECT_TRUE(Audio().DeviceOpen());
        m_reader->SetPaused(true);
        const TQueuePeaks peaks = ReadToTheEnd(*m_reader, m_player, false);
        EXPECT_LT(peaks.sound, kAudioQueueLimit);
        EXPECT_GT(Audio().packetQueue.Count(), 0);
        m_reader->SetPaused(false);
        const double end = static_cast<double>(options.seconds);
        EXPECT_TRUE(WaitFor(
            [&] { return Audio().packetQueue.Count() == 0 && Audio().clock >= end - 1e-6; }));
        // All is decoded; a few more device buffers mix the last of it.
        const std::int64_t decodedBy = FileSize(m_output);
        EXPECT_TRUE(WaitFor([&] { return FileSize(m_output) > decodedBy + 4 * 2048; }));
        Audio().Close();
        return ReadSamples(m_output);
    }

    TTempFolder m_folder;
    std::string m_output = m_folder.File("device.raw");
    TScopedEnv m_driver{"SDL_AUDIODRIVER", "disk"};
    TScopedEnv m_file{"SDL_DISKAUDIOFILE", m_output};
    TScopedEnv m_delay{"SDL_DISKAUDIODELAY", "1"};
    TMediaPlayer m_player;
    std::unique_ptr<TPlayerReader> m_reader = std::make_unique<TPlayerReader>(m_player);
    std::unique_ptr<TFixtureRecording> m_recording;
};

} // namespace

TEST_F(AudioDeviceTest, FullVolumeWritesTheWholeToneAfterThePause) {
    const RecordingOptions options = Recording(2);
    m_player.SetVolume(SDL_MIX_MAXVOLUME);
    const std::vector<std::int16_t> written = PlayWholeRecording(options);
    // While paused the device played silence; the tone's first sample is 0.
    std::size_t firstSound = 0;
    while (firstSound < written.size() && written[firstSound] == 0)
        ++firstSound;
    ASSERT_GE(firstSound, 1u);
    // Every sample, in order, without a gap: nothing dropped by following a
    // master clock that shows no picture yet, nothing lost to the pause.
    EXPECT_TRUE(IsTone(written, firstSound - 1, options, 0,
                       std::int64_t{options.seconds} * options.sampleRate));
}

TEST_F(AudioDeviceTest, CloseHandshakeIsAcknowledgedAndTheDeviceReopens) {
    Open(Recording(1));
    ASSERT_TRUE(Audio().DeviceOpen());
    EXPECT_EQ(Audio().Channels(), 1);
    EXPECT_EQ(Audio().SampleRate(), 16000);

    // The controller's side of the handshake.
    Audio().closing = true;
    Audio().packetQueue.FlushAndMark();
    ASSERT_TRUE(WaitFor([&] { return Audio().decoderAck && Audio().rendererAck; }));
    Audio().Close();
    EXPECT_FALSE(Audio().DeviceOpen());
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    EXPECT_FALSE(Audio().decoderAck);
    EXPECT_TRUE(Audio().notOpen);

    // The one device of the process is free again for the next recording.
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot)
        m_player.Stream(slot)->Close();
    m_reader->Close();
    ASSERT_TRUE(m_reader->Open(m_recording->Path()));
    EXPECT_TRUE(Audio().DeviceOpen());
    EXPECT_FALSE(Audio().closing);
    EXPECT_FALSE(Audio().decoderAck);
}

TEST_F(AudioDeviceTest, WithoutSoundOrWithADeviceThatCannotOpenNothingIsQueuedOrAwaited) {
    RecordingOptions silent = Recording(1);
    silent.sound = false;
    Open(silent);
    EXPECT_EQ(Audio().streamIndex, -1);
    EXPECT_FALSE(Audio().DeviceOpen());
    EXPECT_EQ(FileSize(m_output), -1) << "the disk device was never opened";
    // Nothing will call back: a close has nothing to wait for.
    EXPECT_TRUE(Audio().closing);
    EXPECT_TRUE(Audio().decoderAck && Audio().rendererAck);
    m_reader.reset();

    TScopedEnv noDriver("SDL_AUDIODRIVER", "no-such-driver");
    m_reader = std::make_unique<TPlayerReader>(m_player);
    // Four seconds of sound chunks are more than the queue's limit: were
    // they queued for a stream nobody drains, the reader would wait for
    // ever.
    Open(Recording(4));
    EXPECT_GE(Audio().streamIndex, 0);
    EXPECT_FALSE(Audio().DeviceOpen());
    EXPECT_TRUE(Audio().closing);
    EXPECT_TRUE(Audio().decoderAck && Audio().rendererAck);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    ReadToTheEnd(*m_reader, m_player, false);
    EXPECT_EQ(Audio().packetQueue.Count(), 0);
    EXPECT_TRUE(m_player.endOfFile());
}
