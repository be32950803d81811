// Dropped on the main window, a recording plays as on the command line;
// what is neither a folder nor a recording is passed over.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "tests/app/app_test_support.h"
#include "tests/support/recording_fixture.h"

using MainWndDropTest = TAppWindowTest;

TEST_F(MainWndDropTest, ADroppedRecordingPlaysAndOtherFilesAreIgnored) {
    velor::fixtures::RecordingOptions options;
    options.seconds = 10;
    TFixtureRecording recording(options);
    const std::string note = recording.Folder().File("notes.txt");
    std::ofstream(note) << "not a recording";

    CMainWnd window;
    TMainWndOptions windowOptions;
    windowOptions.origin = POINT{30, 20};
    windowOptions.initialise = [](HWND created) { InitialiseApplication(created); };
    ASSERT_TRUE(window.Create(windowOptions));
    PumpMessages();

    SendDroppedFiles(window.hWnd, {note}, POINT{100, 100});
    PumpMessages();
    EXPECT_FALSE(window.Player().IsActive());
    SendDroppedFiles(window.hWnd, {note, recording.Path()}, POINT{100, 100});
    const HWND handle = window.hWnd;
    const auto pumpWhile = [](const std::function<bool()>& waiting) {
        for (int round = 0; round < 500 && waiting(); ++round) {
            PumpMessages(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    pumpWhile([&] { return !window.Player().IsActive(); });
    EXPECT_TRUE(window.Player().IsActive());
    SendMessageA(handle, WM_COMMAND, MainCommand::Close, 0);
    pumpWhile([&] { return IsWindow(handle) != FALSE; });
    ShutDownApplication();
}
