#include "engine/audio_stream_info.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <SDL.h>

#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/video_stream_info.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr double kDiffAverageWeight = 0.0005;
constexpr int kDiffMeasurements = 20;
constexpr double kThresholdSamples = 2048.0;
// Beyond this distance from the master clock there is nothing to follow:
// a sound ahead by that much has jumped, and a reference that far ahead is
// not a playback position at all (the master clock falls back to the wall
// clock while no picture is on screen).
constexpr double kNoSyncSeconds = 10.0;
constexpr int kBytesPerSample = 2;
// A held sound waits this long at most for the first picture, in case the
// pictures never come; it then follows the master clock as it is.
constexpr std::int64_t kLongestHoldMicros = 1000000;

} // namespace

TAudioStreamInfo::TAudioStreamInfo(TMediaPlayer* owner_)
    : TBaseStreamInfo(owner_, AVMEDIA_TYPE_AUDIO, 0), audioBuffer(kAudioBufferBytes, 0) {}

TAudioStreamInfo::~TAudioStreamInfo() {
    CloseDevice();
}

bool TAudioStreamInfo::Init(std::intptr_t argument) {
    TBaseStreamInfo::Init(argument);
    if (!audioPacket)
        audioPacket = MakePacket();
    return audioPacket != nullptr;
}

void TAudioStreamInfo::Release() {
    CloseDevice();
    TBaseStreamInfo::Release();
    audioPacket.reset();
    FreeResampler();
}

bool TAudioStreamInfo::Open() {
    CloseDevice();
    decoderAck = false;
    rendererAck = false;
    if (!TBaseStreamInfo::Open())
        return FailOpen();
    if (!PrepareOutput())
        return FailOpen();
    if (!OpenDevice())
        return FailOpen();
    SDL_PauseAudio(0);
    return true;
}

bool TAudioStreamInfo::FailOpen() {
    closing = true;
    decoderAck = true;
    rendererAck = true;
    CloseDecoder();
    return false;
}

bool TAudioStreamInfo::PrepareOutput() {
    if (!codecContext)
        return false;
    m_channels = codecContext->ch_layout.nb_channels;
    m_sampleRate = codecContext->sample_rate;
    if (m_channels <= 0 || m_sampleRate <= 0)
        return false;
    bufferSize = 0;
    bufferIndex = 0;
    diffCumulative = 0.0;
    diffAverageCoefficient = std::exp(std::log(kDiffAverageWeight));
    diffAverageCount = 0;
    diffThreshold = kThresholdSamples / m_sampleRate;
    clock = 0.0;
    serial = owner ? owner->flushSerial() : 0u;
    m_soundHeld = true;
    m_heldSince = 0;
    PublishPosition(0.0, 0.0, 0);
    ResetDecoding();
    return true;
}

bool TAudioStreamInfo::OpenDevice() {
    std::lock_guard lock(m_deviceLock);
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
            std::fprintf(stderr, "velor: no sound: %s\n", SDL_GetError());
            return false;
        }
        m_startedAudioSubsystem = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = m_sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(std::min(m_channels, 255));
    wanted.silence = 0;
    wanted.samples = kDeviceSamples;
    wanted.callback = &TAudioStreamInfo::AudioCallback;
    wanted.userdata = this;
    // Without an `obtained` record SDL converts to whatever the hardware
    // takes, so the callback always delivers exactly the format asked for.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        std::fprintf(stderr, "velor: no sound device: %s\n", SDL_GetError());
        if (m_startedAudioSubsystem) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            m_startedAudioSubsystem = false;
        }
        return false;
    }
    m_deviceOpen = true;
    return true;
}

void TAudioStreamInfo::CloseDevice() {
    std::lock_guard lock(m_deviceLock);
    if (!m_deviceOpen)
        return;
    // Returns once SDL's audio thread has ended: no callback runs after it.
    SDL_CloseAudio();
    m_deviceOpen = false;
    if (m_startedAudioSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_startedAudioSubsystem = false;
    }
}

void TAudioStreamInfo::Close() {
    closing = true;
    // The device goes first: until it is closed the callback may still be
    // flushing the decoder that is freed below.
    CloseDevice();
    decoderAck = false;
    rendererAck = false;
    CloseDecoder();
    notOpen = true;
    ResetDecoding();
}

bool TAudioStreamInfo::Decode(AVPacket*, double*, bool) {
    return true;
}

double TAudioStreamInfo::ReferenceClock() const {
    return owner ? owner->MasterClock() : clock.load();
}

void TAudioStreamInfo::AudioCallback(void* userdata, std::uint8_t* buffer, int length) {
    static_cast<TAudioStreamInfo*>(userdata)->Callback(buffer, length);
}

