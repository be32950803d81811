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

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// Waits (xdotool's --sync; the test's time limit bounds it) for the main window and
// returns its geometry line, empty when it never came.
std::string MainWindowGeometry() {
    const std::string found =
        XdoTool({"search", "--sync", "--onlyvisible", "--class", "velor-player"});
    const std::string window = found.substr(0, found.find('\n'));
    if (window.empty())
        return {};
    const std::string geometry = XdoTool({"getwindowgeometry", window});
    const auto at = geometry.find("Geometry: ");
    return at == std::string::npos ? std::string()
                                   : geometry.substr(at + 10, geometry.find('\n', at) - at - 10);
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
