// Opening a recording, reading it into the stream queues, seeking, and the
// targeted reads of frame stepping: the player thread's side of the input.

#include <cstdio>

#include "engine/audio_stream_info.h"
#include <unordered_set>

#include "engine/ffmpeg_handles.h"
#include "engine/key_frames.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "platform/mm_timer.h"
#include "platform/thread_messages.h"

namespace {

constexpr DWORD kReadRetryDelayMs = 100;
constexpr DWORD kBackPressureSleepMs = 10;
// Consecutive failed reads after which the input counts as ended: a broken
// card must not keep the reader busy for ever.
constexpr int kReadRetryLimit = 20;
constexpr DWORD kStepWaitSliceMs = 10;
constexpr DWORD kStepWaitLimitMs = 1000;

bool IsVideo(const TBaseStreamInfo* info) {
    return info && info->mediaType == AVMEDIA_TYPE_VIDEO;
}

bool IsLive(const TBaseStreamInfo* info) { return info && info->streamIndex >= 0; }

double RateOf(const AVStream* stream) {
    if (!stream || stream->avg_frame_rate.den == 0)
        return 0.0;
    return av_q2d(stream->avg_frame_rate);
}

bool IoReportsError(const AVFormatContext* input) { return input->pb && input->pb->error != 0; }

} // namespace

bool TMediaPlayer::IsTelemetryStream(int streamIndex) const {
    return streamIndex >= 0 && streamIndex < 32 && (m_chunks.telemetryStreams >> streamIndex) & 1u;
}

void TMediaPlayer::AssignRoles() {
    int videoSeen = 0;
    int telemetrySeen = 0;
    for (unsigned i = 0; i < formatContext->nb_streams; ++i) {
        const int index = static_cast<int>(i);
        const AVMediaType type = formatContext->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_SUBTITLE || IsTelemetryStream(index)) {
            if (telemetrySeen == 0)
                gpsStreamIndex = index;
            else if (telemetrySeen == 1)
                gsensorStreamIndex = index;
            ++telemetrySeen;
        } else if (type == AVMEDIA_TYPE_VIDEO) {
            if (videoSeen == 0)
                frontStreamIndex = index;
            else if (videoSeen == 1)
                rearStreamIndex = index;
            ++videoSeen;
        } else if (type == AVMEDIA_TYPE_AUDIO) {
            audioStreamIndex = index;
        }
    }
}

void TMediaPlayer::OpenStreams() {
    ++flushSerial;
    double rates[2] = {0.0, 0.0};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        TBaseStreamInfo* info = slots[slot].info.get();
        if (!info)
            continue;
        if (TVideoStreamInfo* video = Video(slot)) {
            video->orientation = orientation[slot];
            video->brightness = brightness[slot];
            video->contrast = contrast[slot];
            video->chroma = chroma[slot];
            if (video->Open())
                rates[slot] = RateOf(video->stream);
            continue;
        }
        if (TAudioStreamInfo* audio = Audio(); audio == info) {
            audio->volume = muted ? 0 : volume.load();
            audio->Open();
        }
    }
    frameRate = rates[0] > rates[1] ? rates[0] : rates[1];
    duration = frameRate > 0.0 ? static_cast<double>(frameCount) / frameRate : 0.0;
}

