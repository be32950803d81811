// The front channel's decoding into its picture queue, with a stand-in view
// in a real video window: packets are read and fed by hand, or by its
// decoder thread, and the pictures consumed as the render side would.

#include <atomic>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/player_reader.h"
#include "engine/video_stream_info.h"
#include "engine/video_view.h"
#include "platform/message_box.h"
#include "tests/engine/window_harness.h"
#include "tests/fixtures/test_pattern.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::ReadFrameNumber;
using velor::fixtures::RecordingOptions;

namespace {

constexpr int kNothingQueued = -2;
constexpr DWORD kStuckMs = 5000;

// Shows and hides at once; what it was told is kept for the test.
class TStandInView : public IVideoView {
public:
    void ShowView(HWND, int pictureWidth) override {
        visible = true;
        lastPictureWidth = pictureWidth;
    }
    void HideView() override { visible = false; }
    bool IsVisible() const override { return visible; }
    void SetWindowSize(int width, int) override { windowWidth = width; }
    void SetTextureSize(int, int) override {}

    std::atomic<bool> visible{false};
    int lastPictureWidth = 0;
    int windowWidth = 0;
};

RecordingOptions Recording(int seconds) {
    RecordingOptions options;
    options.seconds = seconds;
    return options;
}

class VideoDecodeTest : public ::testing::Test {
protected:
    void OpenRecording(const RecordingOptions& options, int windowHeight = 180) {
        m_recording = std::make_unique<TFixtureRecording>(options);
        EnsureTestWindows();
        m_main = MakeTestWindow(WS_POPUP, 0, 0, 1035, 720);
        const HWND videoWindow =
            MakeTestWindow(WS_CHILD | WS_VISIBLE, 0, 0, 1000, windowHeight, m_main);
        Front().Init(reinterpret_cast<std::intptr_t>(videoWindow));
        Front().view = &m_view;
        StartRecordingMessageBoxes(IDOK);
        ASSERT_TRUE(m_reader.Open(m_recording->Path()));
    }

    void TearDown() override {
        StopRecordingMessageBoxes();
        StopDecoder();
        // The calls the relayouts posted to the main thread run before the
        // windows go.
        Pump(20);
        if (m_main)
            DestroyWindow(m_main);
    }

    TVideoStreamInfo& Front() { return *m_player.Video(kFrontSlot); }

    // The next packet of the front stream, straight from the input.
    TPacketHandle NextFrontPacket() {
        TPacketHandle packet = MakePacket();
        while (av_read_frame(m_reader.Input(), packet.get()) >= 0) {
            if (packet->stream_index == 0)
                return packet;
            av_packet_unref(packet.get());
        }
        return nullptr;
    }

    // Decodes the next front packet; the frame number of the picture it
    // queued, or kNothingQueued.
    int DecodeNext(bool skipDisplay = false) {
        const TPacketHandle packet = NextFrontPacket();
        double pts = -1;
        if (packet)
            Front().Decode(packet.get(), &pts, skipDisplay);
        return ConsumePicture();
    }

    // Takes the waiting picture as the render side would, returning its
    // frame number, and frees the queue for the next.
    int ConsumePicture(double* pts = nullptr) {
        TPictureQueue& queue = Front().pictureQueue;
        if (queue.count == 0)
            return kNothingQueued;
        const TVideoPicture& picture = queue.picture;
        const int number =
            ReadFrameNumber(picture.buffer.get(), picture.width, picture.height, picture.width * 4);
        if (pts)
            *pts = picture.pts;
        {
            std::lock_guard lock(queue.lock);
            --queue.count;
        }
        queue.space->Release(1);
        return number;
    }

    // The decoder thread, started as the player thread starts it.
    void StartDecoder() {
        m_reader.SetStopped(false);
        m_slot.startEvent = std::make_unique<TEvent>(false, false);
        m_slot.decoderThread.Start([this] { Front().DecoderThread(m_slot); });
        ASSERT_EQ(m_slot.startEvent->Wait(kStuckMs), WAIT_OBJECT_0);
    }
    void StopDecoder() {
        m_reader.SetStopped(true);
        m_slot.decoderThread.Join();
    }

    TMediaPlayer m_player;
    TPlayerReader m_reader{m_player};
    TStandInView m_view;
    TStreamSlot m_slot;
    std::unique_ptr<TFixtureRecording> m_recording;
    HWND m_main = nullptr;
};

} // namespace

