// The shell's geometry away from any window: the frame's hit zones and size
// limits, the video area's 16:9 fit, and the magnifier's
// marker and region.

#include <gtest/gtest.h>

#include "app/frame_geometry.h"
#include "app/magnifier_geometry.h"
#include "app/time_text.h"
#include "app/video_layout.h"

namespace {

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

TEST(ShellGeometry, HitZonesAndSizeLimitsFollowTheDrawnFrame) {
    const RECT window{100, 50, 1135, 770};
    constexpr TPlacement Normal = TPlacement::Normal;
    constexpr TPlacement Maximised = TPlacement::Maximised;
    struct TCase {
        POINT point;
        TPlacement placement;
        LRESULT expected;
    };
    const TCase cases[] = {
        {{600, 54}, Normal, HTTOP},     // 4 pixels below the top edge
        {{600, 55}, Normal, HTCAPTION}, // 5: the caption starts
        {{600, 89}, Normal, HTCAPTION}, // 39: still the caption
        {{600, 90}, Normal, HTCLIENT},  // 40: the client area
        {{107, 300}, Normal, HTLEFT},      {{1130, 769}, Normal, HTBOTTOMRIGHT},
        {{103, 70}, Normal, HTLEFT},      // the side edge wins over the caption
        {{600, 52}, Maximised, HTCLIENT}, // maximised, nothing sizes
        {{103, 60}, Maximised, HTCAPTION},
    };
    for (const TCase& one : cases)
        EXPECT_EQ(FrameHitTest(window, one.point, one.placement), one.expected)
            << one.point.x << "," << one.point.y
            << (one.placement == Maximised ? " maximised" : "");

    // A screen smaller than the window still gets the whole window.
    MINMAXINFO small{};
    MainTrackLimits(800, 577, &small);
    EXPECT_EQ(small.ptMinTrackSize.x, kMainWidth);
    EXPECT_EQ(small.ptMinTrackSize.y, kMainHeight);
    EXPECT_EQ(small.ptMaxTrackSize.x, kMainWidth);
    EXPECT_EQ(small.ptMaxTrackSize.y, kMainHeight);
}

TEST(ShellGeometry, OnePictureFitsSixteenByNine) {
    // 1920 x 1108 in one channel: the label's 20 and the margin's 8 leave
    // exactly a 1920 x 1080 picture at the usable rectangle's top-left.
    const RECT picture = LayOutChannels(RECT{0, 0, 1920, 1108}, TChannelMode::One).front.picture;
    EXPECT_EQ(picture.left, 0);
    EXPECT_EQ(picture.top, 20);
    EXPECT_EQ(picture.right, 1920);
    EXPECT_EQ(picture.bottom, 1100);
}

TEST(ShellGeometry, TheMarkerStaysInItsWindowAndTheRegionInTheFrame) {
    const RECT window{100, 100, 454, 299};
    const POINT proposals[] = {{200, 150}, {60, 150},  {430, 150},
                               {200, 20},  {200, 280}, {-500, 900}};
    for (const POINT& at : proposals) {
        const RECT kept =
            KeepMarkerInside(RECT{at.x, at.y, at.x + kMarkerSize, at.y + kMarkerSize}, window);
        EXPECT_EQ(kept.right - kept.left, kMarkerSize);
        EXPECT_TRUE(Inside(kept, window)) << at.x << "," << at.y;
    }
    EXPECT_EQ(KeepMarkerInside(RECT{200, 150, 200 + kMarkerSize, 150 + kMarkerSize}, window).left,
              200);

    const SIZE popup{kMagnifierWidth, kMagnifierHeight};
    struct TCase {
        SIZE video;
        SIZE frame;
    };
    const TCase cases[] = {
        {{480, 270}, {1920, 1080}}, {{354, 199}, {640, 360}}, {{1920, 1080}, {320, 180}}};
    for (const TCase& one : cases) {
        const RECT frame{0, 0, one.frame.cx, one.frame.cy};
        const POINT corners[] = {{0, 0},
                                 {one.video.cx - kMarkerSize, 0},
                                 {0, one.video.cy - kMarkerSize},
                                 {one.video.cx - kMarkerSize, one.video.cy - kMarkerSize}};
        for (const POINT& corner : corners) {
            const RECT region = MagnifiedRegion(popup, one.video, one.frame, corner);
            EXPECT_TRUE(Inside(region, frame))
                << one.frame.cx << " at " << corner.x << "," << corner.y;
            EXPECT_GT(region.right - region.left, 0);
            EXPECT_GT(region.bottom - region.top, 0);
        }
        const RECT bottomRight = MagnifiedRegion(popup, one.video, one.frame, corners[3]);
        EXPECT_EQ(bottomRight.right, one.frame.cx);
        EXPECT_EQ(bottomRight.bottom, one.frame.cy);
    }
    EXPECT_EQ(MagnifiedRegion(popup, SIZE{0, 0}, SIZE{1920, 1080}, POINT{}).right, 0);
}

TEST(ShellGeometry, TheTimeDisplayShowsHoursOnlyFromTheFirstHour) {
    EXPECT_EQ(PlaybackTimeText(0), L"00 : 00");
    EXPECT_EQ(PlaybackTimeText(59), L"00 : 59");
    EXPECT_EQ(PlaybackTimeText(3599), L"59 : 59");
    EXPECT_EQ(PlaybackTimeText(3600), L"01 : 00 : 00");
    EXPECT_EQ(PlaybackTimeText(36000 + 61), L"10 : 01 : 01");
}
