// The controller with all its threads, in real windows: commands from the
// main thread, answers through its notifications.

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
#include "engine/player_reader.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "tests/engine/window_harness.h"
#include "tests/fixtures/test_pattern.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

std::vector<WPARAM> g_notifications;
// The lParam of every Opened: the token its telemetry table is taken with.
std::vector<LPARAM> g_openTokens;

LRESULT NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kPlayerNotifyMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    g_notifications.push_back(wParam);
    if (wParam == PlayerNotify::Opened)
        g_openTokens.push_back(lParam);
    return 0;
}

// The player's own answers, without the geometry notes the video streams
// post to the same window.
std::vector<WPARAM> PlayerAnswers() {
    std::vector<WPARAM> answers;
    for (WPARAM code : g_notifications) {
        if (code != PlayerNotify::GeometryChanged &&
            code != PlayerNotify::GeometryChangedFullScreen)
            answers.push_back(code);
    }
    return answers;
}

bool Seen(WPARAM code) {
    return std::find(g_notifications.begin(), g_notifications.end(), code) != g_notifications.end();
}

const std::vector<WPARAM> kStepAnswers = {PlayerNotify::Woken, PlayerNotify::StepDone,
                                          PlayerNotify::PausedAfterStep};

RecordingOptions ShortRecording(int seconds = 3) {
    RecordingOptions options;
    options.seconds = seconds;
    return options;
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X server";
        EnsureTestWindows(NotifyProc);
        [[maybe_unused]] static bool glfw =
            (StartRecordingMessageBoxes(IDOK), SetUpGlfw(), StopRecordingMessageBoxes(), true);
        g_notifications.clear();
        g_openTokens.clear();
        m_main = MakeTestWindow(WS_POPUP | WS_VISIBLE, 0, 0, 700, 200);
        m_front = MakeTestWindow(WS_CHILD | WS_VISIBLE, 0, 0, 320, 180, m_main);
        m_rear = MakeTestWindow(WS_CHILD | WS_VISIBLE, 340, 0, 320, 180, m_main);
        Pump(50);
        Restart(m_main);
    }
    void TearDown() override {
        if (!m_player)
            return;
        m_player->Shutdown();
        m_player.reset();
        DestroyWindow(m_main);
    }

    // A new controller in place of the one there was, which is shut down.
    void Restart(HWND notifyWindow) {
        if (m_player)
            m_player->Shutdown();
        m_player = std::make_unique<TMediaPlayer>();
        m_player->Start(notifyWindow, m_front, m_rear);
    }

    void Open(const RecordingOptions& options) {
        m_recording = std::make_unique<TFixtureRecording>(options);
        Reopen();
    }
    // Opens the last recording again.
    void Reopen() {
        g_notifications.clear();
        m_player->OpenRecording(m_recording->Path(), 0);
        ASSERT_TRUE(
            PumpUntil([] { return Seen(PlayerNotify::Opened) || Seen(PlayerNotify::OpenFailed); }));
        ASSERT_TRUE(Seen(PlayerNotify::Opened));
    }

    // Runs `command` and waits for the answer `code`.
    template <typename Command> void AndWait(Command command, WPARAM code) {
        g_notifications.clear();
        command();
        ASSERT_TRUE(PumpUntil([code] { return Seen(code); })) << code;
    }
    void PauseAndWait() {
        AndWait([this] { m_player->Pause(); }, PlayerNotify::Paused);
    }
    void StepAndWait(int direction) {
        AndWait([this, direction] { m_player->StepFrame(direction); },
                PlayerNotify::PausedAfterStep);
    }
    void SeekWhilePausedAndWait(double seconds) {
        AndWait([this, seconds] { m_player->SeekWhilePaused(seconds); },
                PlayerNotify::PausedAfterStep);
    }
    void StopAndWait() {
        AndWait([this] { m_player->Stop(); }, PlayerNotify::Stopped);
    }

    // The frame number the channel's last decoded frame shows, once its
    // render thread showed frame `expected` (or gave up waiting for it). The
    // pattern's blocks are black or white: the luma plane is enough.
    int ShownFrameNumber(int slot, std::int64_t expected) {
        PumpUntil([&] { return m_player->Video(slot)->shownDts == expected; }, 2000);
        const TFrameHandle frame = m_player->CopyLastFrame(slot);
        if (!frame)
            return -1;
        const int width = frame->width;
        std::vector<std::uint8_t> grey(static_cast<size_t>(width) * frame->height * 4);
        for (std::size_t i = 0; i < grey.size(); ++i) {
            const int pixel = static_cast<int>(i / 4);
            grey[i] = frame->data[0][pixel / width * frame->linesize[0] + pixel % width];
        }
        return velor::fixtures::ReadFrameNumber(grey.data(), width, frame->height, width * 4);
    }

    std::unique_ptr<TMediaPlayer> m_player;
    std::unique_ptr<TFixtureRecording> m_recording;
    HWND m_main = nullptr, m_front = nullptr, m_rear = nullptr;
};

} // namespace

