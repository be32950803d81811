#pragma once
// Where things are on the main window: the drawn frame's bands, which part
// of the frame a point is on, the size limits and the places of the areas
// inside the frame. Pure arithmetic, so the window and its tests agree.

#include "platform/windows.h"

// The window's first size, which is also the smallest it can be made.
inline constexpr int kMainWidth = 1035;
inline constexpr int kMainHeight = 720;

// Bands of the drawn frame.
inline constexpr int kCaptionHeight = 40;
inline constexpr int kSideBorderWidth = 8;
inline constexpr int kBottomBandHeight = 17;
// The strip at the top edge that sizes the window rather than moving it.
inline constexpr int kTopSizingEdge = 5;

// Caption buttons, right to left from the window's right end.
inline constexpr int kCaptionButtonWidth = 34;
inline constexpr int kCaptionButtonHeight = kCaptionHeight;

enum class TPlacement { Normal, Maximised };

// The hit-test code of a point (screen coordinates) on a window whose
// rectangle is `window`. Maximised, the edges do not size it.
LRESULT FrameHitTest(const RECT& window, POINT point, TPlacement placement);

// The top-left corner that centres the window on a screen of that size;
// negative on a screen smaller than the window.
POINT CentredOrigin(int screenWidth, int screenHeight);

// The tracking limits for a screen whose full-screen client area is
// fullWidth x fullHeight. The largest size never drops below the smallest,
// so a small screen cannot squeeze the window below its first size.
void MainTrackLimits(int fullWidth, int fullHeight, MINMAXINFO* limits);

// Sizes of skin pictures the layout depends on.
struct TLayoutMetrics {
    int sideWindowWidth = 300; // the side window's background picture
    int bottomRowHeight = 110; // the G-sensor picture
    int toolbarHeight = 36;
    int positionBandHeight = 26;
    int playbackBandHeight = 44;
    int gpsWidth = 520;
    int gsensorWidth = 299;
    int pictureAdjustWidth = 200;
    // A floating side window leaves its column to the video area.
    bool sideDocked = true;
};

// Every area inside the frame, in client coordinates.
struct TMainLayout {
    RECT toolbar;
    RECT videoArea;
    RECT positionBand;
    RECT playbackBand;
    RECT gpsReadOut;
    RECT gsensor;
    RECT pictureAdjust;
    // Between the read-out and the G-sensor graph when the window is wider
    // than its first size.
    RECT bottomFiller;
    RECT sideWindow;
};

// The side window takes the right column down to the bottom row; the left
// column holds the toolbar, the video area (which takes whatever height is
// left), the position and playback bands; the bottom row holds the GPS
// read-out at the left, the picture adjustments at the right and the
// G-sensor graph next to them.
TMainLayout MainLayout(int clientWidth, int clientHeight, const TLayoutMetrics& metrics = {});
