#include "engine/media_player.h"

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg_handles.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"

TMediaPlayer::TMediaPlayer() {
    slots[kFrontSlot].info = std::make_unique<TVideoStreamInfo>(this, 0);
    slots[kRearSlot].info = std::make_unique<TVideoStreamInfo>(this, 1);
    slots[kAudioSlot].info = std::make_unique<TAudioStreamInfo>(this);
}

TMediaPlayer::~TMediaPlayer() {
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

void TMediaPlayer::Notify(WPARAM code, LPARAM lParam) {
    if (notifySink) {
        notifySink->Notify(code, lParam);
        return;
    }
    // Nobody listens: the telemetry table that came with an open is freed.
    if (code == PlayerNotify::Opened)
        delete reinterpret_cast<TTelemetry*>(lParam);
}

void TMediaPlayer::CloseProgressDialog() {
    if (notifySink)
        notifySink->CloseProgressDialog();
}
