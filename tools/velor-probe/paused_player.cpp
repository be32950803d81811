#include "tools/velor-probe/paused_player.h"

#include <cstdio>
#include <cstdlib>

#include "engine/glfw_setup.h"
#include "engine/video_stream_info.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/windows.h"

namespace {

// Each video window; pictures on screen have the display size of this.
constexpr int kVideoWidth = 640;
constexpr int kVideoHeight = 360;
constexpr DWORD kOpenTimeoutMs = 60000;
constexpr DWORD kCommandTimeoutMs = 10000;
// The render thread takes the sought picture on its next pass.
constexpr DWORD kShownTimeoutMs = 2000;
constexpr DWORD kSettleMs = 50;

} // namespace

TPausedPlayer::TPausedPlayer() = default;

TPausedPlayer::~TPausedPlayer() {
    m_player.Shutdown();
}

bool TPausedPlayer::MakeWindows() {
    m_windows = std::make_unique<TVideoWindows>("velor-probe", kVideoWidth, kVideoHeight);
    if (!m_windows->Created())
        return false;
    PumpUntil([] { return false; }, kSettleMs);
    m_player.SetNotifySink(&m_log);
    m_player.Start(m_windows->Main(), m_windows->Front(), m_windows->Rear());
    return true;
}

std::string TPausedPlayer::ShowAt(const std::string& file, double seconds) {
    if (!MakeWindows())
        return "cannot make the video windows";
    size_t mark = m_log.Mark();
    StartRecordingMessageBoxes(IDOK);
    m_player.OpenRecording(file, 0);
    const bool answered = PumpUntil(
        [&] {
            return m_log.Seen(PlayerNotify::Opened, mark) ||
                   m_log.Seen(PlayerNotify::OpenFailed, mark);
        },
        kOpenTimeoutMs);
    std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    StopRecordingMessageBoxes();
    if (!answered || !m_log.Seen(PlayerNotify::Opened, mark))
        return file + ": " + (boxes.empty() ? "cannot be opened" : boxes.front().text);
    if (seconds > m_player.duration())
        return "--at lies after the end of the recording";

    mark = m_log.Mark();
    m_player.Pause();
    if (!PumpUntil([&] { return m_log.Seen(PlayerNotify::Paused, mark); }, kCommandTimeoutMs))
        return "the player did not pause";
    mark = m_log.Mark();
    m_player.SeekWhilePaused(seconds);
    if (!PumpUntil([&] { return m_log.Seen(PlayerNotify::PausedAfterStep, mark); },
                   kCommandTimeoutMs))
        return "the seek was not answered";
    // The sought pictures are on screen once the render threads took them.
    for (int slot : {kFrontSlot, kRearSlot}) {
        TVideoStreamInfo* video = m_player.Video(slot);
        if (!video || video->streamIndex < 0)
            continue;
        PumpUntil(
            [&] {
                std::lock_guard guard(video->pictureQueue.lock);
                return video->pictureQueue.count == 0;
            },
            kShownTimeoutMs);
    }
    return {};
}

int RunWithViews(const char* command, const std::function<int()>& body) {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "velor-probe %s: needs a display for the views (run it under Xvfb)\n",
                     command);
        return 1;
    }
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    static int argc = 1;
    static char name[] = "velor-probe";
    static char* argv[] = {name, nullptr};
    TApplication application(argc, argv);
    StartRecordingMessageBoxes(IDOK);
    SetUpGlfw();
    StopRecordingMessageBoxes();
    return body();
}
