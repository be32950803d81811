#include <gtest/gtest.h>

#include "app/frame_geometry.h"

namespace {

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

void ExpectRect(const RECT& rect, int x, int y, int width, int height, const char* name) {
    EXPECT_EQ(rect.left, x) << name;
    EXPECT_EQ(rect.top, y) << name;
    EXPECT_EQ(Width(rect), width) << name;
    EXPECT_EQ(Height(rect), height) << name;
}

} // namespace

TEST(FrameGeometry, HitZonesFollowTheDrawnFrame) {
    const RECT window{100, 50, 1135, 770};
    struct TCase {
        POINT point;
        TPlacement placement;
        LRESULT expected;
    };
    constexpr TPlacement Normal = TPlacement::Normal;
    constexpr TPlacement Maximised = TPlacement::Maximised;
    const TCase cases[] = {
        {{600, 54}, Normal, HTTOP},          // 4 pixels below the top edge
        {{600, 55}, Normal, HTCAPTION},      // 5: the caption starts
        {{600, 89}, Normal, HTCAPTION},      // 39: still the caption
        {{600, 90}, Normal, HTCLIENT},       // 40: the client area
        {{107, 300}, Normal, HTLEFT},
        {{108, 300}, Normal, HTCLIENT},
        {{103, 52}, Normal, HTTOPLEFT},
        {{103, 760}, Normal, HTBOTTOMLEFT},
        {{1128, 300}, Normal, HTRIGHT},
        {{1127, 300}, Normal, HTCLIENT},
        {{1130, 52}, Normal, HTTOPRIGHT},
        {{1130, 769}, Normal, HTBOTTOMRIGHT},
        {{600, 754}, Normal, HTBOTTOM},
        {{600, 753}, Normal, HTCLIENT},
        {{103, 70}, Normal, HTLEFT},         // the side edge wins over the caption
        {{600, 52}, Maximised, HTCLIENT},    // maximised, nothing sizes
        {{103, 300}, Maximised, HTCLIENT},
        {{1130, 760}, Maximised, HTCLIENT},
        {{103, 60}, Maximised, HTCAPTION},
    };
    for (const TCase& one : cases)
        EXPECT_EQ(FrameHitTest(window, one.point, one.placement), one.expected)
            << one.point.x << "," << one.point.y << (one.placement == Maximised ? " maximised" : "");
}

TEST(FrameGeometry, CentresAndNeverShrinksBelowTheFirstSize) {
    struct TCase {
        int screenWidth, screenHeight;
        POINT origin;
    };
    const TCase origins[] = {{1920, 1080, {442, 180}}, {800, 600, {-117, -60}}, {1034, 719, {0, 0}}};
    for (const TCase& one : origins) {
        const POINT origin = CentredOrigin(one.screenWidth, one.screenHeight);
        EXPECT_EQ(origin.x, one.origin.x) << one.screenWidth;
        EXPECT_EQ(origin.y, one.origin.y) << one.screenHeight;
    }

    MINMAXINFO large{};
    MainTrackLimits(1920, 1050, &large);
    EXPECT_EQ(large.ptMinTrackSize.x, kMainWidth);
    EXPECT_EQ(large.ptMinTrackSize.y, kMainHeight);
    EXPECT_EQ(large.ptMaxTrackSize.x, 1920);
    EXPECT_EQ(large.ptMaxTrackSize.y, 1050);

    MINMAXINFO small{};
    MainTrackLimits(800, 577, &small);
    EXPECT_EQ(small.ptMaxTrackSize.x, kMainWidth);
    EXPECT_EQ(small.ptMaxTrackSize.y, kMainHeight);
}

TEST(FrameGeometry, LayoutFillsTheFrameAndTheVideoAreaTakesTheGrowth) {
    const TMainLayout first = MainLayout(kMainWidth, kMainHeight);
    ExpectRect(first.toolbar, 8, 40, 711, 36, "toolbar");
    ExpectRect(first.videoArea, 8, 76, 711, 447, "video area");
    ExpectRect(first.positionBand, 8, 523, 711, 26, "position band");
    ExpectRect(first.playbackBand, 8, 549, 711, 44, "playback band");
    ExpectRect(first.gpsReadOut, 8, 593, 520, 110, "GPS read-out");
    ExpectRect(first.gsensor, 528, 593, 299, 110, "G-sensor");
    ExpectRect(first.pictureAdjust, 827, 593, 200, 110, "picture adjustments");
    ExpectRect(first.sideWindow, 719, 40, 308, 553, "side window");
    EXPECT_EQ(Width(first.bottomFiller), 0);

    const TMainLayout grown = MainLayout(kMainWidth + 400, kMainHeight + 200);
    EXPECT_EQ(Width(grown.videoArea), 711 + 400);
    EXPECT_EQ(Height(grown.videoArea), 447 + 200);
    EXPECT_EQ(Height(grown.sideWindow), 553 + 200);
    EXPECT_EQ(Width(grown.sideWindow), 308);
    EXPECT_EQ(Width(grown.bottomFiller), 400);
    EXPECT_EQ(grown.pictureAdjust.right, kMainWidth + 400 - kSideBorderWidth);

    for (const TMainLayout& layout : {first, grown}) {
        // The left column is one stack without gaps, beside the side window.
        EXPECT_EQ(layout.toolbar.bottom, layout.videoArea.top);
        EXPECT_EQ(layout.videoArea.bottom, layout.positionBand.top);
        EXPECT_EQ(layout.positionBand.bottom, layout.playbackBand.top);
        EXPECT_EQ(layout.playbackBand.bottom, layout.gpsReadOut.top);
        EXPECT_EQ(layout.videoArea.right, layout.sideWindow.left);
        EXPECT_EQ(layout.sideWindow.bottom, layout.gsensor.top);
        EXPECT_EQ(layout.gsensor.right, layout.pictureAdjust.left);
    }
    const RECT inside{kSideBorderWidth, kCaptionHeight, kMainWidth + 400 - kSideBorderWidth,
                      kMainHeight + 200 - kBottomBandHeight};
    for (const RECT& area : {grown.toolbar, grown.videoArea, grown.gpsReadOut, grown.gsensor, grown.pictureAdjust,
                             grown.sideWindow, grown.bottomFiller})
        EXPECT_TRUE(Inside(area, inside));
}
