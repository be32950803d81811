#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "recordings/map_panel.h"
#include "settings/viewer_preferences.h"
#include "tests/recordings/recordings_ui_test_support.h"
#include "tests/support/temp_folder.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr const char* kTileShown =
    "[...document.querySelectorAll('.olTileImage')].some(i => i.naturalWidth > 0)";
constexpr const char* kNoteDisplay = "getComputedStyle(document.getElementById('note')).display";

std::string Evaluate(CIeCtrl* site, const std::string& script) {
    std::string value;
    bool answered = false;
    site->RunScript(script, [&](const std::string& result) {
        value = result;
        answered = true;
    });
    EXPECT_TRUE(WaitFor([&] { return answered; })) << script;
    return value;
}

// Asks now and then, so that the page goes on loading in between.
bool WaitForPage(CIeCtrl* site, const std::string& expression, const std::string& expected) {
    for (int i = 0; i < 300; ++i) {
        if (Evaluate(site, expression) == expected)
            return true;
        WaitFor([] { return false; }, 20);
    }
    return false;
}

// `expression` gives [latitude, longitude] in the page.
void ExpectAt(CIeCtrl* site, const char* expression, double latitude, double longitude) {
    double read[2] = {};
    const std::string text = Evaluate(site, std::string("JSON.stringify(") + expression + ")");
    ASSERT_EQ(std::sscanf(text.c_str(), "[%lf,%lf]", &read[0], &read[1]), 2) << text;
    EXPECT_NEAR(read[0], latitude, 1e-6) << expression;
    EXPECT_NEAR(read[1], longitude, 1e-6) << expression;
}

// Tiles come from a local picture (or a missing one), never the network.
class MapPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureRecordingsUiApplication();
        Preferences().mapTileUrl = TWebView::FileUrl(ResolveSkinPath("resource/skin/gps_bg.png"));
    }
    void TearDown() override { Preferences().mapTileUrl = kDefaultMapTileUrl; }
    TTempFolder m_folder;
};

} // namespace

TEST_F(MapPanelTest, PageCentresOnTheStartMovesByScriptFollowsTheSizeOnceWrittenAndIsRebuilt) {
    EXPECT_EQ(MoveToScript(37.5, 127.0), "moveTo(37.500000, 127.000000);");
    TOwnerWindow owner(400, 300);
    CMapPanel panel;
    ASSERT_TRUE(panel.Create(owner.hWnd, RECT{0, 0, 300, 200}));
    CIeCtrl* site = panel.Site();
    ASSERT_TRUE(site && !site->PageWritten());
    // Before the page is written the browser keeps its first size.
    MoveWindow(panel.hWnd, 0, 0, 240, 160, TRUE);
    EXPECT_EQ(site->BrowserSize().cx, 300);
    ASSERT_TRUE(WaitFor([&] { return site->PageWritten(); }));
    EXPECT_EQ(site->BrowserSize().cx, 240);
    MoveWindow(panel.hWnd, 0, 0, 280, 180, TRUE);
    EXPECT_EQ(site->BrowserSize().cy, 180);

    ExpectAt(site, "mapCentre()", kMapStartLatitude, kMapStartLongitude);
    ExpectAt(site, "markerPosition()", kMapStartLatitude, kMapStartLongitude);
    EXPECT_TRUE(WaitForPage(site, kTileShown, "true"));
    EXPECT_EQ(Evaluate(site, kNoteDisplay), "none");
    panel.MoveMarker(37.5, 127.0);
    ExpectAt(site, "markerPosition()", 37.5, 127.0);
    ExpectAt(site, "mapCentre()", 37.5, 127.0);

    // A navigation of the browser's own rebuilds the map at the next position.
    site->RunScript("location.reload();");
    ASSERT_TRUE(WaitFor([&] { return site->ReloadNeeded(); }));
    panel.MoveMarker(-33.9, -18.4);
    EXPECT_FALSE(site->ReloadNeeded());
    ASSERT_TRUE(WaitFor([&] { return site->PageWritten(); }));
    ExpectAt(site, "markerPosition()", -33.9, -18.4);
}

TEST_F(MapPanelTest, TrackHasOnePointPerValidFixSignedByHemisphereAndMissingTilesShowTheNote) {
    Preferences().mapTileUrl = TWebView::FileUrl(m_folder.File("missing/{z}/{x}/{y}.png"));
    TTelemetry southWest;
    southWest.gps = {Fix(true, 3351.0, 'S', 1825.2, 'W'), Fix(false, 0.0, 0, 0.0, 0),
                     Fix(true, 3351.6, 'S', 1825.8, 'W'), Fix(true, 3352.2, 'S', 1826.4, 'W')};
    TOwnerWindow owner(320, 240);
    CMapPanel panel;
    ASSERT_TRUE(panel.Create(owner.hWnd, RECT{0, 0, 320, 240}));
    CIeCtrl* site = panel.Site();
    // Given before the page exists, drawn once it is written.
    panel.SetTrack(&southWest);
    ASSERT_TRUE(WaitFor([&] { return site->PageWritten(); }));
    ASSERT_TRUE(WaitForPage(site, "trackPoints().length", "3"));
    ExpectAt(site, "trackPoints()[0]", -33.85, -18.42);
    EXPECT_TRUE(WaitForPage(site, kNoteDisplay, "block"));

    TTelemetry northEast;
    northEast.gps = {Fix(true, 3730.0, 'N', 12700.0, 'E'), Fix(true, 3731.0, 'N', 12701.0, 'E')};
    panel.SetTrack(&northEast);
    ASSERT_TRUE(WaitForPage(site, "trackPoints().length", "2"));
    ExpectAt(site, "trackPoints()[1]", 37.516667, 127.016667);
    panel.SetTrack(nullptr);
    EXPECT_TRUE(WaitForPage(site, "trackPoints().length", "0"));
}
