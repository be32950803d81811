// velor-player's commands driven like a user drives them, with real clicks
// and keys under the test X server, judged by what the screen and the
// files show.

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/frame_geometry.h"
#include "app/main_controls.h"
#include "app/video_control_bar.h"
#include "app/video_layout.h"
#include "tests/app/program_driver.h"
#include "tests/support/recording_fixture.h"

namespace {

// The main window on the screen: where its pictures and controls are.
class TScreenWindow {
public:
    explicit TScreenWindow(const TGeometry& at)
        : m_at(at), m_layout(MainLayout(kMainWidth, kMainHeight)),
          m_places(LayOutChannels(m_layout.videoArea, TChannelMode::Two)) {}

    RECT Picture(int slot) const {
        return Screen(slot == 0 ? m_places.front.picture : m_places.rear.picture);
    }
    std::string PicturePixels(int slot) const { return Grab(Picture(slot)); }
    std::string ControlPixels(int id) const { return Grab(Control(id)); }
    RECT Control(int id) const { return Screen(CMainControls::PlaceOf(id, m_layout)); }

    void Click(int id) const {
        const RECT place = Control(id);
        ClickAt((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    }
    // A click on a slider's track at `share` (0..1) of its length.
    void ClickSlider(int id, double share) const {
        const RECT place = Control(id);
        const int x = place.left + static_cast<int>(share * (place.right - place.left - 1));
        ClickAt(x, (place.top + place.bottom) / 2);
    }
    void ClickPicture(int slot) const {
        const RECT place = Picture(slot);
        ClickAt((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    }

    // The share of the position slider's track that is filled (its
    // accent-coloured part), 0..1.
    double PlayedShare() const {
        const RECT track = Control(MainSlider::Position);
        const int width = track.right - track.left;
        const std::string row = ScreenPixels(track.left, (track.top + track.bottom) / 2, width, 1);
        int filled = 0;
        for (int x = 0; x < width; ++x) {
            const auto r = static_cast<unsigned char>(row[3 * x]);
            const auto b = static_cast<unsigned char>(row[3 * x + 2]);
            if (b > 170 && r < 90)
                ++filled;
        }
        return static_cast<double>(filled) / width;
    }

private:
    RECT Screen(const RECT& client) const {
        return RECT{m_at.x + client.left, m_at.y + client.top, m_at.x + client.right,
                    m_at.y + client.bottom};
    }
    static std::string Grab(const RECT& rect) {
        return ScreenPixels(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }

    TGeometry m_at;
    TMainLayout m_layout;
    TVideoLayout m_places;
};

// Mean absolute difference per byte between a picture and another one
// mirrored left to right.
double MirrorDifference(const std::string& picture, const std::string& other, int width) {
    const int height = static_cast<int>(picture.size()) / (3 * width);
    double sum = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int a = static_cast<unsigned char>(picture[3 * (y * width + x) + c]);
                const int b =
                    static_cast<unsigned char>(other[3 * (y * width + (width - 1 - x)) + c]);
                sum += std::abs(a - b);
            }
        }
    }
    return sum / static_cast<double>(picture.size());
}

double MeanLevel(const std::string& pixels) {
    double sum = 0;
    for (char byte : pixels)
        sum += static_cast<unsigned char>(byte);
    return sum / static_cast<double>(pixels.size());
}

// Steps one frame forward and back while paused, so the same picture is
// drawn again with the channels' present settings.
void RedrawPausedFrame() {
    PressKey("Right");
    Pause(600);
    PressKey("Left");
    Pause(600);
}

std::vector<std::filesystem::path> JpegsIn(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".jpg")
            files.push_back(entry.path());
    }
    return files;
}

} // namespace

