#include <QApplication>
#include <QPainter>
#include <QWindow>

#include <algorithm>

#include "platform/window_internal.h"
#include "platform/window_widget.h"

namespace {

RECT RectOf(const QRect& rect) {
    return RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

void ResizeBackingImage(HWND window, QSize size) {
    const QSize old = window->image.size();
    QImage resized(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    resized.fill(Qt::white);
    {
        QPainter painter(&resized);
        painter.drawImage(0, 0, window->image);
    }
    window->image = resized;
    const UINT classStyle = window->windowClass ? window->windowClass->style : 0;
    const QRegion whole(0, 0, size.width(), size.height());
    if (classStyle & (CS_HREDRAW | CS_VREDRAW))
        window->invalid = whole;
    else
        window->invalid |= whole - QRegion(0, 0, old.width(), old.height());
    window->eraseWanted = true;
    window->frameWanted = true;
}

WPARAM SizeKind(QWidget* widget) {
    if (widget->isWindow() && widget->isMaximized())
        return SIZE_MAXIMIZED;
    if (widget->isWindow() && widget->isMinimized())
        return SIZE_MINIMIZED;
    return SIZE_RESTORED;
}

void SetTopmost(HWND window, bool topmost) {
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    const LONG_PTR wanted =
        topmost ? (exStyle | WS_EX_TOPMOST) : (exStyle & ~LONG_PTR{WS_EX_TOPMOST});
    if (wanted != exStyle)
        SetWindowLongPtrA(window, GWL_EXSTYLE, wanted);
}

void Restack(HWND window, HWND insertAfter) {
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        SetTopmost(window, insertAfter == HWND_TOPMOST);
        window->widget->raise();
        return;
    }
    if (insertAfter == HWND_TOP) {
        window->widget->raise();
        return;
    }
    if (insertAfter == HWND_BOTTOM) {
        window->widget->lower();
        return;
    }
    if (IsWindow(insertAfter) &&
        insertAfter->widget->parentWidget() == window->widget->parentWidget())
        window->widget->stackUnder(insertAfter->widget);
}

void KeepAboveOwner(HWND window) {
    if (!IsWindow(window->owner) || !window->owner->widget)
        return;
    QWindow* ownerHandle = window->owner->widget->window()->windowHandle();
    if (!ownerHandle)
        return;
    window->widget->winId();
    if (QWindow* handle = window->widget->windowHandle())
        handle->setTransientParent(ownerHandle);
}

void ShowWidget(HWND window, int command) {
    QWidget* widget = window->widget;
    const bool topLevel = !(window->style & WS_CHILD);
    if (topLevel)
        KeepAboveOwner(window);
    switch (command) {
    case SW_SHOWMAXIMIZED:
        if (topLevel) {
            widget->showMaximized();
            return;
        }
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        if (topLevel) {
            widget->setAttribute(Qt::WA_ShowWithoutActivating, command != SW_SHOWMINIMIZED);
            widget->showMinimized();
            return;
        }
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        if (topLevel && (widget->isMaximized() || widget->isMinimized())) {
            widget->showNormal();
            return;
        }
        break;
    default:
        break;
    }
    const bool quiet = command == SW_SHOWNA || command == SW_SHOWNOACTIVATE;
    widget->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
    widget->show();
}

} // namespace

QRect ScreenRectOf(HWND window) {
    QWidget* widget = window->widget;
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

void ApplyGeometry(HWND window, QRect rect) {
    if (window->widget->geometry() != rect)
        window->widget->setGeometry(rect);
}

void ReportGeometry(HWND window) {
    if (!IsWindow(window) || !window->widget)
        return;
    QWidget* widget = window->widget;
    const QRect geometry = widget->geometry();
    const bool maximized = widget->isWindow() && widget->isMaximized();
    if (geometry.size() != window->reportedSize || maximized != window->reportedMaximized) {
        window->reportedSize = geometry.size();
        window->reportedMaximized = maximized;
        ResizeBackingImage(window, geometry.size());
        ApplyLayering(window);
        SchedulePaint();
        SendMessageA(window, WM_SIZE, SizeKind(widget),
                     MAKELPARAM(geometry.width(), geometry.height()));
        if (!IsWindow(window))
            return;
    }
    if (geometry.topLeft() != window->reportedPos) {
        window->reportedPos = geometry.topLeft();
        SendMessageA(window, WM_MOVE, 0, MAKELPARAM(geometry.x(), geometry.y()));
    }
}

BOOL ShowWindow(HWND window, int command) {
    if (!IsWindow(window))
        return FALSE;
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        SendMessageA(window, WM_SHOWWINDOW, FALSE, 0);
        if (!IsWindow(window))
            return TRUE;
        window->style &= ~WS_VISIBLE;
        if (GetCapture() == window)
            ReleaseCapture();
        window->widget->hide();
        return TRUE;
    }
    if (!wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
        if (!IsWindow(window))
            return FALSE;
    }
    window->style |= WS_VISIBLE;
    ShowWidget(window, command);
    if (!IsWindow(window))
        return wasVisible;
    window->invalid = QRegion(0, 0, window->image.width(), window->image.height());
    window->eraseWanted = true;
    window->frameWanted = true;
    SchedulePaint();
    ReportGeometry(window);
    return wasVisible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    if (!IsWindow(window))
        return FALSE;
    QRect rect = window->widget->geometry();
    if (!(flags & SWP_NOMOVE))
        rect.moveTo(x, y);
    if (!(flags & SWP_NOSIZE))
        rect.setSize(QSize(std::max(0, width), std::max(0, height)));
    if (!(flags & SWP_NOZORDER))
        Restack(window, insertAfter);
    ApplyGeometry(window, rect);
    ReportGeometry(window);
    if (!IsWindow(window))
        return FALSE;
    if (flags & SWP_FRAMECHANGED) {
        window->frameWanted = true;
        SchedulePaint();
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(window, SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    if (!SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE))
        return FALSE;
    if (repaint)
        InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!IsWindow(window) || !rect)
        return FALSE;
    *rect = RECT{0, 0, window->widget->width(), window->widget->height()};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    if (!IsWindow(window) || !rect)
        return FALSE;
    *rect = RectOf(ScreenRectOf(window));
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    if (!IsWindow(window) || !point)
        return FALSE;
    const QPoint global = window->widget->mapToGlobal(QPoint(point->x, point->y));
    *point = POINT{global.x(), global.y()};
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (!IsWindow(window) || !point)
        return FALSE;
    const QPoint local = window->widget->mapFromGlobal(QPoint(point->x, point->y));
    *point = POINT{local.x(), local.y()};
    return TRUE;
}

BOOL IsWindowVisible(HWND window) {
    for (HWND up = window; IsWindow(up); up = (up->style & WS_CHILD) ? up->parent : nullptr) {
        if (!(up->style & WS_VISIBLE))
            return FALSE;
        if (!(up->style & WS_CHILD) || !up->parent)
            return TRUE;
    }
    return FALSE;
}

BOOL IsZoomed(HWND window) {
    return IsWindow(window) && window->widget->isWindow() && window->widget->isMaximized();
}

BOOL IsIconic(HWND window) {
    return IsWindow(window) && window->widget->isWindow() && window->widget->isMinimized();
}

BOOL EnableWindow(HWND window, BOOL enable) {
    if (!IsWindow(window))
        return FALSE;
    const BOOL wasDisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
    if ((enable != FALSE) == !wasDisabled)
        return wasDisabled;
    if (enable)
        window->style &= ~WS_DISABLED;
    else
        window->style |= WS_DISABLED;
    window->widget->setEnabled(enable != FALSE);
    if (!enable && (GetCapture() == window))
        ReleaseCapture();
    SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    return IsWindow(window) && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

HWND WindowFromPoint(POINT point) {
    for (QWidget* widget = QApplication::widgetAt(point.x, point.y); widget;
         widget = widget->parentWidget()) {
        if (HWND window = WindowOfWidget(widget))
            return window;
    }
    return nullptr;
}

BOOL SetForegroundWindow(HWND window) {
    if (!IsWindow(window))
        return FALSE;
    QWidget* top = window->widget->window();
    top->raise();
    top->activateWindow();
    return TRUE;
}

BOOL BringWindowToTop(HWND window) {
    if (!IsWindow(window))
        return FALSE;
    window->widget->raise();
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point) {
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
                   point.y < rect->bottom
               ? TRUE
               : FALSE;
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (!rect)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
    if (!rect)
        return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(RECT* out, const RECT* first, const RECT* second) {
    if (!out || !first || !second)
        return FALSE;
    RECT meet{std::max(first->left, second->left), std::max(first->top, second->top),
              std::min(first->right, second->right), std::min(first->bottom, second->bottom)};
    if (meet.left >= meet.right || meet.top >= meet.bottom) {
        *out = RECT{};
        return FALSE;
    }
    *out = meet;
    return TRUE;
}
