#include "engine/video_stream_info.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/video_view.h"
#include "platform/main_thread.h"
#include "platform/windows.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/time.h>
}

namespace {

constexpr double kWideAspect = 1.7777777777777777;
constexpr DWORD kPictureSpaceWaitMs = 30;
constexpr DWORD kPausedRepeatMs = 30;
// A live stream waits this long for a packet before it looks at its flags
// again; waiting instead of polling keeps an idle decoder off the CPU.
constexpr DWORD kPacketWaitMs = 10;

// The decoder's buffer callback: the frame remembers the pts of the packet
// that was being decoded when its buffer was made.
int GetStampedBuffer(AVCodecContext* context, AVFrame* frame, int flags) {
    int result = avcodec_default_get_buffer2(context, frame, flags);
    if (result < 0)
        return result;
    auto* stream = static_cast<TVideoStreamInfo*>(context->opaque);
    std::int64_t pts = stream ? stream->packetPts.load() : AV_NOPTS_VALUE;
    // The stamp lives in a buffer the frame owns, so it is freed with it.
    AVBufferRef* stamp = av_buffer_alloc(sizeof pts);
    if (!stamp)
        return 0;
    std::memcpy(stamp->data, &pts, sizeof pts);
    av_buffer_unref(&frame->opaque_ref);
    frame->opaque_ref = stamp;
    frame->opaque = stamp->data;
    return 0;
}

std::int64_t StampOf(const AVFrame* frame) {
    if (!frame->opaque_ref || frame->opaque != frame->opaque_ref->data)
        return AV_NOPTS_VALUE;
    std::int64_t pts;
    std::memcpy(&pts, frame->opaque_ref->data, sizeof pts);
    return pts;
}

bool IsExactlyWide(const AVCodecContext* context) {
    return context && context->height > 0 &&
           static_cast<double>(context->width) / static_cast<double>(context->height) ==
               kWideAspect;
}

} // namespace

TVideoStreamInfo::TVideoStreamInfo(TMediaPlayer* owner_, int typeOrdinal_)
    : TBaseStreamInfo(owner_, AVMEDIA_TYPE_VIDEO, typeOrdinal_) {}

TVideoStreamInfo::~TVideoStreamInfo() = default;

bool TVideoStreamInfo::HasLastFrame() const {
    std::lock_guard lock(displayLock);
    return m_lastFrame && m_lastFrame->buf[0];
}

TFrameHandle TVideoStreamInfo::CopyLastFrame() const {
    std::lock_guard lock(displayLock);
    if (!m_lastFrame || !m_lastFrame->buf[0])
        return {};
    return TFrameHandle(av_frame_clone(m_lastFrame.get()));
}

int TVideoStreamInfo::WideWidth(int height) {
    double hundredths = std::round(height * kWideAspect * 100.0);
    return static_cast<int>(hundredths / 100.0);
}

int TVideoStreamInfo::PaddedWideWidth(int height) {
    double hundredths = std::round(height * kWideAspect * 100.0);
    return static_cast<int>(hundredths / 100.0 + 3.0);
}

bool TVideoStreamInfo::Init(std::intptr_t window) {
    TBaseStreamInfo::Init(window);
    pictureQueue.Init();
    videoWindow = reinterpret_cast<HWND>(window);
    // Windows belong to the main thread; the decoder thread only ever needs
    // the parent, which does not change while the stream lives.
    if (videoWindow)
        CallOnMainThread([this] { parentWindow = GetParent(videoWindow); });
    return true;
}

void TVideoStreamInfo::Release() {
    TBaseStreamInfo::Release();
    pictureQueue.Release();
    std::lock_guard lock(displayLock);
    m_lastFrame.reset();
    m_scaler.reset();
    packetPts = AV_NOPTS_VALUE;
    currentPts = 0.0;
    currentPtsTime = 0;
    frameCount = 0;
    displayWidth = displayHeight = 0;
    savedWidth = savedHeight = 0;
    orientation = 0;
    brightness = contrast = chroma = 50;
    fullScreen = fitWindowWidth = hidden = stepReached = false;
}

namespace {

int DecoderThreadCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::max(1, static_cast<int>(cores / 2));
}

} // namespace

void TVideoStreamInfo::ConfigureDecoder() {
    // Frame threads hold frames back, which breaks frame-exact stepping.
    // The two channels decode side by side, so each gets half the cores;
    // more slice threads than that only cost wake-ups.
    codecContext->thread_type = FF_THREAD_SLICE;
    codecContext->thread_count = DecoderThreadCount();
    codecContext->opaque = this;
    codecContext->get_buffer2 = GetStampedBuffer;
}