void TAudioStreamInfo::Acknowledge() {
    decoderAck = true;
    rendererAck = true;
}

void TAudioStreamInfo::PublishPosition(double start, double end, std::int64_t filledAt) {
    m_positionSerial.fetch_add(1, std::memory_order_acq_rel);
    m_positionStart.store(start, std::memory_order_relaxed);
    m_positionEnd.store(end, std::memory_order_relaxed);
    m_positionTime.store(filledAt, std::memory_order_relaxed);
    m_positionSerial.fetch_add(1, std::memory_order_release);
}

double TAudioStreamInfo::PlayedClock() const {
    double start = 0.0;
    double end = 0.0;
    std::int64_t filledAt = 0;
    for (;;) {
        const std::uint32_t before = m_positionSerial.load(std::memory_order_acquire);
        // Acquire loads keep the second look at the serial after them (a
        // fence would do the same, but ThreadSanitizer cannot follow one).
        start = m_positionStart.load(std::memory_order_acquire);
        end = m_positionEnd.load(std::memory_order_acquire);
        filledAt = m_positionTime.load(std::memory_order_acquire);
        if (!(before & 1u) && m_positionSerial.load(std::memory_order_relaxed) == before)
            break;
    }
    if (filledAt == 0)
        return end;
    const double since = static_cast<double>(av_gettime() - filledAt) / 1000000.0;
    return std::min(start + std::max(since, 0.0), end);
}

void TAudioStreamInfo::Callback(std::uint8_t* buffer, int length) {
    // SDL 2 hands the buffer over as it was; whatever is not mixed into it
    // must be silence.
    if (length > 0)
        std::memset(buffer, 0, static_cast<std::size_t>(length));
    if (closing) {
        if (codecContext)
            avcodec_flush_buffers(codecContext.get());
        Acknowledge();
        return;
    }
    // At the end of the file the queued sound still plays out, as the
    // pictures do, while the controller waits for the clock to get there.
    if (owner && (owner->stopped() || owner->closed() || owner->paused() || owner->stepping()))
        return;
    if (length < 1)
        return;
    const std::int64_t filledAt = av_gettime();
    int silentBytes = 0;
    if (m_soundHeld && !StartWithPictures(length, &silentBytes))
        return;
    buffer += silentBytes;
    length -= silentBytes;
    const double bytesPerSecond = BytesPerSecond();
    const double firstSound = bytesPerSecond > 0.0 ? NextSoundClock() : 0.0;
    // The end of the sound handed out; a flush below leaves it where it was.
    double handedEnd = -1.0;
    while (length > 0) {
        if (bufferIndex >= bufferSize) {
            double pts = 0.0;
            const double endBefore = clock;
            const int decoded = audio_decode_frame(&pts);
            // A flush came with it: the sound after the jump waits for the
            // pictures after it, in the next call.
            if (m_soundHeld && decoded >= 0 && PicturesToWaitFor()) {
                bufferSize = decoded;
                bufferIndex = 0;
                m_bufferSilent = false;
                handedEnd = endBefore;
                break;
            }
            m_bufferSilent = decoded < 0;
            if (decoded < 0) {
                bufferSize = kSilenceBytes;
                std::memset(audioBuffer.data(), 0, kSilenceBytes);
                if (closing) {
                    Acknowledge();
                    return;
                }
            } else {
                bufferSize = SynchronizeAudio(decoded);
            }
            bufferIndex = 0;
        }
        const int chunk = std::min(length, bufferSize - bufferIndex);
        const int level = std::clamp(volume.load(), 0, SDL_MIX_MAXVOLUME);
        SDL_MixAudioFormat(buffer, audioBuffer.data() + bufferIndex, AUDIO_S16SYS,
                           static_cast<Uint32>(chunk), level);
        bufferIndex += chunk;
        buffer += chunk;
        length -= chunk;
    }
    // SDL plays this buffer from now on: its first byte is heard now, and the
    // sound in it from `firstSound` on after the silence put before it.
    if (bytesPerSecond <= 0.0)
        return;
    PublishPosition(firstSound - static_cast<double>(silentBytes) / bytesPerSecond,
                    handedEnd >= 0.0 ? handedEnd : NextSoundClock(), filledAt);
}

const TVideoStreamInfo* TAudioStreamInfo::PicturesToWaitFor() const {
    // A hidden channel may never queue a picture; its clock runs on from the
    // open, and the sound follows it from the start.
    const TVideoStreamInfo* video = owner ? owner->MasterVideo() : nullptr;
    return video && !video->hidden ? video : nullptr;
}

