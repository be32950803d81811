#include "tests/app/program_driver.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "app/frame_geometry.h"

extern char** environ;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int ExitStatusOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

TProgram::TProgram(const std::string& program, const std::vector<std::string>& arguments) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        m_pid = 0;
    posix_spawn_file_actions_destroy(&actions);
}

TProgram::~TProgram() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        Wait();
    }
}

void TProgram::Signal(int number) const {
    kill(m_pid, number);
}

int TProgram::Wait() {
    int status = 0;
    if (m_pid > 0 && waitpid(m_pid, &status, 0) == m_pid)
        m_pid = 0;
    return ExitStatusOf(status);
}

std::string TProgram::Out() const {
    return Slurp(m_out);
}

std::string TProgram::Err() const {
    return Slurp(m_err);
}

// The output of a shell-free xdotool command.
std::string XdoTool(const std::vector<std::string>& arguments) {
    TProgram tool("/usr/bin/xdotool", arguments);
    tool.Wait();
    return tool.Out();
}

// The program's visible top-level windows, the main window first; waits
// (xdotool's --sync; the test's time limit bounds it) for at least one.
std::vector<std::string> ProgramWindows() {
    // Bounded, unlike xdotool's --sync: a program that died must fail the
    // test, not hang it.
    std::vector<std::string> windows;
    for (int attempt = 0; attempt < 100 && windows.empty(); ++attempt) {
        if (attempt > 0)
            Pause(100);
        std::istringstream found(XdoTool({"search", "--onlyvisible", "--class", "velor-player"}));
        for (std::string line; std::getline(found, line);) {
            if (!line.empty())
                windows.push_back(line);
        }
    }
    return windows;
}

TGeometry GeometryOf(const std::string& window) {
    TGeometry geometry;
    const std::string text = XdoTool({"getwindowgeometry", window});
    const auto position = text.find("Position: ");
    const auto size = text.find("Geometry: ");
    if (position != std::string::npos)
        std::sscanf(text.c_str() + position, "Position: %d,%d", &geometry.x, &geometry.y);
    if (size != std::string::npos)
        std::sscanf(text.c_str() + size, "Geometry: %dx%d", &geometry.width, &geometry.height);
    return geometry;
}

// The main window's geometry line, empty when it never came.
std::string MainWindowGeometry() {
    const std::vector<std::string> windows = ProgramWindows();
    if (windows.empty())
        return {};
    const TGeometry geometry = GeometryOf(windows.front());
    return std::to_string(geometry.width) + "x" + std::to_string(geometry.height);
}

// The screen's pixels in a rectangle (screen coordinates), RGB bytes.
std::string ScreenPixels(int x, int y, int width, int height) {
    const std::string crop = std::to_string(width) + "x" + std::to_string(height) + "+" +
                             std::to_string(x) + "+" + std::to_string(y);
    TProgram grab("/usr/bin/import",
                  {"-window", "root", "-crop", crop, "+repage", "-depth", "8", "rgb:-"});
    grab.Wait();
    return grab.Out();
}

int DistinctColours(const std::string& pixels) {
    std::set<std::string> colours;
    for (std::size_t at = 0; at + 3 <= pixels.size(); at += 3)
        colours.insert(pixels.substr(at, 3));
    return static_cast<int>(colours.size());
}

void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Whether the pixels of the rectangle differ from `from` within a few seconds.
bool BecomesDifferent(const std::string& from, int x, int y, int width, int height) {
    for (int attempt = 0; attempt < 40; ++attempt) {
        Pause(250);
        if (ScreenPixels(x, y, width, height) != from)
            return true;
    }
    return false;
}

bool BecomesEqual(const std::string& to, int x, int y, int width, int height) {
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (ScreenPixels(x, y, width, height) == to)
            return true;
        Pause(250);
    }
    return false;
}

// Whether the rectangle changes by itself: a picture that plays.
bool Changing(int x, int y, int width, int height) {
    return BecomesDifferent(ScreenPixels(x, y, width, height), x, y, width, height);
}

// The main window among the program's windows: the one at its first size.
std::string FindMainWindow() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (const std::string& window : ProgramWindows()) {
            const TGeometry geometry = GeometryOf(window);
            if (geometry.width == kMainWidth && geometry.height == kMainHeight)
                return window;
        }
        Pause(100);
    }
    return {};
}

// Waits for the window to take a size; returns its geometry then.
TGeometry WaitForSize(const std::string& window, int width, int height) {
    TGeometry geometry;
    for (int attempt = 0; attempt < 100; ++attempt) {
        geometry = GeometryOf(window);
        if (geometry.width == width && geometry.height == height)
            break;
        Pause(100);
    }
    return geometry;
}

void DoubleClickAt(int x, int y) {
    XdoTool({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
    XdoTool({"click", "--repeat", "2", "--delay", "60", "1"});
}

void ClickAt(int x, int y) {
    XdoTool({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
    XdoTool({"click", "1"});
}

void PressKey(const std::string& key) {
    XdoTool({"key", "--clearmodifiers", key});
}