TEST_F(PlayerProgram, ButtonsSlidersAndKeysDrivePlayback) {
    velor::fixtures::RecordingOptions options;
    options.seconds = 60;
    TFixtureRecording recording(options);
    TProgram player(VELOR_PLAYER_PATH, {recording.Path()});
    ASSERT_TRUE(player.Started());
    const std::string window = FindMainWindow();
    ASSERT_FALSE(window.empty()) << player.Err();
    XdoTool({"windowfocus", window});
    Pause(200);
    const TScreenWindow screen(GeometryOf(window));
    const RECT front = screen.Picture(0);
    const int pictureWidth = front.right - front.left;
    ASSERT_TRUE(Changing(front.left, front.top, pictureWidth, front.bottom - front.top));

    // Pause: the picture and the position stand still; the play button shows.
    const std::string pauseLook = screen.ControlPixels(MainCommand::Pause);
    screen.Click(MainCommand::Pause);
    Pause(800);
    const std::string paused = screen.PicturePixels(0);
    const double pausedShare = screen.PlayedShare();
    Pause(1000);
    EXPECT_EQ(screen.PicturePixels(0), paused);
    EXPECT_EQ(screen.PlayedShare(), pausedShare);
    const std::string playLook = screen.ControlPixels(MainCommand::Play);
    EXPECT_NE(playLook, pauseLook);

    // A frame forward changes the picture; a frame back brings it again.
    PressKey("Right");
    EXPECT_TRUE(
        BecomesDifferent(paused, front.left, front.top, pictureWidth, front.bottom - front.top));
    PressKey("Left");
    EXPECT_TRUE(
        BecomesEqual(paused, front.left, front.top, pictureWidth, front.bottom - front.top));

    // Mirroring and brightness act on the selected channel only.
    const std::string rearBefore = screen.PicturePixels(1);
    screen.ClickPicture(1);
    screen.Click(MainCommand::MirrorSidewaysOn);
    RedrawPausedFrame();
    EXPECT_EQ(screen.PicturePixels(0), paused);
    const std::string rearMirrored = screen.PicturePixels(1);
    const RECT rear = screen.Picture(1);
    EXPECT_NE(rearMirrored, rearBefore);
    EXPECT_LT(MirrorDifference(rearMirrored, rearBefore, rear.right - rear.left), 12.0);
    screen.ClickSlider(MainSlider::Brightness, 1.0);
    RedrawPausedFrame();
    EXPECT_EQ(screen.PicturePixels(0), paused);
    EXPECT_GT(MeanLevel(screen.PicturePixels(1)), MeanLevel(rearMirrored) + 10.0);

    // Playing again, a jump forward moves the position by five seconds.
    PressKey("space");
    Pause(500);
    const double beforeJump = screen.PlayedShare();
    PressKey("Right");
    Pause(800);
    const double jumped = screen.PlayedShare() - beforeJump;
    EXPECT_GT(jumped, 4.0 / options.seconds);
    EXPECT_LT(jumped, 9.0 / options.seconds);

    // A click on the position slider seeks there.
    screen.ClickSlider(MainSlider::Position, 0.8);
    Pause(1000);
    EXPECT_NEAR(screen.PlayedShare(), 0.8, 0.06);

    // Mute swaps the sound button; a second press swaps it back.
    const std::string soundOn = screen.ControlPixels(MainCommand::Mute);
    PressKey("m");
    Pause(300);
    EXPECT_NE(screen.ControlPixels(MainCommand::Mute), soundOn);
    PressKey("m");
    Pause(300);
    EXPECT_EQ(screen.ControlPixels(MainCommand::Mute), soundOn);

    // One channel: the front picture takes the area the rear one had.
    const RECT rearPlace = screen.Picture(1);
    const std::string rearArea =
        ScreenPixels(rearPlace.left, rearPlace.top, rearPlace.right - rearPlace.left, 20);
    PressKey("1");
    EXPECT_TRUE(BecomesDifferent(rearArea, rearPlace.left, rearPlace.top,
                                 rearPlace.right - rearPlace.left, 20));
    PressKey("2");
    Pause(500);

    // Full screen: the control bar comes with the pointer at the bottom of
    // the screen; pausing there holds after leaving full screen.
    PressKey("f");
    ASSERT_EQ(WaitForSize(window, 1920, 1080).width, 1920);
    const RECT bar = CVideoControlBar::PlaceIn(RECT{0, 0, 1920, 1080});
    const RECT barPause = CMainControls::PlaceOf(MainCommand::Pause, CVideoControlBar::BarLayout(),
                                                 TControlSet::ControlBar);
    const int pauseX = bar.left + (barPause.left + barPause.right) / 2;
    const int pauseY = bar.top + (barPause.top + barPause.bottom) / 2;
    const std::string underBar = ScreenPixels(bar.left, bar.top, kControlBarWidth, 20);
    XdoTool({"mousemove", "--sync", "960", "1075"});
    EXPECT_TRUE(BecomesDifferent(underBar, bar.left, bar.top, kControlBarWidth, 20));
    ClickAt(pauseX, pauseY);
    Pause(500);
    PressKey("Escape");
    ASSERT_EQ(WaitForSize(window, kMainWidth, kMainHeight).width, kMainWidth);
    Pause(500);
    EXPECT_EQ(screen.ControlPixels(MainCommand::Play), playLook);

    // Capture writes one picture per channel and says so in a dialog.
    const std::string captures = m_home.File("data/Velor/VELOR player/Jpeg");
    XdoTool({"windowfocus", window});
    Pause(200);
    const std::vector<std::string> before = ProgramWindows();
    PressKey("ctrl+s");
    for (int attempt = 0; attempt < 50 && JpegsIn(captures).size() < 2; ++attempt)
        Pause(100);
    EXPECT_EQ(JpegsIn(captures).size(), 2u);
    std::string dialog;
    for (int attempt = 0; attempt < 50 && dialog.empty(); ++attempt) {
        Pause(100);
        for (const std::string& one : ProgramWindows()) {
            if (std::find(before.begin(), before.end(), one) == before.end())
                dialog = one;
        }
    }
    ASSERT_FALSE(dialog.empty()); // the captured dialog over the main window
    XdoTool({"windowfocus", dialog});
    Pause(200);
    PressKey("Return");
    for (int attempt = 0; attempt < 50 && ProgramWindows().size() > before.size(); ++attempt)
        Pause(100);

    // Stop: the position goes back to the start.
    XdoTool({"windowfocus", window});
    Pause(200);
    screen.Click(MainCommand::StopPlayback);
    Pause(800);
    EXPECT_LT(screen.PlayedShare(), 0.02);

    PressKey("ctrl+q");
    EXPECT_EQ(player.Wait(), 0) << player.Err();
}

