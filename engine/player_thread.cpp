// The controller's commands and its player thread: opening, the reading
// loop, pause, frame steps, seeks while paused, and the close handshake.

#include <cmath>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg_handles.h"
#include "engine/gl_view.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/mm_timer.h"
#include "platform/thread_messages.h"
#include "platform/windows.h"

namespace {

constexpr int kStepForward = 1;
constexpr int kStepBackward = -1;
// Per video slot, as top and perf show them.
constexpr const char* kRenderThreadNames[] = {"render-front", "render-rear"};
constexpr const char* kDecoderThreadNames[] = {"decode-front", "decode-rear"};
constexpr int kPendingSeek = 2;
constexpr DWORD kEndingPauseMs = 100;
// How often the idle player thread looks for a stop nobody else will read.
constexpr DWORD kIdleCommandCheckMs = 50;
// Seek flags of a frame step (av_seek_frame's AVSEEK_FLAG_* bits).
constexpr int kSeekToStart = AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY;
constexpr int kStepSeekForward = AVSEEK_FLAG_FRAME | AVSEEK_FLAG_ANY;
constexpr int kStepSeekBackward = AVSEEK_FLAG_FRAME | AVSEEK_FLAG_BACKWARD;

bool IsLive(const TBaseStreamInfo* info) { return info && info->streamIndex >= 0; }

void FlushWithMarker(TBaseStreamInfo* info) {
    info->packetQueue.Flush();
    info->packetQueue.Put(FlushPacket());
}

} // namespace

void TMediaPlayer::Start(HWND notify, HWND front, HWND rear) {
    notifyWindow = notify;
    frontWindow = front;
    rearWindow = rear;
    stopped = false;
    HWND windows[2] = {front, rear};
    for (int slot = 0; slot < 2; ++slot) {
        views[slot] = std::make_unique<TGLView>();
        RECT client{};
        if (windows[slot] && GetClientRect(windows[slot], &client))
            views[slot]->CreateView(windows[slot], client.right - client.left, client.bottom - client.top);
    }
    startEvent = std::make_unique<TEvent>(false, false);
    thread.Start([this] { PlayerThread(); }, "player");
    startEvent->Wait(INFINITE);
    startEvent.reset();
}

void TMediaPlayer::OpenRecording(const std::string& recording, int newVolume) {
    path = recording;
    if (newVolume >= 0)
        volume = newVolume;
    if (wakeEvent)
        wakeEvent->Set();
}

void TMediaPlayer::Stop() {
    if (!IsActive())
        return;
    if (paused) {
        PostThreadMessageA(thread.Id(), kPlayerCommandMessage, kStopCommand, 0);
        stopWhilePaused = true;
        wakeEvent->Set();
        return;
    }
    TEvent done(false, false);
    if (!PostThreadMessageA(thread.Id(), kPlayerCommandMessage, kStopCommand, reinterpret_cast<LPARAM>(&done)))
        return;
    done.Wait(INFINITE);
}

void TMediaPlayer::Pause() {
    if (IsActive() && !paused)
        PostThreadMessageA(thread.Id(), kPlayerCommandMessage, kPauseCommand, 0);
}

void TMediaPlayer::Resume() {
    if (IsActive() && paused)
        wakeEvent->Set();
}

void TMediaPlayer::StepFrame(int direction) {
    if (!IsActive() || !paused)
        return;
    pendingOp = direction;
    wakeEvent->Set();
}

void TMediaPlayer::SeekBy(double seconds) {
    if (!IsActive())
        return;
    double target = MasterClock() + seconds;
    if (target < 0.0)
        target = 0.0;
    else if (target > duration - 1.0)
        target = duration - 1.0;
    if (seekRequest)
        return;
    seekTarget = static_cast<std::int64_t>(target * 1000000.0);
    seekFlags = seconds < 0.0 ? AVSEEK_FLAG_BACKWARD : 0;
    seekRequest = 1;
}

void TMediaPlayer::SeekTo(double seconds) {
    if (seekRequest)
        return;
    seekTarget = static_cast<std::int64_t>(seconds * 1000000.0);
    seekFlags = 0;
    seekRequest = 1;
}

void TMediaPlayer::Shutdown() {
    if (stopped)
        return;
    Audio()->CloseDevice();
    stopped = true;
    if (wakeEvent)
        wakeEvent->Set();
    thread.Join();
    wakeEvent.reset();
    for (auto& view : views) {
        if (view)
            view->DestroyView();
    }
}

void TMediaPlayer::TimerTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* player = reinterpret_cast<TMediaPlayer*>(user);
    if (player->stopped)
        return;
    for (TStreamSlot& slot : player->slots) {
        TBaseStreamInfo* info = slot.info.get();
        if (!info || info->streamIndex == -1)
            continue;
        info->refreshTicks += 1.0;
        if (info->refreshTicks >= info->refreshPeriod) {
            if (info->refreshEvent)
                info->refreshEvent->Set();
            info->refreshTicks = 0.0;
        }
    }
}

