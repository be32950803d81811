#pragma once
// Shared by the window layer's tests: one application, a recording window
// procedure, and synthetic input delivered as Qt would deliver it.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_internal.h"
#include "platform/windows.h"

inline void EnsureTestApplication() {
    static int argc = 1;
    static char name[] = "platform_window_test";
    static char* argv[] = {name, nullptr};
    // These tests expect no display; ctest does not pass the variable on
    // from the test's properties, so it is made sure of here.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static TApplication* application = new TApplication(argc, argv);
    (void)application;
}

// What one window saw, and an optional script for answering.
struct TProbe {
    std::vector<UINT> messages;
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler;
    std::vector<UINT> Only(std::initializer_list<UINT> wanted) const {
        std::vector<UINT> kept;
        std::copy_if(messages.begin(), messages.end(), std::back_inserter(kept), [&](UINT message) {
            return std::find(wanted.begin(), wanted.end(), message) != wanted.end();
        });
        return kept;
    }
};

inline LRESULT ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(created->lpCreateParams));
    }
    auto* probe = reinterpret_cast<TProbe*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!probe)
        return DefWindowProcA(window, message, wParam, lParam);
    probe->messages.push_back(message);
    if (probe->handler) {
        if (std::optional<LRESULT> answer = probe->handler(window, message, wParam, lParam))
            return *answer;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline void RegisterProbeClass(const char* name, UINT style, HBRUSH background = nullptr) {
    WNDCLASSEXA windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = ProbeProcedure;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass); // a second registration is expected to fail
}

inline HWND MakeProbeWindow(TProbe* probe, DWORD style, int x, int y, int width, int height,
                            HWND parent = nullptr, const char* className = "ProbeClass") {
    RegisterProbeClass("ProbeClass", CS_DBLCLKS);
    return CreateWindowExA(0, className, "probe", style, x, y, width, height, parent, nullptr,
                           nullptr, probe);
}

// Lets queued Qt events (posted messages, paints, timers due) run.
inline void PumpEvents(int rounds = 5) {
    for (int i = 0; i < rounds; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Waits for `done`, serving events; a bound on rounds, not on time.
inline bool PumpUntil(const std::function<bool()>& done, int rounds = 2000) {
    // The tick keeps each wait short when nothing else is due.
    QTimer tick;
    tick.start(5);
    for (int i = 0; i < rounds && !done(); ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

inline void SendMouse(HWND window, QEvent::Type type, QPoint local,
                      Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons held = Qt::LeftButton) {
    QWidget* widget = WidgetOfWindow(window);
    QMouseEvent event(type, QPointF(local), widget->mapToGlobal(QPointF(local)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Queued, so that a modal loop started by the next input picks it up.
inline void PostMouseGlobal(HWND window, QEvent::Type type, QPoint global, Qt::MouseButtons held) {
    QWidget* widget = WidgetOfWindow(window);
    QCoreApplication::postEvent(
        widget, new QMouseEvent(type, widget->mapFromGlobal(QPointF(global)), QPointF(global),
                                Qt::LeftButton, held, Qt::NoModifier));
}

inline void PostKey(HWND window, int key, const QString& text = QString()) {
    QCoreApplication::postEvent(WidgetOfWindow(window),
                                new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
}

inline QPoint ScreenPointOf(HWND window, QPoint local) {
    POINT point{local.x(), local.y()};
    ClientToScreen(window, &point);
    return QPoint(point.x, point.y);
}
