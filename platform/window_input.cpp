#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>

#include "platform/window_internal.h"

namespace {

HWND g_capture = nullptr;
HWND g_focus = nullptr;

constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr short KeyDownBit = static_cast<short>(0x8000);
// Hit tests that pass the pointer on to the window below go at most this far.
constexpr int MostTransparentHops = 16;

UINT NonClientMessageOf(UINT clientMessage) {
    switch (clientMessage) {
    case WM_MOUSEMOVE:
        return WM_NCMOUSEMOVE;
    case WM_LBUTTONDOWN:
        return WM_NCLBUTTONDOWN;
    case WM_LBUTTONUP:
        return WM_NCLBUTTONUP;
    case WM_LBUTTONDBLCLK:
        return WM_NCLBUTTONDBLCLK;
    case WM_RBUTTONDOWN:
        return WM_NCRBUTTONDOWN;
    case WM_RBUTTONUP:
        return WM_NCRBUTTONUP;
    case WM_RBUTTONDBLCLK:
        return WM_NCRBUTTONDBLCLK;
    default:
        return 0;
    }
}

bool IsPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
           message == WM_RBUTTONDBLCLK;
}

LPARAM ScreenPoint(QPoint global) {
    return MAKELPARAM(global.x(), global.y());
}

void SendClientMouse(HWND target, UINT message, QPoint global, WPARAM keys) {
    const QPoint local = target->widget->mapFromGlobal(global);
    SendMessageA(target, message, keys, MAKELPARAM(local.x(), local.y()));
}

void FocusTopLevelOnPress(HWND target) {
    HWND top = TopLevelOf(target);
    if (!IsWindow(top) || TopLevelOf(g_focus) == top)
        return;
    SetFocus(top);
}

bool IsCharacterWorthSending(char16_t unit) {
    if (unit == 0x7F)
        return false;
    return unit >= 0x20 || unit == '\r' || unit == '\b' || unit == '\t' || unit == 0x1B;
}

} // namespace

void RouteMouse(HWND receiver, UINT message, QPoint global, WPARAM keys, int wheelDelta) {
    if (SizeMoveLoopRunning()) {
        FeedSizeMoveLoop(global, false);
        return;
    }
    if (message == WM_MOUSEWHEEL) {
        HWND target = IsWindow(g_focus) ? g_focus : receiver;
        SendMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(keys), wheelDelta),
                     ScreenPoint(global));
        return;
    }
    if (IsWindow(g_capture)) {
        SendClientMouse(g_capture, message, global, keys);
        return;
    }
    HWND target = receiver;
    LRESULT hit = HTNOWHERE;
    for (int hop = 0; hop < MostTransparentHops && IsWindow(target); ++hop) {
        hit = SendMessageA(target, WM_NCHITTEST, 0, ScreenPoint(global));
        if (hit != HTTRANSPARENT || !GetParent(target))
            break;
        target = GetParent(target);
    }
    if (!IsWindow(target))
        return;
    if (IsPress(message))
        FocusTopLevelOnPress(target);
    NoteWindowUnderPointer(target);
    SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                 MAKELPARAM(static_cast<int>(hit), static_cast<int>(message)));
    if (!IsWindow(target))
        return;
    if (hit == HTCLIENT) {
        SendClientMouse(target, message, global, keys);
        return;
    }
    if (hit < HTCAPTION)
        return;
    if (UINT nonClient = NonClientMessageOf(message))
        SendMessageA(target, nonClient, static_cast<WPARAM>(hit), ScreenPoint(global));
}

void RouteMouseRelease(HWND receiver, UINT message, QPoint global, WPARAM keys) {
    if (SizeMoveLoopRunning()) {
        FeedSizeMoveLoop(global, message == WM_LBUTTONUP);
        return;
    }
    RouteMouse(receiver, message, global, keys, 0);
}

namespace {

BYTE AcceleratorModifiers(Qt::KeyboardModifiers modifiers) {
    BYTE flags = FVIRTKEY;
    if (modifiers & Qt::ShiftModifier)
        flags |= FSHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= FCONTROL;
    if (modifiers & Qt::AltModifier)
        flags |= FALT;
    return flags;
}

// The command of the first entry of the top-level window's table (or of its
// owner's) that matches the key and its modifiers exactly.
bool TranslateAccelerator(HWND top, WPARAM virtualKey, Qt::KeyboardModifiers modifiers) {
    const BYTE flags = AcceleratorModifiers(modifiers);
    for (HWND window : {top, IsWindow(top) ? top->owner : nullptr}) {
        if (!IsWindow(window))
            continue;
        for (const ACCEL& entry : window->accelerators) {
            if (entry.key != virtualKey || entry.fVirt != flags)
                continue;
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
            return true;
        }
    }
    return false;
}

} // namespace

