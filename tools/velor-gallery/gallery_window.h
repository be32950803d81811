#pragma once
// What the gallery's top-level windows share: frameless windows dragged by
// a title band, and procedures that only paint.

#include "platform/windows.h"

// HTCAPTION over the band `bandHeight` high at the top, HTCLIENT below.
inline LRESULT TitleBandHit(HWND window, LPARAM lParam, int bandHeight) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window, &point);
    return point.y < bandHeight ? HTCAPTION : HTCLIENT;
}

// A window procedure that answers WM_PAINT with `Paint` over the client
// area and leaves everything else to the default procedure.
template <void (*Paint)(HWND window, HDC dc, const RECT& client)>
LRESULT PaintingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    Paint(window, dc, client);
    EndPaint(window, &paint);
    return 0;
}
