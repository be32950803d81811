#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/ffmpeg.h"
#include "engine/gl_view.h"
#include "engine/glfw_setup.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/windows.h"
#include "tests/fixtures/test_pattern.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

std::vector<WPARAM> g_notifications;

LRESULT NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPlayerNotifyMessage) {
        g_notifications.push_back(wParam);
        if (wParam == PlayerNotify::Opened)
            delete reinterpret_cast<TTelemetry*>(lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "engine_player_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: windows deleted late must not outlive Qt's thread data
    // at exit.
    [[maybe_unused]] static TApplication* application = new TApplication(argc, argv);
    static bool glfw = (StartRecordingMessageBoxes(IDOK), SetUpGlfw(), StopRecordingMessageBoxes(), true);
    (void)glfw;
    static bool registered = [] {
        WNDCLASSEXA windowClass;
        windowClass.lpfnWndProc = NotifyProc;
        windowClass.lpszClassName = "__PlayerTestWindow__";
        windowClass.style = CS_DBLCLKS;
        return RegisterClassExA(&windowClass) != 0;
    }();
    (void)registered;
}

// Runs the main thread's messages until `done` holds or `ms` pass.
template <typename Done>
bool PumpUntil(Done done, DWORD ms = 10000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(2);
    }
    return true;
}

// The player's own answers, without the geometry notes the video streams
// post to the same window.
std::vector<WPARAM> PlayerAnswers() {
    std::vector<WPARAM> answers;
    for (WPARAM code : g_notifications) {
        if (code != PlayerNotify::GeometryChanged && code != PlayerNotify::GeometryChangedFullScreen)
            answers.push_back(code);
    }
    return answers;
}

bool Seen(WPARAM code) {
    return std::find(g_notifications.begin(), g_notifications.end(), code) != g_notifications.end();
}

// The frame number a stream's last decoded frame shows.
int ShownFrameNumber(TVideoStreamInfo* video) {
    std::lock_guard lock(video->displayLock);
    AVFrame* frame = video->lastFrame;
    if (!frame || !frame->buf[0])
        return -1;
    std::vector<std::uint8_t> bgra(static_cast<size_t>(frame->width) * frame->height * 4);
    SwsContext* scaler = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                        frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr,
                                        nullptr);
    std::uint8_t* planes[1] = {bgra.data()};
    int strides[1] = {frame->width * 4};
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    sws_freeContext(scaler);
    return velor::fixtures::ReadFrameNumber(bgra.data(), frame->width, frame->height, frame->width * 4);
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X server";
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        EnsureApplication();
        g_notifications.clear();
        m_main = CreateWindowExA(0, "__PlayerTestWindow__", "player test", WS_POPUP | WS_VISIBLE, 0, 0, 700,
                                 200, nullptr, nullptr, nullptr, nullptr);
        m_front = CreateWindowExA(0, "__PlayerTestWindow__", "", WS_CHILD | WS_VISIBLE, 0, 0, 320, 180, m_main,
                                  nullptr, nullptr, nullptr);
        m_rear = CreateWindowExA(0, "__PlayerTestWindow__", "", WS_CHILD | WS_VISIBLE, 340, 0, 320, 180, m_main,
                                 nullptr, nullptr, nullptr);
        PumpUntil([] { return false; }, 50);
        m_player = std::make_unique<TMediaPlayer>();
        m_player->Start(m_main, m_front, m_rear);
    }
    void TearDown() override {
        if (!m_player)
            return;
        m_player->Shutdown();
        m_player.reset();
        DestroyWindow(m_main);
    }

    void Open(const RecordingOptions& options) {
        m_recording = std::make_unique<TFixtureRecording>(options);
        m_player->OpenRecording(m_recording->Path(), 0);
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Opened) || Seen(PlayerNotify::OpenFailed); }));
        ASSERT_TRUE(Seen(PlayerNotify::Opened));
    }

    void PauseAndWait() {
        g_notifications.clear();
        m_player->Pause();
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Paused); }));
    }

    void StepAndWait(int direction) {
        g_notifications.clear();
        m_player->StepFrame(direction);
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::PausedAfterStep); }));
    }

    void SeekWhilePausedAndWait(double seconds) {
        g_notifications.clear();
        m_player->SeekTo(seconds);
        m_player->pendingOp = 2;
        m_player->wakeEvent->Set();
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::PausedAfterStep); }));
    }

    std::unique_ptr<TMediaPlayer> m_player;
    std::unique_ptr<TFixtureRecording> m_recording;
    HWND m_main = nullptr, m_front = nullptr, m_rear = nullptr;
};

