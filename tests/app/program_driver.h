#pragma once
// Drives the real velor-player from a test: runs programs with their output
// kept, finds the program's windows through xdotool, reads the screen, and
// clicks and types like a user.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/types.h>

#include "tests/support/temp_folder.h"

// One run of a program with its output kept in files.
class TProgram {
public:
    TProgram(const std::string& program, const std::vector<std::string>& arguments);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;
    bool Started() const { return m_pid > 0; }
    void Signal(int number) const;
    // The exit status (128 + the signal when killed).
    int Wait();
    std::string Out() const;
    std::string Err() const;

private:
    TTempFolder m_scratch;
    std::string m_out = m_scratch.File("out");
    std::string m_err = m_scratch.File("err");
    pid_t m_pid = 0;
};

// The output of a shell-free xdotool command.
std::string XdoTool(const std::vector<std::string>& arguments);

// The program's visible top-level windows; waits a while for at least one.
std::vector<std::string> ProgramWindows();

struct TGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
TGeometry GeometryOf(const std::string& window);
// The main window's size as "WxH", empty when it never came.
std::string MainWindowGeometry();
// The main window among the program's windows: the one at its first size.
std::string FindMainWindow();
// Waits for the window to take a size; returns its geometry then.
TGeometry WaitForSize(const std::string& window, int width, int height);

// The screen's pixels in a rectangle (screen coordinates), RGB bytes.
std::string ScreenPixels(int x, int y, int width, int height);
int DistinctColours(const std::string& pixels);
void Pause(int milliseconds);
// Whether the pixels of the rectangle differ from `from` within a few seconds.
bool BecomesDifferent(const std::string& from, int x, int y, int width, int height);
// Whether they come to equal `to` within a few seconds.
bool BecomesEqual(const std::string& to, int x, int y, int width, int height);
// Whether the rectangle changes by itself: a picture that plays.
bool Changing(int x, int y, int width, int height);

void ClickAt(int x, int y);
void DoubleClickAt(int x, int y);
// Keys as xdotool names them ("space", "ctrl+s"), to the focused window.
void PressKey(const std::string& key);

// A scratch home for the program's configuration and data.
class PlayerProgram : public ::testing::Test {
protected:
    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.File("config")};
    TScopedEnv m_data{"XDG_DATA_HOME", m_home.File("data")};
};