bool TVideoStreamInfo::Open() {
    if (!TBaseStreamInfo::Open())
        return false;
    if (!fullScreen) {
        RECT client{};
        bool measured = false;
        if (videoWindow)
            CallOnMainThread([&] { measured = GetClientRect(videoWindow, &client); });
        if (measured) {
            displayHeight = client.bottom - client.top;
            if (fitWindowWidth) {
                displayWidth = client.right - client.left;
            } else {
                displayWidth = WideWidth(displayHeight);
                if (view)
                    view->SetWindowSize(displayWidth, displayHeight);
            }
        } else {
            // Without a window (tools, benchmarks) pictures keep their size.
            displayWidth = codecContext->width;
            displayHeight = codecContext->height;
        }
        savedWidth = displayWidth.load();
        savedHeight = displayHeight.load();
    }
    shownDts = 0;
    shownSerial = kNoSerial;
    clock = 0.0;
    lastFramePts = 0.0;
    lastPacketDts = 0;
    frameTimer = static_cast<double>(av_gettime()) / 1000000.0;
    lastFrameDelay = 0.04;
    currentPtsTime = av_gettime();
    return true;
}

void TVideoStreamInfo::Close() {
    TBaseStreamInfo::Close();
    {
        std::lock_guard lock(displayLock);
        m_scaler.reset();
    }
    packetPts = AV_NOPTS_VALUE;
    clock = 0.0;
    lastFramePts = 0.0;
    currentPts = 0.0;
    shownDts = 0;
    shownSerial = kNoSerial;
    lastPacketDts = 0;
    currentPtsTime = 0;
    frameCount = 0;
    pictureQueue.Reset();
}

bool TVideoStreamInfo::Decode(AVPacket* packet, double* pts, bool skipDisplay) {
    *pts = 0.0;
    packetPts = packet->pts;
    if (!codecContext || avcodec_send_packet(codecContext.get(), packet) < 0)
        return false;
    lastPacketDts = packet->dts;
    bool produced = false;
    while (avcodec_receive_frame(codecContext.get(), frame.get()) == 0) {
        std::int64_t stamp = 0;
        std::int64_t carried = StampOf(frame.get());
        if (packet->dts == AV_NOPTS_VALUE && carried != AV_NOPTS_VALUE)
            stamp = carried;
        else if (packet->dts != AV_NOPTS_VALUE)
            stamp = packet->dts;

        double framePts = static_cast<double>(stamp) * av_q2d(stream->time_base);
        if (framePts != 0.0)
            clock = framePts;
        else
            framePts = clock;
        // One frame's duration: the decoder's time base counts ticks, and a
        // frame lasts ticks_per_frame of them (two for H.264).
        double frameDelay = av_q2d(codecContext->time_base) * codecContext->ticks_per_frame;
        if (!(frameDelay > 0.0) && stream->avg_frame_rate.num > 0)
            frameDelay = av_q2d(av_inv_q(stream->avg_frame_rate));
        clock = framePts + frameDelay + frame->repeat_pict * frameDelay * 0.5;

        if (!skipDisplay)
            QueuePicture(frame.get(), false, framePts);
        *pts = framePts;
        produced = true;
        av_frame_unref(frame.get());
    }
    return produced;
}

bool TVideoStreamInfo::EnsurePictureBuffer(TVideoPicture& picture) {
    if (!picture.picture)
        picture.picture = MakeFrame();
    if (!picture.picture)
        return false;
    picture.buffer.reset();
    const int width = displayWidth, height = displayHeight;
    int size = av_image_get_buffer_size(AV_PIX_FMT_BGRA, width, height, 1);
    if (size <= 0)
        return false;
    picture.buffer.reset(static_cast<std::uint8_t*>(av_malloc(static_cast<size_t>(size))));
    if (!picture.buffer)
        return false;
    av_image_fill_arrays(picture.picture->data, picture.picture->linesize, picture.buffer.get(),
                         AV_PIX_FMT_BGRA, width, height, 1);
    picture.width = width;
    picture.height = height;
    picture.allocated = 1;
    return true;
}

int TVideoStreamInfo::QueuePicture(AVFrame* source, bool isRepeat, double pts) {
    while (pictureQueue.count >= 1 && !owner->stopped())
        pictureQueue.space->Wait(kPictureSpaceWaitMs);

    {
        std::lock_guard lock(displayLock);
        if (view) {
            if (hidden && view->IsVisible())
                view->HideView();
            else if (!hidden && !view->IsVisible())
                view->ShowView(videoWindow, displayWidth);
        }
    }

    TVideoPicture& picture = pictureQueue.picture;
    bool wrongSize =
        !picture.buffer || picture.width != displayWidth || picture.height != displayHeight;
    if (wrongSize && !hidden) {
        Relayout();
        picture.allocated = 0;
        std::lock_guard lock(displayLock);
        EnsurePictureBuffer(picture);
    }
    if (!picture.buffer)
        return 0;

    {
        std::lock_guard lock(displayLock);
        picture.pts = pts;
        picture.serial = serial;
        picture.dts = source->pkt_dts;
        if (view && view->IsVisible()) {
            if (!isRepeat) {
                if (!m_lastFrame)
                    m_lastFrame = MakeFrame();
                av_frame_unref(m_lastFrame.get());
                av_frame_ref(m_lastFrame.get(), source);
            }
            if (m_scaler)
                sws_scale(m_scaler.get(), source->data, source->linesize, 0, source->height,
                          picture.picture->data, picture.picture->linesize);
        }
    }
    pictureQueue.writeIndex = 0; // one picture: the index always wraps to 0
    pictureQueue.Announce();
    return 0;
}

