#pragma once
// The widget behind every window: shows the backing image and turns Qt input
// into the window's messages.

#include <QWidget>

#include "platform/window.h"

class TWindowWidget final : public QWidget {
public:
    TWindowWidget(HWND window, QWidget* parent, Qt::WindowFlags flags);
    HWND Window() const { return m_window; }
    // After WM_NCDESTROY the widget no longer speaks for a window.
    void Detach() { m_window = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Press(QMouseEvent* event, bool doubleClick);

    HWND m_window;
};