void TMediaPlayer::CreateStreams() {
    HWND windows[2] = {frontWindow, rearWindow};
    for (int slot = 0; slot < 2; ++slot) {
        TVideoStreamInfo* video = Video(slot);
        video->Init(reinterpret_cast<std::intptr_t>(windows[slot]));
        video->view = views[slot].get();
    }
    Audio()->Init(0);
}

void TMediaPlayer::PlayerThread() {
    CreateStreams();
    for (int slot = 0; slot < 2; ++slot) {
        TStreamSlot& entry = slots[slot];
        entry.startEvent = std::make_unique<TEvent>(false, false);
        TGLView* view = views[slot].get();
        if (!view) {
            views[slot] = std::make_unique<TGLView>();
            view = views[slot].get();
            Video(slot)->view = view;
        }
        entry.renderThread.Start([this, slot, view] { RenderThread(*this, slot, *view); },
                                kRenderThreadNames[slot]);
        entry.startEvent->Wait(INFINITE);
        TVideoStreamInfo* video = Video(slot);
        entry.decoderThread.Start([video, &entry] { video->DecoderThread(entry); }, kDecoderThreadNames[slot]);
        entry.startEvent->Wait(INFINITE);
        entry.startEvent.reset();
    }
    TIMECAPS caps;
    timeGetDevCaps(&caps, sizeof caps);
    timeBeginPeriod(1);
    m_timerId = timeSetEvent(1, 1, TimerTick, reinterpret_cast<DWORD_PTR>(this), TIME_PERIODIC);
    MSG ignored;
    PeekMessageA(&ignored, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
    wakeEvent = std::make_unique<TEvent>(false, false);
    startEvent->Set();

    while (!stopped) {
        if (wakeEvent->Wait(kIdleCommandCheckMs) != WAIT_OBJECT_0) {
            AnswerIdleStop();
            continue;
        }
        if (stopped)
            break;
        if (stopWhilePaused) {
            stopWhilePaused = false;
            paused = false;
            ReadingLoop();
            continue;
        }
        if (paused) {
            Notify(PlayerNotify::Woken);
            paused = false;
            const int op = pendingOp;
            if (op == kPendingSeek && seekRequest == 1) {
                SeekWhilePaused();
                continue;
            }
            if (op == kStepForward || op == kStepBackward) {
                FrameStep(op);
                continue;
            }
            ReadingLoop();
            continue;
        }
        if (!closed)
            continue;
        if (!OpenInput())
            continue;
        if (m_stopDrained) {
            m_stopDrained = false;
            CloseStreams(m_stopDuringOpen);
            continue;
        }
        ReadingLoop();
    }
    EndThreads();
}

void TMediaPlayer::AnswerIdleStop() {
    // Only the reading loop takes commands; a stop posted while it does not
    // run (its caller waits without limit) is answered here. A stop while
    // paused comes with a wake and is taken by the reading loop.
    if (paused)
        return;
    MSG message;
    if (!PeekMessageA(&message, nullptr, kPlayerCommandMessage, kPlayerCommandMessage, PM_NOREMOVE) ||
        message.wParam != kStopCommand)
        return;
    PeekMessageA(&message, nullptr, kPlayerCommandMessage, kPlayerCommandMessage, PM_REMOVE);
    auto* done = reinterpret_cast<TEvent*>(message.lParam);
    if (!closed) {
        CloseStreams(done);
        return;
    }
    if (done)
        done->Set();
}

void TMediaPlayer::ReadingLoop() {
    while (!stopped) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message == kPlayerCommandMessage) {
            if (message.wParam == kStopCommand) {
                CloseStreams(reinterpret_cast<TEvent*>(message.lParam));
                return;
            }
            if (message.wParam == kPauseCommand) {
                PauseNow(false);
                return;
            }
        }
        if (ReadStep())
            continue;
        if (!endOfFile)
            return;
        // Let the queued pictures and sound play out, unless a seek failed.
        while (!seekFailed && !stopped && MasterClock() < duration) {
            if (PeekMessageA(&message, nullptr, kPlayerCommandMessage, kPlayerCommandMessage, PM_REMOVE) &&
                message.wParam == kStopCommand) {
                CloseStreams(reinterpret_cast<TEvent*>(message.lParam));
                return;
            }
            Sleep(1);
        }
        CloseStreams(nullptr);
        return;
    }
}

void TMediaPlayer::PauseNow(bool afterStep) {
    paused = true;
    stepping = 0;
    Notify(afterStep ? PlayerNotify::PausedAfterStep : PlayerNotify::Paused);
}

bool TMediaPlayer::SeekInput(int stream, std::int64_t target, int flags) {
    if (!formatContext)
        return false;
    return av_seek_frame(formatContext, stream, target, flags) >= 0;
}

void TMediaPlayer::MarkShown(std::int64_t target) {
    for (int slot = 0; slot < 2; ++slot) {
        if (IsLive(Video(slot)))
            Video(slot)->shownDts = target;
    }
}

