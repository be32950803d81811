#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "recordings/gps_readout.h"
#include "recordings/gsensor_graph.h"
#include "tests/recordings/recordings_ui_test_support.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr int kGraphWidth = 400;
constexpr int kGraphHeight = 84;

std::vector<LONG> Xs(const std::vector<POINT>& points) {
    std::vector<LONG> xs;
    for (const POINT& point : points)
        xs.push_back(point.x);
    return xs;
}

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// What a box of the surface shows, folded into one number.
unsigned long long BoxSum(HDC dc, const RECT& box) {
    unsigned long long sum = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            sum = sum * 31 + GetPixel(dc, x, y);
    return sum;
}

std::array<UINT, 3> Digits(UINT hundreds, UINT tens, UINT ones) {
    return {DigitFirstId + hundreds, DigitFirstId + tens, DigitFirstId + ones};
}

} // namespace

TEST(GSensorGraph, PointsSpreadOverTheWidthAtThirtyPixelsPerUnit) {
    const std::vector<float> thousand(1000, 0.0f);
    const std::vector<POINT> dense = GraphPoints(thousand, kGraphWidth);
    ASSERT_EQ(dense.size(), 1000u);
    EXPECT_EQ(dense[0].x, 0);
    EXPECT_EQ(dense[1].x, 0);
    EXPECT_EQ(dense[2].x, 1);
    EXPECT_EQ(dense[999].x, 499);

    const std::vector<POINT> sparse = GraphPoints(std::vector<float>(100, 0.0f), kGraphWidth);
    ASSERT_EQ(sparse.size(), 100u);
    EXPECT_EQ(sparse.front().x, 4);
    EXPECT_EQ(sparse[1].x, 8);
    EXPECT_EQ(sparse.back().x, 400);

    const std::vector<POINT> levels = GraphPoints({1.0f, 0.0f, -1.0f, 0.5f}, kGraphWidth);
    const std::vector<LONG> ys{levels[0].y, levels[1].y, levels[2].y, levels[3].y};
    EXPECT_EQ(ys, (std::vector<LONG>{20, 50, 80, 35}));
    EXPECT_EQ(Xs(levels), (std::vector<LONG>{100, 200, 300, 400}));
    EXPECT_TRUE(GraphPoints(thousand, 0).empty());
}

TEST(GSensorGraph, CursorFollowsTheSecondAndADragSeeksWithinTheWidth) {
    struct {
        int width;
        double duration;
        int second;
        int x;
    } const cases[] = {
        {285, 60.0, 30, 143}, {285, 60.0, 0, 0}, {400, 120.0, 1, 3}, {285, 0.0, 30, 0},
    };
    for (const auto& one : cases)
        EXPECT_EQ(CursorXForSecond(one.width, one.duration, one.second), one.x)
            << one.width << " " << one.duration << " " << one.second;
    EXPECT_EQ(SecondAtCursorX(200, kGraphWidth, 60.0), 30);
    EXPECT_EQ(SecondAtCursorX(200, kGraphWidth, 0.0), 0);

    TOwnerWindow owner(kGraphWidth + 20, kGraphHeight + 20);
    TTelemetry telemetry;
    telemetry.accelX.assign(600, 0.0f);
    telemetry.accelY.assign(600, 1.0f);
    telemetry.accelZ.assign(600, -1.0f);
    telemetry.accelX[300] = 0.8f; // a knock half way
    CGSensorGraph graph;
    ASSERT_TRUE(graph.Create(owner.hWnd, RECT{0, 0, kGraphWidth, kGraphHeight}));
    graph.SetTelemetry(&telemetry, 60.0);
    graph.ShowSecond(30);
    EXPECT_EQ(graph.CursorX(), 200);
    EXPECT_TRUE(owner.seeks.empty());
    const HDC canvas = graph.Canvas().dc;
    EXPECT_EQ(GetPixel(canvas, 200, 60), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas, 10, 20), RGB(51, 204, 0));
    EXPECT_EQ(GetPixel(canvas, 10, 80), RGB(51, 153, 255));
    EXPECT_EQ(GetPixel(canvas, 10, 50), RGB(255, 51, 51));
    EXPECT_EQ(GetPixel(canvas, 10, 30), RGB(17, 17, 17));

    SendMessageA(graph.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 40));
    EXPECT_TRUE(graph.Dragging());
    SendMessageA(graph.hWnd, WM_MOUSEMOVE, MK_LBUTTON, At(kGraphWidth + 50, 40));
    EXPECT_EQ(graph.CursorX(), kGraphWidth - kGraphCursorWidth);
    SendMessageA(graph.hWnd, WM_LBUTTONUP, 0, At(kGraphWidth + 50, 40));
    EXPECT_FALSE(graph.Dragging());
    SendMessageA(graph.hWnd, WM_MOUSEMOVE, 0, At(20, 40));
    EXPECT_EQ(owner.seeks, (std::vector<WPARAM>{15, 59}));

    // Without a recording the graph is only its background and never seeks.
    graph.SetTelemetry(nullptr, 0.0);
    SendMessageA(graph.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 40));
    SendMessageA(graph.hWnd, WM_LBUTTONUP, 0, At(100, 40));
    EXPECT_EQ(owner.seeks.size(), 2u);
    EXPECT_EQ(GetPixel(canvas, 10, 50), RGB(17, 17, 17));
}

