#include "engine/render_pacing.h"

#include <algorithm>
#include <cmath>

double FrameDelay(double pts, double lastFramePts, double lastFrameDelay) {
    const double delay = pts - lastFramePts;
    // A pts that is not a number would poison the frame timer for the rest
    // of the recording; it is treated like any other implausible step.
    if (!std::isfinite(delay) || delay <= 0.0 || delay >= kLongestFrameDelay)
        return lastFrameDelay;
    return delay;
}

double PacePicture(TPacingState& state, double pts, double nowSeconds) {
    const double delay = FrameDelay(pts, state.lastFramePts, state.lastFrameDelay);
    state.lastFrameDelay = delay;
    if (std::isfinite(pts))
        state.lastFramePts = pts;
    state.frameTimer += delay;
    const double actual = std::max(state.frameTimer - nowSeconds, kShortestWait);
    return actual * 1000.0 + 0.5;
}

double RefreshPeriodOf(double delayMs) {
    return std::fabs(delayMs);
}
