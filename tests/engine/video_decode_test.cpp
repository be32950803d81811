#include <atomic>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/audio_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "engine/video_view.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/windows.h"
#include "tests/fixtures/test_pattern.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::ReadFrameNumber;
using velor::fixtures::RecordingOptions;

namespace {

TApplication& Application() {
    static int argc = 1;
    static char name[] = "engine_video_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: windows deleted late must not outlive Qt's thread data
    // at exit.
    static TApplication* application = new TApplication(argc, argv);
    return *application;
}

class TStandInView : public IVideoView {
public:
    void ShowView(HWND, int pictureWidth) override {
        visible = true;
        ++shows;
        lastPictureWidth = pictureWidth;
    }
    void HideView() override {
        visible = false;
        ++hides;
    }
    bool IsVisible() const override { return visible; }
    void SetWindowSize(int width, int height) override {
        windowWidth = width;
        windowHeight = height;
    }
    void SetTextureSize(int, int) override {}

    std::atomic<bool> visible{false};
    std::atomic<int> shows{0};
    std::atomic<int> hides{0};
    int lastPictureWidth = 0;
    int windowWidth = 0;
    int windowHeight = 0;
};

class TNullSink : public INotifySink {
public:
    void Notify(WPARAM code, LPARAM lParam) override {
        if (code == PlayerNotify::Opened)
            delete reinterpret_cast<TTelemetry*>(lParam);
    }
    void CloseProgressDialog() override {}
};

LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(HWND parent, int width, int height) {
    static bool registered = [] {
        WNDCLASSEXA windowClass;
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = "__VideoTestWindow__";
        return RegisterClassExA(&windowClass) != 0;
    }();
    (void)registered;
    DWORD style = parent ? (WS_CHILD | WS_VISIBLE) : WS_POPUP;
    return CreateWindowExA(0, "__VideoTestWindow__", "", style, 0, 0, width, height, parent, nullptr,
                           nullptr, nullptr);
}

// A player whose front stream decodes into a stand-in view inside a video
// window of the given height; packets are read and fed by hand.
class VideoDecodeTest : public ::testing::Test {
protected:
    void SetUp() override { Application(); }

    void OpenRecording(const RecordingOptions& options, int windowHeight = 180) {
        m_recording = std::make_unique<TFixtureRecording>(options);
        m_main = MakeWindow(nullptr, 1035, 720);
        m_videoWindow = MakeWindow(m_main, 1000, windowHeight);
        m_player.notifySink = &m_sink;
        Front().Init(reinterpret_cast<std::intptr_t>(m_videoWindow));
        Front().view = &m_view;
        for (int slot = 1; slot < kSlotCount; ++slot) {
            if (m_player.slots[slot].info)
                m_player.slots[slot].info->Init(0);
        }
        m_player.path = m_recording->Path();
        StartRecordingMessageBoxes(IDOK);
        ASSERT_TRUE(m_player.OpenInput());
    }

    void TearDown() override {
        StopRecordingMessageBoxes();
        m_player.stopped = true;
        for (TStreamSlot& slot : m_player.slots) {
            if (slot.info)
                slot.info->Close();
        }
        m_player.CloseInput();
        if (m_main)
            DestroyWindow(m_main);
    }

    TVideoStreamInfo& Front() { return *m_player.Video(0); }

    // The next packet of the front stream, straight from the input.
    bool NextFrontPacket(AVPacket* packet) {
        while (av_read_frame(m_player.formatContext, packet) >= 0) {
            if (packet->stream_index == 0)
                return true;
            av_packet_unref(packet);
        }
        return false;
    }

    // Decodes the next front packet for display; the frame number shown, or
    // -2 when nothing was queued.
    int DecodeNextAndConsume() {
        TPacketHandle packet = MakePacket();
        if (!NextFrontPacket(packet.get()))
            return -3;
        double pts;
        Front().Decode(packet.get(), &pts, false);
        return ConsumePicture();
    }

    // Takes the waiting picture as the render side would, returning its
    // frame number (or -1), and frees the queue for the next.
    int ConsumePicture(double* pts = nullptr) {
        TPictureQueue& queue = Front().pictureQueue;
        if (queue.count == 0)
            return -2;
        TVideoPicture& picture = queue.picture;
        int number = ReadFrameNumber(picture.buffer, picture.width, picture.height, picture.width * 4);
        if (pts)
            *pts = picture.pts;
        {
            std::lock_guard lock(queue.lock);
            --queue.count;
        }
        queue.space->Release(1);
        return number;
    }

