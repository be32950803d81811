// The controller's commands and its player thread: opening, the reading
// loop, pause, frame steps, seeks while paused, and the close handshake.

#include <cmath>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/gl_view.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/mm_timer.h"
#include "platform/thread_messages.h"
#include "platform/windows.h"

namespace {

// Per video slot, as top and perf show them.
constexpr const char* kRenderThreadNames[] = {"render-front", "render-rear"};
constexpr const char* kDecoderThreadNames[] = {"decode-front", "decode-rear"};
constexpr DWORD kEndingPauseMs = 100;
// How often the idle player thread looks for a stop nobody else will read.
constexpr DWORD kIdleCommandCheckMs = 50;
// Seek flags of a frame step (av_seek_frame's AVSEEK_FLAG_* bits).
constexpr int kSeekToStart = AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY;
constexpr int kStepSeekForward = AVSEEK_FLAG_FRAME | AVSEEK_FLAG_ANY;
constexpr int kStepSeekBackward = AVSEEK_FLAG_FRAME | AVSEEK_FLAG_BACKWARD;

} // namespace

void TMediaPlayer::Start(HWND notify, HWND front, HWND rear) {
    m_notifyWindow = notify;
    m_frontWindow = front;
    m_rearWindow = rear;
    m_stopped = false;
    HWND windows[2] = {front, rear};
    for (int slot = 0; slot < 2; ++slot) {
        m_views[slot] = std::make_unique<TGLView>();
        RECT client{};
        if (windows[slot] && GetClientRect(windows[slot], &client))
            m_views[slot]->CreateView(windows[slot], client.right - client.left,
                                      client.bottom - client.top);
    }
    m_startEvent = std::make_unique<TEvent>(false, false);
    m_thread.Start([this] { PlayerThread(); }, "player");
    m_startEvent->Wait(INFINITE);
    m_startEvent.reset();
}

void TMediaPlayer::OpenRecording(const std::string& recording, int newVolume) {
    {
        std::lock_guard lock(m_requestLock);
        m_requestedPath = recording;
    }
    if (newVolume >= 0)
        m_volume = newVolume;
    if (m_wakeEvent)
        m_wakeEvent->Set();
}

void TMediaPlayer::Stop() {
    if (!IsActive())
        return;
    if (m_paused) {
        PostThreadMessageA(m_thread.Id(), kPlayerCommandMessage, kStopCommand, 0);
        m_stopWhilePaused = true;
        m_wakeEvent->Set();
        return;
    }
    TEvent done(false, false);
    if (!PostThreadMessageA(m_thread.Id(), kPlayerCommandMessage, kStopCommand,
                            reinterpret_cast<LPARAM>(&done)))
        return;
    done.Wait(INFINITE);
}

void TMediaPlayer::Pause() {
    if (IsActive() && !m_paused)
        PostThreadMessageA(m_thread.Id(), kPlayerCommandMessage, kPauseCommand, 0);
}

void TMediaPlayer::Resume() {
    if (IsActive() && m_paused)
        m_wakeEvent->Set();
}

void TMediaPlayer::StepFrame(int direction) {
    if (!IsActive() || !m_paused)
        return;
    m_pendingOp = direction;
    m_wakeEvent->Set();
}

void TMediaPlayer::SeekBy(double seconds) {
    if (!IsActive())
        return;
    double target = MasterClock() + seconds;
    if (target < 0.0)
        target = 0.0;
    else if (target > m_duration - 1.0)
        target = m_duration - 1.0;
    if (m_seekRequest)
        return;
    m_seekTarget = static_cast<std::int64_t>(target * 1000000.0);
    m_seekFlags = seconds < 0.0 ? AVSEEK_FLAG_BACKWARD : 0;
    m_seekRequest = 1;
}

void TMediaPlayer::SeekTo(double seconds) {
    if (m_seekRequest)
        return;
    m_seekTarget = static_cast<std::int64_t>(seconds * 1000000.0);
    m_seekFlags = 0;
    m_seekRequest = 1;
}

void TMediaPlayer::SeekWhilePaused(double seconds) {
    if (!IsActive() || !m_paused)
        return;
    SeekTo(seconds);
    m_pendingOp = kPausedSeekOp;
    m_wakeEvent->Set();
}

