// The render thread with a view that has no window (its creation failed, or
// there is no display): it paces and consumes pictures, never draws, and
// ends on stop.

#include <gtest/gtest.h>

#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include "engine/gl_view.h"
#include "engine/media_player.h"
#include "engine/video_stream_info.h"
#include "platform/thread.h"

namespace {

// Bounds on waits that only fail when the thread is stuck.
constexpr DWORD kStuckMs = 10000;
constexpr int kPollRounds = 5000;

class RenderThreadWithoutWindow : public ::testing::Test {
protected:
    void SetUp() override {
        input = avformat_alloc_context();
        ASSERT_NE(input, nullptr);
        ASSERT_NE(avformat_new_stream(input, nullptr), nullptr);
        stream = player.Video(kFrontSlot);
        ASSERT_NE(stream, nullptr);
        stream->Init(0);
        // Creation fails: no parent to live in (and GLFW was never set up).
        EXPECT_FALSE(view.CreateView(nullptr, 320, 240));
        EXPECT_FALSE(view.HasWindow());
        stream->view = &view;
    }

    void TearDown() override {
        Stop();
        stream->stream = nullptr;
        avformat_free_context(input);
    }

    void OpenStream() {
        stream->stream = input->streams[0];
        stream->notOpen = false;
        stream->closing = false;
    }

    void Start() {
        player.stopped = false;
        player.slots[kFrontSlot].startEvent = std::make_unique<TEvent>(false, false);
        ASSERT_TRUE(player.slots[kFrontSlot].renderThread.Start(
            [this] { RenderThread(player, kFrontSlot, view); }));
        ASSERT_EQ(player.slots[kFrontSlot].startEvent->Wait(kStuckMs), WAIT_OBJECT_0);
    }

    void Stop() {
        player.stopped = true;
        if (stream->refreshEvent)
            stream->refreshEvent->Set();
        player.slots[kFrontSlot].renderThread.Join();
    }

    void QueuePicture(double pts, std::int64_t dts, std::uint32_t serial = 0) {
        TVideoPicture& picture = stream->pictureQueue.picture;
        picture.width = 16;
        picture.height = 8;
        picture.buffer = static_cast<std::uint8_t*>(av_malloc(16 * 8 * 4));
        std::memset(picture.buffer, 0x80, 16 * 8 * 4);
        picture.pts = pts;
        picture.dts = dts;
        picture.serial = serial;
        std::lock_guard guard(stream->pictureQueue.lock);
        stream->pictureQueue.count = 1;
    }

    std::int32_t Count() {
        std::lock_guard guard(stream->pictureQueue.lock);
        return stream->pictureQueue.count;
    }

    // One pass of the render thread, seen through the period it leaves.
    bool OnePass() {
        stream->refreshPeriod = 0.0;
        stream->refreshEvent->Set();
        for (int i = 0; i < kPollRounds && stream->refreshPeriod == 0.0; ++i)
            Sleep(1);
        return stream->refreshPeriod != 0.0;
    }

    TMediaPlayer player;
    TVideoStreamInfo* stream = nullptr;
    TGLView view;
    AVFormatContext* input = nullptr;
};

TEST_F(RenderThreadWithoutWindow, ConsumesDuePicturesWithoutDrawingAndEndsOnStop) {
    OpenStream();
    // Pictures that go on from one already shown, not the first of an open.
    stream->shownSerial = 0;
    Start();
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        QueuePicture(2.0 + frame / 30.0, 60 + frame);
        stream->refreshEvent->Set();
        ASSERT_EQ(stream->pictureQueue.space->Wait(kStuckMs), WAIT_OBJECT_0);
        EXPECT_EQ(Count(), 0);
        EXPECT_EQ(stream->pictureQueue.readIndex, 0);
        EXPECT_DOUBLE_EQ(stream->currentPts, 2.0 + frame / 30.0);
        EXPECT_EQ(stream->shownDts, 60 + frame);
        stream->pictureQueue.picture.Free();
    }
    // The frame timer started at zero, long past: every picture is late.
    EXPECT_DOUBLE_EQ(stream->refreshPeriod, 10.5);
    EXPECT_EQ(view.DrawnPictures(), 0);
    EXPECT_FALSE(stream->rendererAck);
    Stop();
    EXPECT_FALSE(player.slots[kFrontSlot].renderThread.Started());
}

TEST_F(RenderThreadWithoutWindow, TheFirstPictureAfterAJumpRestartsTheFrameTimer) {
    OpenStream();
    stream->shownSerial = 0;
    stream->lastFrameDelay = 0.04;
    Start();
    // Before the jump the timer lies far behind: the picture is late.
    QueuePicture(2.0, 60, 0);
    stream->refreshEvent->Set();
    ASSERT_EQ(stream->pictureQueue.space->Wait(kStuckMs), WAIT_OBJECT_0);
    EXPECT_DOUBLE_EQ(stream->refreshPeriod, 10.5);
    stream->pictureQueue.picture.Free();

    // The first picture after it is shown now and the next one a frame
    // later, not hurried to make up for the time the jump took.
    QueuePicture(7.0, 210, 1);
    stream->refreshEvent->Set();
    ASSERT_EQ(stream->pictureQueue.space->Wait(kStuckMs), WAIT_OBJECT_0);
    EXPECT_EQ(stream->shownSerial, 1u);
    EXPECT_DOUBLE_EQ(stream->currentPts, 7.0);
    EXPECT_GT(stream->refreshPeriod, 30.0);
    EXPECT_LE(stream->refreshPeriod, 40.5);
    stream->pictureQueue.picture.Free();
}

TEST_F(RenderThreadWithoutWindow, WithoutStreamThePictureWaitsAndThePeriodIsLong) {
    Start();
    QueuePicture(1.0, 30);
    ASSERT_TRUE(OnePass());
    EXPECT_DOUBLE_EQ(stream->refreshPeriod, 100.0);
    EXPECT_EQ(Count(), 1);
}

TEST_F(RenderThreadWithoutWindow, WithoutPictureThePeriodIsOneMillisecond) {
    OpenStream();
    Start();
    ASSERT_TRUE(OnePass());
    EXPECT_DOUBLE_EQ(stream->refreshPeriod, 1.0);
}

TEST_F(RenderThreadWithoutWindow, AClosingStreamConsumesItsPictureAndAcknowledges) {
    OpenStream();
    stream->closing = true;
    Start();
    QueuePicture(1.0, 30);
    stream->refreshEvent->Set();
    ASSERT_EQ(stream->pictureQueue.space->Wait(kStuckMs), WAIT_OBJECT_0);
    EXPECT_EQ(Count(), 0);
    ASSERT_TRUE(OnePass());
    EXPECT_TRUE(stream->rendererAck);
}

TEST_F(RenderThreadWithoutWindow, AStoppedControllerEndsTheThreadAtOnce) {
    player.stopped = true;
    player.slots[kFrontSlot].startEvent = std::make_unique<TEvent>(false, false);
    ASSERT_TRUE(player.slots[kFrontSlot].renderThread.Start(
        [this] { RenderThread(player, kFrontSlot, view); }));
    EXPECT_EQ(player.slots[kFrontSlot].startEvent->Wait(kStuckMs), WAIT_OBJECT_0);
    player.slots[kFrontSlot].renderThread.Join();
    EXPECT_FALSE(player.slots[kFrontSlot].renderThread.Started());
}

} // namespace
