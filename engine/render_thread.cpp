// The render thread of a video slot: woken by the controller's timer, it
// shows each converted picture at its time and sets the next wake-up.

#include <mutex>

extern "C" {
#include <libavutil/time.h>
}

#include "engine/gl_view.h"
#include "engine/media_player.h"
#include "engine/render_pacing.h"
#include "engine/video_stream_info.h"

namespace {

constexpr double kMicrosecondsPerSecond = 1000000.0;
// The picture queue holds one picture.
constexpr std::int32_t kPictureQueueSize = 1;

// The waiting picture's time stamps, read under the queue's lock: a close on
// the player thread may reset the picture at any time.
struct TWaitingPicture {
    double pts = 0.0;
    std::int64_t dts = 0;
    std::uint32_t serial = 0;
};

bool PictureWaiting(TPictureQueue& queue, TWaitingPicture* waiting) {
    std::lock_guard guard(queue.lock);
    if (queue.count <= 0)
        return false;
    waiting->pts = queue.picture.pts;
    waiting->dts = queue.picture.dts;
    waiting->serial = queue.picture.serial;
    return true;
}

// Step 4: the delay d in milliseconds until the next pass; d >= 0 means the
// waiting picture is due now.
// `dueSeconds` gets the time the waiting picture was due: the frame timer
// the previous picture set for this pass.
double NextDelay(TVideoStreamInfo& stream, double* dueSeconds) {
    if (!stream.stream)
        return kNoStreamDelayMs;
    // The decoder writes the picture only while the queue is empty, so it
    // holds still until it is consumed.
    TWaitingPicture waiting;
    if (!PictureWaiting(stream.pictureQueue, &waiting))
        return kNoPictureDelayMs;
    const double pts = waiting.pts;
    const double now = static_cast<double>(av_gettime()) / kMicrosecondsPerSecond;
    // The first picture after an open or a jump starts the frame timer
    // anew. Left where the open or the last picture before the jump put it,
    // the timer would lie behind by the time it took to decode the first
    // picture, and the pictures after it would run fast until it caught up.
    if (waiting.serial != stream.shownSerial)
        stream.frameTimer = now;
    stream.currentPts = pts;
    stream.currentPtsTime = av_gettime();
    stream.shownSerial = waiting.serial;
    *dueSeconds = stream.frameTimer;
    TPacingState state{stream.frameTimer, stream.lastFrameDelay, stream.lastFramePts};
    const double delay = PacePicture(state, pts, now);
    stream.frameTimer = state.frameTimer;
    stream.lastFrameDelay = state.lastFrameDelay;
    stream.lastFramePts = state.lastFramePts;
    stream.shownDts = waiting.dts;
    return delay;
}

// The picture is consumed whether or not it was drawn.
void ConsumePicture(TPictureQueue& queue) {
    queue.readIndex = (queue.readIndex + 1) % kPictureQueueSize;
    bool taken = false;
    {
        std::lock_guard guard(queue.lock);
        // A reset between the look and now already took the picture back,
        // with its space count.
        if (queue.count > 0) {
            --queue.count;
            taken = true;
        }
    }
    if (taken && queue.space)
        queue.space->Release(1);
}

double NowSeconds() {
    return static_cast<double>(av_gettime()) / kMicrosecondsPerSecond;
}

// Drawing ahead stops this long before the pass, so that it never makes the
// pass late.
constexpr double kPrepareMarginSeconds = 0.003;

// Between two passes: waits for the decoder's next picture, but not past its
// time, and draws it into the back buffer, so that the pass that shows it
// only swaps. Returns the number of the picture now in the back buffer (0
// for none).
std::uint64_t PrepareAhead(TVideoStreamInfo& stream, TGLView& view, std::uint64_t prepared) {
    TPictureQueue& queue = stream.pictureQueue;
    if (!view.CanDraw() || stream.closing || stream.notOpen || !stream.stream || !queue.filled)
        return 0;
    // `filled` may still be set by the picture just shown: wait again until
    // a picture is there or its time is near.
    std::uint64_t waiting = queue.WaitingNumber();
    for (double untilDue = stream.frameTimer - NowSeconds() - kPrepareMarginSeconds;
         waiting == 0 && untilDue > 0.001 && !stream.closing;
         untilDue = stream.frameTimer - NowSeconds() - kPrepareMarginSeconds) {
        queue.filled->Wait(static_cast<DWORD>(untilDue * 1000.0));
        waiting = queue.WaitingNumber();
    }
    if (waiting == 0)
        return 0;
    if (waiting == prepared)
        return prepared;
    // Too close to its time: the pass draws it whole.
    if (stream.frameTimer - NowSeconds() < kPrepareMarginSeconds)
        return 0;
    return view.PreparePicture(stream) ? waiting : 0;
}

void ReportShown(IPictureObserver& observer, int slot, TGLView& view,
                 const TVideoStreamInfo& stream, double dueSeconds, double drawSeconds,
                 std::int64_t drawnBefore) {
    TShownPicture shown;
    shown.slot = slot;
    shown.dts = stream.shownDts;
    shown.dueSeconds = dueSeconds;
    shown.drawSeconds = drawSeconds;
    shown.shownSeconds = NowSeconds();
    shown.drawn = view.DrawnPictures() != drawnBefore;
    observer.PictureShown(shown);
}

} // namespace

void RenderThread(TMediaPlayer& player, int slot, TGLView& view) {
    // A view that cannot draw still paces and consumes its pictures, so the
    // decoder never waits for it.
    view.InitGL();
    player.SignalThreadStarted(slot);
    TVideoStreamInfo* stream = player.Video(slot);
    if (!stream || !stream->refreshEvent || player.stopped()) {
        view.ReleaseGL();
        return;
    }
    std::uint64_t prepared = 0;
    do {
        prepared = PrepareAhead(*stream, view, prepared);
        stream->refreshEvent->Wait(INFINITE);
        double dueSeconds = 0.0;
        const double delay = NextDelay(*stream, &dueSeconds);
        stream->refreshPeriod = RefreshPeriodOf(delay);
        if (delay >= 0.0) {
            const std::int64_t drawnBefore = view.DrawnPictures();
            const bool live = !stream->closing && !stream->notOpen;
            IPictureObserver* observer = view.pictureObserver.load(std::memory_order_relaxed);
            const double drawSeconds = observer ? NowSeconds() : 0.0;
            if (live && prepared != 0 && prepared == stream->pictureQueue.WaitingNumber())
                view.PresentPicture();
            else if (live)
                view.DrawPicture(*stream);
            prepared = 0;
            if (observer && live)
                ReportShown(*observer, slot, view, *stream, dueSeconds, drawSeconds, drawnBefore);
            ConsumePicture(stream->pictureQueue);
        }
        stream->rendererAck = stream->closing.load();
    } while (!player.stopped());
    view.ReleaseGL();
}
