// `cmake --install` into a scratch prefix gives a program that runs on its
// own: with the build tree's run-time data out of reach, the installed
// velor-player finds its skin, language and map under share/velor-player/
// and plays a recording; the desktop entry, the icons and the manual page
// are where the desktop looks for them.

#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/frame_geometry.h"
#include "app/video_layout.h"
#include "tests/app/program_driver.h"
#include "tests/support/recording_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// "WxH" from a PNG's IHDR chunk (big-endian width and height at 16 and 20).
std::string PngSize(const fs::path& path) {
    const std::string bytes = Contents(path);
    const auto number = [&](size_t at) {
        unsigned value = 0;
        for (size_t i = at; i < at + 4 && i < bytes.size(); ++i)
            value = value << 8 | static_cast<unsigned char>(bytes[i]);
        return std::to_string(value);
    };
    return bytes.compare(1, 3, "PNG") == 0 ? number(16) + "x" + number(20) : "";
}

} // namespace

TEST_F(PlayerProgram, RunsFromAnInstalledPrefixWithoutTheBuildTree) {
    TTempFolder prefixFolder;
    const fs::path prefix = prefixFolder.Path();
    const std::string install = std::string("'" VELOR_CMAKE_COMMAND "' --install '") +
                                VELOR_BUILD_DIR + "' --component viewer --prefix '" +
                                prefix.string() + "' >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0) << install;

    // Where the desktop and man look.
    const std::string entry = Contents(prefix / "share/applications/velor-player.desktop");
    for (const char* line :
         {"Exec=velor-player %f", "GenericName=Dash camera viewer",
          "Categories=AudioVideo;Video;Player;", "MimeType=video/x-msvideo;", "Icon=velor-player"})
        EXPECT_NE(entry.find(std::string("\n") + line + "\n"), std::string::npos) << line;
    const fs::path icons = prefix / "share/icons/hicolor";
    for (const int size : {48, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_EQ(PngSize(icons / folder / "apps/velor-player.png"), folder);
    }
    EXPECT_NE(Contents(icons / "scalable/apps/velor-player.svg").find("<svg"), std::string::npos);
    EXPECT_EQ(Contents(prefix / "share/man/man1/velor-player.1").rfind(".TH VELOR-PLAYER 1", 0),
              0u);

    // The build tree's data out of reach, the installed program plays.
    // (Moved back however the test ends.)
    const fs::path resources = fs::path(VELOR_PLAYER_PATH).parent_path() / "resource";
    const fs::path aside = resources.string() + ".away-during-install-test";
    fs::rename(resources, aside);
    const std::unique_ptr<const fs::path, void (*)(const fs::path*)> back(
        &aside, [](const fs::path* moved) {
            std::error_code ignored;
            fs::rename(*moved, moved->parent_path() / "resource", ignored);
        });
    ASSERT_FALSE(fs::exists(resources));
    unsetenv("VELOR_RESOURCE_DIR");
    velor::fixtures::RecordingOptions options;
    options.seconds = 30;
    TFixtureRecording recording(options);
    TProgram player((prefix / "bin/velor-player").string(), {recording.Path()});
    ASSERT_TRUE(player.Started());
    const std::string window = FindMainWindow();
    ASSERT_FALSE(window.empty()) << player.Err();
    const TGeometry shown = GeometryOf(window);
    const TMainLayout layout = MainLayout(kMainWidth, kMainHeight);
    const RECT& front = LayOutChannels(layout.videoArea, TChannelMode::Two).front.picture;
    EXPECT_TRUE(Changing(shown.x + front.left, shown.y + front.top, front.right - front.left,
                         front.bottom - front.top));
    // The skin came from the installed data: the frame around the video is
    // drawn, not left blank.
    EXPECT_GT(DistinctColours(ScreenPixels(shown.x, shown.y, kMainWidth, 40)), 8);
    player.Signal(SIGTERM);
    EXPECT_EQ(player.Wait(), 0) << player.Err();
}
