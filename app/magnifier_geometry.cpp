#include "app/magnifier_geometry.h"

#include <algorithm>

namespace {

// Moves [start, start + length) into [low, high), the low end winning when
// it does not fit.
LONG Slide(LONG start, LONG length, LONG low, LONG high) {
    if (start + length > high)
        start = high - length;
    return std::max(start, low);
}

} // namespace

RECT KeepMarkerInside(const RECT& marker, const RECT& videoWindow) {
    const LONG width = marker.right - marker.left;
    const LONG height = marker.bottom - marker.top;
    const LONG left = Slide(marker.left, width, videoWindow.left, videoWindow.right);
    const LONG top = Slide(marker.top, height, videoWindow.top, videoWindow.bottom);
    return RECT{left, top, left + width, top + height};
}

RECT MagnifiedRegion(SIZE popupClient, SIZE videoSize, SIZE frameSize, POINT markerOffset) {
    if (popupClient.cx <= 0 || popupClient.cy <= 0 || videoSize.cx <= 0 || videoSize.cy <= 0 ||
        frameSize.cx <= 0 || frameSize.cy <= 0)
        return RECT{};
    const double scaleX = static_cast<double>(videoSize.cx) / frameSize.cx;
    const double scaleY = static_cast<double>(videoSize.cy) / frameSize.cy;
    const LONG width = std::clamp<LONG>(
        static_cast<LONG>((popupClient.cx / kMagnification) / scaleX), 1, frameSize.cx);
    const LONG height = std::clamp<LONG>(
        static_cast<LONG>((popupClient.cy / kMagnification) / scaleY), 1, frameSize.cy);
    const LONG centreX = static_cast<LONG>((markerOffset.x + kMarkerSize / 2) / scaleX);
    const LONG centreY = static_cast<LONG>((markerOffset.y + kMarkerSize / 2) / scaleY);
    const LONG left = std::clamp<LONG>(centreX - width / 2, 0, frameSize.cx - width);
    const LONG top = std::clamp<LONG>(centreY - height / 2, 0, frameSize.cy - height);
    return RECT{left, top, left + width, top + height};
}