void TVideoStreamInfo::Relayout() {
    std::lock_guard lock(displayLock);
    if (view)
        view->HideView();
    HWND parent = parentWindow;
    const bool wide = IsExactlyWide(codecContext.get());
    if (fullScreen) {
        // The parent's frame is the main thread's to change.
        if (parent) {
            PostToMainThread([parent] {
                LONG style = GetWindowLongA(parent, GWL_STYLE);
                SetWindowLongA(parent, GWL_STYLE,
                               style & ~static_cast<LONG>(WS_CAPTION | WS_THICKFRAME));
                ShowWindow(parent, SW_HIDE);
                ShowWindow(parent, SW_SHOWMAXIMIZED);
            });
        }
        if (wide)
            displayWidth = PaddedWideWidth(displayHeight);
        if (view) {
            view->SetTextureSize(displayWidth, displayHeight);
            view->ShowView(parent, displayWidth);
        }
        if (parent)
            PostToMainThread([parent] { ShowWindow(parent, SW_SHOW); });
    } else {
        if (parent)
            PostToMainThread([parent] { ShowWindow(parent, SW_SHOWNORMAL); });
        if (view && !fitWindowWidth)
            view->ShowView(videoWindow, displayWidth);
        displayWidth = savedWidth.load();
        displayHeight = savedHeight.load();
        if (wide)
            displayWidth = PaddedWideWidth(savedHeight);
        if (view)
            view->ShowView(videoWindow, displayWidth);
    }
    if (parent)
        PostMessageA(parent, kPlayerNotifyMessage,
                     fullScreen ? PlayerNotify::GeometryChangedFullScreen
                                : PlayerNotify::GeometryChanged,
                     0);
    m_scaler.reset();
    if (codecContext && codecContext->width > 0 && displayWidth > 0 && displayHeight > 0)
        m_scaler.reset(sws_getContext(
            codecContext->width, codecContext->height, codecContext->pix_fmt, displayWidth,
            displayHeight, AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr));
}

void TVideoStreamInfo::SetFullScreen(bool on, bool fitWidth) {
    fitWindowWidth = fitWidth;
    const bool changing = on != fullScreen;
    if (on && !fullScreen) {
        savedWidth = displayWidth.load();
        savedHeight = displayHeight.load();
        RECT placement{};
        GetWindowRect(videoWindow, &placement);
        MONITORINFO info;
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(MonitorFromRect(&placement, MONITOR_DEFAULTTONEAREST), &info)) {
            displayWidth = info.rcMonitor.right - info.rcMonitor.left;
            displayHeight = info.rcMonitor.bottom - info.rcMonitor.top;
        }
    } else if (!on && fullScreen) {
        displayWidth = savedWidth.load();
        displayHeight = savedHeight.load();
    }
    if (!changing)
        return;
    fullScreen = on;
    if (notOpen)
        Relayout();
}

void TVideoStreamInfo::DecoderThread(TStreamSlot& slot) {
    TPacketHandle packet = MakePacket();
    slot.startEvent->Set();
    TMediaPlayer& player = *owner;
    double lastPts = 0.0;
    while (!player.stopped()) {
        // A close while paused must be able to go on: a closing stream reads
        // its queue for the flush packet whatever the player's state.
        if (player.paused() && !player.stepping() && !closing) {
            if (IsLive())
                RepeatLastPicture(lastPts);
            Sleep(kPausedRepeatMs);
            continue;
        }

        std::int64_t headDts = -1;
        bool reached = false;
        if (player.stepping()) {
            headDts = packetQueue.HeadDts();
            reached = headDts > player.stepTarget();
        }
        if (!reached) {
            if (packetQueue.Get(packet.get(), closing ? INFINITE : kPacketWaitMs) != 1)
                continue;
            if (IsFlushPacket(packet.get())) {
                serial = player.flushSerial();
                if (!player.closed() && codecContext)
                    avcodec_flush_buffers(codecContext.get());
                if (closing)
                    decoderAck = true;
                av_packet_unref(packet.get());
                continue;
            }
            // The packet may have arrived during the wait, after the head was
            // looked at: the step is judged by the packet actually taken.
            if (player.stepping())
                headDts = packet->dts;
            if (!player.closed()) {
                const bool skipDisplay = player.stepping() &&
                                         player.stepMode() == kStepBackwardOp &&
                                         headDts < player.stepTarget();
                if (!closing && !notOpen)
                    Decode(packet.get(), &lastPts, skipDisplay);
            }
            av_packet_unref(packet.get());
            reached = player.stepping() && headDts == player.stepTarget();
            if (!reached)
                continue;
        }
        if (!stepReached) {
            stepReached = true;
            player.SignalStepReached();
            Sleep(1);
        }
    }
}

void TVideoStreamInfo::RepeatLastPicture(double pts) {
    TFrameHandle repeat = CopyLastFrame();
    if (repeat)
        QueuePicture(repeat.get(), true, pts);
}