RecordingOptions ShortRecording(int seconds = 3) {
    RecordingOptions options;
    options.seconds = seconds;
    return options;
}

} // namespace

TEST_F(PlayerTest, OpenNotifiesOpeningThenOpenedAndClosesTheProgressDialog) {
    HWND progress = CreateWindowExA(0, "__PlayerTestWindow__", kProgressDialogTitle, WS_POPUP, 0, 0, 10, 10,
                                    nullptr, nullptr, nullptr, nullptr);
    Open(ShortRecording());
    EXPECT_EQ(g_notifications.front(), PlayerNotify::Opening);
    EXPECT_TRUE(Seen(PlayerNotify::CloseProgressDialog));
    EXPECT_TRUE(m_player->IsActive());
    DestroyWindow(progress);
}

TEST_F(PlayerTest, FailedOpenShowsTheBoxAndNotifiesZero) {
    StartRecordingMessageBoxes(IDOK);
    m_player->OpenRecording("/nonexistent/NOR_20260101_000000_F.avi");
    ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::OpenFailed); }));
    std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    StopRecordingMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "failed to open input");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(PlayerAnswers(), (std::vector<WPARAM>{PlayerNotify::Opening, PlayerNotify::OpenFailed}));
    EXPECT_FALSE(m_player->IsActive());
}

TEST_F(PlayerTest, PauseResumeAndStopWhilePlaying) {
    Open(ShortRecording(5));
    PauseAndWait();
    EXPECT_TRUE(m_player->paused);
    g_notifications.clear();
    m_player->Resume();
    ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Woken); }));
    EXPECT_FALSE(m_player->paused);
    g_notifications.clear();
    m_player->Stop();
    ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Stopped); }));
    EXPECT_FALSE(m_player->IsActive());
}

TEST_F(PlayerTest, StopWhilePausedReturnsAtOnceAndTwoFollows) {
    Open(ShortRecording(5));
    PauseAndWait();
    g_notifications.clear();
    m_player->Stop();
    ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Stopped); }));
    EXPECT_FALSE(Seen(PlayerNotify::EndOfRecording));
}

TEST_F(PlayerTest, EndOfRecordingComesOnceTheClockReachedTheDuration) {
    Open(ShortRecording(2));
    ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::EndOfRecording); }, 20000));
    EXPECT_GE(m_player->MasterClock() + 0.1, 2.0 - 0.1);
    EXPECT_FALSE(Seen(PlayerNotify::Stopped));
}

TEST_F(PlayerTest, StepsForwardAndBackwardShowNeighbouringFrames) {
    Open(ShortRecording(5));
    TVideoStreamInfo* front = m_player->Video(0);
    ASSERT_TRUE(PumpUntil([&] { return front->shownDts >= 10; }));
    PauseAndWait();
    PumpUntil([] { return false; }, 100);
    std::int64_t before = front->shownDts;
    StepAndWait(1);
    EXPECT_EQ(PlayerAnswers(), (std::vector<WPARAM>{PlayerNotify::Woken, PlayerNotify::StepDone,
                                                   PlayerNotify::PausedAfterStep}));
    PumpUntil([&] { return front->shownDts == before + 1; }, 2000);
    EXPECT_EQ(front->shownDts, before + 1);
    EXPECT_EQ(ShownFrameNumber(front), before + 1);
    StepAndWait(-1);
    StepAndWait(-1);
    PumpUntil([&] { return front->shownDts == before - 1; }, 2000);
    EXPECT_EQ(front->shownDts, before - 1);
    EXPECT_EQ(ShownFrameNumber(front), before - 1);
}

TEST_F(PlayerTest, StepWithNothingShownStillAnswers) {
    RecordingOptions options = ShortRecording(3);
    Open(options);
    PauseAndWait();
    // Seek past the end: nothing can be stepped to, the answer still comes.
    TVideoStreamInfo* front = m_player->Video(0);
    front->shownDts = m_player->frameCount.load();
    StepAndWait(1);
    EXPECT_EQ(PlayerAnswers(), (std::vector<WPARAM>{PlayerNotify::Woken, PlayerNotify::StepDone,
                                                   PlayerNotify::PausedAfterStep}));
}

