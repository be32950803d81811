#include "platform/window_screenshot.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

bool SaveScreenImage(const char* path) {
    if (!path || !QGuiApplication::instance())
        return false;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    // Window 0 is the whole screen: what the X server composed, shapes and
    // stacking included.
    const QPixmap shot = screen->grabWindow(0);
    return !shot.isNull() && shot.save(QString::fromUtf8(path), "PNG");
}
