#include "app/frame_geometry.h"

#include <algorithm>

namespace {

// Sizing edges reach this far into the window's bottom band.
constexpr int kBottomSizingEdge = kBottomBandHeight;

LRESULT SideEdge(LRESULT edge, LRESULT topCorner, LRESULT bottomCorner, const RECT& window,
                 POINT point) {
    if (point.y < window.top + kTopSizingEdge)
        return topCorner;
    if (point.y > window.bottom - kBottomSizingEdge)
        return bottomCorner;
    return edge;
}

RECT Box(int x, int y, int width, int height) {
    return RECT{x, y, x + width, y + height};
}

} // namespace

LRESULT FrameHitTest(const RECT& window, POINT point, TPlacement placement) {
    if (placement == TPlacement::Normal) {
        if (point.x < window.left + kSideBorderWidth)
            return SideEdge(HTLEFT, HTTOPLEFT, HTBOTTOMLEFT, window, point);
        if (point.x > window.right - kSideBorderWidth)
            return SideEdge(HTRIGHT, HTTOPRIGHT, HTBOTTOMRIGHT, window, point);
        if (point.y < window.top + kTopSizingEdge)
            return HTTOP;
        if (point.y > window.bottom - kBottomSizingEdge)
            return HTBOTTOM;
    }
    if (point.y >= window.top + kTopSizingEdge && point.y < window.top + kCaptionHeight)
        return HTCAPTION;
    return HTCLIENT;
}

POINT CentredOrigin(int screenWidth, int screenHeight) {
    // Integer division rounds toward zero, as the placement wants.
    return POINT{(screenWidth - kMainWidth) / 2, (screenHeight - kMainHeight) / 2};
}

void MainTrackLimits(int fullWidth, int fullHeight, MINMAXINFO* limits) {
    limits->ptMinTrackSize = POINT{kMainWidth, kMainHeight};
    limits->ptMaxTrackSize =
        POINT{std::max(fullWidth, kMainWidth), std::max(fullHeight, kMainHeight)};
}

TMainLayout MainLayout(int clientWidth, int clientHeight, const TLayoutMetrics& metrics) {
    TMainLayout layout{};
    const int left = kSideBorderWidth;
    const int right = clientWidth - kSideBorderWidth;
    const int bottom = clientHeight - kBottomBandHeight;
    const int bottomRowTop = bottom - metrics.bottomRowHeight;
    const int sideLeft =
        metrics.sideDocked ? clientWidth - metrics.sideWindowWidth - 2 * kSideBorderWidth : right;
    const int columnWidth = sideLeft - left;

    layout.sideWindow = RECT{sideLeft, kCaptionHeight, right, bottomRowTop};
    layout.toolbar = Box(left, kCaptionHeight, columnWidth, metrics.toolbarHeight);
    layout.playbackBand = Box(left, bottomRowTop - metrics.playbackBandHeight, columnWidth,
                              metrics.playbackBandHeight);
    layout.positionBand = Box(left, layout.playbackBand.top - metrics.positionBandHeight,
                              columnWidth, metrics.positionBandHeight);
    layout.videoArea = RECT{left, layout.toolbar.bottom, sideLeft, layout.positionBand.top};

    layout.gpsReadOut = Box(left, bottomRowTop, metrics.gpsWidth, metrics.bottomRowHeight);
    layout.pictureAdjust = Box(right - metrics.pictureAdjustWidth, bottomRowTop,
                               metrics.pictureAdjustWidth, metrics.bottomRowHeight);
    layout.gsensor = Box(layout.pictureAdjust.left - metrics.gsensorWidth, bottomRowTop,
                         metrics.gsensorWidth, metrics.bottomRowHeight);
    layout.bottomFiller = RECT{layout.gpsReadOut.right, bottomRowTop, layout.gsensor.left, bottom};
    return layout;
}