void TMediaPlayer::Shutdown() {
    if (m_stopped)
        return;
    Audio()->CloseDevice();
    m_stopped = true;
    if (m_wakeEvent)
        m_wakeEvent->Set();
    m_thread.Join();
    m_wakeEvent.reset();
    for (auto& view : m_views) {
        if (view)
            view->DestroyView();
    }
}

void TMediaPlayer::TimerTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* player = reinterpret_cast<TMediaPlayer*>(user);
    if (player->m_stopped)
        return;
    for (TStreamSlot& slot : player->m_slots) {
        TBaseStreamInfo* info = slot.info.get();
        if (!info || !info->IsLive())
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
    HWND windows[2] = {m_frontWindow, m_rearWindow};
    for (int slot = 0; slot < 2; ++slot) {
        TVideoStreamInfo* video = Video(slot);
        video->Init(reinterpret_cast<std::intptr_t>(windows[slot]));
        video->view = m_views[slot].get();
    }
    Audio()->Init(0);
}

void TMediaPlayer::PlayerThread() {
    CreateStreams();
    for (int slot = 0; slot < 2; ++slot) {
        TStreamSlot& entry = m_slots[slot];
        entry.startEvent = std::make_unique<TEvent>(false, false);
        TGLView* view = m_views[slot].get();
        if (!view) {
            m_views[slot] = std::make_unique<TGLView>();
            view = m_views[slot].get();
            Video(slot)->view = view;
        }
        entry.renderThread.Start([this, slot, view] { RenderThread(*this, slot, *view); },
                                 kRenderThreadNames[slot]);
        entry.startEvent->Wait(INFINITE);
        TVideoStreamInfo* video = Video(slot);
        entry.decoderThread.Start([video, &entry] { video->DecoderThread(entry); },
                                  kDecoderThreadNames[slot]);
        entry.startEvent->Wait(INFINITE);
        entry.startEvent.reset();
    }
    TIMECAPS caps;
    timeGetDevCaps(&caps, sizeof caps);
    timeBeginPeriod(1);
    m_timerId = timeSetEvent(1, 1, TimerTick, reinterpret_cast<DWORD_PTR>(this), TIME_PERIODIC);
    MSG ignored;
    PeekMessageA(&ignored, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists from here
    m_wakeEvent = std::make_unique<TEvent>(false, false);
    m_startEvent->Set();

    while (!m_stopped) {
        if (m_wakeEvent->Wait(kIdleCommandCheckMs) != WAIT_OBJECT_0) {
            AnswerIdleStop();
            continue;
        }
        if (m_stopped)
            break;
        if (m_stopWhilePaused) {
            m_stopWhilePaused = false;
            m_paused = false;
            ReadingLoop();
            continue;
        }
        if (m_paused) {
            Notify(PlayerNotify::Woken);
            m_paused = false;
            const int op = m_pendingOp;
            if (op == kPausedSeekOp && m_seekRequest == 1) {
                PerformPausedSeek();
                continue;
            }
            if (op == kStepForwardOp || op == kStepBackwardOp) {
                FrameStep(op);
                continue;
            }
            ReadingLoop();
            continue;
        }
        if (!m_closed)
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
    MSG message;
    if (!PeekMessageA(&message, nullptr, kPlayerCommandMessage, kPlayerCommandMessage,
                      PM_NOREMOVE) ||
        message.wParam != kStopCommand)
        return;
    if (m_paused) {
        // A stop sent right after a pause, before the pause was taken, came
        // without a wake and its caller waits for it: the reading loop takes
        // it now.
        if (message.lParam == 0)
            return;
        m_paused = false;
        ReadingLoop();
        return;
    }
    PeekMessageA(&message, nullptr, kPlayerCommandMessage, kPlayerCommandMessage, PM_REMOVE);
    auto* done = reinterpret_cast<TEvent*>(message.lParam);
    if (!m_closed) {
        CloseStreams(done);
        return;
    }
    if (done)
        done->Set();
}

void TMediaPlayer::ReadingLoop() {
    while (!m_stopped) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) &&
            message.message == kPlayerCommandMessage) {
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
        if (!m_endOfFile)
            return;
        // Let the queued pictures and sound play out, unless a seek failed.
        while (!m_seekFailed && !m_stopped && MasterClock() < m_duration) {
            if (PeekMessageA(&message, nullptr, kPlayerCommandMessage, kPlayerCommandMessage,
                             PM_REMOVE) &&
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
    m_paused = true;
    m_stepping = 0;
    Notify(afterStep ? PlayerNotify::PausedAfterStep : PlayerNotify::Paused);
}

void TMediaPlayer::MarkShown(std::int64_t target) {
    for (int slot = 0; slot < 2; ++slot) {
        if (Video(slot)->IsLive())
            Video(slot)->shownDts = target;
    }
}

void TMediaPlayer::FrameStep(int direction) {
    std::int64_t shown = -1;
    bool allQueued = true;
    bool anyShown = false;
    for (int slot = 0; slot < 2; ++slot) {
        TVideoStreamInfo* video = Video(slot);
        if (!video->IsLive() || !video->HasLastFrame())
            continue;
        if (video->shownDts > shown)
            shown = video->shownDts;
        anyShown = true;
        // A forward step reads nothing only when every channel has its next
        // packet queued; otherwise one decoder would never reach the target.
        allQueued = allQueued && video->packetQueue.Count() > 0;
    }
    const bool readFirst = !(direction == kStepForwardOp && anyShown && allQueued);
    if (shown < 0) {
        Notify(PlayerNotify::StepDone);
        PauseNow(true);
        return;
    }
    const std::int64_t target = shown + direction;
    if ((direction == kStepForwardOp && target > m_frameCount) ||
        (direction == kStepBackwardOp && target < 0)) {
        m_pendingOp = kResumeOp;
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
            flags = direction == kStepForwardOp ? kStepSeekForward : kStepSeekBackward;
            for (int slot = 0; slot < 2 && stream < 0; ++slot) {
                if (Video(slot)->IsLive() && Video(slot)->frameCount >= target)
                    stream = Video(slot)->streamIndex;
            }
        }
        if (SeekInput(stream, target, flags)) {
            // Forward, the queued packets lead to the target; backward they
            // lie after it.
            if (direction == kStepBackwardOp)
                FlushLiveQueues();
            PrerollTo(direction, target, true);
            MarkShown(target);
        }
    }
    m_pendingOp = kResumeOp;
    Notify(PlayerNotify::StepDone);
    PauseNow(true);
}

void TMediaPlayer::PerformPausedSeek() {
    // Decoding has to start at the key frame before the target; the frames
    // up to the target are decoded without being shown (a backward preroll),
    // so the picture is the target's even when the target is no key frame.
    std::int64_t target = 0;
    if (SeekToMicroseconds(m_seekTarget, m_seekFlags | AVSEEK_FLAG_BACKWARD, &target)) {
        FlushLiveQueues();
        MarkShown(target);
        m_seekRequest = 0;
        PrerollTo(kStepBackwardOp, target, true);
        MarkShown(target);
    }
    m_seekRequest = 0;
    m_pendingOp = kResumeOp;
    Notify(PlayerNotify::StepDone);
    PauseNow(true);
}

void TMediaPlayer::CloseStreams(TEvent* stopEvent) {
    const bool atEnd = m_endOfFile;
    for (TStreamSlot& slot : m_slots) {
        TBaseStreamInfo* info = slot.info.get();
        if (!info || info->closing)
            continue;
        info->closing = true;
        info->packetQueue.FlushAndMark();
    }
    bool abandoned = false;
    for (TStreamSlot& slot : m_slots) {
        TBaseStreamInfo* info = slot.info.get();
        if (!info || !info->closing)
            continue;
        bool waits = info->IsLive();
        if (info == Audio() && !Audio()->DeviceOpen())
            waits = false;
        while (waits && !m_stopped && !(info->decoderAck && info->rendererAck))
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
    for (TStreamSlot& slot : m_slots) {
        if (!slot.info)
            continue;
        if (slot.renderThread.Started()) {
            slot.info->refreshEvent->Set();
            slot.renderThread.Join();
        }
        if (slot.decoderThread.Started()) {
            slot.info->packetQueue.FlushAndMark();
            slot.decoderThread.Join();
        }
        slot.info->Close();
        slot.info->Release();
    }
    CloseInput();
    m_stepEvent.reset();
}
