#pragma once
// When the render thread shows the waiting picture, and how long the timer
// waits before the next pass. Kept apart from the thread so that the rule
// can be checked as arithmetic.

// A stream without FFmpeg stream is looked at again in 100 ms; an empty
// picture queue in 1 ms.
inline constexpr double kNoStreamDelayMs = -100.0;
inline constexpr double kNoPictureDelayMs = -1.0;
// A pts step of this many seconds or more is a jump (a seek, a cut in the
// recording), not a frame interval.
inline constexpr double kLongestFrameDelay = 1.0;
// A late picture still waits this long, so a lagging decoder cannot make the
// render thread spin.
inline constexpr double kShortestWait = 0.01;

// The timing the stream carries from one shown picture to the next (seconds).
struct TPacingState {
    double frameTimer = 0.0;
    double lastFrameDelay = 0.0;
    double lastFramePts = 0.0;
};

// The interval between the last shown picture and one at `pts`: the pts step
// when it is a plausible frame interval, otherwise the previous interval.
double FrameDelay(double pts, double lastFramePts, double lastFrameDelay);

// Takes the picture at `pts` as shown: advances `state` and returns the delay
// d in milliseconds until the next pass (at least 10.5).
double PacePicture(TPacingState& state, double pts, double nowSeconds);

// The timer period that a delay d asks for.
double RefreshPeriodOf(double delayMs);