bool TMediaPlayer::OpenInput() {
    Notify(PlayerNotify::Opening);
    frontStreamIndex = rearStreamIndex = audioStreamIndex = -1;
    gpsStreamIndex = gsensorStreamIndex = -1;
    m_videoPass = TVideoPass{};
    m_readFailures = 0;

    std::int64_t counted = 0;
    CountFrames(path, &counted, &m_chunks);

    if (avformat_open_input(&formatContext, path.c_str(), nullptr, nullptr) < 0) {
        formatContext = nullptr;
        FailOpen("failed to open input");
        return false;
    }
    if (avformat_find_stream_info(formatContext, nullptr) < 0) {
        FailOpen("failed to get stream info");
        return false;
    }
    readPacket = av_packet_alloc();
    InitFlushPacket();
    stopped = endOfFile = seekFailed = closed = false;
    paused = false;

    AssignRoles();
    TTelemetryRoles roles{frontStreamIndex, rearStreamIndex, gpsStreamIndex, gsensorStreamIndex};
    m_videoPass.isKeyFrame = [this](const AVPacket* packet) {
        AVCodecID codec = formatContext->streams[packet->stream_index]->codecpar->codec_id;
        return PacketStartsKeyFrame(codec, packet->data, packet->size, (packet->flags & AV_PKT_FLAG_KEY) != 0);
    };
    std::unique_ptr<TTelemetry> telemetry = ReadTelemetry(formatContext, readPacket, roles, &m_videoPass);
    RepairVideoIndex();

    frameCount = counted;
    if (frontStreamIndex >= 0)
        Video(kFrontSlot)->frameCount = counted;
    if (rearStreamIndex >= 0)
        Video(kRearSlot)->frameCount = counted;
    OpenStreams();

    // Commands posted before this open are about an earlier recording. A
    // stop among them is still answered: it closes this recording as soon as
    // it is open, so its caller does not wait for ever.
    MSG stale;
    m_stopDrained = false;
    m_stopDuringOpen = nullptr;
    while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) {
        if (stale.message == kPlayerCommandMessage && stale.wParam == kStopCommand) {
            m_stopDrained = true;
            m_stopDuringOpen = reinterpret_cast<TEvent*>(stale.lParam);
        }
    }
    CloseProgressDialog();
    Notify(PlayerNotify::Opened, reinterpret_cast<LPARAM>(telemetry.release()));
    return true;
}

void TMediaPlayer::FailOpen(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_OK);
    CloseInput();
    CloseProgressDialog();
    Notify(PlayerNotify::OpenFailed);
}

void TMediaPlayer::RepairVideoIndex() {
    const int streams[2] = {frontStreamIndex, rearStreamIndex};
    for (int channel = 0; channel < 2; ++channel) {
        if (streams[channel] < 0)
            continue;
        AVStream* stream = formatContext->streams[streams[channel]];
        std::unordered_set<std::int64_t> notKey;
        for (const TVideoPacketEntry& entry : m_videoPass.packets[channel]) {
            if (!entry.keyFrame)
                notKey.insert(entry.dts);
        }
        const int count = avformat_index_get_entries_count(stream);
        for (int i = 0; i < count; ++i) {
            const AVIndexEntry* found = avformat_index_get_entry(stream, i);
            if (!found || !(found->flags & AVINDEX_KEYFRAME) || !notKey.count(found->timestamp))
                continue;
            // Re-adding an entry at the same time stamp replaces its flags.
            AVIndexEntry entry = *found;
            av_add_index_entry(stream, entry.pos, entry.timestamp, entry.size, entry.min_distance, 0);
        }
    }
}

bool TMediaPlayer::MayRetryRead() {
    if (++m_readFailures > kReadRetryLimit) {
        std::fprintf(stderr, "velor: reading %s keeps failing; treating it as ended\n", path.c_str());
        return false;
    }
    return true;
}

bool TMediaPlayer::ReadStep() {
    if (seekRequest) {
        seekFailed = false;
        if (!SeekNow())
            seekFailed = true;
        seekRequest = 0;
    }
    for (int slot = kFrontSlot; slot <= kAudioSlot; ++slot) {
        TBaseStreamInfo* info = slots[slot].info.get();
        if (!IsLive(info) || info->closing)
            continue;
        const int limit = slot == kAudioSlot ? kAudioQueueLimit : kVideoQueueLimit;
        while (info->packetQueue.Count() >= limit) {
            if (stopped)
                return false;
            if (paused)
                return true;
            Sleep(kBackPressureSleepMs);
        }
    }

    int result = av_read_frame(formatContext, readPacket);
    if (result < 0) {
        if (result == AVERROR_EOF) {
            endOfFile = true;
            return false;
        }
        // A transient failure is tried again on the next call; one the I/O
        // layer reports, or one that never clears, ends the recording.
        if (!IoReportsError(formatContext) && MayRetryRead()) {
            Sleep(kReadRetryDelayMs);
            return true;
        }
        endOfFile = true;
        return false;
    }
    m_readFailures = 0;

    if (readPacket->stream_index == 0) {
        AVRational& base = formatContext->streams[0]->time_base;
        if (base.num == 1 && base.den == 25)
            base = AVRational{2, 49};
    }
    const int stream = readPacket->stream_index;
    if ((stream == frontStreamIndex || stream == rearStreamIndex) && readPacket->dts != AV_NOPTS_VALUE &&
        readPacket->dts > frameCount) {
        endOfFile = true;
        av_packet_unref(readPacket);
        return false;
    }
    if (stream < 0 || stream >= kSlotCount) {
        av_packet_unref(readPacket);
        return true;
    }
    for (int slot = kFrontSlot; slot <= kAudioSlot; ++slot) {
        TBaseStreamInfo* info = slots[slot].info.get();
        if (!info || info->streamIndex != stream)
            continue;
        if (!info->closing && info->packetQueue.Put(readPacket) == 0)
            return true;
        break;
    }
    av_packet_unref(readPacket);
    return true;
}

