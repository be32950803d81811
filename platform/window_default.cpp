#include <QPoint>

#include <cstring>

#include "platform/cursor.h"
#include "platform/window_internal.h"

namespace {

LRESULT DefaultSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    // A parent may decide the cursor for its children first.
    HWND parent = GetParent(window);
    if ((window->style & WS_CHILD) && IsWindow(parent) &&
        SendMessageA(parent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
    const LRESULT hit = static_cast<std::int16_t>(LOWORD(lParam));
    if (hit == HTCLIENT) {
        HCURSOR classCursor = window->windowClass ? window->windowClass->cursor : nullptr;
        if (!classCursor)
            return FALSE;
        SetCursor(classCursor);
        return TRUE;
    }
    SetCursor(CursorForHitTest(hit));
    return FALSE;
}

LRESULT CopyText(HWND window, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0)
        return 0;
    const std::size_t length = std::min<std::size_t>(window->text.size(), size - 1);
    std::memcpy(out, window->text.data(), length);
    out[length] = '\0';
    return static_cast<LRESULT>(length);
}

} // namespace

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window))
        return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return EraseWithClassBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_SETCURSOR:
        return DefaultSetCursor(window, wParam, lParam);
    case WM_NCLBUTTONDOWN:
        RunSizeMoveLoop(window, static_cast<LRESULT>(wParam),
                        QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSEWHEEL:
        if ((window->style & WS_CHILD) && IsWindow(window->parent))
            return SendMessageA(window->parent, message, wParam, lParam);
        return 0;
    case WM_SETTEXT:
        SetWindowTextA(window, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_GETTEXT:
        return CopyText(window, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    default:
        return 0;
    }
}