TEST_F(PlayerTest, OpenPauseResumeStopAndShutdownWhilePlayingAndWhilePaused) {
    HWND progress = MakeTestWindow(WS_POPUP, 0, 0, 10, 10, nullptr, kProgressDialogTitle);
    Open(ShortRecording(5));
    EXPECT_EQ(g_notifications.front(), PlayerNotify::Opening);
    EXPECT_TRUE(Seen(PlayerNotify::CloseProgressDialog));
    EXPECT_TRUE(m_player->IsActive());
    DestroyWindow(progress);
    PauseAndWait();
    EXPECT_TRUE(m_player->paused());
    AndWait([this] { m_player->Resume(); }, PlayerNotify::Woken);
    EXPECT_FALSE(m_player->paused());
    StopAndWait();
    EXPECT_FALSE(m_player->IsActive());

    // A stop while paused returns at once, and the close follows.
    Reopen();
    PauseAndWait();
    StopAndWait();
    EXPECT_FALSE(Seen(PlayerNotify::EndOfRecording));

    // The player thread idles with the recording open and not paused (as a
    // close while paused leaves it): only the idle check can see the stop.
    Reopen();
    PauseAndWait();
    TPlayerReader(*m_player, TPlayerReader::TStreams::AsTheyAre).SetPaused(false);
    StopAndWait();
    EXPECT_FALSE(m_player->IsActive());

    // A stop right behind a pause, before the player took the pause, waits
    // for the player and must be answered (it hung the program once).
    Reopen();
    m_player->Pause();
    StopAndWait();
    EXPECT_FALSE(m_player->IsActive());

    Reopen();
    m_player->Shutdown();
    EXPECT_TRUE(m_player->stopped());
    Restart(m_main);
    Reopen();
    PauseAndWait();
    m_player->Shutdown();
    EXPECT_TRUE(m_player->stopped());
}

TEST_F(PlayerTest, PausedSeeksAndStepsShowTheTargetFrameOnAFileWithoutUsableIndex) {
    for (auto parity : {velor::fixtures::MoviParity::Odd, velor::fixtures::MoviParity::Even}) {
        RecordingOptions options = ShortRecording(6);
        options.gopLength = 30;
        options.moviParity = parity;
        Open(options);
        PauseAndWait();
        SeekWhilePausedAndWait(3.5);
        // The render thread puts the target on screen right after the answer.
        EXPECT_EQ(ShownFrameNumber(kFrontSlot, 105), 105);
        EXPECT_EQ(ShownFrameNumber(kRearSlot, 105), 105);
        EXPECT_EQ(m_player->CurrentSecond(), 4);
        // A backward step from a frame after a key frame decodes from that key frame.
        StepAndWait(-1);
        EXPECT_EQ(ShownFrameNumber(kFrontSlot, 104), 104);
        EXPECT_EQ(m_player->Video(kFrontSlot)->shownDts, 104);
        StepAndWait(1);
        EXPECT_EQ(PlayerAnswers(), kStepAnswers);
        EXPECT_EQ(ShownFrameNumber(kFrontSlot, 105), 105);
        StopAndWait();
    }

    // Past the last frame nothing can be stepped to; the answers still come.
    Reopen();
    PauseAndWait();
    SeekWhilePausedAndWait(m_player->duration());
    for (int step = 0; step < 2; ++step) {
        StepAndWait(1);
        EXPECT_EQ(PlayerAnswers(), kStepAnswers);
    }
}

