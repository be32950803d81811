#include "ui/slider_bar_ex.h"

#include <algorithm>
#include <cstdlib>

#include "platform/cursor.h"
#include "platform/thread.h"
#include "platform/tooltip.h"
#include "ui/memory_dc_man.h"

CSliderBarEx::~CSliderBarEx() {
    DestroyOwnWindow();
    composition.Release();
}

bool CSliderBarEx::Create(UINT thumbId, UINT pressedThumbId, UINT thumbId3, UINT thumbId4,
                          UINT off, UINT on, const RECT& rect, HWND parent, int controlId,
                          const char* tooltipText, TImageAtlas* sliderAtlas) {
    thumbIds[0] = thumbId;
    thumbIds[1] = pressedThumbId;
    thumbIds[2] = thumbId3;
    thumbIds[3] = thumbId4;
    offId = off;
    onId = on;
    atlas = sliderAtlas ? sliderAtlas : &SliderAtlas();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing;
    if (!GetClassInfoExA(instance, SliderClass, &existing)) {
        WNDCLASSEXA windowClass;
        windowClass.lpfnWndProc = WindowProcedure;
        windowClass.hInstance = instance;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = SliderClass;
        if (!RegisterClassExA(&windowClass))
            return false;
    }
    SetClassName(SliderClass);
    HWND window = CreateWindowExA(0, SliderClass, nullptr, WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<std::intptr_t>(controlId)),
                                  instance, this);
    if (!window)
        return false;
    hWnd = window;
    if (tooltipText)
        hasTooltip = AttachToolTip(hWnd, tooltipText) != FALSE;
    return true;
}

int CSliderBarEx::CentreOfPosition(int value) const {
    const double span = maxValue - minValue;
    const double fraction = span == 0 ? 0.0 : (value - minValue) / span;
    if (!vertical)
        return thumbWidth / 2 + marginLeft +
               static_cast<int>((clientWidth - marginRight - thumbWidth - marginLeft) * fraction);
    return (clientHeight - 1) - thumbHeight / 2 - marginTop -
           static_cast<int>((clientHeight - marginBottom - thumbHeight - marginTop) * fraction);
}

int CSliderBarEx::PositionOfCentre(int centre) const {
    const double span = maxValue - minValue;
    if (!vertical) {
        const double track = clientWidth - marginRight - marginLeft - thumbWidth;
        if (track <= 0)
            return minValue;
        return static_cast<int>(minValue + (centre - thumbWidth / 2 - marginLeft) / track * span);
    }
    const double track = clientHeight - marginBottom - marginTop - thumbHeight;
    if (track <= 0)
        return minValue;
    return static_cast<int>(minValue + (clientHeight - thumbHeight / 2 - marginTop - centre) / track * span);
}

int CSliderBarEx::ClampedPosition() const { return std::clamp(position, minValue, maxValue); }

void CSliderBarEx::Notify(UINT message) {
    PostMessageA(GetParent(hWnd), message, static_cast<WPARAM>(GetDlgCtrlID(hWnd)),
                 static_cast<LPARAM>(ClampedPosition()));
}

void CSliderBarEx::OnLButtonDown(int x, int y) {
    SetCapture(hWnd);
    SetFocus(hWnd);
    dragging = true;
    const int press = vertical ? y : x;
    const int half = vertical ? thumbHeight / 2 : thumbWidth / 2;
    const int centre = CentreOfPosition(position);
    if (std::abs(press - centre) <= half) {
        grabOffset = press - centre;
    } else {
        grabOffset = 0;
        DragTo(x, y);
    }
    InvalidateRect(hWnd, nullptr, TRUE);
    Notify(WM_SLIDER_PRESSED);
}

void CSliderBarEx::DragTo(int x, int y) {
    int centre = 0;
    if (!vertical) {
        centre = std::max(x - grabOffset, marginLeft + thumbWidth / 2);
        centre = std::min(centre, clientWidth - marginRight - thumbWidth / 2);
    } else {
        centre = std::max(y - grabOffset, marginTop + thumbHeight / 2);
        centre = std::min(centre, clientHeight - marginBottom - thumbHeight / 2);
    }
    if (centre != CentreOfPosition(position)) {
        position = PositionOfCentre(centre);
        InvalidateRect(hWnd, nullptr, TRUE);
    }
    const DWORD now = GetTickCount();
    if (throttle && now - lastNotifyTick < GetDoubleClickTime())
        return;
    Notify(WM_SLIDER_CHANGING);
    lastNotifyTick = now;
}

void CSliderBarEx::OnKey(WPARAM key) {
    // A vertical slider grows upwards, so Up and Down swap their sense.
    const int lineUp = vertical ? 1 : -1;
    int value = position;
    switch (key) {
    case VK_PRIOR: value = position + pageStep; break;
    case VK_NEXT: value = position - pageStep; break;
    case VK_END: value = maxValue; break;
    case VK_HOME: value = minValue; break;
    case VK_LEFT: value = position - 1; break;
    case VK_RIGHT: value = position + 1; break;
    case VK_UP: value = position + lineUp; break;
    case VK_DOWN: value = position - lineUp; break;
    default: return;
    }
    position = std::clamp(value, minValue, maxValue);
    InvalidateRect(hWnd, nullptr, TRUE);
    Notify(WM_SLIDER_SET);
}

