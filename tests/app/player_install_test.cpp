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

// Width and height from a PNG's IHDR chunk.
std::pair<int, int> PngSize(const fs::path& path) {
    const std::string bytes = Contents(path);
    constexpr size_t kWidthAt = 16;
    if (bytes.size() < kWidthAt + 8 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    const auto be32 = [&](size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    return {be32(kWidthAt), be32(kWidthAt + 4)};
}

// Moves a folder aside for the life of the object and back afterwards.
class TFolderAway {
public:
    explicit TFolderAway(fs::path folder) : m_folder(std::move(folder)) {
        m_aside = m_folder;
        m_aside += ".away-during-install-test";
        std::error_code error;
        fs::rename(m_folder, m_aside, error);
        m_moved = !error;
    }
    ~TFolderAway() {
        std::error_code ignored;
        if (m_moved)
            fs::rename(m_aside, m_folder, ignored);
    }
    bool Moved() const { return m_moved; }

private:
    fs::path m_folder;
    fs::path m_aside;
    bool m_moved = false;
};

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
        EXPECT_EQ(PngSize(icons / folder / "apps/velor-player.png"), std::make_pair(size, size));
    }
    EXPECT_NE(Contents(icons / "scalable/apps/velor-player.svg").find("<svg"), std::string::npos);
    EXPECT_EQ(Contents(prefix / "share/man/man1/velor-player.1").rfind(".TH VELOR-PLAYER 1", 0),
              0u);

    // The build tree's data out of reach, the installed program plays.
    const fs::path buildResources = fs::path(VELOR_PLAYER_PATH).parent_path() / "resource";
    TFolderAway away(buildResources);
    ASSERT_TRUE(away.Moved());
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
