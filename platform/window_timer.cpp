#include <QAbstractEventDispatcher>

#include <algorithm>

#include "platform/last_error.h"
#include "platform/window_internal.h"

namespace {

// Short periods (the hover check, the side window's 1 ms step) need Qt's
// precise timers; the coarse ones may drift by a few per cent.
constexpr UINT PreciseBelowMilliseconds = 100;

} // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, void*) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto found = window->timers.find(id);
    if (found != window->timers.end())
        window->widget->killTimer(found->second);
    const int period = static_cast<int>(std::max<UINT>(1, milliseconds));
    const Qt::TimerType type =
        milliseconds < PreciseBelowMilliseconds ? Qt::PreciseTimer : Qt::CoarseTimer;
    const int qtTimer = window->widget->startTimer(period, type);
    if (qtTimer == 0)
        return 0;
    window->timers[id] = qtTimer;
    return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    if (!IsWindow(window))
        return FALSE;
    auto found = window->timers.find(id);
    if (found == window->timers.end())
        return FALSE;
    window->widget->killTimer(found->second);
    window->timers.erase(found);
    return TRUE;
}

UINT TimerPeriod(HWND window, UINT_PTR id) {
    if (!IsWindow(window))
        return 0;
    auto found = window->timers.find(id);
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (found == window->timers.end() || !dispatcher)
        return 0;
    for (const QAbstractEventDispatcher::TimerInfo& timer :
         dispatcher->registeredTimers(window->widget)) {
        if (timer.timerId == found->second)
            return static_cast<UINT>(timer.interval);
    }
    return 0;
}

void FireTimer(HWND window, int qtTimerId) {
    for (const auto& [id, qtTimer] : window->timers) {
        if (qtTimer == qtTimerId) {
            SendMessageA(window, WM_TIMER, id, 0);
            return;
        }
    }
}

void ForgetTimers(HWND window) {
    for (const auto& [id, qtTimer] : window->timers) {
        if (window->widget)
            window->widget->killTimer(qtTimer);
    }
    window->timers.clear();
}
