// velor-player run as a user runs it: the command line answers without a
// window, and under the test X server the window comes up at its size and
// a termination signal ends the program like its close button, saving the
// preferences, also while a recording plays.

#include <gtest/gtest.h>

#include <signal.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/frame_geometry.h"
#include "app/magnifier_geometry.h"
#include "app/video_layout.h"
#include "tests/app/program_driver.h"
#include "tests/support/recording_fixture.h"

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

// A file that is no recording: the player's box says why and is not left
// under the progress dialog, and a termination signal still ends the
// program while the box waits for its click.
TEST_F(PlayerProgram, SaysWhyADamagedRecordingDoesNotOpenAndStillEndsOnASignal) {
    const std::string damaged = m_home.File("card/NOR_20260101_120000_F.avi");
    std::filesystem::create_directories(m_home.File("card"));
    std::ofstream(damaged) << "RIFF, but the card lost power here";
    TProgram player(VELOR_PLAYER_PATH, {damaged});
    ASSERT_TRUE(player.Started());
    std::string box;
    for (int attempt = 0; attempt < 100 && box.empty(); ++attempt) {
        Pause(100);
        box = XdoTool({"search", "--onlyvisible", "--name", "^Error$"});
    }
    EXPECT_FALSE(box.empty()) << player.Err();
    // The dialog's close may be delivered a moment after the box comes up.
    std::string progress = "?";
    for (int attempt = 0; attempt < 30 && !progress.empty(); ++attempt) {
        Pause(100);
        progress = XdoTool({"search", "--onlyvisible", "--name", "__Kestrel_ProgressDlg__"});
    }
    EXPECT_EQ(progress, "");
    EXPECT_EQ(XdoTool({"search", "--onlyvisible", "--name", "^Error$"}), box);
    player.Signal(SIGTERM);
    EXPECT_EQ(player.Wait(), 0) << player.Err();
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
    // Paused, the picture and its enlargement hold still for the comparison.
    XdoTool({"windowfocus", window});
    Pause(200);
    PressKey("space");
    Pause(1000);
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
