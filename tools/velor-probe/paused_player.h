#pragma once
// A recording opened in the controller with real views, paused, and sought
// the way a paused seek does it: what the frame and capture subcommands
// look at. Needs a display (Xvfb will do).

#include <functional>
#include <string>

#include "engine/media_player.h"
#include "tools/support/notify_log.h"
#include "tools/support/video_windows.h"

class TPausedPlayer {
public:
    TPausedPlayer();
    ~TPausedPlayer();
    TPausedPlayer(const TPausedPlayer&) = delete;
    TPausedPlayer& operator=(const TPausedPlayer&) = delete;

    // Opens `file` and shows the picture at `seconds` on every channel that
    // has video; empty on success, otherwise what went wrong.
    std::string ShowAt(const std::string& file, double seconds);
    const TMediaPlayer& Player() const { return m_player; }

private:
    bool MakeWindows();

    TNotifyLog m_log;
    std::unique_ptr<TVideoWindows> m_windows;
    // Shut down before the windows that hold its views go.
    TMediaPlayer m_player;
};

// Runs `body` with the application, GLFW and a quiet sound device set up,
// as a subcommand with views needs them; 1 with a message without display.
int RunWithViews(const char* command, const std::function<int()>& body);