TEST_F(PlayerTest, PausedSeekShowsTheTargetFrameOnAFileWithoutUsableIndex) {
    for (auto parity : {velor::fixtures::MoviParity::Odd, velor::fixtures::MoviParity::Even}) {
        RecordingOptions options = ShortRecording(6);
        options.gopLength = 30;
        options.moviParity = parity;
        g_notifications.clear();
        Open(options);
        PauseAndWait();
        SeekWhilePausedAndWait(3.5);
        // The render thread puts the target on screen right after the answer.
        PumpUntil([&] { return m_player->Video(0)->shownDts == 105 && m_player->Video(1)->shownDts == 105; }, 2000);
        EXPECT_EQ(ShownFrameNumber(m_player->Video(0)), 105);
        EXPECT_EQ(ShownFrameNumber(m_player->Video(1)), 105);
        EXPECT_EQ(m_player->CurrentSecond(), 4);
        // A backward step from a frame after a key frame decodes from that key frame.
        StepAndWait(-1);
        PumpUntil([&] { return m_player->Video(0)->shownDts == 104; }, 2000);
        EXPECT_EQ(ShownFrameNumber(m_player->Video(0)), 104);
        g_notifications.clear();
        m_player->Stop();
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Stopped); }));
    }
}

TEST_F(PlayerTest, SeekByClampsAtBothEnds) {
    Open(ShortRecording(4));
    m_player->SeekBy(-5.0);
    EXPECT_EQ(m_player->seekTarget, 0);
    EXPECT_EQ(m_player->seekFlags, AVSEEK_FLAG_BACKWARD);
    // A second request before the reader took the first is ignored.
    m_player->SeekTo(2.0);
    EXPECT_EQ(m_player->seekTarget, 0);
    ASSERT_TRUE(PumpUntil([&] { return m_player->seekRequest == 0; }));
    m_player->SeekBy(100.0);
    EXPECT_EQ(m_player->seekTarget, 3000000);
    EXPECT_EQ(m_player->seekFlags, 0);
}

TEST_F(PlayerTest, OneChannelRecordingTakesTheClockFromTheFront) {
    RecordingOptions options = ShortRecording(3);
    options.channels = 1;
    Open(options);
    EXPECT_EQ(m_player->Video(1)->streamIndex, -1);
    ASSERT_TRUE(PumpUntil([&] { return m_player->MasterClock() > 0.3; }));
    EXPECT_FALSE(m_player->views[1]->IsVisible());
}

TEST_F(PlayerTest, ShutdownWhilePlayingAndWhilePaused) {
    Open(ShortRecording(5));
    m_player->Shutdown();
    EXPECT_TRUE(m_player->stopped);
    m_player.reset();
    m_player = std::make_unique<TMediaPlayer>();
    m_player->Start(m_main, m_front, m_rear);
    g_notifications.clear();
    Open(ShortRecording(5));
    PauseAndWait();
    m_player->Shutdown();
    EXPECT_TRUE(m_player->stopped);
}

TEST_F(PlayerTest, ManyRecordingsInARowOpenPlaySeekAndStop) {
    RecordingOptions options = ShortRecording(2);
    options.width = 160;
    options.height = 96;
    TFixtureRecording recording(options);
    const int rounds = std::getenv("VELOR_STRESS_ROUNDS") ? std::atoi(std::getenv("VELOR_STRESS_ROUNDS")) : 100;
    for (int round = 0; round < rounds; ++round) {
        g_notifications.clear();
        m_player->OpenRecording(recording.Path(), 0);
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Opened); })) << round;
        m_player->SeekTo(1.0);
        if (round % 3 == 0) {
            m_player->Pause();
            ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Paused); })) << round;
        }
        m_player->Stop();
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Stopped); })) << round;
    }
}

TEST_F(PlayerTest, StopIsAnsweredWhileNothingReadsTheCommands) {
    Open(ShortRecording(5));
    PauseAndWait();
    // The player thread idles with the recording open and not paused (as a
    // close while paused leaves it): only the idle check can see the stop.
    m_player->paused = false;
    g_notifications.clear();
    m_player->Stop();
    ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Stopped); }));
    EXPECT_FALSE(m_player->IsActive());
}
