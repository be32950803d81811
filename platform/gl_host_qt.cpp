// The Qt half of hosting a view's window: the video window's native window,
// Qt's current GL context and the timer that pumps GLFW's connection.

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QPointer>
#include <QSurface>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <map>
#include <memory>
#include <mutex>

#include "platform/gl_host.h"
#include "platform/main_thread.h"
#include "platform/window_internal.h"

namespace {

// Native windows looked up on the main thread, for the decoder thread's
// ShowView, which must not touch a widget.
std::mutex g_knownMutex;
std::map<HWND, TNativeWindow> g_knownNativeWindows;

QPointer<QOpenGLContext> g_qtContext;
QSurface* g_qtSurface = nullptr;

std::unique_ptr<QTimer> g_pump;

TNativeWindow KnownNativeWindowOf(HWND window) {
    std::lock_guard guard(g_knownMutex);
    const auto found = g_knownNativeWindows.find(window);
    return found == g_knownNativeWindows.end() ? 0 : found->second;
}

void Remember(HWND window, TNativeWindow native) {
    std::lock_guard guard(g_knownMutex);
    g_knownNativeWindows[window] = native;
}

} // namespace

TNativeWindow NativeWindowOf(HWND window) {
    if (!window)
        return 0;
    if (!IsMainThread())
        return KnownNativeWindowOf(window);
    QWidget* widget = WidgetOfWindow(window);
    if (!widget)
        return 0;
    // Ancestors stay non-native: a native main window would make its web view
    // sibling render black.
    widget->setAttribute(Qt::WA_DontCreateNativeAncestors);
    widget->setAttribute(Qt::WA_NativeWindow);
    widget->winId();
    // Once the web view is in, Qt composites the whole window with OpenGL
    // and flushes every native child through its context; a raster child
    // refuses the context (and says so on every flush). GLFW draws on this
    // window with OpenGL anyway.
    QWindow* handle = widget->windowHandle();
    if (handle && handle->surfaceType() != QSurface::OpenGLSurface) {
        const bool shown = widget->isVisible();
        widget->hide();
        handle->destroy();
        handle->setSurfaceType(QSurface::OpenGLSurface);
        handle->create();
        widget->setVisible(shown);
    }
    const TNativeWindow native = static_cast<TNativeWindow>(widget->winId());
    Remember(window, native);
    return native;
}

void RememberQtGlContext() {
    g_qtContext = QOpenGLContext::currentContext();
    g_qtSurface = g_qtContext ? g_qtContext->surface() : nullptr;
}

void RestoreQtGlContext() {
    if (g_qtContext && g_qtSurface)
        g_qtContext->makeCurrent(g_qtSurface);
    g_qtContext = nullptr;
    g_qtSurface = nullptr;
}

bool StartGlfwPump(int intervalMs, std::function<void()> poll) {
    if (!QCoreApplication::instance() || !IsMainThread() || !poll)
        return false;
    g_pump = std::make_unique<QTimer>();
    QObject::connect(g_pump.get(), &QTimer::timeout, [poll = std::move(poll)] { poll(); });
    g_pump->start(intervalMs);
    return true;
}

void StopGlfwPump() {
    g_pump.reset();
}