TEST_F(PlayerProgram, PlaysARecordingAgainWithTheLoopPreference) {
    std::filesystem::create_directories(m_home.File("config/Velor"));
    std::ofstream(m_home.File("config/Velor/registry.reg"))
        << "[HKEY_CURRENT_USER\\Software\\VELOR player]\n\"Loop\"=dword:00000001\n";
    velor::fixtures::RecordingOptions options;
    options.seconds = 3;
    TFixtureRecording recording(options);
    TProgram player(VELOR_PLAYER_PATH, {recording.Path()});
    const std::string window = FindMainWindow();
    ASSERT_FALSE(window.empty()) << player.Err();
    const TScreenWindow screen(GeometryOf(window));

    // Near the end, then back at the start and playing on.
    double share = 0;
    for (int attempt = 0; attempt < 100 && share < 0.6; ++attempt) {
        Pause(100);
        share = screen.PlayedShare();
    }
    EXPECT_GE(share, 0.6);
    bool again = false;
    for (int attempt = 0; attempt < 100 && !again; ++attempt) {
        Pause(100);
        again = screen.PlayedShare() < 0.3;
    }
    EXPECT_TRUE(again);
    const RECT front = screen.Picture(0);
    EXPECT_TRUE(
        Changing(front.left, front.top, front.right - front.left, front.bottom - front.top));
    player.Signal(SIGTERM);
    EXPECT_EQ(player.Wait(), 0) << player.Err();
}

// The viewer settings dialog, driven by clicks: choosing English and saving
// re-labels the main window (its tooltips) and stores the language.
TEST_F(PlayerProgram, TheLanguageChosenInTheViewerSettingsRelabelsTheMainWindow) {
    TProgram player(VELOR_PLAYER_PATH, {});
    const std::string window = FindMainWindow();
    ASSERT_FALSE(window.empty()) << player.Err();
    const TScreenWindow screen(GeometryOf(window));
    const RECT capture = screen.Control(MainCommand::Capture);
    const auto tooltip = [&capture] {
        XdoTool({"mousemove", "--sync", "5", "5"});
        Pause(300);
        XdoTool({"mousemove", "--sync", std::to_string(capture.left + 10),
                 std::to_string(capture.top + 10)});
        Pause(2000);
        return ScreenPixels(capture.left, capture.bottom, 160, 30);
    };
    const std::string japanese = tooltip();
    EXPECT_GT(DistinctColours(japanese), 3);

    const std::vector<std::string> before = ProgramWindows();
    screen.Click(MainCommand::ViewerSettings);
    std::string dialog;
    for (int attempt = 0; attempt < 50 && dialog.empty(); ++attempt) {
        Pause(100);
        for (const std::string& one : ProgramWindows()) {
            if (std::find(before.begin(), before.end(), one) == before.end())
                dialog = one;
        }
    }
    ASSERT_FALSE(dialog.empty());
    const TGeometry at = GeometryOf(dialog);
    // The language row's drop button, "English" in its list, and Save.
    ClickAt(at.x + 345, at.y + 207);
    Pause(500);
    ClickAt(at.x + 200, at.y + 244);
    Pause(500);
    ClickAt(at.x + 316, at.y + 533);
    Pause(1000);

    const std::string english = tooltip();
    EXPECT_GT(DistinctColours(english), 3);
    EXPECT_NE(english, japanese);
    player.Signal(SIGTERM);
    EXPECT_EQ(player.Wait(), 0) << player.Err();
    std::ifstream stored(m_home.File("config/Velor/registry.reg"));
    const std::string text((std::istreambuf_iterator<char>(stored)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"Language\"=\"english\""), std::string::npos) << text;
}