bool TMediaPlayer::SeekNow() {
    int seekStream = -1;
    for (int slot = kFrontSlot; slot <= kAudioSlot && seekStream < 0; ++slot) {
        if (slots[slot].info)
            seekStream = slots[slot].info->streamIndex;
    }
    std::int64_t target = seekTarget;
    if (seekRequest == 1 && seekStream >= 0)
        target = av_rescale_q(target, AVRational{1, 1000000}, formatContext->streams[seekStream]->time_base);
    if (av_seek_frame(formatContext, seekStream, target, seekFlags) < 0)
        return false;
    ++flushSerial;
    for (TStreamSlot& slot : slots) {
        if (!IsLive(slot.info.get()))
            continue;
        slot.info->packetQueue.Flush();
        slot.info->packetQueue.Put(FlushPacket());
    }
    return true;
}

bool TMediaPlayer::RouteSteppingPacket(AVPacket* packet) {
    const int stream = packet->stream_index;
    TBaseStreamInfo* info = slots[stream].info.get();
    if (IsVideo(info) && IsLive(info) && info->packetQueue.Put(packet) == 0)
        return true;
    av_packet_unref(packet);
    return false;
}

void TMediaPlayer::PrerollTo(int mode, std::int64_t target, bool readFirst) {
    bool waiting[2] = {false, false};
    int streams = 0;
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot) {
        TVideoStreamInfo* video = Video(slot);
        if (!IsLive(video) || target < 0 || target > video->frameCount)
            continue;
        video->stepReached = false;
        waiting[slot] = true;
        ++streams;
    }
    stepMode = mode;
    stepTarget = target;
    if (!stepEvent)
        stepEvent = std::make_unique<TEvent>(false, false);
    stepping = 1;

    if (readFirst) {
        bool received[2] = {!waiting[0], !waiting[1]};
        int failures = 0;
        while (!(received[0] && received[1])) {
            int result = av_read_frame(formatContext, readPacket);
            if (result < 0) {
                if (result == AVERROR_EOF) {
                    endOfFile = true;
                    break;
                }
                if (!IoReportsError(formatContext)) {
                    Sleep(kReadRetryDelayMs);
                    return;
                }
                if (++failures > kReadRetryLimit)
                    break;
                continue;
            }
            failures = 0;
            const int stream = readPacket->stream_index;
            if (stream < 0 || stream >= kSlotCount) {
                av_packet_unref(readPacket);
                return;
            }
            const std::int64_t dts = readPacket->dts;
            if (RouteSteppingPacket(readPacket) && stream <= kRearSlot && dts != AV_NOPTS_VALUE &&
                dts >= target)
                received[stream] = true;
        }
    }

    // The decoders' flags are counted rather than the event's signals: two
    // decoders that signal the auto-reset event before this thread wakes
    // leave one signal, and the wait would run out its limit.
    const DWORD start = timeGetTime();
    while (timeGetTime() - start < kStepWaitLimitMs) {
        int reached = 0;
        for (int slot = kFrontSlot; slot <= kRearSlot; ++slot)
            reached += waiting[slot] && Video(slot)->stepReached;
        if (reached >= streams)
            break;
        stepEvent->Wait(kStepWaitSliceMs);
    }
}

void TMediaPlayer::CloseInput() {
    // A failed open leaves a context behind although nothing was opened for
    // playback; it is freed all the same.
    if (closed && !formatContext && !readPacket)
        return;
    av_packet_free(&readPacket);
    if (formatContext)
        avformat_close_input(&formatContext);
    stepEvent.reset();
    formatContext = nullptr;
    seekRequest = 0;
    seekFlags = 0;
    seekTarget = 0;
    frameRate = 0.0;
    duration = 0.0;
    stepping = 0;
    stepTarget = -1;
    stepMode = 0;
    pendingOp = 0;
    endOfFile = false;
    seekFailed = false;
    closed = true;
    paused = false;
}
