#include "platform/window_widget.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QUrl>
#include <QWheelEvent>

#include <string>
#include <vector>

#include "platform/drop_files.h"

#include "platform/window_internal.h"

namespace {

WPARAM KeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (modifiers & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

bool HasDoubleClicks(HWND window) {
    return window->windowClass && (window->windowClass->style & CS_DBLCLKS);
}

WPARAM VirtualKeyOf(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<WPARAM>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<WPARAM>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + static_cast<WPARAM>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Menu:
        return VK_APPS;
    default:
        return 0;
    }
}

} // namespace

TWindowWidget::TWindowWidget(HWND window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_window(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void TWindowWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!m_window) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    const QImage& image = m_window->image;
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(event->rect().topLeft(), image, event->rect());
}

void TWindowWidget::resizeEvent(QResizeEvent*) {
    if (m_window)
        ReportGeometry(m_window);
}

void TWindowWidget::moveEvent(QMoveEvent*) {
    if (m_window)
        ReportGeometry(m_window);
}

void TWindowWidget::Press(QMouseEvent* event, bool doubleClick) {
    if (!m_window)
        return;
    const bool dbl = doubleClick && HasDoubleClicks(m_window);
    UINT message = 0;
    if (event->button() == Qt::LeftButton)
        message = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    else if (event->button() == Qt::RightButton)
        message = dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    else
        return;
    RouteMouse(m_window, message, event->globalPosition().toPoint(),
               KeysOf(event->buttons(), event->modifiers()), 0);
}

void TWindowWidget::mousePressEvent(QMouseEvent* event) {
    Press(event, false);
}

void TWindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Press(event, true);
}

void TWindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_window)
        return;
    UINT message = 0;
    if (event->button() == Qt::LeftButton)
        message = WM_LBUTTONUP;
    else if (event->button() == Qt::RightButton)
        message = WM_RBUTTONUP;
    else
        return;
    RouteMouseRelease(m_window, message, event->globalPosition().toPoint(),
                      KeysOf(event->buttons(), event->modifiers()));
}

void TWindowWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!m_window)
        return;
    RouteMouse(m_window, WM_MOUSEMOVE, event->globalPosition().toPoint(),
               KeysOf(event->buttons(), event->modifiers()), 0);
}

void TWindowWidget::wheelEvent(QWheelEvent* event) {
    if (!m_window)
        return;
    RouteMouse(m_window, WM_MOUSEWHEEL, event->globalPosition().toPoint(),
               KeysOf(event->buttons(), event->modifiers()), event->angleDelta().y());
}

void TWindowWidget::keyPressEvent(QKeyEvent* event) {
    if (!m_window)
        return;
    RouteKey(m_window, VirtualKeyOf(event->key()), event->text(), event->modifiers());
}

void TWindowWidget::keyReleaseEvent(QKeyEvent* event) {
    if (!m_window)
        return;
    HWND target = IsWindow(GetFocus()) ? GetFocus() : m_window;
    const WPARAM key = VirtualKeyOf(event->key());
    if (key)
        SendMessageA(target, WM_KEYUP, key, 1);
}

void TWindowWidget::closeEvent(QCloseEvent* event) {
    // The window manager's close goes through the procedure, which decides.
    event->ignore();
    if (m_window)
        SendMessageA(m_window, WM_CLOSE, 0, 0);
}

void TWindowWidget::timerEvent(QTimerEvent* event) {
    if (m_window)
        FireTimer(m_window, event->timerId());
}

void TWindowWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (!m_window)
        return;
    if (event->type() == QEvent::ActivationChange && isWindow()) {
        SendMessageA(m_window, WM_NCACTIVATE, isActiveWindow() ? TRUE : FALSE, 0);
        return;
    }
    if (event->type() == QEvent::WindowStateChange)
        ReportGeometry(m_window);
}

namespace {

// The local files and folders a drag carries; empty for anything else.
std::vector<std::string> DroppedPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

} // namespace

void TWindowWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (m_window && !DroppedPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void TWindowWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (m_window && !DroppedPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void TWindowWidget::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = DroppedPaths(event->mimeData());
    if (!m_window || paths.empty())
        return;
    event->acceptProposedAction();
    const QPoint at = event->position().toPoint();
    SendDroppedFiles(m_window, paths, POINT{at.x(), at.y()});
}

bool TWindowWidget::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && m_window && isWindow())
        ReportGeometry(m_window);
    return QWidget::event(event);
}
