#include "recordings/dock_geometry.h"

#include <algorithm>

namespace {

constexpr int DockTop = 40;
constexpr int DockRightMargin = 8;
constexpr int DockLeftMargin = 16;
constexpr int DockBottomMargin = 17;
constexpr int CornerZone = 16;
constexpr int RightEdgeZone = 8;
// The hit point is measured as if the window had the system's frame.
constexpr int FrameOffsetX = 8;

long long Area(const RECT& rect) {
    return static_cast<long long>(std::max(0L, static_cast<long>(rect.right - rect.left))) *
           std::max(0L, static_cast<long>(rect.bottom - rect.top));
}

} // namespace

RECT DockAreaOf(int ownerWidth, int ownerHeight, int fileBackgroundWidth, int gsensorHeight) {
    return RECT{ownerWidth - fileBackgroundWidth - DockLeftMargin, DockTop,
                ownerWidth - DockRightMargin, ownerHeight - gsensorHeight - DockBottomMargin};
}

double DockOverlap(const RECT& window, const RECT& dock) {
    RECT common;
    if (!IntersectRect(&common, &window, &dock))
        return 0.0;
    const long long smaller = std::min(Area(window), Area(dock));
    if (smaller <= 0)
        return 0.0;
    return static_cast<double>(Area(common)) / static_cast<double>(smaller);
}

LRESULT FloatingHitTest(POINT client, SIZE outer, int frame) {
    const int x = client.x + FrameOffsetX;
    const int y = client.y + frame;
    const int w = outer.cx;
    const int h = outer.cy;
    if (x < CornerZone) {
        if (y < 2 * frame)
            return HTTOPLEFT;
        return y > h - 2 * frame ? HTBOTTOMLEFT : HTLEFT;
    }
    if (x > w - CornerZone) {
        if (y < 2 * frame)
            return HTTOPRIGHT;
        if (y > h - 2 * frame)
            return HTBOTTOMRIGHT;
        if (x > w - RightEdgeZone)
            return HTRIGHT;
    }
    if (y < frame)
        return HTTOP;
    return y > h - frame ? HTBOTTOM : HTCAPTION;
}

RECT PanelFrameRect(int width, int height, TDockState state) {
    constexpr int Left = 8;
    constexpr int Bottom = 8;
    if (state == TDockState::Docked)
        return RECT{Left, 24, width - 3, height - Bottom};
    return RECT{Left, 29, width - 7, height - Bottom};
}
