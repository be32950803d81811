#include "tools/velor-probe/paused_player.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "engine/glfw_setup.h"
#include "engine/notify_sink.h"
#include "engine/video_stream_info.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/thread.h"
#include "platform/windows.h"

namespace {

constexpr char kWindowClass[] = "__VelorProbeVideoWindow__";
// Each video window; pictures on screen have the display size of this.
constexpr int kVideoWidth = 640;
constexpr int kVideoHeight = 360;
constexpr DWORD kOpenTimeoutMs = 60000;
constexpr DWORD kCommandTimeoutMs = 10000;
// The render thread takes the sought picture on its next pass.
constexpr DWORD kShownTimeoutMs = 2000;
constexpr DWORD kSettleMs = 50;

template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(2);
    }
    return true;
}

LRESULT VideoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

class TNotifyCatcher : public INotifySink {
public:
    void Notify(WPARAM code, LPARAM) override {
        std::lock_guard guard(m_lock);
        m_codes.push_back(code);
    }
    void CloseProgressDialog() override {}
    size_t Mark() const {
        std::lock_guard guard(m_lock);
        return m_codes.size();
    }
    bool Seen(WPARAM code, size_t mark) const {
        std::lock_guard guard(m_lock);
        for (size_t i = mark; i < m_codes.size(); ++i) {
            if (m_codes[i] == code)
                return true;
        }
        return false;
    }

private:
    mutable std::mutex m_lock;
    std::vector<WPARAM> m_codes;
};

TPausedPlayer::TPausedPlayer() : m_catcher(std::make_unique<TNotifyCatcher>()) {}

TPausedPlayer::~TPausedPlayer() {
    m_player.Shutdown();
    if (m_main)
        DestroyWindow(m_main);
}

bool TPausedPlayer::MakeWindows() {
    WNDCLASSEXA windowClass;
    windowClass.lpfnWndProc = VideoWindowProc;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&windowClass))
        return false;
    m_main = CreateWindowExA(0, kWindowClass, "velor-probe", WS_POPUP | WS_VISIBLE, 0, 0, kVideoWidth * 2,
                             kVideoHeight, nullptr, nullptr, nullptr, nullptr);
    if (!m_main)
        return false;
    HWND front = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, 0, 0, kVideoWidth, kVideoHeight,
                                 m_main, nullptr, nullptr, nullptr);
    HWND rear = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, kVideoWidth, 0, kVideoWidth,
                                kVideoHeight, m_main, nullptr, nullptr, nullptr);
    if (!front || !rear)
        return false;
    PumpUntil([] { return false; }, kSettleMs);
    m_player.SetNotifySink(m_catcher.get());
    m_player.Start(m_main, front, rear);
    return true;
}

std::string TPausedPlayer::ShowAt(const std::string& file, double seconds) {
    if (!MakeWindows())
        return "cannot make the video windows";
    size_t mark = m_catcher->Mark();
    StartRecordingMessageBoxes(IDOK);
    m_player.OpenRecording(file, 0);
    const bool answered = PumpUntil([&] {
        return m_catcher->Seen(PlayerNotify::Opened, mark) || m_catcher->Seen(PlayerNotify::OpenFailed, mark);
    }, kOpenTimeoutMs);
    std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    StopRecordingMessageBoxes();
    if (!answered || !m_catcher->Seen(PlayerNotify::Opened, mark))
        return file + ": " + (boxes.empty() ? "cannot be opened" : boxes.front().text);
    if (seconds > m_player.duration())
        return "--at lies after the end of the recording";

    mark = m_catcher->Mark();
    m_player.Pause();
    if (!PumpUntil([&] { return m_catcher->Seen(PlayerNotify::Paused, mark); }, kCommandTimeoutMs))
        return "the player did not pause";
    mark = m_catcher->Mark();
    m_player.SeekWhilePaused(seconds);
    if (!PumpUntil([&] { return m_catcher->Seen(PlayerNotify::PausedAfterStep, mark); }, kCommandTimeoutMs))
        return "the seek was not answered";
    // The sought pictures are on screen once the render threads took them.
    for (int slot : {kFrontSlot, kRearSlot}) {
        TVideoStreamInfo* video = m_player.Video(slot);
        if (!video || video->streamIndex < 0)
            continue;
        PumpUntil([&] {
            std::lock_guard guard(video->pictureQueue.lock);
            return video->pictureQueue.count == 0;
        }, kShownTimeoutMs);
    }
    return {};
}

int RunWithViews(const char* command, const std::function<int()>& body) {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "velor-probe %s: needs a display for the views (run it under Xvfb)\n", command);
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
