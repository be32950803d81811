#include <array>

#include <gtest/gtest.h>

#include "recordings/gps_readout.h"
#include "recordings/gsensor_graph.h"
#include "tests/recordings/recordings_ui_test_support.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr int kWidth = 400;

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

TEST(GSensorGraph, PointsAndCursorArithmetic) {
    const std::vector<float> thousand(1000, 0.0f);
    const std::vector<POINT> dense = GraphPoints(thousand, kWidth);
    ASSERT_EQ(dense.size(), 1000u);
    EXPECT_EQ((std::vector<LONG>{dense[0].x, dense[1].x, dense[2].x, dense[999].x}),
              (std::vector<LONG>{0, 0, 1, 499}));
    const std::vector<POINT> sparse = GraphPoints(std::vector<float>(100, 0.0f), kWidth);
    EXPECT_EQ((std::vector<LONG>{sparse[0].x, sparse[1].x, sparse[99].x}),
              (std::vector<LONG>{4, 8, 400}));
    const std::vector<POINT> levels = GraphPoints({1.0f, 0.0f, -1.0f, 0.5f}, kWidth);
    EXPECT_EQ((std::vector<LONG>{levels[0].y, levels[1].y, levels[2].y, levels[3].y}),
              (std::vector<LONG>{20, 50, 80, 35}));
    EXPECT_TRUE(GraphPoints(thousand, 0).empty());

    struct {
        int width, second, x;
        double duration;
    } const cursors[] = {{285, 30, 143, 60.0}, {400, 1, 3, 120.0}, {285, 30, 0, 0.0}};
    for (const auto& one : cursors)
        EXPECT_EQ(CursorXForSecond(one.width, one.duration, one.second), one.x) << one.width;
    EXPECT_EQ(SecondAtCursorX(200, kWidth, 60.0), 30);
}

TEST(GSensorGraph, DrawsTheSeriesAndCursorAndADragSeeksWithinTheWidth) {
    TOwnerWindow owner(kWidth + 20, 100);
    TTelemetry telemetry;
    telemetry.accelX.assign(600, 0.0f);
    telemetry.accelY.assign(600, 1.0f);
    telemetry.accelZ.assign(600, -1.0f);
    CGSensorGraph graph;
    ASSERT_TRUE(graph.Create(owner.hWnd, RECT{0, 0, kWidth, 84}));
    graph.SetTelemetry(&telemetry, 60.0);
    graph.ShowSecond(30);
    EXPECT_EQ(graph.CursorX(), 200);
    const HDC canvas = graph.Canvas().dc;
    const std::vector<COLORREF> shown{GetPixel(canvas, 200, 60), GetPixel(canvas, 10, 20),
                                      GetPixel(canvas, 10, 80), GetPixel(canvas, 10, 50),
                                      GetPixel(canvas, 10, 30)};
    EXPECT_EQ(shown, (std::vector<COLORREF>{RGB(255, 0, 0), RGB(51, 204, 0), RGB(51, 153, 255),
                                            RGB(255, 51, 51), RGB(17, 17, 17)}));

    SendMessageA(graph.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 40));
    SendMessageA(graph.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kWidth + 50, 40));
    EXPECT_EQ(graph.CursorX(), kWidth - kGraphCursorWidth);
    SendMessageA(graph.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(kWidth + 50, 40));
    SendMessageA(graph.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 40));
    EXPECT_EQ(owner.seeks, (std::vector<WPARAM>{15, 59}));

    // Without a recording the graph is only its background and never seeks.
    graph.SetTelemetry(nullptr, 0.0);
    SendMessageA(graph.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 40));
    SendMessageA(graph.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(100, 40));
    EXPECT_EQ(owner.seeks.size(), 2u);
    EXPECT_EQ(GetPixel(canvas, 10, 50), RGB(17, 17, 17));
}

TEST(GpsReadout, DigitsIconPositionsAndUnitSwitch) {
    const TGpsRecord kmh = Fix(true, 3730.0, 'N', 12700.0, 'E', 59.99 / 1.852);
    const TGpsRecord tenKnots = Fix(true, 3730.0, 'N', 12700.0, 'E', 10.0);
    const TGpsRecord invalid = Fix(false, 3730.0, 'N', 12700.0, 'E', 10.0);
    const TGpsRecord tooFast = Fix(true, 3730.0, 'N', 12700.0, 'E', 600.0);
    const std::array<UINT, 3> hyphens{DigitHyphenId, DigitHyphenId, DigitHyphenId};
    EXPECT_EQ(SpeedDigitImages(&kmh, TSpeedUnit::Kmh), Digits(0, 5, 9));
    EXPECT_EQ(SpeedDigitImages(&tenKnots, TSpeedUnit::Mph), Digits(0, 1, 1));
    EXPECT_EQ(SpeedDigitImages(&tooFast, TSpeedUnit::Kmh), Digits(9, 9, 9));
    EXPECT_EQ(SpeedDigitImages(&invalid, TSpeedUnit::Kmh), hyphens);
    EXPECT_EQ(SpeedDigitImages(nullptr, TSpeedUnit::Mph), hyphens);

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
    telemetry.gps = {Fix(true, 3351.0, 'S', 1825.2, 'W', 10.0),
                     Fix(false, 3730.0, 'N', 12700.0, 'E')};
    // Second 2 holds the first fix, second 3 the invalid one, 4 none.
    readout.Draw(surface.dc, &telemetry, 2);
    const RECT icon = readout.IconRect();
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

    EXPECT_TRUE(readout.OnCommand(kSpeedKmhCommand));
    EXPECT_EQ(readout.Unit(), TSpeedUnit::Mph);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(owner.hWnd, kSpeedKmhCommand)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(owner.hWnd, kSpeedMphCommand)));
    EXPECT_TRUE(readout.OnCommand(kSpeedMphCommand));
    EXPECT_EQ(readout.Unit(), TSpeedUnit::Kmh);
    surface.Release();
    ReleaseSharedSkin();
}
