// velor-player: the viewer's start-up, message loop and shutdown.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

extern "C" {
#include <libavutil/log.h>
}

#include "app/app_startup.h"
#include "app/command_line.h"
#include "app/frame_geometry.h"
#include "app/main_wnd.h"
#include "app/termination_signals.h"
#include "engine/glfw_setup.h"
#include "platform/application.h"
#include "platform/removable_volumes.h"
#include "platform/windows.h"
#include "settings/viewer_preferences.h"

namespace {

// Returns the exit status of the quit message.
int RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// Answers the command line's requests that need no window; -1 to go on.
int AnswerWithoutWindow(const TCommandLine& command, const char* programName) {
    switch (command.action) {
    case TCommandAction::Help:
        std::fputs(UsageText(programName).c_str(), stdout);
        return 0;
    case TCommandAction::Version:
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    case TCommandAction::Refuse:
        std::fprintf(stderr, "%s\n", command.message.c_str());
        return kUsageExitStatus;
    case TCommandAction::Run:
        return -1;
    }
    return -1;
}

// VELOR_MOUNT_TABLE and VELOR_SYSFS_ROOT put a mount table and a sysfs tree
// of one's own in place of the system's, so that a card can be inserted and
// pulled without hardware (the end-to-end tests do).
void UseVolumeSourcesFromEnvironment() {
    TVolumeSources sources = VolumeSources();
    if (const char* mounts = std::getenv("VELOR_MOUNT_TABLE"))
        sources.mountsFile = mounts;
    if (const char* sysfs = std::getenv("VELOR_SYSFS_ROOT"))
        sources.sysfsRoot = sysfs;
    SetVolumeSources(sources);
}

} // namespace

int main(int argc, char** argv) {
    const TCommandLine command = ParseCommandLine(argc, argv);
    const int answered = AnswerWithoutWindow(command, argv[0]);
    if (answered >= 0)
        return answered;

    // The probe's notes on the telemetry streams it cannot decode are
    // expected on every recording; only real errors reach the terminal.
    av_log_set_level(AV_LOG_ERROR);
    TApplication application(argc, argv);
    UseVolumeSourcesFromEnvironment();
    SetDefaultPreferences();
    InstallTerminationHandlers();
    SetUpGlfw();

    int exitStatus = 0;
    {
        auto mainWindow = std::make_unique<CMainWnd>();
        TMainWndOptions options;
        options.initialise = [](HWND window) { InitialiseApplication(window); };
        if (command.kind == TPathKind::File) {
            options.recording = command.path;
            options.folder = std::filesystem::path(command.path).parent_path().string();
        } else if (command.kind == TPathKind::Folder) {
            options.folder = command.path;
        }
        options.origin =
            CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        if (mainWindow->Create(options)) {
            ShowWindow(mainWindow->hWnd, SW_SHOW);
            UpdateWindow(mainWindow->hWnd);
        }
        exitStatus = RunMessageLoop();
    }
    ShutDownApplication();
    return exitStatus;
}