void TMediaPlayer::FrameStep(int direction) {
    std::int64_t shown = -1;
    bool allQueued = true;
    bool anyShown = false;
    for (int slot = 0; slot < 2; ++slot) {
        TVideoStreamInfo* video = Video(slot);
        if (!IsLive(video) || !video->lastFrame)
            continue;
        if (video->shownDts > shown)
            shown = video->shownDts;
        anyShown = true;
        // A forward step reads nothing only when every channel has its next
        // packet queued; otherwise one decoder would never reach the target.
        allQueued = allQueued && video->packetQueue.Count() > 0;
    }
    const bool readFirst = !(direction == kStepForward && anyShown && allQueued);
    if (shown < 0) {
        Notify(PlayerNotify::StepDone);
        PauseNow(true);
        return;
    }
    const std::int64_t target = shown + direction;
    if ((direction == kStepForward && target > frameCount) || (direction == kStepBackward && target < 0)) {
        pendingOp = 0;
        Notify(PlayerNotify::StepDone);
        PauseNow(true);
        return;
    }
    if (!readFirst) {
        MarkShown(target);
        PrerollTo(direction, target, false);
    } else {
        int stream = -1;
        int flags = kSeekToStart;
        if (target != 0) {
            flags = direction == kStepForward ? kStepSeekForward : kStepSeekBackward;
            for (int slot = 0; slot < 2 && stream < 0; ++slot) {
                if (IsLive(Video(slot)) && Video(slot)->frameCount >= target)
                    stream = Video(slot)->streamIndex;
            }
        }
        if (SeekInput(stream, target, flags)) {
            if (direction == kStepBackward) {
                for (TStreamSlot& slot : slots) {
                    if (IsLive(slot.info.get()))
                        FlushWithMarker(slot.info.get());
                }
                PrerollTo(kStepBackward, target, true);
            } else {
                PrerollTo(kStepForward, target, true);
            }
            MarkShown(target);
        }
    }
    pendingOp = 0;
    Notify(PlayerNotify::StepDone);
    PauseNow(true);
}

void TMediaPlayer::SeekWhilePaused() {
    int stream = -1;
    for (int slot = kFrontSlot; slot <= kAudioSlot && stream < 0; ++slot) {
        if (slots[slot].info)
            stream = slots[slot].info->streamIndex;
    }
    std::int64_t target = seekTarget;
    if (stream >= 0)
        target = av_rescale_q(target, AVRational{1, 1000000}, formatContext->streams[stream]->time_base);
    // Decoding has to start at the key frame before the target; the frames
    // up to the target are decoded without being shown, so the picture is
    // the target's even when the target is not a key frame.
    if (!SeekInput(stream, target, seekFlags | AVSEEK_FLAG_BACKWARD)) {
        seekRequest = 0;
    } else {
        for (TStreamSlot& slot : slots) {
            if (IsLive(slot.info.get()))
                FlushWithMarker(slot.info.get());
        }
        MarkShown(target);
        pendingOp = 1;
        seekRequest = 0;
        PrerollTo(kStepBackward, target, true);
        MarkShown(target);
    }
    pendingOp = 0;
    Notify(PlayerNotify::StepDone);
    PauseNow(true);
}

void TMediaPlayer::CloseStreams(TEvent* stopEvent) {
    const bool atEnd = endOfFile;
    for (TStreamSlot& slot : slots) {
        TBaseStreamInfo* info = slot.info.get();
        if (!info || info->closing)
            continue;
        info->closing = true;
        FlushWithMarker(info);
    }
    bool abandoned = false;
    for (TStreamSlot& slot : slots) {
        TBaseStreamInfo* info = slot.info.get();
        if (!info || !info->closing)
            continue;
        bool waits = info->streamIndex != -1;
        if (info == Audio() && !Audio()->DeviceOpen())
            waits = false;
        while (waits && !stopped && !(info->decoderAck && info->rendererAck))
            Sleep(1);
        // The threads end without answering once the player stops; they may
        // still be decoding, so the streams and the input are closed only
        // after they were joined.
        if (waits && !(info->decoderAck && info->rendererAck)) {
            abandoned = true;
            continue;
        }
        info->Close();
    }
    if (!abandoned)
        CloseInput();
    Notify(atEnd ? PlayerNotify::EndOfRecording : PlayerNotify::Stopped);
    if (stopEvent)
        stopEvent->Set();
}

void TMediaPlayer::EndThreads() {
    Sleep(kEndingPauseMs);
    timeKillEvent(m_timerId);
    m_timerId = 0;
    timeEndPeriod(1);
    for (TStreamSlot& slot : slots) {
        if (!slot.info)
            continue;
        if (slot.renderThread.Started()) {
            slot.info->refreshEvent->Set();
            slot.renderThread.Join();
        }
        if (slot.decoderThread.Started()) {
            FlushWithMarker(slot.info.get());
            slot.decoderThread.Join();
        }
        slot.info->Close();
        slot.info->Release();
    }
    CloseInput();
    stepEvent.reset();
}
