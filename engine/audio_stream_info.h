#pragma once
// The sound stream of the recording. It has no thread of its own: SDL's
// audio thread calls AudioCallback, which decodes from the packet queue,
// trims the sound towards the master clock and mixes it at `volume`.
//
// The sound stream owns the process's one SDL 1.2-style audio device
// (SDL_OpenAudio / SDL_CloseAudio): nothing else may open or close it while
// a recording plays. Open starts SDL's audio subsystem when nobody has, and
// Close stops it again in that case.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/base_stream_info.h"
#include "engine/diagnostic.h"

class TVideoStreamInfo;

class TAudioStreamInfo : public TBaseStreamInfo {
public:
    // What one decode may hand to the device buffer at most; a larger
    // decoded frame is handed out in pieces of this size.
    static constexpr int kAudioBufferBytes = 288000;
    // Silence given per need when the queue is empty.
    static constexpr int kSilenceBytes = 1024;
    static constexpr int kConstructionVolume = 64;
    static constexpr int kDeviceSamples = 1024;

    explicit TAudioStreamInfo(TMediaPlayer* owner);
    ~TAudioStreamInfo() override;

    bool Init(std::intptr_t argument) override;
    void Release() override;
    // Opens the decoder and the device and starts the device. On failure
    // nothing will ever call back, so the stream stays `closing` with both
    // acknowledgements given: the reader queues nothing for it and a close
    // handshake has nothing to wait for.
    bool Open() override;
    void Close() override;
    // Sound is decoded by audio_decode_frame, on the device's own demand.
    bool Decode(AVPacket* packet, double* pts, bool skipDisplay) override;

    // SDL's callback; userdata is the stream.
    static void AudioCallback(void* userdata, std::uint8_t* buffer, int length);
    // Bytes of packed signed 16-bit sound decoded into audioBuffer, or -1
    // when the queue has nothing. *pts is the time of their start.
    int audio_decode_frame(double* pts);
    // The byte count to play of a freshly decoded `size`, shortened when
    // the sound lags the master clock.
    int SynchronizeAudio(int size);

    // Sets up the conversion to the device's format and the clock-following
    // state for the decoder in codecContext. Open calls it; tests that bring
    // their own decoder call it too.
    bool PrepareOutput();
    bool DeviceOpen() const { return m_deviceOpen; }
    // Closes the device only (the controller's shutdown, from any thread);
    // the callback has returned for good when this returns.
    void CloseDevice();

    // The recording time of the sound the device plays at this moment: the
    // start of the last device buffer filled plus the time since, never past
    // its end (a device that stops calling back stays at the end of what it
    // was given). For measuring how far the sound is from the master clock;
    // any thread may read it. 0 before the first sound.
    double PlayedClock() const;

    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }

    // Mixing volume 0..128 (0 when muted), given before every open.
    std::atomic<std::int32_t> volume{kConstructionVolume};

    // The audio thread's alone while the device runs.
    std::vector<std::uint8_t> audioBuffer;
    int bufferSize = 0;
    int bufferIndex = 0;
    TPacketHandle audioPacket; // from Init to Release
    double diffCumulative = 0.0;
    double diffAverageCoefficient = 0.0;
    double diffThreshold = 0.0;
    int diffAverageCount = 0;

protected:
    // The clock the sound follows; the controller's master clock.
    virtual double ReferenceClock() const;

private:
    void Callback(std::uint8_t* buffer, int length);
    // While the sound is held after an open or a jump: false while it must
    // stay silent, otherwise true with the silence to write before the sound
    // in *silentBytes (the sound is ahead of the pictures) or with the sound
    // the pictures already passed dropped.
    bool StartWithPictures(int length, int* silentBytes);
    // The master clock's channel when it will show pictures, else none.
    const TVideoStreamInfo* PicturesToWaitFor() const;
    // Decodes more into audioBuffer once it is used up; false when the queue
    // has nothing.
    bool RefillForStart();
    // The recording time of the next byte audioBuffer hands out.
    double NextSoundClock() const;
    int WholeFrameBytes(double seconds) const;
    void Acknowledge();
    int TakeConverted(double* pts);
    // Converts the decoded frame into m_converted; false when it cannot.
    bool ConvertFrame();
    bool EnsureResampler();
    void FreeResampler();
    void ResetDecoding();
    bool OpenDevice();
    bool FailOpen();
    double BytesPerSecond() const;

    // Opening and closing the device, which the main thread's shutdown may
    // do while the player thread closes the stream.
    std::mutex m_deviceLock;
    std::atomic<bool> m_deviceOpen{false};
    // Where the last filled device buffer lies in the recording and when it
    // was filled, written by the audio thread between two steps of
    // m_positionSerial (odd while writing) so that a reader sees one whole.
    void PublishPosition(double start, double end, std::int64_t filledAt);
    std::atomic<std::uint32_t> m_positionSerial{0};
    std::atomic<double> m_positionStart{0.0};
    std::atomic<double> m_positionEnd{0.0};
    std::atomic<std::int64_t> m_positionTime{0};
    bool m_startedAudioSubsystem = false;
    // A packet is in the decoder and may still yield frames.
    bool m_packetInDecoder = false;
    bool m_packetYieldedFrame = false;
    // audioBuffer holds the silence of an empty queue, not sound.
    bool m_bufferSilent = false;
    // After an open and after every flush the sound waits for the first
    // picture decoded after it and then starts where the pictures are; the
    // lag correction alone would start it wherever the device's cycle falls
    // (up to a device buffer late), or follow a master clock that still
    // shows the pictures from before a jump. Audio thread only.
    bool m_soundHeld = true;
    std::int64_t m_heldSince = 0;
    int m_channels = 0;
    int m_sampleRate = 0;
    // Decoded, converted sound not yet handed out (a frame can exceed
    // audioBuffer).
    std::vector<std::uint8_t> m_converted;
    std::size_t m_convertedOffset = 0;
    TResamplerHandle m_resampler;
    int m_resamplerFormat = -1;
    int m_resamplerRate = 0;
    int m_resamplerChannels = 0;
    // The decoder's complaints, from SDL's callback: a damaged sound stream
    // would flood stderr, and a full stderr pipe would stall the sound.
    TDiagnostic m_noDataYet{"audio_decode_frame, No data yet, get more frames"};
    TDiagnostic m_decodeFailed{"audio_decode_frame, decoding failed, the packet is dropped"};
    TDiagnostic m_flushTaken{"---> audio_decode_frame, pkt->data == flush_pkt.data"};
    TDiagnostic m_cannotConvert{"audio_decode_frame, cannot convert the sample format"};
};
