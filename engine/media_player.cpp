#include "engine/media_player.h"

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg_handles.h"
#include "engine/notify_sink.h"
#include "engine/gl_view.h"
#include "engine/video_stream_info.h"
#include "platform/windows.h"

#include <cmath>

extern "C" {
#include <libavutil/time.h>
}

TMediaPlayer::TMediaPlayer() {
    slots[kFrontSlot].info = std::make_unique<TVideoStreamInfo>(this, 0);
    slots[kRearSlot].info = std::make_unique<TVideoStreamInfo>(this, 1);
    slots[kAudioSlot].info = std::make_unique<TAudioStreamInfo>(this);
}

TMediaPlayer::~TMediaPlayer() {
    Shutdown();
    for (TStreamSlot& slot : slots) {
        if (slot.info)
            slot.info->Close();
    }
    CloseInput();
    for (TStreamSlot& slot : slots) {
        if (slot.info)
            slot.info->Release();
    }
}

TVideoStreamInfo* TMediaPlayer::Video(int slot) const {
    if (slot != kFrontSlot && slot != kRearSlot)
        return nullptr;
    return static_cast<TVideoStreamInfo*>(slots[slot].info.get());
}

TAudioStreamInfo* TMediaPlayer::Audio() const {
    return static_cast<TAudioStreamInfo*>(slots[kAudioSlot].info.get());
}

const TVideoStreamInfo* TMediaPlayer::MasterVideo() const {
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot) {
        const TVideoStreamInfo* video = Video(slot);
        if (video && !video->notOpen)
            return video;
    }
    return nullptr;
}

double TMediaPlayer::MasterClock() const {
    if (const TVideoStreamInfo* video = MasterVideo())
        return video->currentPts + static_cast<double>(av_gettime() - video->currentPtsTime) / 1000000.0;
    return static_cast<double>(av_gettime()) / 1000000.0;
}

std::int32_t TMediaPlayer::CurrentSecond() const {
    const TVideoStreamInfo* latest = nullptr;
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot) {
        const TVideoStreamInfo* video = Video(slot);
        if (!video || video->closing || !video->lastFrame || video->shownDts < 0 || !video->stream)
            continue;
        if (!latest || video->shownDts >= latest->shownDts)
            latest = video;
    }
    if (latest)
        return static_cast<std::int32_t>(std::ceil(static_cast<double>(latest->shownDts) * av_q2d(latest->stream->time_base)));
    return static_cast<std::int32_t>(MasterClock() + 0.5);
}

void TMediaPlayer::Notify(WPARAM code, LPARAM lParam) {
    if (notifySink) {
        notifySink->Notify(code, lParam);
        return;
    }
    if (notifyWindow && PostMessageA(notifyWindow, kPlayerNotifyMessage, code, lParam))
        return;
    // Nobody listens: the telemetry table that came with an open is freed.
    if (code == PlayerNotify::Opened)
        delete reinterpret_cast<TTelemetry*>(lParam);
}

void TMediaPlayer::CloseProgressDialog() {
    if (notifySink) {
        notifySink->CloseProgressDialog();
        return;
    }
    if (HWND dialog = FindWindowA(nullptr, kProgressDialogTitle))
        PostMessageA(dialog, kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog, 0);
}