    TMediaPlayer m_player;
    TNullSink m_sink;
    TStandInView m_view;
    std::unique_ptr<TFixtureRecording> m_recording;
    HWND m_main = nullptr;
    HWND m_videoWindow = nullptr;
};

} // namespace

TEST(VideoGeometry, WideWidthsOfAHeight) {
    EXPECT_EQ(TVideoStreamInfo::WideWidth(720), 1280);
    EXPECT_EQ(TVideoStreamInfo::PaddedWideWidth(720), 1283);
    EXPECT_EQ(TVideoStreamInfo::WideWidth(500), 888);
    EXPECT_EQ(TVideoStreamInfo::PaddedWideWidth(500), 891);
    EXPECT_EQ(TVideoStreamInfo::WideWidth(405), 720);
    EXPECT_EQ(TVideoStreamInfo::PaddedWideWidth(405), 723);
    EXPECT_EQ(TVideoStreamInfo::WideWidth(0), 0);
}

TEST_F(VideoDecodeTest, FullHdInA405PixelWindowGoesFrom720To723AfterRelayout) {
    RecordingOptions options;
    options.channels = 1;
    options.seconds = 1;
    options.width = 1920;
    options.height = 1080;
    options.sound = false;
    options.telemetry = false;
    OpenRecording(options, 405);
    EXPECT_EQ(Front().displayWidth, 720);
    EXPECT_EQ(Front().displayHeight, 405);
    EXPECT_EQ(m_view.windowWidth, 720);
    TPacketHandle packet = MakePacket();
    ASSERT_TRUE(NextFrontPacket(packet.get()));
    double pts = -1;
    ASSERT_TRUE(Front().Decode(packet.get(), &pts, false));
    EXPECT_EQ(Front().displayWidth, 723);
    EXPECT_EQ(Front().pictureQueue.picture.width, 723);
    EXPECT_EQ(Front().pictureQueue.picture.height, 405);
    EXPECT_EQ(m_view.lastPictureWidth, 723);
    EXPECT_EQ(ConsumePicture(), 0);
}

TEST_F(VideoDecodeTest, PicturesComeOutInOrderWithTheirTimes) {
    RecordingOptions options;
    options.seconds = 1;
    OpenRecording(options);
    TPacketHandle packet = MakePacket();
    for (int frame = 0; frame < 30; ++frame) {
        ASSERT_TRUE(NextFrontPacket(packet.get()));
        double pts = -1;
        ASSERT_TRUE(Front().Decode(packet.get(), &pts, false)) << frame;
        av_packet_unref(packet.get());
        EXPECT_DOUBLE_EQ(pts, frame / 30.0);
        double queuedPts = -1;
        EXPECT_EQ(ConsumePicture(&queuedPts), frame);
        EXPECT_DOUBLE_EQ(queuedPts, pts);
        // The clock runs one frame ahead of the picture.
        EXPECT_NEAR(Front().clock, (frame + 1) / 30.0, 1e-9);
    }
    EXPECT_NE(Front().lastFrame, nullptr);
}

TEST_F(VideoDecodeTest, PacketWithoutDtsTakesThePtsItsFrameCarries) {
    RecordingOptions options;
    options.seconds = 1;
    options.codec = velor::fixtures::VideoCodec::Mjpeg;
    OpenRecording(options);
    TPacketHandle packet = MakePacket();
    ASSERT_TRUE(NextFrontPacket(packet.get()));
    packet->dts = AV_NOPTS_VALUE;
    packet->pts = 7;
    double pts = -1;
    ASSERT_TRUE(Front().Decode(packet.get(), &pts, false));
    EXPECT_DOUBLE_EQ(pts, 7 / 30.0);
    EXPECT_EQ(Front().lastPacketDts, AV_NOPTS_VALUE);
}

TEST_F(VideoDecodeTest, FrameAtTimeZeroTakesTheClockAndAdvancesIt) {
    RecordingOptions options;
    options.seconds = 1;
    options.codec = velor::fixtures::VideoCodec::Mjpeg;
    OpenRecording(options);
    TPacketHandle packet = MakePacket();
    ASSERT_TRUE(NextFrontPacket(packet.get()));
    Front().clock = 0.5;
    packet->dts = 0;
    double pts = -1;
    ASSERT_TRUE(Front().Decode(packet.get(), &pts, false));
    EXPECT_DOUBLE_EQ(pts, 0.5);
    EXPECT_NEAR(Front().clock, 0.5 + 1 / 30.0, 1e-9);
}

