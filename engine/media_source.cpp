// Opening a recording, reading it into the stream queues, seeking, and the
// targeted reads of frame stepping: the player thread's side of the input.

#include <cstdio>

#include <unordered_set>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/key_frames.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/stream_roles.h"
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

double RateOf(const AVStream* stream) {
    if (!stream || stream->avg_frame_rate.den == 0)
        return 0.0;
    return av_q2d(stream->avg_frame_rate);
}

} // namespace

bool TMediaPlayer::IsTelemetryStream(int streamIndex) const {
    return streamIndex >= 0 && streamIndex < 32 && (m_chunks.telemetryStreams >> streamIndex) & 1u;
}

void TMediaPlayer::AssignRoles() {
    const TStreamRoles roles = AssignStreamRoles(m_formatContext.get(), m_chunks.telemetryStreams);
    m_frontStreamIndex = roles.front;
    m_rearStreamIndex = roles.rear;
    m_gpsStreamIndex = roles.gps;
    m_gsensorStreamIndex = roles.gsensor;
    m_audioStreamIndex = roles.audio;
}

void TMediaPlayer::OpenStreams() {
    ++m_flushSerial;
    double rates[2] = {0.0, 0.0};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        TBaseStreamInfo* info = m_slots[slot].info.get();
        if (!info)
            continue;
        if (TVideoStreamInfo* video = Video(slot)) {
            video->orientation = m_orientation[slot].load();
            video->brightness = m_brightness[slot].load();
            video->contrast = m_contrast[slot].load();
            video->chroma = m_chroma[slot].load();
            if (video->Open())
                rates[slot] = RateOf(video->stream);
            continue;
        }
        if (TAudioStreamInfo* audio = Audio(); audio == info) {
            audio->volume = m_muted ? 0 : m_volume.load();
            audio->Open();
        }
    }
    m_frameRate = rates[0] > rates[1] ? rates[0] : rates[1];
    m_duration = m_frameRate > 0.0 ? static_cast<double>(m_frameCount) / m_frameRate : 0.0;
}

std::string TMediaPlayer::RequestedPath() {
    std::lock_guard lock(m_requestLock);
    return m_requestedPath;
}

bool TMediaPlayer::OpenInput() {
    m_opening = true;
    Notify(PlayerNotify::Opening);
    m_path = RequestedPath();
    m_frontStreamIndex = m_rearStreamIndex = m_audioStreamIndex = -1;
    m_gpsStreamIndex = m_gsensorStreamIndex = -1;
    m_videoPass = TVideoPass{};
    m_readFailures = 0;

    std::int64_t counted = 0;
    CountFrames(m_path, &counted, &m_chunks);

    // avformat_open_input frees the context itself when it fails.
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, m_path.c_str(), nullptr, nullptr) < 0) {
        FailOpen("failed to open input");
        return false;
    }
    m_formatContext.reset(input);
    if (avformat_find_stream_info(input, nullptr) < 0) {
        FailOpen("failed to get stream info");
        return false;
    }
    m_readPacket = MakePacket();
    InitFlushPacket();
    m_stopped = m_endOfFile = m_seekFailed = m_closed = false;
    m_paused = false;

    AssignRoles();
    TTelemetryRoles roles{m_frontStreamIndex, m_rearStreamIndex, m_gpsStreamIndex,
                          m_gsensorStreamIndex};
    m_videoPass.isKeyFrame = [input](const AVPacket* packet) {
        AVCodecID codec = input->streams[packet->stream_index]->codecpar->codec_id;
        return PacketStartsKeyFrame(codec, packet->data, packet->size,
                                    (packet->flags & AV_PKT_FLAG_KEY) != 0);
    };
    std::unique_ptr<TTelemetry> telemetry =
        ReadTelemetry(input, m_readPacket.get(), roles, &m_videoPass);
    RepairVideoIndex();

    // Outside the camera's layout the walk counts nothing, or stops at the
    // first padded chunk, and playback would end after the first picture.
    if (!m_chunks.InCameraLayout())
        counted = DemuxedFrameCount(input, m_frontStreamIndex, m_rearStreamIndex);
    m_frameCount = counted;
    if (m_frontStreamIndex >= 0)
        Video(kFrontSlot)->frameCount = counted;
    if (m_rearStreamIndex >= 0)
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
    m_opening = false;
    CloseProgressDialog();
    // The table stays ours until the main window takes it with the token the
    // notification carries; one it never took goes with the next open.
    LPARAM token = 0;
    {
        std::lock_guard lock(m_telemetryLock);
        m_telemetry = std::move(telemetry);
        token = ++m_telemetryToken;
    }
    Notify(PlayerNotify::Opened, token);
    return true;
}

