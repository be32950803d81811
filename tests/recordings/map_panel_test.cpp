#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "platform/web_view.h"
#include "recordings/map_panel.h"
#include "settings/viewer_preferences.h"
#include "tests/recordings/recordings_ui_test_support.h"
#include "tests/support/temp_folder.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr double kDegreeTolerance = 1e-6;

struct TLatLon {
    double latitude = 0.0;
    double longitude = 0.0;
};

// A script's value read back from the page.
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

// `expression` gives [latitude, longitude].
// Asks the page now and then until `expression` gives `expected`; the
// page keeps loading in between.
bool WaitForPage(CIeCtrl* site, const std::string& expression, const std::string& expected) {
    constexpr int kQuestions = 300;
    constexpr int kRoundsBetween = 20;
    for (int i = 0; i < kQuestions; ++i) {
        if (Evaluate(site, expression) == expected)
            return true;
        WaitFor([] { return false; }, kRoundsBetween);
    }
    return false;
}

TLatLon ReadPosition(CIeCtrl* site, const char* expression) {
    TLatLon position;
    const std::string text = Evaluate(site, std::string("JSON.stringify(") + expression + ")");
    EXPECT_EQ(std::sscanf(text.c_str(), "[%lf,%lf]", &position.latitude, &position.longitude), 2)
        << expression << " gave " << text;
    return position;
}

void ExpectAt(const TLatLon& position, double latitude, double longitude) {
    EXPECT_NEAR(position.latitude, latitude, kDegreeTolerance);
    EXPECT_NEAR(position.longitude, longitude, kDegreeTolerance);
}

// The map's tiles from one local picture (or a missing one), never the network.
class MapPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureRecordingsUiApplication();
        // A skin picture stands in for every tile: any PNG the page can show.
        Preferences().mapTileUrl =
            TWebView::FileUrl(ResolveSkinPath("resource/skin/gps_bg.png"));
    }
    void TearDown() override { Preferences().mapTileUrl = kDefaultMapTileUrl; }

    CIeCtrl* OpenPanel(CMapPanel& panel, TOwnerWindow& owner, const RECT& rect) {
        EXPECT_TRUE(panel.Create(owner.hWnd, rect));
        return panel.Site();
    }

    TTempFolder m_folder;
};

constexpr const char* kNoteDisplay = "getComputedStyle(document.getElementById('note')).display";

} // namespace

TEST_F(MapPanelTest, PageCentresOnTheStartMovesByScriptFollowsTheSizeOnceWrittenAndIsRebuilt) {
    EXPECT_EQ(MoveToScript(37.5, 127.0), "moveTo(37.500000, 127.000000);");
    TOwnerWindow owner(400, 300);
    CMapPanel panel;
    CIeCtrl* site = OpenPanel(panel, owner, RECT{0, 0, 300, 200});
    ASSERT_NE(site, nullptr);
    ASSERT_FALSE(site->PageWritten());

    // Before the page is written the browser keeps its first size.
    MoveWindow(panel.hWnd, 0, 0, 240, 160, TRUE);
    EXPECT_EQ(site->BrowserSize().cx, 300);
    EXPECT_EQ(site->BrowserSize().cy, 200);
    ASSERT_TRUE(WaitFor([&] { return site->PageWritten(); }));
    EXPECT_EQ(site->BrowserSize().cx, 240);
    MoveWindow(panel.hWnd, 0, 0, 280, 180, TRUE);
    EXPECT_EQ(site->BrowserSize().cx, 280);
    EXPECT_EQ(site->BrowserSize().cy, 180);

    ExpectAt(ReadPosition(site, "mapCentre()"), kMapStartLatitude, kMapStartLongitude);
    ExpectAt(ReadPosition(site, "markerPosition()"), kMapStartLatitude, kMapStartLongitude);
    EXPECT_TRUE(WaitForPage(site, "tiles.numLoadingTiles", "0"));
    EXPECT_EQ(Evaluate(site, kNoteDisplay), "none");

    panel.MoveMarker(37.5, 127.0);
    ExpectAt(ReadPosition(site, "markerPosition()"), 37.5, 127.0);
    ExpectAt(ReadPosition(site, "mapCentre()"), 37.5, 127.0);

    // A navigation of the browser's own rebuilds the map at the next position.
    site->RunScript("location.reload();");
    ASSERT_TRUE(WaitFor([&] { return site->ReloadNeeded(); }));
    panel.MoveMarker(-33.9, -18.4);
    EXPECT_FALSE(site->ReloadNeeded());
    ASSERT_TRUE(WaitFor([&] { return site->PageWritten(); }));
    ExpectAt(ReadPosition(site, "mapCentre()"), -33.9, -18.4);
    ExpectAt(ReadPosition(site, "markerPosition()"), -33.9, -18.4);
}

TEST_F(MapPanelTest, TrackHasOnePointPerValidFixSignedByHemisphereAndTilesMissingShowTheNote) {
    Preferences().mapTileUrl = TWebView::FileUrl(m_folder.File("missing/{z}/{x}/{y}.png"));
    TTelemetry southWest;
    southWest.gps = {Fix(true, 3351.0, 'S', 1825.2, 'W'), Fix(false, 0.0, 0, 0.0, 0),
                     Fix(true, 3351.6, 'S', 1825.8, 'W'), Fix(true, 3352.2, 'S', 1826.4, 'W')};
    TOwnerWindow owner(320, 240);
    CMapPanel panel;
    CIeCtrl* site = OpenPanel(panel, owner, RECT{0, 0, 320, 240});
    ASSERT_NE(site, nullptr);
    // Given before the page exists, drawn once it is written.
    panel.SetTrack(&southWest);
    ASSERT_TRUE(WaitFor([&] { return site->PageWritten(); }));
    ASSERT_TRUE(WaitForPage(site, "trackPoints().length", "3"));
    ExpectAt(ReadPosition(site, "trackPoints()[0]"), -33.85, -18.42);
    EXPECT_TRUE(WaitForPage(site, kNoteDisplay, "block"));

    TTelemetry northEast;
    northEast.gps = {Fix(true, 3730.0, 'N', 12700.0, 'E'), Fix(true, 3731.0, 'N', 12701.0, 'E')};
    panel.SetTrack(&northEast);
    ASSERT_TRUE(WaitForPage(site, "trackPoints().length", "2"));
    ExpectAt(ReadPosition(site, "trackPoints()[1]"), 37.516667, 127.016667);
    panel.SetTrack(nullptr);
    EXPECT_TRUE(WaitForPage(site, "trackPoints().length", "0"));
}