bool TAudioStreamInfo::StartWithPictures(int length, int* silentBytes) {
    *silentBytes = 0;
    const TVideoStreamInfo* video = PicturesToWaitFor();
    if (!video || BytesPerSecond() <= 0.0) {
        m_soundHeld = false;
        return true;
    }
    const std::int64_t now = av_gettime();
    if (m_heldSince == 0)
        m_heldSince = now;
    if (video->shownSerial != serial) {
        if (now - m_heldSince < kLongestHoldMicros)
            return false;
        m_soundHeld = false;
        return true;
    }
    if (!RefillForStart() || video->shownSerial != serial)
        return false;
    const double ahead = NextSoundClock() - owner->MasterClock();
    if (!(std::fabs(ahead) < kNoSyncSeconds)) {
        m_soundHeld = false;
        return true;
    }
    if (ahead > 0.0) {
        const int silence = WholeFrameBytes(ahead);
        if (silence >= length)
            return false;
        *silentBytes = silence;
        m_soundHeld = false;
        return true;
    }
    // The pictures are past the start of the sound: what they passed is not
    // played.
    for (int drop = WholeFrameBytes(-ahead); drop > 0;) {
        if (!RefillForStart())
            return false;
        const int step = std::min(drop, bufferSize - bufferIndex);
        bufferIndex += step;
        drop -= step;
    }
    m_soundHeld = false;
    return true;
}

bool TAudioStreamInfo::RefillForStart() {
    if (bufferIndex < bufferSize && !m_bufferSilent)
        return true;
    const int decoded = audio_decode_frame(nullptr);
    if (decoded < 0)
        return false;
    bufferSize = decoded;
    bufferIndex = 0;
    m_bufferSilent = false;
    return true;
}

double TAudioStreamInfo::NextSoundClock() const {
    const int waiting = m_bufferSilent ? 0 : std::max(bufferSize - bufferIndex, 0);
    return clock - static_cast<double>(waiting) / BytesPerSecond();
}

int TAudioStreamInfo::WholeFrameBytes(double seconds) const {
    // Callers keep seconds under kNoSyncSeconds, so this fits.
    return static_cast<int>(std::floor(seconds * m_sampleRate)) * kBytesPerSample * m_channels;
}

double TAudioStreamInfo::BytesPerSecond() const {
    return static_cast<double>(kBytesPerSample) * m_channels * m_sampleRate;
}

int TAudioStreamInfo::audio_decode_frame(double* pts) {
    if (!codecContext || !audioPacket || m_channels <= 0)
        return -1;
    for (;;) {
        if (const int handed = TakeConverted(pts); handed > 0)
            return handed;
        if (m_packetInDecoder) {
            const int received = avcodec_receive_frame(codecContext.get(), frame.get());
            if (received == 0) {
                m_packetYieldedFrame = true;
                const bool converted = ConvertFrame();
                av_frame_unref(frame.get());
                if (!converted || m_converted.empty())
                    m_noDataYet.Say();
                continue;
            }
            m_packetInDecoder = false;
            if (received != AVERROR(EAGAIN) && received != AVERROR_EOF)
                m_decodeFailed.Say();
            else if (!m_packetYieldedFrame)
                m_noDataYet.Say();
        }
        av_packet_unref(audioPacket.get());
        if (packetQueue.Get(audioPacket.get(), 0) != 1)
            return -1;
        if (IsFlushPacket(audioPacket.get())) {
            m_flushTaken.Say();
            serial = owner ? owner->flushSerial() : 0u;
            m_soundHeld = true;
            m_heldSince = 0;
            ResetDecoding();
            continue;
        }
        if (audioPacket->pts != AV_NOPTS_VALUE && stream)
            clock = av_q2d(stream->time_base) * static_cast<double>(audioPacket->pts);
        m_packetYieldedFrame = false;
        m_packetInDecoder = avcodec_send_packet(codecContext.get(), audioPacket.get()) >= 0;
        if (!m_packetInDecoder)
            m_decodeFailed.Say();
    }
}

int TAudioStreamInfo::TakeConverted(double* pts) {
    const int frameBytes = kBytesPerSample * m_channels;
    const std::size_t remaining = m_converted.size() - m_convertedOffset;
    if (remaining == 0 || frameBytes <= 0)
        return 0;
    // Whole sample frames only, so that a piece never splits a channel pair.
    const std::size_t room = static_cast<std::size_t>(kAudioBufferBytes / frameBytes * frameBytes);
    const std::size_t piece = std::min(remaining, room);
    std::memcpy(audioBuffer.data(), m_converted.data() + m_convertedOffset, piece);
    m_convertedOffset += piece;
    if (m_convertedOffset >= m_converted.size()) {
        m_converted.clear();
        m_convertedOffset = 0;
    }
    if (pts)
        *pts = clock;
    clock = clock + static_cast<double>(piece) / BytesPerSecond();
    return static_cast<int>(piece);
}