void TMediaPlayer::FailOpen(const char* text) {
    // The progress dialog goes first: left up, it covered the box that
    // says why, and waited for it.
    m_opening = false;
    CloseProgressDialog();
    MessageBoxA(nullptr, text, "Error", MB_OK);
    CloseInput();
    Notify(PlayerNotify::OpenFailed);
}

void TMediaPlayer::RepairVideoIndex() {
    const int streams[2] = {m_frontStreamIndex, m_rearStreamIndex};
    for (int channel = 0; channel < 2; ++channel) {
        if (streams[channel] < 0)
            continue;
        AVStream* stream = m_formatContext->streams[streams[channel]];
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
            av_add_index_entry(stream, entry.pos, entry.timestamp, entry.size, entry.min_distance,
                               0);
        }
    }
}

TMediaPlayer::TReadResult TMediaPlayer::ReadPacket() {
    AVFormatContext* input = m_formatContext.get();
    const int result = av_read_frame(input, m_readPacket.get());
    if (result >= 0) {
        m_readFailures = 0;
        return TReadResult::Packet;
    }
    // A transient failure is tried again; one the I/O layer reports, or one
    // that never clears, ends the recording: a broken card must not keep
    // the reader busy for ever.
    const bool ioError = input->pb && input->pb->error != 0;
    if (result != AVERROR_EOF && !ioError && ++m_readFailures <= kReadRetryLimit) {
        Sleep(kReadRetryDelayMs);
        return TReadResult::Retry;
    }
    if (result != AVERROR_EOF)
        std::fprintf(stderr, "velor: reading %s keeps failing; treating it as ended\n",
                     m_path.c_str());
    m_endOfFile = true;
    return TReadResult::End;
}

bool TMediaPlayer::ReadStep() {
    if (m_seekRequest) {
        m_seekFailed = !SeekNow();
        m_seekRequest = 0;
    }
    for (int slot = kFrontSlot; slot <= kAudioSlot; ++slot) {
        TBaseStreamInfo* info = m_slots[slot].info.get();
        if (!info || !info->IsLive() || info->closing)
            continue;
        const int limit = slot == kAudioSlot ? kAudioQueueLimit : kVideoQueueLimit;
        while (info->packetQueue.Count() >= limit) {
            if (m_stopped)
                return false;
            if (m_paused)
                return true;
            Sleep(kBackPressureSleepMs);
        }
    }

    switch (ReadPacket()) {
    case TReadResult::Packet:
        break;
    case TReadResult::Retry:
        return true;
    case TReadResult::End:
        return false;
    }
    AVPacket* packet = m_readPacket.get();
    if (packet->stream_index == 0) {
        // The camera's 25 frames a second are really 24.5: timed at 1/25 its
        // pictures would run ahead of their sound.
        AVRational& base = m_formatContext->streams[0]->time_base;
        if (base.num == 1 && base.den == 25)
            base = AVRational{2, 49};
    }
    const int stream = packet->stream_index;
    if ((stream == m_frontStreamIndex || stream == m_rearStreamIndex) &&
        packet->dts != AV_NOPTS_VALUE && packet->dts > m_frameCount) {
        m_endOfFile = true;
        av_packet_unref(packet);
        return false;
    }
    for (int slot = kFrontSlot; slot <= kAudioSlot; ++slot) {
        TBaseStreamInfo* info = m_slots[slot].info.get();
        if (!info || info->streamIndex != stream)
            continue;
        if (!info->closing && info->packetQueue.Put(packet) == 0)
            return true;
        break;
    }
    av_packet_unref(packet);
    return true;
}

