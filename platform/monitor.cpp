#include "platform/monitor.h"

#include <QGuiApplication>
#include <QScreen>

#include <limits>

#include "platform/window_internal.h"

// A monitor handle is the screen's place in Qt's list, plus one.
struct HMONITOR__ {};

namespace {

// Classic frame and caption sizes; the skinned windows only use them to
// size their own borders.
constexpr int SizeFrame = 4;
constexpr int CaptionHeight = 23;
constexpr int ScrollBarWidth = 17;
constexpr int DoubleClickArea = 4;

HMONITOR HandleOf(int index) {
    return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(index + 1));
}

QScreen* ScreenOf(HMONITOR monitor) {
    const auto index = static_cast<qsizetype>(reinterpret_cast<std::uintptr_t>(monitor)) - 1;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return index >= 0 && index < screens.size() ? screens[index] : nullptr;
}

RECT RectOf(const QRect& rect) {
    return RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

long long SquaredDistance(const QRect& area, const QPoint& point) {
    const long long dx = std::max({area.left() - point.x(), 0, point.x() - area.right()});
    const long long dy = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
    return dx * dx + dy * dy;
}

HMONITOR Fallback(const QRect& area, DWORD flags) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty() || flags == MONITOR_DEFAULTTONULL)
        return nullptr;
    if (flags == MONITOR_DEFAULTTOPRIMARY)
        return HandleOf(static_cast<int>(screens.indexOf(QGuiApplication::primaryScreen())));
    int nearest = 0;
    long long best = std::numeric_limits<long long>::max();
    for (int i = 0; i < screens.size(); ++i) {
        const long long distance = SquaredDistance(screens[i]->geometry(), area.center());
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return HandleOf(nearest);
}

HMONITOR MonitorOfArea(const QRect& area, DWORD flags) {
    if (!QGuiApplication::instance())
        return nullptr;
    const QList<QScreen*> screens = QGuiApplication::screens();
    int bestIndex = -1;
    long long bestOverlap = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect overlap = screens[i]->geometry() & area;
        const long long size = static_cast<long long>(overlap.width()) * overlap.height();
        if (!overlap.isEmpty() && size > bestOverlap) {
            bestOverlap = size;
            bestIndex = i;
        }
    }
    return bestIndex >= 0 ? HandleOf(bestIndex) : Fallback(area, flags);
}

QScreen* Primary() {
    return QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
}

} // namespace

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    if (!rect)
        return nullptr;
    const QRect area(QPoint(rect->left, rect->top), QSize(std::max(1, rect->right - rect->left),
                                                          std::max(1, rect->bottom - rect->top)));
    return MonitorOfArea(area, flags);
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    return MonitorOfArea(QRect(point.x, point.y, 1, 1), flags);
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    if (!IsWindow(window))
        return Fallback(QRect(), flags);
    return MonitorOfArea(ScreenRectOf(window), flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    QScreen* screen = ScreenOf(monitor);
    if (!screen || !info)
        return FALSE;
    info->rcMonitor = RectOf(screen->geometry());
    info->rcWork = RectOf(screen->availableGeometry());
    info->dwFlags = screen == QGuiApplication::primaryScreen() ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

int GetSystemMetrics(int index) {
    QScreen* screen = Primary();
    const QRect whole = screen ? screen->geometry() : QRect();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    switch (index) {
    case SM_CXSCREEN:
        return whole.width();
    case SM_CYSCREEN:
        return whole.height();
    case SM_CXFULLSCREEN:
        return work.width();
    case SM_CYFULLSCREEN:
        return work.height() - CaptionHeight;
    case SM_CXVSCROLL:
        return ScrollBarWidth;
    case SM_CYCAPTION:
        return CaptionHeight;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME:
        return SizeFrame;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return DoubleClickArea;
    default:
        return 0;
    }
}