BOOL SetWindowAccelerators(HWND window, const ACCEL* entries, int count) {
    if (!IsWindow(window) || count < 0 || (count > 0 && !entries))
        return FALSE;
    window->accelerators.assign(entries, entries + count);
    return TRUE;
}

void RouteKey(HWND receiver, WPARAM virtualKey, const QString& text,
              Qt::KeyboardModifiers modifiers) {
    HWND target = IsWindow(g_focus) ? g_focus : receiver;
    HWND top = TopLevelOf(target);
    if (virtualKey && !IsDialogWindow(top) && TranslateAccelerator(top, virtualKey, modifiers))
        return;
    // The dialog manager's keys: Enter is OK, Escape is Cancel.
    if (IsDialogWindow(top) && (virtualKey == VK_RETURN || virtualKey == VK_ESCAPE)) {
        constexpr WPARAM CommandOk = 1;
        constexpr WPARAM CommandCancel = 2;
        SendMessageA(top, WM_COMMAND, virtualKey == VK_RETURN ? CommandOk : CommandCancel, 0);
        return;
    }
    if (virtualKey)
        SendMessageA(target, WM_KEYDOWN, virtualKey, 1);
    for (QChar character : text) {
        if (!IsWindow(target))
            return;
        if (IsCharacterWorthSending(character.unicode()))
            SendMessageA(target, WM_CHAR, character.unicode(), 1);
    }
}

HWND SetCapture(HWND window) {
    HWND previous = IsWindow(g_capture) ? g_capture : nullptr;
    if (!IsWindow(window))
        return previous;
    g_capture = window;
    if (previous && previous != window) {
        if (previous->widget)
            previous->widget->releaseMouse();
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    }
    if (IsWindow(window) && window->widget->isVisible())
        window->widget->grabMouse();
    return previous;
}

BOOL ReleaseCapture() {
    // Losing the capture ends a move loop, as on Windows.
    if (SizeMoveLoopRunning())
        CancelSizeMoveLoop();
    HWND old = g_capture;
    g_capture = nullptr;
    if (IsWindow(old)) {
        old->widget->releaseMouse();
        SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND GetCapture() {
    return IsWindow(g_capture) ? g_capture : nullptr;
}

HWND SetFocus(HWND window) {
    HWND previous = IsWindow(g_focus) ? g_focus : nullptr;
    if (window && !IsWindow(window))
        return previous;
    if (window == previous)
        return previous;
    g_focus = window;
    if (previous)
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (IsWindow(window)) {
        window->widget->setFocus(Qt::OtherFocusReason);
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND GetFocus() {
    return IsWindow(g_focus) ? g_focus : nullptr;
}

HWND GetActiveWindow() {
    for (HWND window : AllWindows()) {
        if (!(window->style & WS_CHILD) && window->widget->isActiveWindow())
            return window;
    }
    return TopLevelOf(GetFocus());
}

BOOL GetCursorPos(POINT* point) {
    if (!point)
        return FALSE;
    const QPoint position = QCursor::pos();
    *point = POINT{position.x(), position.y()};
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    QCursor::setPos(x, y);
    return TRUE;
}

UINT GetDoubleClickTime() {
    if (!QGuiApplication::instance())
        return 500;
    return static_cast<UINT>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

short GetKeyState(int virtualKey) {
    if (!QGuiApplication::instance())
        return 0;
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    bool down = false;
    if (virtualKey == static_cast<int>(VK_SHIFT))
        down = modifiers & Qt::ShiftModifier;
    else if (virtualKey == static_cast<int>(VK_CONTROL))
        down = modifiers & Qt::ControlModifier;
    else if (virtualKey == VK_LBUTTON)
        down = buttons & Qt::LeftButton;
    else if (virtualKey == VK_RBUTTON)
        down = buttons & Qt::RightButton;
    return down ? KeyDownBit : 0;
}