TEST_F(VideoDecodeTest, FullHdInA405PixelWindowGoesFrom720To723AfterRelayout) {
    RecordingOptions options = Recording(1);
    options.channels = 1;
    options.width = 1920;
    options.height = 1080;
    options.sound = options.telemetry = false;
    OpenRecording(options, 405);
    EXPECT_EQ(Front().displayWidth, 720);
    EXPECT_EQ(Front().displayHeight, 405);
    EXPECT_EQ(m_view.windowWidth, 720);
    TPacketHandle packet = NextFrontPacket();
    double pts = -1;
    ASSERT_TRUE(Front().Decode(packet.get(), &pts, false));
    EXPECT_EQ(Front().displayWidth, 723);
    EXPECT_EQ(Front().pictureQueue.picture.width, 723);
    EXPECT_EQ(Front().pictureQueue.picture.height, 405);
    EXPECT_EQ(m_view.lastPictureWidth, 723);
    EXPECT_EQ(ConsumePicture(), 0);
}

TEST_F(VideoDecodeTest, PicturesComeOutInOrderWithTheirTimesAndHiddenHidesTheView) {
    OpenRecording(Recording(1));
    EXPECT_FALSE(Front().HasLastFrame());
    for (int frame = 0; frame < 30; ++frame) {
        SCOPED_TRACE(frame);
        // Hidden from frame 10 to 11: the view goes at the next picture.
        Front().hidden = frame == 10 || frame == 11;
        double pts = -1, queuedPts = -1;
        TPacketHandle packet = NextFrontPacket();
        ASSERT_TRUE(Front().Decode(packet.get(), &pts, false));
        EXPECT_EQ(m_view.visible, !Front().hidden);
        EXPECT_DOUBLE_EQ(pts, frame / 30.0);
        // A hidden picture is queued for its time but not converted.
        EXPECT_EQ(ConsumePicture(&queuedPts), Front().hidden ? 9 : frame);
        EXPECT_DOUBLE_EQ(queuedPts, pts);
        // The clock runs one frame ahead of the picture.
        EXPECT_NEAR(Front().clock, (frame + 1) / 30.0, 1e-9);
    }
    EXPECT_TRUE(Front().HasLastFrame());
    EXPECT_TRUE(Front().CopyLastFrame());
}

TEST_F(VideoDecodeTest, BackwardStepConvertsOnlyTheTarget) {
    RecordingOptions options = Recording(2);
    options.gopLength = 30;
    OpenRecording(options);
    // Frames 30..37 follow the key frame at 30; the target is 37.
    constexpr int kTarget = 37;
    m_reader.SetStepping(-1, kTarget);
    std::vector<int> shown;
    for (int dts = 0; dts <= kTarget; ++dts) {
        const int number = DecodeNext(dts < kTarget);
        if (number != kNothingQueued)
            shown.push_back(number);
    }
    EXPECT_EQ(shown, (std::vector<int>{kTarget}));
}

TEST_F(VideoDecodeTest, DecoderThreadReoffersWhilePausedDecodesQueuedPacketsAndEndsOnStop) {
    OpenRecording(Recording(1));
    EXPECT_EQ(DecodeNext(), 0);
    // Paused with nothing queued, the last picture is offered again and
    // again; a stop still ends the thread.
    m_reader.SetPaused(true);
    StartDecoder();
    int offers = 0;
    for (int tries = 0; tries < 1000 && offers < 3; ++tries) {
        if (ConsumePicture() == 0)
            ++offers;
        Sleep(2);
    }
    EXPECT_EQ(offers, 3);
    StopDecoder();
    m_reader.SetPaused(false);
    ConsumePicture();

    StartDecoder();
    for (int i = 0; i < 12; ++i)
        m_reader.ReadStep();
    std::vector<int> seen;
    for (int tries = 0; tries < 500 && seen.size() < 2; ++tries) {
        const int number = ConsumePicture();
        if (number >= 0)
            seen.push_back(number);
        else
            Sleep(2);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    // Stopped with a picture waiting, it still ends (TearDown joins it).
    for (int tries = 0; tries < 200 && Front().pictureQueue.count == 0; ++tries)
        Sleep(2);
}
