#include "platform/application.h"

#include <QApplication>

#include "platform/main_thread.h"
#include "platform/window_internal.h"

struct TApplication::TImpl {
    std::unique_ptr<QApplication> application;
};

TApplication::TApplication(int& argc, char** argv) : m_impl(std::make_unique<TImpl>()) {
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    MarkMainThread();
    m_impl->application = std::make_unique<QApplication>(argc, argv);
    // The program ends by PostQuitMessage, never because a window closed.
    QApplication::setQuitOnLastWindowClosed(false);
    EnsureWindowLayer();
    // The program's top-level windows hear when it gains or loses the focus
    // as a whole, which no single window's activation tells.
    QObject::connect(m_impl->application.get(), &QGuiApplication::applicationStateChanged,
                     [](Qt::ApplicationState state) {
                         const WPARAM active = state == Qt::ApplicationActive ? TRUE : FALSE;
                         for (HWND window : AllWindows()) {
                             if (IsWindow(window) && !GetParent(window))
                                 SendMessageA(window, WM_ACTIVATEAPP, active, 0);
                         }
                     });
}

TApplication::~TApplication() {
    // Windows still alive get their WM_DESTROY while Qt can still run them.
    for (HWND window : AllWindows()) {
        if (IsWindow(window) && !GetParent(window))
            DestroyWindow(window);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool ApplicationRunning() {
    return QCoreApplication::instance() != nullptr;
}