int TMediaPlayer::SeekStream() const {
    for (int slot = kFrontSlot; slot <= kAudioSlot; ++slot) {
        if (m_slots[slot].info)
            return m_slots[slot].info->streamIndex;
    }
    return -1;
}

bool TMediaPlayer::SeekToMicroseconds(std::int64_t microseconds, int flags,
                                      std::int64_t* streamTarget) {
    const int stream = SeekStream();
    std::int64_t target = microseconds;
    if (stream >= 0)
        target = av_rescale_q(target, AVRational{1, 1000000},
                              m_formatContext->streams[stream]->time_base);
    if (streamTarget)
        *streamTarget = target;
    return SeekInput(stream, target, flags);
}

bool TMediaPlayer::SeekInput(int stream, std::int64_t target, int flags) {
    if (!m_formatContext)
        return false;
    return av_seek_frame(m_formatContext.get(), stream, target, flags) >= 0;
}

void TMediaPlayer::FlushLiveQueues() {
    for (TStreamSlot& slot : m_slots) {
        if (slot.info && slot.info->IsLive())
            slot.info->packetQueue.FlushAndMark();
    }
}

bool TMediaPlayer::SeekNow() {
    if (!SeekToMicroseconds(m_seekTarget, m_seekFlags, nullptr))
        return false;
    ++m_flushSerial;
    FlushLiveQueues();
    return true;
}

bool TMediaPlayer::RouteSteppingPacket(AVPacket* packet) {
    // Stream indexes stand for slot indexes here: the front and rear
    // pictures are streams 0 and 1 of every recording, and only they are
    // routed while stepping.
    TBaseStreamInfo* info = Stream(packet->stream_index);
    if (info && info->mediaType == AVMEDIA_TYPE_VIDEO && info->IsLive() &&
        info->packetQueue.Put(packet) == 0)
        return true;
    av_packet_unref(packet);
    return false;
}

void TMediaPlayer::PrerollTo(int mode, std::int64_t target, bool readFirst) {
    bool waiting[2] = {false, false};
    int streams = 0;
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot) {
        TVideoStreamInfo* video = Video(slot);
        if (!video->IsLive() || target < 0 || target > video->frameCount)
            continue;
        video->stepReached = false;
        waiting[slot] = true;
        ++streams;
    }
    m_stepMode = mode;
    m_stepTarget = target;
    if (!m_stepEvent)
        m_stepEvent = std::make_unique<TEvent>(false, false);
    m_stepping = 1;

    bool received[2] = {!waiting[0], !waiting[1]};
    while (readFirst && !(received[0] && received[1])) {
        const TReadResult read = ReadPacket();
        if (read == TReadResult::End)
            break;
        if (read == TReadResult::Retry)
            continue;
        AVPacket* packet = m_readPacket.get();
        const int stream = packet->stream_index;
        const std::int64_t dts = packet->dts;
        if (RouteSteppingPacket(packet) && stream <= kRearSlot && dts != AV_NOPTS_VALUE &&
            dts >= target)
            received[stream] = true;
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
        m_stepEvent->Wait(kStepWaitSliceMs);
    }
}

void TMediaPlayer::CloseInput() {
    // A failed open leaves a context behind although nothing was opened for
    // playback; it is freed all the same.
    if (m_closed && !m_formatContext && !m_readPacket)
        return;
    m_readPacket.reset();
    m_formatContext.reset();
    m_stepEvent.reset();
    m_seekRequest = 0;
    m_seekFlags = 0;
    m_seekTarget = 0;
    m_frameRate = 0.0;
    m_duration = 0.0;
    m_stepping = 0;
    m_stepTarget = -1;
    m_stepMode = 0;
    m_pendingOp = kResumeOp;
    m_endOfFile = false;
    m_seekFailed = false;
    m_closed = true;
    m_paused = false;
}
