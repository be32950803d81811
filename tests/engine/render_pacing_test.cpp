#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/render_pacing.h"

namespace {

constexpr double kFrame = 1.0 / 30.0;

// A stream that showed a picture at 5 s, due at t = 100 s, 40 ms apart.
TPacingState ShownAtFiveSeconds() { return TPacingState{100.0, 0.04, 5.0}; }

TEST(RenderPacing, APlausibleStepIsTheNewDelayWhileEqualPtsAndJumpsReuseThePreviousOne) {
    struct Case {
        const char* what;
        double pts, delay;
    } cases[] = {
        {"one frame on", 5.0 + kFrame, kFrame},
        {"just under a second on", 5.999, 0.999},
        {"equal pts", 5.0, 0.04},
        {"backwards", 4.0, 0.04},
        {"jump of exactly 1 s", 6.0, 0.04},
        {"jump of several seconds", 12.5, 0.04},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPacingState state = ShownAtFiveSeconds();
        // Paced at t = 99 s: due a second and the delay from now, plus the
        // half for rounding.
        const double d = PacePicture(state, c.pts, 99.0);
        EXPECT_NEAR(state.lastFrameDelay, c.delay, 1e-9);
        EXPECT_NEAR(state.frameTimer, 100.0 + c.delay, 1e-9);
        EXPECT_DOUBLE_EQ(state.lastFramePts, c.pts);
        EXPECT_NEAR(d, (1.0 + c.delay) * 1000.0 + 0.5, 1e-6);
    }
}

TEST(RenderPacing, ALaggingDecoderStillWaitsTenAndAHalfMilliseconds) {
    TPacingState state = ShownAtFiveSeconds();
    // The picture was due long ago.
    const double d = PacePicture(state, 5.0 + kFrame, 250.0);
    EXPECT_DOUBLE_EQ(d, 10.5);
    EXPECT_DOUBLE_EQ(RefreshPeriodOf(d), 10.5);
    // Due in 5 ms is lagging too.
    TPacingState soon = ShownAtFiveSeconds();
    EXPECT_DOUBLE_EQ(PacePicture(soon, 5.04, 100.035), 10.5);
}

TEST(RenderPacing, APtsThatIsNotANumberLeavesTheTimingIntact) {
    TPacingState state = ShownAtFiveSeconds();
    const double d = PacePicture(state, std::numeric_limits<double>::quiet_NaN(), 99.0);
    EXPECT_TRUE(std::isfinite(d));
    EXPECT_DOUBLE_EQ(state.lastFrameDelay, 0.04);
    EXPECT_DOUBLE_EQ(state.lastFramePts, 5.0);
    EXPECT_DOUBLE_EQ(state.frameTimer, 100.04);
    // The next real picture paces from the last real one.
    PacePicture(state, 5.0 + kFrame, 99.0);
    EXPECT_NEAR(state.lastFrameDelay, kFrame, 1e-9);
}

} // namespace