TEST_F(VideoDecodeTest, HiddenHidesTheViewAtTheNextPictureAndShowsItAgain) {
    RecordingOptions options;
    options.seconds = 1;
    OpenRecording(options);
    EXPECT_EQ(DecodeNextAndConsume(), 0);
    EXPECT_TRUE(m_view.visible);
    Front().hidden = true;
    EXPECT_TRUE(m_view.visible);
    DecodeNextAndConsume();
    EXPECT_FALSE(m_view.visible);
    Front().hidden = false;
    EXPECT_EQ(DecodeNextAndConsume(), 2);
    EXPECT_TRUE(m_view.visible);
}

TEST_F(VideoDecodeTest, BackwardStepConvertsOnlyTheTarget) {
    RecordingOptions options;
    options.seconds = 2;
    options.gopLength = 30;
    OpenRecording(options);
    // Frames 30..37 follow the key frame at 30; the target is 37.
    TPacketHandle packet = MakePacket();
    m_player.stepping = 1;
    m_player.stepMode = -1;
    m_player.stepTarget = 37;
    std::vector<int> shown;
    while (NextFrontPacket(packet.get())) {
        if (packet->dts < 30) {
            double ignored;
            Front().Decode(packet.get(), &ignored, true);
            av_packet_unref(packet.get());
            continue;
        }
        bool skip = packet->dts < m_player.stepTarget;
        std::int64_t dts = packet->dts;
        double pts;
        Front().Decode(packet.get(), &pts, skip);
        av_packet_unref(packet.get());
        int number = ConsumePicture();
        if (number != -2)
            shown.push_back(number);
        if (dts == m_player.stepTarget)
            break;
    }
    EXPECT_EQ(shown, (std::vector<int>{37}));
}

TEST_F(VideoDecodeTest, DecoderThreadDecodesQueuedPacketsAndEndsOnStop) {
    RecordingOptions options;
    options.seconds = 1;
    OpenRecording(options);
    m_player.stopped = false;
    TStreamSlot& slot = m_player.slots[0];
    slot.startEvent = std::make_unique<TEvent>(false, false);
    slot.decoderThread.Start([&] { Front().DecoderThread(slot); });
    ASSERT_EQ(slot.startEvent->Wait(5000), WAIT_OBJECT_0);
    for (int i = 0; i < 6; ++i)
        m_player.ReadStep();
    // Consume as a render thread would, until frame 1 is seen.
    std::vector<int> seen;
    for (int tries = 0; tries < 500 && seen.size() < 2; ++tries) {
        int number = ConsumePicture();
        if (number >= 0)
            seen.push_back(number);
        else
            Sleep(2);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1}));
    // Stop with a picture waiting: the thread still ends.
    for (int tries = 0; tries < 200 && Front().pictureQueue.count == 0; ++tries)
        Sleep(2);
    m_player.stopped = true;
    slot.decoderThread.Join();
    SUCCEED();
}

TEST_F(VideoDecodeTest, PausedStreamReoffersItsLastPicture) {
    RecordingOptions options;
    options.seconds = 1;
    OpenRecording(options);
    TPacketHandle packet = MakePacket();
    double pts;
    ASSERT_TRUE(NextFrontPacket(packet.get()));
    Front().Decode(packet.get(), &pts, false);
    av_packet_unref(packet.get());
    ConsumePicture();
    m_player.stopped = false;
    m_player.paused = true;
    TStreamSlot& slot = m_player.slots[0];
    slot.startEvent = std::make_unique<TEvent>(false, false);
    slot.decoderThread.Start([&] { Front().DecoderThread(slot); });
    int offers = 0;
    for (int tries = 0; tries < 1000 && offers < 3; ++tries) {
        if (ConsumePicture() == 0)
            ++offers;
        Sleep(2);
    }
    m_player.stopped = true;
    slot.decoderThread.Join();
    EXPECT_EQ(offers, 3);
}

TEST_F(VideoDecodeTest, DecoderThreadWithNothingQueuedEndsOnStop) {
    RecordingOptions options;
    options.seconds = 1;
    OpenRecording(options);
    m_player.stopped = false;
    TStreamSlot& slot = m_player.slots[0];
    slot.startEvent = std::make_unique<TEvent>(false, false);
    slot.decoderThread.Start([&] { Front().DecoderThread(slot); });
    ASSERT_EQ(slot.startEvent->Wait(5000), WAIT_OBJECT_0);
    Sleep(20);
    m_player.stopped = true;
    slot.decoderThread.Join();
    EXPECT_EQ(Front().pictureQueue.count, 0);
}
