// velor-player on a card: the list fills from the removable volume, a double
// click plays a recording, the graph, the read-out and the map follow it,
// the end of one recording goes on to the next, and pulling the card stops
// playback and empties the list. The card is a folder that a mount table and
// a sysfs tree of the test's own call a removable volume.

#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <vector>

#include "app/frame_geometry.h"
#include "app/video_layout.h"
#include "tests/app/program_driver.h"
#include "tests/fixtures/recording_writer.h"
#include "tests/platform/volumes_fake_system.h"

namespace {

// The recording list inside the docked side window, in window coordinates:
// its rows are 21 pixels high, each with its kind icon at the left.
constexpr int kFirstRowTop = 153;
constexpr int kRowHeight = 21;
constexpr int kIconX = 738;
constexpr int kRowTextX = 860;
constexpr POINT kMapTab{842, 52};
constexpr POINT kListTab{764, 52};

bool Dark(const std::string& pixel) {
    return static_cast<unsigned char>(pixel[0]) < 40 && static_cast<unsigned char>(pixel[1]) < 40 &&
           static_cast<unsigned char>(pixel[2]) < 40;
}

class TCardScreen {
public:
    explicit TCardScreen(const TGeometry& at) : m_at(at) {}

    // Whether row `row` shows a kind icon.
    bool RowShown(int row) const {
        return !Dark(ScreenPixels(m_at.x + kIconX, RowMiddle(row), 1, 1));
    }
    std::string RowLook(int row) const {
        return ScreenPixels(m_at.x + kRowTextX, RowMiddle(row) - 3, 60, 6);
    }
    void DoubleClickRow(int row) const { DoubleClickAt(m_at.x + kRowTextX, RowMiddle(row)); }
    void Click(POINT point) const { ClickAt(m_at.x + point.x, m_at.y + point.y); }
    std::string Area(const RECT& client) const {
        return ScreenPixels(m_at.x + client.left, m_at.y + client.top, client.right - client.left,
                            client.bottom - client.top);
    }
    bool AreaChanging(const RECT& client) const {
        return Changing(m_at.x + client.left, m_at.y + client.top, client.right - client.left,
                        client.bottom - client.top);
    }

private:
    int RowMiddle(int row) const { return m_at.y + kFirstRowTop + row * kRowHeight + 10; }
    TGeometry m_at;
};

int RedPixels(const std::string& pixels) {
    int red = 0;
    for (std::size_t at = 0; at + 3 <= pixels.size(); at += 3) {
        const auto r = static_cast<unsigned char>(pixels[at]);
        const auto g = static_cast<unsigned char>(pixels[at + 1]);
        const auto b = static_cast<unsigned char>(pixels[at + 2]);
        if (r > 180 && g < 70 && b < 70)
            ++red;
    }
    return red;
}

} // namespace

TEST_F(PlayerProgram, PlaysTheCardsRecordingsFromTheListAndLetsTheCardGo) {
    TTempFolder card;
    const std::vector<std::string> names{"INF_REC_00_20260101_120000.avi",
                                         "INF_REC_00_20260101_120012.avi",
                                         "EVT_REC_00_20260101_120031.avi"};
    // Two short ones, so that the end of the first comes soon, and a long
    // one that still plays when the card goes.
    const int seconds[] = {4, 4, 30};
    for (std::size_t i = 0; i < names.size(); ++i) {
        velor::fixtures::RecordingOptions options;
        options.seconds = seconds[i];
        std::string error;
        ASSERT_TRUE(velor::fixtures::WriteRecording(card.File(names[i]), options, &error)) << error;
    }
    TFakeVolumeSystem system;
    system.AddDisk("sdb", true).AddPartition("sdb", "sdb1");
    system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sdb1", card.Path()));
    TScopedEnv mounts("VELOR_MOUNT_TABLE", system.MountsFile());
    TScopedEnv sysfs("VELOR_SYSFS_ROOT", system.Root());

    TProgram player(VELOR_PLAYER_PATH, {});
    const std::string window = FindMainWindow();
    ASSERT_FALSE(window.empty()) << player.Err();
    const TCardScreen screen(GeometryOf(window));
    Pause(1000);

    // The card's three recordings, and nothing below them.
    EXPECT_TRUE(screen.RowShown(0));
    EXPECT_TRUE(screen.RowShown(1));
    EXPECT_TRUE(screen.RowShown(2));
    EXPECT_FALSE(screen.RowShown(3));

    // A double click on the first plays it, and the bottom band follows.
    const TMainLayout layout = MainLayout(kMainWidth, kMainHeight);
    const RECT front = LayOutChannels(layout.videoArea, TChannelMode::Two).front.picture;
    const std::string secondIdle = screen.RowLook(1);
    screen.DoubleClickRow(0);
    EXPECT_TRUE(screen.AreaChanging(front));
    EXPECT_TRUE(screen.AreaChanging(layout.gsensor));
    EXPECT_TRUE(screen.AreaChanging(layout.gpsReadOut));

    // At its end the next recording of the list plays.
    bool next = false;
    for (int attempt = 0; attempt < 100 && !next; ++attempt) {
        Pause(100);
        next = screen.RowLook(1) != secondIdle;
    }
    EXPECT_TRUE(next);

    // The map tab shows the marker on the track.
    screen.Click(kMapTab);
    int red = 0;
    for (int attempt = 0; attempt < 60 && red < 20; ++attempt) {
        Pause(250);
        red = RedPixels(screen.Area(layout.sideWindow));
    }
    EXPECT_GE(red, 20);
    screen.Click(kListTab);
    Pause(500);
    EXPECT_TRUE(screen.AreaChanging(front)); // the third plays on

    // The card goes: playback stops and the list empties.
    system.WriteMounts("");
    bool emptied = false;
    for (int attempt = 0; attempt < 50 && !emptied; ++attempt) {
        Pause(100);
        emptied = !screen.RowShown(0);
    }
    EXPECT_TRUE(emptied);
    Pause(500);
    EXPECT_FALSE(screen.AreaChanging(front));

    player.Signal(SIGTERM);
    EXPECT_EQ(player.Wait(), 0) << player.Err();
}
