#include "platform/tooltip.h"

#include <cstring>

#include "platform/window_internal.h"

BOOL AttachToolTip(HWND control, const char* text) {
    QWidget* widget = WidgetOfWindow(control);
    if (!widget)
        return FALSE;
    widget->setToolTip(text ? QString::fromUtf8(text) : QString());
    // Like the system's tooltips, they also show over a window that does
    // not have the focus.
    widget->setAttribute(Qt::WA_AlwaysShowToolTips);
    widget->window()->setAttribute(Qt::WA_AlwaysShowToolTips);
    return TRUE;
}

int GetToolTipText(HWND control, char* buffer, int size) {
    QWidget* widget = WidgetOfWindow(control);
    if (!widget || !buffer || size <= 0)
        return 0;
    const QByteArray text = widget->toolTip().toUtf8();
    // Never cut a character in half.
    int length = std::min<int>(static_cast<int>(text.size()), size - 1);
    while (length > 0 && length < text.size() &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(buffer, text.constData(), static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}
