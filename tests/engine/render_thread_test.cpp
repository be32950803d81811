// The render thread with a view that has no window (its creation failed, or
// there is no display): it paces and consumes pictures, never draws, and
// ends on stop.

#include <gtest/gtest.h>

#include "tests/engine/render_harness.h"

namespace {

// Bounds on waits that only fail when the thread is stuck.
constexpr DWORD kStuckMs = 10000;
constexpr int kPollRounds = 5000;

class RenderThreadWithoutWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Creation fails: no parent to live in (and GLFW was never set up).
        EXPECT_FALSE(m_view.CreateView(nullptr, 320, 240));
        EXPECT_FALSE(m_view.HasWindow());
    }

    void Queue(double pts, std::int64_t dts, std::uint32_t serial = 0) {
        m_render.FillPicture(16, 8, [](int, int) { return 0x808080u; });
        m_stream.pictureQueue.picture.pts = pts;
        m_stream.pictureQueue.picture.dts = dts;
        m_stream.pictureQueue.picture.serial = serial;
        m_render.QueuePicture();
    }
    bool Consumed() { return m_stream.pictureQueue.space->Wait(kStuckMs) == WAIT_OBJECT_0; }

    // One pass of the render thread, seen through the period it leaves.
    bool OnePass() {
        m_stream.refreshPeriod = 0.0;
        m_stream.refreshEvent->Set();
        for (int i = 0; i < kPollRounds && m_stream.refreshPeriod == 0.0; ++i)
            Sleep(1);
        return m_stream.refreshPeriod != 0.0;
    }

    TGLView m_view;
    TRenderHarness m_render{m_view, nullptr};
    TVideoStreamInfo& m_stream = m_render.stream;
};

} // namespace

TEST_F(RenderThreadWithoutWindow,
       ConsumesPicturesWithoutDrawingAndTheFirstAfterAJumpRestartsTheTimer) {
    m_render.OpenStream();
    // Pictures that go on from one already shown, not the first of an open.
    m_stream.shownSerial = 0;
    m_stream.lastFrameDelay = 0.04;
    ASSERT_TRUE(m_render.Start());
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        Queue(2.0 + frame / 30.0, 60 + frame);
        ASSERT_TRUE(Consumed());
        EXPECT_EQ(m_render.Queued(), 0);
        EXPECT_DOUBLE_EQ(m_stream.currentPts, 2.0 + frame / 30.0);
        EXPECT_EQ(m_stream.shownDts, 60 + frame);
        // The frame timer started at zero, long past: every picture is late.
        EXPECT_DOUBLE_EQ(m_stream.refreshPeriod, 10.5);
    }
    // The first picture after a jump is shown now and the next one a frame
    // later, not hurried to make up for the time the jump took.
    Queue(7.0, 210, 1);
    ASSERT_TRUE(Consumed());
    EXPECT_EQ(m_stream.shownSerial, 1u);
    EXPECT_DOUBLE_EQ(m_stream.currentPts, 7.0);
    EXPECT_GT(m_stream.refreshPeriod, 30.0);
    EXPECT_LE(m_stream.refreshPeriod, 40.5);
    EXPECT_EQ(m_view.DrawnPictures(), 0);
    EXPECT_FALSE(m_stream.rendererAck);
    m_render.Stop();
}

TEST_F(RenderThreadWithoutWindow, AClosingStreamConsumesItsPictureAndAcknowledges) {
    m_render.OpenStream();
    m_stream.closing = true;
    ASSERT_TRUE(m_render.Start());
    Queue(1.0, 30);
    ASSERT_TRUE(Consumed());
    EXPECT_EQ(m_render.Queued(), 0);
    ASSERT_TRUE(OnePass());
    EXPECT_TRUE(m_stream.rendererAck);
}
