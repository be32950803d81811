#include "engine/media_player.h"

#include <cmath>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/gl_view.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/main_thread.h"
#include "platform/windows.h"

TMediaPlayer::TMediaPlayer() {
    m_slots[kFrontSlot].info = std::make_unique<TVideoStreamInfo>(this, 0);
    m_slots[kRearSlot].info = std::make_unique<TVideoStreamInfo>(this, 1);
    m_slots[kAudioSlot].info = std::make_unique<TAudioStreamInfo>(this);
}

TMediaPlayer::~TMediaPlayer() {
    Shutdown();
    for (TStreamSlot& slot : m_slots) {
        if (slot.info)
            slot.info->Close();
    }
    CloseInput();
    for (TStreamSlot& slot : m_slots) {
        if (slot.info)
            slot.info->Release();
    }
}

TBaseStreamInfo* TMediaPlayer::Stream(int slot) const {
    if (slot < 0 || slot >= kSlotCount)
        return nullptr;
    return m_slots[slot].info.get();
}

TVideoStreamInfo* TMediaPlayer::Video(int slot) const {
    if (slot != kFrontSlot && slot != kRearSlot)
        return nullptr;
    return static_cast<TVideoStreamInfo*>(m_slots[slot].info.get());
}

TAudioStreamInfo* TMediaPlayer::Audio() const {
    return static_cast<TAudioStreamInfo*>(m_slots[kAudioSlot].info.get());
}

TGLView* TMediaPlayer::View(int slot) const {
    if (slot != kFrontSlot && slot != kRearSlot)
        return nullptr;
    return m_views[slot].get();
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
        return video->currentPts +
               static_cast<double>(av_gettime() - video->currentPtsTime) / 1000000.0;
    return static_cast<double>(av_gettime()) / 1000000.0;
}

std::int32_t TMediaPlayer::CurrentSecond() const {
    const TVideoStreamInfo* latest = nullptr;
    for (int slot = kFrontSlot; slot <= kRearSlot; ++slot) {
        const TVideoStreamInfo* video = Video(slot);
        if (!video || video->closing || !video->HasLastFrame() || video->shownDts < 0 ||
            !video->stream)
            continue;
        if (!latest || video->shownDts >= latest->shownDts)
            latest = video;
    }
    if (latest)
        return static_cast<std::int32_t>(
            std::ceil(static_cast<double>(latest->shownDts) * av_q2d(latest->stream->time_base)));
    return static_cast<std::int32_t>(MasterClock() + 0.5);
}

TFrameHandle TMediaPlayer::CopyLastFrame(int slot) const {
    TVideoStreamInfo* video = Video(slot);
    return video ? video->CopyLastFrame() : TFrameHandle();
}

void TMediaPlayer::SetVolume(int level) {
    m_volume = level;
    if (!m_muted)
        Audio()->volume = level;
}

void TMediaPlayer::SetMuted(bool mute) {
    m_muted = mute;
    Audio()->volume = mute ? 0 : m_volume.load();
}

void TMediaPlayer::SetPictureSettings(int slot, const TPictureSettings& settings) {
    TVideoStreamInfo* video = Video(slot);
    if (!video)
        return;
    m_orientation[slot] = settings.orientation;
    m_brightness[slot] = settings.brightness;
    m_contrast[slot] = settings.contrast;
    m_chroma[slot] = settings.chroma;
    video->orientation = settings.orientation;
    video->brightness = settings.brightness;
    video->contrast = settings.contrast;
    video->chroma = settings.chroma;
}

TPictureSettings TMediaPlayer::PictureSettings(int slot) const {
    if (slot != kFrontSlot && slot != kRearSlot)
        return {};
    return {m_orientation[slot], m_brightness[slot], m_contrast[slot], m_chroma[slot]};
}

std::unique_ptr<TTelemetry> TMediaPlayer::TakeTelemetry(LPARAM token) {
    std::lock_guard lock(m_telemetryLock);
    if (!m_telemetry || token == 0 || token != m_telemetryToken)
        return nullptr;
    return std::move(m_telemetry);
}

void TMediaPlayer::SignalStepReached() {
    if (m_stepEvent)
        m_stepEvent->Set();
}

void TMediaPlayer::SignalThreadStarted(int slot) {
    if (TEvent* started = m_slots[slot].startEvent.get())
        started->Set();
}

void TMediaPlayer::Notify(WPARAM code, LPARAM lParam) {
    if (m_notifySink) {
        m_notifySink->Notify(code, lParam);
        return;
    }
    if (m_notifyWindow)
        PostMessageA(m_notifyWindow, kPlayerNotifyMessage, code, lParam);
}

void TMediaPlayer::CloseProgressDialog() {
    if (m_notifySink) {
        m_notifySink->CloseProgressDialog();
        return;
    }
    // The window list is the main thread's; waiting for the call also keeps
    // the dialog's close ahead of the opened notification.
    CallOnMainThread([] {
        if (HWND dialog = FindWindowA(nullptr, kProgressDialogTitle))
            PostMessageA(dialog, kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog, 0);
    });
}
