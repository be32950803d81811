// velor-player run as a user runs it: the command line answers without a
// window, and under the test X server the window comes up at its size and
// a termination signal ends the program like its close button, saving the
// preferences, also while a recording plays.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/frame_geometry.h"
#include "app/magnifier_geometry.h"
#include "app/video_layout.h"
#include "tests/support/recording_fixture.h"
#include "tests/support/temp_folder.h"

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

// One run of a program with its output kept in files.
class TProgram {
public:
    TProgram(const std::string& program, const std::vector<std::string>& arguments) {
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
    ~TProgram() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            Wait();
        }
    }
    bool Started() const { return m_pid > 0; }
    void Signal(int number) const { kill(m_pid, number); }
    int Wait() {
        int status = 0;
        if (m_pid > 0 && waitpid(m_pid, &status, 0) == m_pid)
            m_pid = 0;
        return ExitStatusOf(status);
    }
    std::string Out() const { return Slurp(m_out); }
    std::string Err() const { return Slurp(m_err); }

private:
    TTempFolder m_scratch;
    std::string m_out = m_scratch.File("out");
    std::string m_err = m_scratch.File("err");
    pid_t m_pid = 0;
};

// The output of a shell-free xdotool command.
std::string XdoTool(const std::vector<std::string>& arguments) {
    TProgram tool("/usr/bin/xdotool", arguments);
    tool.Wait();
    return tool.Out();
}

// The program's visible top-level windows, the main window first; waits
// (xdotool's --sync; the test's time limit bounds it) for at least one.
std::vector<std::string> ProgramWindows() {
    std::istringstream found(
        XdoTool({"search", "--sync", "--onlyvisible", "--class", "velor-player"}));
    std::vector<std::string> windows;
    for (std::string line; std::getline(found, line);) {
        if (!line.empty())
            windows.push_back(line);
    }
    return windows;
}

struct TGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

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

class PlayerProgram : public ::testing::Test {
protected:
    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.File("config")};
    TScopedEnv m_data{"XDG_DATA_HOME", m_home.File("data")};
};

} // namespace

TEST_F(PlayerProgram, AnswersTheCommandLineWithoutAWindow) {
    TProgram version(VELOR_PLAYER_PATH, {"--version"});
    EXPECT_EQ(version.Wait(), 0);
    EXPECT_EQ(version.Out().rfind("velor-player ", 0), 0u);

    TProgram help(VELOR_PLAYER_PATH, {"--help"});
    EXPECT_EQ(help.Wait(), 0);
    EXPECT_NE(help.Out().find("FOLDER"), std::string::npos);

    const std::string missing = m_home.File("no-such-recording.avi");
    TProgram refused(VELOR_PLAYER_PATH, {missing});
    EXPECT_EQ(refused.Wait(), 2);
    EXPECT_NE(refused.Err().find(missing), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_home.File("config"))); // nothing started, nothing saved
}

TEST_F(PlayerProgram, ShowsItsWindowAndEndsOnATerminationSignalWhilePlaying) {
    velor::fixtures::RecordingOptions options;
    options.seconds = 20;
    TFixtureRecording recording(options);
    for (const bool withRecording : {false, true}) {
        std::vector<std::string> arguments;
        if (withRecording)
            arguments.push_back(recording.Path());
        TProgram player(VELOR_PLAYER_PATH, arguments);
        ASSERT_TRUE(player.Started());
        EXPECT_EQ(MainWindowGeometry(), "1035x720") << player.Err();
        player.Signal(SIGTERM);
        EXPECT_EQ(player.Wait(), 0) << player.Err();
        EXPECT_TRUE(std::filesystem::exists(m_home.File("config/Velor/registry.reg")));
        std::filesystem::remove_all(m_home.File("config"));
    }
}