void CSliderBarEx::DrawPiece(HDC dc, UINT id, int x, int y, int width, int height, bool fromEnd,
                             int cap) {
    const RECT* stored = atlas ? atlas->Find(id) : nullptr;
    if (!stored || width <= 0 || height <= 0)
        return;
    int sourceX = stored->left;
    int sourceY = stored->top;
    int sourceWidth = stored->right - stored->left;
    int sourceHeight = stored->bottom - stored->top;
    // Without its caps a piece is stretched from its middle only.
    if (cap > 0) {
        if (!vertical) {
            sourceWidth = std::max(1, sourceWidth - cap);
            if (!fromEnd)
                sourceX += cap;
        } else {
            sourceHeight = std::max(1, sourceHeight - cap);
            if (!fromEnd)
                sourceY += cap;
        }
    }
    StretchBlt(dc, x, y, width, height, atlas->dc, sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
}

void CSliderBarEx::DrawTrack(HDC dc, int centre) {
    const int k = capLength;
    if (!vertical) {
        DrawPiece(dc, onId, k, 0, centre - k, clientHeight, false, k);
        DrawPiece(dc, offId, centre, 0, clientWidth - k - centre, clientHeight, true, k);
        if (k > 0) {
            const RECT* on = atlas->Find(onId);
            const RECT* off = atlas->Find(offId);
            if (on)
                StretchBlt(dc, 0, 0, k, clientHeight, atlas->dc, on->left, on->top, k, on->bottom - on->top, SRCCOPY);
            if (off)
                StretchBlt(dc, clientWidth - k, 0, k, clientHeight, atlas->dc, off->right - k, off->top, k,
                           off->bottom - off->top, SRCCOPY);
        }
        return;
    }
    DrawPiece(dc, offId, 0, k, clientWidth, centre - k, false, k);
    DrawPiece(dc, onId, 0, centre, clientWidth, clientHeight - k - centre, true, k);
    if (k > 0) {
        const RECT* on = atlas->Find(onId);
        const RECT* off = atlas->Find(offId);
        if (off)
            StretchBlt(dc, 0, 0, clientWidth, k, atlas->dc, off->left, off->top, off->right - off->left, k, SRCCOPY);
        if (on)
            StretchBlt(dc, 0, clientHeight - k, clientWidth, k, atlas->dc, on->left, on->bottom - k,
                       on->right - on->left, k, SRCCOPY);
    }
}

void CSliderBarEx::Compose(HDC target) {
    if (clientWidth <= 0 || clientHeight <= 0 || !atlas || !target)
        return;
    if (!composition.Prepare(target, clientWidth, clientHeight))
        return;
    HDC dc = composition.dc;
    RECT all{0, 0, clientWidth, clientHeight};
    // The whole slider is composed again each time, so a moved thumb leaves
    // nothing behind.
    if (!enabled) {
        atlas->Draw(dc, &all, offId, false);
    } else {
        const int centre = CentreOfPosition(position);
        DrawTrack(dc, centre);
        const UINT thumb = (dragging && pressedThumb) ? thumbIds[1] : thumbIds[0];
        const int left = vertical ? marginLeft : centre - thumbWidth / 2;
        const int top = vertical ? centre - thumbHeight / 2 : marginTop;
        RECT place{left, top, left + thumbWidth, top + thumbHeight};
        atlas->Draw(dc, &place, thumb, false);
    }
    if (showFocus && hasFocus)
        DrawFocusRect(dc, &all);
    BitBlt(target, 0, 0, clientWidth, clientHeight, dc, 0, 0, SRCCOPY);
}

LRESULT CSliderBarEx::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        if (const RECT* thumb = atlas ? atlas->Find(thumbIds[0]) : nullptr) {
            thumbWidth = thumb->right - thumb->left;
            thumbHeight = thumb->bottom - thumb->top;
        }
        return 0;
    case WM_SIZE:
        clientWidth = LOWORD(lParam);
        clientHeight = HIWORD(lParam);
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        Compose(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        Compose(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (enabled)
            OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (dragging && enabled)
            DragTo(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (!enabled)
            return 0;
        if (dragging) {
            // Cleared first: releasing the capture reports a capture change.
            dragging = false;
            ReleaseCapture();
            InvalidateRect(hWnd, nullptr, TRUE);
            Notify(WM_SLIDER_SET);
        }
        return 0;
    case WM_CAPTURECHANGED:
        dragging = false;
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_KEYDOWN:
        if (enabled)
            OnKey(wParam);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        hasFocus = message == WM_SETFOCUS;
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_DESTROY:
        if (hasTooltip)
            AttachToolTip(hWnd, nullptr);
        hasTooltip = false;
        composition.Release();
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

LRESULT CSliderBarEx::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* slider = BoundObject<CSliderBarEx>(window, message, lParam);
    if (!slider)
        return DefWindowProcA(window, message, wParam, lParam);
    bool handled = false;
    const LRESULT result = slider->OnMessage(message, wParam, lParam, &handled);
    if (message == WM_NCDESTROY)
        UnbindWindow(window);
    return handled ? result : DefWindowProcA(window, message, wParam, lParam);
}