bool TAudioStreamInfo::ConvertFrame() {
    const int frameBytes = kBytesPerSample * m_channels;
    const int frameChannels = frame->ch_layout.nb_channels;
    const bool deviceFormat = frame->format == AV_SAMPLE_FMT_S16 && frameChannels == m_channels &&
                              (frame->sample_rate == m_sampleRate || frame->sample_rate == 0);
    if (deviceFormat) {
        const std::size_t bytes = static_cast<std::size_t>(frame->nb_samples) * frameBytes;
        const std::size_t start = m_converted.size();
        m_converted.resize(start + bytes);
        std::memcpy(m_converted.data() + start, frame->data[0], bytes);
        return true;
    }
    // Planar, float or otherwise different sound is converted whole, never
    // played as its first plane.
    if (!EnsureResampler())
        return false;
    const int most = swr_get_out_samples(m_resampler.get(), frame->nb_samples);
    if (most <= 0)
        return true;
    const std::size_t start = m_converted.size();
    m_converted.resize(start + static_cast<std::size_t>(most) * frameBytes);
    std::uint8_t* out = m_converted.data() + start;
    const int made =
        swr_convert(m_resampler.get(), &out, most,
                    const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    m_converted.resize(start + static_cast<std::size_t>(std::max(made, 0)) * frameBytes);
    return made >= 0;
}

bool TAudioStreamInfo::EnsureResampler() {
    const int inRate = frame->sample_rate > 0 ? frame->sample_rate : m_sampleRate;
    const int inChannels =
        frame->ch_layout.nb_channels > 0 ? frame->ch_layout.nb_channels : m_channels;
    if (m_resampler && m_resamplerFormat == frame->format && m_resamplerRate == inRate &&
        m_resamplerChannels == inChannels)
        return true;
    FreeResampler();
    AVChannelLayout in{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels <= 0)
        av_channel_layout_default(&in, inChannels);
    else
        av_channel_layout_copy(&in, &frame->ch_layout);
    AVChannelLayout out{};
    av_channel_layout_default(&out, m_channels);
    SwrContext* resampler = nullptr;
    const int made =
        swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_S16, m_sampleRate, &in,
                            static_cast<AVSampleFormat>(frame->format), inRate, 0, nullptr);
    m_resampler.reset(resampler);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (made < 0 || swr_init(m_resampler.get()) < 0) {
        m_cannotConvert.Say();
        FreeResampler();
        return false;
    }
    m_resamplerFormat = frame->format;
    m_resamplerRate = inRate;
    m_resamplerChannels = inChannels;
    return true;
}

void TAudioStreamInfo::FreeResampler() {
    m_resampler.reset();
    m_resamplerFormat = -1;
    m_resamplerRate = 0;
    m_resamplerChannels = 0;
}

void TAudioStreamInfo::ResetDecoding() {
    if (codecContext)
        avcodec_flush_buffers(codecContext.get());
    if (audioPacket)
        av_packet_unref(audioPacket.get());
    m_packetInDecoder = false;
    m_packetYieldedFrame = false;
    m_converted.clear();
    m_convertedOffset = 0;
    // A resampler that converts rates holds samples from before the jump.
    FreeResampler();
}

int TAudioStreamInfo::SynchronizeAudio(int size) {
    const int frameBytes = kBytesPerSample * m_channels;
    const double reference = ReferenceClock();
    double audioClock = clock;
    const double bytesPerSecond = BytesPerSecond();
    if (bytesPerSecond > 0.0)
        audioClock -= static_cast<double>(std::max(0, bufferSize - bufferIndex)) / bytesPerSecond;
    const double diff = audioClock - reference;
    if (!(std::fabs(diff) < kNoSyncSeconds)) {
        diffAverageCount = 0;
        diffCumulative = 0.0;
        return size;
    }
    diffCumulative = diff + diffAverageCoefficient * diffCumulative;
    if (diffAverageCount < kDiffMeasurements) {
        ++diffAverageCount;
        return size;
    }
    if (std::fabs(diffCumulative * (1.0 - diffAverageCoefficient)) < diffThreshold)
        return size;
    // Only a lag shortens the chunk (its tail is dropped); sound that runs
    // ahead plays unchanged.
    const double lagFrames = std::trunc(diff * m_sampleRate);
    const double wanted = static_cast<double>(size) + lagFrames * frameBytes;
    return static_cast<int>(std::clamp(wanted, 0.0, static_cast<double>(size)));
}
