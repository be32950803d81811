#include <gtest/gtest.h>

#include "app/magnifier_geometry.h"

namespace {

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

TEST(MagnifierGeometry, TheMarkerStaysInsideItsVideoWindowWhileDragged) {
    const RECT window{100, 100, 454, 299};
    struct TCase {
        POINT proposed;
        POINT kept;
    };
    const TCase cases[] = {
        {{200, 150}, {200, 150}},  // inside: untouched
        {{60, 150}, {100, 150}},   // past the left edge
        {{430, 150}, {404, 150}},  // past the right edge
        {{200, 20}, {200, 100}},   // above
        {{200, 280}, {200, 249}},  // below
        {{-500, 900}, {100, 249}}, // far past a corner
    };
    for (const TCase& one : cases) {
        const RECT proposed{one.proposed.x, one.proposed.y, one.proposed.x + kMarkerSize,
                            one.proposed.y + kMarkerSize};
        const RECT kept = KeepMarkerInside(proposed, window);
        EXPECT_EQ(kept.left, one.kept.x) << one.proposed.x << "," << one.proposed.y;
        EXPECT_EQ(kept.top, one.kept.y) << one.proposed.x << "," << one.proposed.y;
        EXPECT_EQ(kept.right - kept.left, kMarkerSize);
        EXPECT_TRUE(Inside(kept, window));
    }
}

TEST(MagnifierGeometry, TheRegionIsFiveTimesTheVideoWindowsScaleAndNeverLeavesTheFrame) {
    const SIZE popup{kMagnifierWidth, kMagnifierHeight};
    // A 1920 x 1080 picture in a 480 x 270 window: a quarter scale, so the
    // 80 x 60 pixels of the pop-up's fifth are 320 x 240 frame pixels.
    const RECT middle = MagnifiedRegion(popup, SIZE{480, 270}, SIZE{1920, 1080}, POINT{215, 110});
    EXPECT_EQ(middle.right - middle.left, 320);
    EXPECT_EQ(middle.bottom - middle.top, 240);
    EXPECT_EQ(middle.left, 960 - 160);
    EXPECT_EQ(middle.top, 540 - 120);

    struct TCase {
        SIZE video;
        SIZE frame;
    };
    const TCase cases[] = {{{480, 270}, {1920, 1080}}, {{354, 199}, {640, 360}}, {{1920, 1080}, {320, 180}},
                           {{711, 400}, {1280, 720}}};
    for (const TCase& one : cases) {
        const RECT frame{0, 0, one.frame.cx, one.frame.cy};
        const POINT corners[] = {{0, 0},
                                 {one.video.cx - kMarkerSize, 0},
                                 {0, one.video.cy - kMarkerSize},
                                 {one.video.cx - kMarkerSize, one.video.cy - kMarkerSize}};
        for (const POINT& corner : corners) {
            const RECT region = MagnifiedRegion(popup, one.video, one.frame, corner);
            EXPECT_TRUE(Inside(region, frame)) << one.frame.cx << " at " << corner.x << "," << corner.y;
            EXPECT_GT(region.right - region.left, 0);
            EXPECT_GT(region.bottom - region.top, 0);
        }
        // The top-left corner shows the frame's own corner.
        const RECT topLeft = MagnifiedRegion(popup, one.video, one.frame, corners[0]);
        EXPECT_EQ(topLeft.left, 0);
        EXPECT_EQ(topLeft.top, 0);
        const RECT bottomRight = MagnifiedRegion(popup, one.video, one.frame, corners[3]);
        EXPECT_EQ(bottomRight.right, one.frame.cx);
        EXPECT_EQ(bottomRight.bottom, one.frame.cy);
    }
    EXPECT_EQ(MagnifiedRegion(popup, SIZE{0, 0}, SIZE{1920, 1080}, POINT{}).right, 0);
}