TEST_F(PlayerProgram, PlaysBothChannelsAndFollowsTheMouseThroughItsStates) {
    velor::fixtures::RecordingOptions options;
    options.seconds = 60;
    TFixtureRecording recording(options);
    TProgram player(VELOR_PLAYER_PATH, {recording.Path()});
    ASSERT_TRUE(player.Started());
    const std::string window = FindMainWindow();
    ASSERT_FALSE(window.empty()) << player.Err();
    const TGeometry normal = GeometryOf(window);

    // Both channels play side by side under their labels.
    const TMainLayout layout = MainLayout(kMainWidth, kMainHeight);
    const TVideoLayout places = LayOutChannels(layout.videoArea, TChannelMode::Two);
    for (const TChannelPlace* place : {&places.front, &places.rear}) {
        const RECT& picture = place->picture;
        EXPECT_TRUE(Changing(normal.x + picture.left, normal.y + picture.top,
                             picture.right - picture.left, picture.bottom - picture.top));
        const std::string label = ScreenPixels(normal.x + place->label.left,
                                               normal.y + place->label.top, 120, kLabelHeight);
        EXPECT_GT(DistinctColours(label), 4); // lettering, not a flat band
    }

    // Double clicks: the front channel takes the whole video area, then the
    // whole screen, then goes back. Below the side-by-side pictures only the
    // enlarged one shows.
    const RECT& front = places.front.picture;
    const POINT frontCentre{normal.x + (front.left + front.right) / 2,
                            normal.y + (front.top + front.bottom) / 2};
    const POINT belowPictures{normal.x + front.left + 20, normal.y + layout.videoArea.bottom - 30};
    const std::string before = ScreenPixels(belowPictures.x, belowPictures.y, 40, 10);
    EXPECT_EQ(DistinctColours(before), 1);
    DoubleClickAt(frontCentre.x, frontCentre.y);
    EXPECT_TRUE(BecomesDifferent(before, belowPictures.x, belowPictures.y, 40, 10));

    Pause(700); // a double click right after an accepted one is ignored
    const std::string desktop = ScreenPixels(40, 500, 60, 60);
    DoubleClickAt(frontCentre.x, frontCentre.y);
    const TGeometry full = WaitForSize(window, 1920, 1080);
    EXPECT_EQ(full.width, 1920);
    EXPECT_EQ(full.height, 1080);
    EXPECT_TRUE(BecomesDifferent(desktop, 40, 500, 60, 60)); // the picture where the desktop was

    Pause(700);
    DoubleClickAt(960, 540);
    const TGeometry back = WaitForSize(window, kMainWidth, kMainHeight);
    EXPECT_EQ(back.x, normal.x);
    EXPECT_EQ(back.y, normal.y);

    // The magnifier button brings up the pop-up with the enlarged picture.
    const std::size_t windowsBefore = ProgramWindows().size();
    ClickAt(normal.x + layout.toolbar.left + 6 + 7 * 36 + 2 * 12 + 16, normal.y + 58);
    std::string magnifier;
    for (int attempt = 0; attempt < 50 && magnifier.empty(); ++attempt) {
        Pause(100);
        for (const std::string& one : ProgramWindows()) {
            const TGeometry geometry = GeometryOf(one);
            if (geometry.width == kMagnifierWidth && geometry.height == kMagnifierHeight)
                magnifier = one;
        }
    }
    ASSERT_FALSE(magnifier.empty()) << "windows before: " << windowsBefore;
    // Under the marker (centred on the front picture, see-through between
    // its cross and its corners) and in the pop-up, five times as large, the
    // same picture: compare the mean colours of one quadrant.
    const TGeometry popup = GeometryOf(magnifier);
    Pause(500);
    const std::string screen = ScreenPixels(0, 0, 1920, 1080);
    const auto meanColour = [&screen](int left, int top, int size) {
        std::array<double, 3> sum{};
        for (int y = top; y < top + size; ++y) {
            for (int x = left; x < left + size; ++x) {
                for (int c = 0; c < 3; ++c)
                    sum[c] += static_cast<unsigned char>(screen[(y * 1920 + x) * 3 + c]);
            }
        }
        for (double& component : sum)
            component /= size * size;
        return sum;
    };
    const std::array<double, 3> underMarker = meanColour(frontCentre.x + 4, frontCentre.y + 4, 14);
    const std::array<double, 3> magnified =
        meanColour(popup.x + popup.width / 2 + 20, popup.y + popup.height / 2 + 20, 70);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(underMarker[c], magnified[c], 32.0) << "component " << c;

    // The close button while playing: the player thread ends, the
    // preferences are saved, the exit is clean.
    ClickAt(normal.x + kMainWidth - kCaptionButtonWidth / 2, normal.y + kCaptionHeight / 2);
    EXPECT_EQ(player.Wait(), 0) << player.Err();
    EXPECT_TRUE(std::filesystem::exists(m_home.File("config/Velor/registry.reg")));
}