TEST_F(PlayerTest, AOneChannelRecordingSeeksWithinItAndPlaysToItsEndOnTheFrontsClock) {
    RecordingOptions options = ShortRecording(2);
    options.channels = 1;
    Open(options);
    EXPECT_EQ(m_player->Video(kRearSlot)->streamIndex, -1);
    EXPECT_FALSE(m_player->View(kRearSlot)->IsVisible());
    // Relative seeks stop at the start and at the last second.
    const TPlayerReader reader(*m_player, TPlayerReader::TStreams::AsTheyAre);
    m_player->SeekBy(-5.0);
    EXPECT_EQ(reader.PendingSeek().targetMicros, 0);
    EXPECT_EQ(reader.PendingSeek().flags, AVSEEK_FLAG_BACKWARD);
    // A second request before the reader took the first is ignored.
    m_player->SeekTo(1.5);
    EXPECT_EQ(reader.PendingSeek().targetMicros, 0);
    ASSERT_TRUE(PumpUntil([&] { return !reader.PendingSeek().pending; }));
    m_player->SeekBy(100.0);
    EXPECT_EQ(reader.PendingSeek().targetMicros, 1000000);
    EXPECT_EQ(reader.PendingSeek().flags, 0);
    // The end is told once the clock reached the duration.
    ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::EndOfRecording); }, 20000));
    EXPECT_GE(m_player->MasterClock(), 2.0 - 0.2);
    EXPECT_FALSE(Seen(PlayerNotify::Stopped));
}

TEST_F(PlayerTest, ManyRecordingsInARowOpenPlaySeekAndStop) {
    RecordingOptions options = ShortRecording(2);
    options.width = 160;
    options.height = 96;
    TFixtureRecording recording(options);
    const int rounds =
        std::getenv("VELOR_STRESS_ROUNDS") ? std::atoi(std::getenv("VELOR_STRESS_ROUNDS")) : 100;
    for (int round = 0; round < rounds; ++round) {
        g_notifications.clear();
        m_player->OpenRecording(recording.Path(), 0);
        ASSERT_TRUE(PumpUntil([] { return Seen(PlayerNotify::Opened); })) << round;
        m_player->SeekTo(1.0);
        if (round % 3 == 0)
            PauseAndWait();
        StopAndWait();
    }
}

TEST_F(PlayerTest, AnOpenReadsOneWholeRequestedPathAndKeepsItsTelemetryUntilTaken) {
    // Long paths of different lengths, asked for by turns from this thread
    // while the player thread opens: each open reads one of them, whole.
    RecordingOptions options = ShortRecording(6);
    options.width = 160;
    options.height = 96;
    const TFixtureRecording longer(options, std::string(200, 'l') + ".avi");
    options.seconds = 3;
    const TFixtureRecording shorter(options, std::string(120, 's') + ".avi");
    const std::string paths[] = {longer.Path(), shorter.Path()};
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        g_notifications.clear();
        g_openTokens.clear();
        m_player->OpenRecording(paths[round % 2], 0);
        int turn = 0;
        ASSERT_TRUE(PumpUntil([&] {
            for (int i = 0; i < 200; ++i)
                m_player->OpenRecording(paths[turn++ % 2], 0);
            return Seen(PlayerNotify::Opened) || Seen(PlayerNotify::OpenFailed);
        }));
        ASSERT_EQ(g_openTokens.size(), 1u);
        // The table comes from the recording that was counted: one GPS
        // record a second. Every other round nobody takes it, and it goes
        // with the controller.
        const double seconds = m_player->duration();
        EXPECT_TRUE(seconds == 6.0 || seconds == 3.0) << seconds;
        if (round % 2 == 0) {
            const std::unique_ptr<TTelemetry> telemetry = m_player->TakeTelemetry(g_openTokens[0]);
            ASSERT_TRUE(telemetry);
            EXPECT_EQ(telemetry->gps.size(), static_cast<std::size_t>(seconds));
            EXPECT_FALSE(m_player->TakeTelemetry(g_openTokens[0]));
        }
        Restart(m_main);
    }

    // A notification window that is gone: nobody hears of the open, and its
    // table is freed with the controller all the same.
    HWND gone = MakeTestWindow(WS_POPUP, 0, 0, 10, 10);
    DestroyWindow(gone);
    Restart(gone);
    m_player->OpenRecording(paths[0], 0);
    ASSERT_TRUE(PumpUntil([&] { return m_player->IsActive() && m_player->duration() > 0.0; }));
}