TEST(GpsReadout, DigitsShowTheSpeedInTheChosenUnitHyphensWithoutAValidFix) {
    const TGpsRecord kmh = Fix(true, 3730.0, 'N', 12700.0, 'E', 59.99 / 1.852);
    const TGpsRecord tenKnots = Fix(true, 3730.0, 'N', 12700.0, 'E', 10.0);
    const TGpsRecord invalid = Fix(false, 3730.0, 'N', 12700.0, 'E', 10.0);
    const TGpsRecord tooFast = Fix(true, 3730.0, 'N', 12700.0, 'E', 600.0);
    const std::array<UINT, 3> hyphens{DigitHyphenId, DigitHyphenId, DigitHyphenId};
    EXPECT_EQ(SpeedDigitImages(&kmh, TSpeedUnit::Kmh), Digits(0, 5, 9));
    EXPECT_EQ(SpeedDigitImages(&tenKnots, TSpeedUnit::Mph), Digits(0, 1, 1));
    EXPECT_EQ(SpeedDigitImages(&tenKnots, TSpeedUnit::Kmh), Digits(0, 1, 8));
    EXPECT_EQ(SpeedDigitImages(&tooFast, TSpeedUnit::Kmh), Digits(9, 9, 9));
    EXPECT_EQ(SpeedDigitImages(&invalid, TSpeedUnit::Kmh), hyphens);
    EXPECT_EQ(SpeedDigitImages(nullptr, TSpeedUnit::Mph), hyphens);
}

TEST(GpsReadout, DrawsTheIconAndDigitsSendsSignedPositionsAndSwitchesUnits) {
    TOwnerWindow owner(560, 140);
    HDC screen = GetDC(owner.hWnd);
    ASSERT_TRUE(LoadSharedSkin(screen));
    TMemoryDC surface;
    ASSERT_TRUE(surface.Prepare(screen, 560, 140));
    ReleaseDC(owner.hWnd, screen);
    const POINT origin{10, 10};

    CGpsReadout readout;
    ASSERT_TRUE(readout.Create(owner.hWnd, origin, surface.dc));
    std::vector<std::array<double, 2>> sent;
    readout.OnPosition([&](double latitude, double longitude) {
        sent.push_back({latitude, longitude});
    });
    TTelemetry telemetry;
    telemetry.firstGpsTime = 1;
    telemetry.gps = {Fix(true, 3351.0, 'S', 1825.2, 'W', 10.0), Fix(false, 3730.0, 'N', 12700.0, 'E')};

    // Second 2 holds the first fix, second 3 the invalid one, 4 none.
    readout.Draw(surface.dc, &telemetry, 2);
    const RECT icon = readout.IconRect();
    EXPECT_EQ(icon.left, origin.x + 31);
    EXPECT_EQ(icon.top, origin.y + 35);
    const RECT tens{origin.x + 160, origin.y + 29, origin.x + 190, origin.y + 75};
    const unsigned long long iconOn = BoxSum(surface.dc, icon);
    const unsigned long long digitOne = BoxSum(surface.dc, tens);
    readout.Draw(surface.dc, &telemetry, 3);
    EXPECT_NE(BoxSum(surface.dc, icon), iconOn);
    EXPECT_NE(BoxSum(surface.dc, tens), digitOne);
    readout.Draw(surface.dc, &telemetry, 4);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_NEAR(sent[0][0], -33.85, 1e-9);
    EXPECT_NEAR(sent[0][1], -18.42, 1e-9);
    EXPECT_NEAR(sent[1][0], 37.5, 1e-9);

    EXPECT_EQ(readout.Unit(), TSpeedUnit::Kmh);
    EXPECT_FALSE(readout.OnCommand(224));
    EXPECT_TRUE(readout.OnCommand(kSpeedKmhCommand));
    EXPECT_EQ(readout.Unit(), TSpeedUnit::Mph);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(owner.hWnd, kSpeedKmhCommand)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(owner.hWnd, kSpeedMphCommand)));
    EXPECT_TRUE(readout.OnCommand(kSpeedMphCommand));
    EXPECT_EQ(readout.Unit(), TSpeedUnit::Kmh);
    surface.Release();
    ReleaseSharedSkin();
}
