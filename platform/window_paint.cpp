#include <QBitmap>
#include <QPainter>
#include <QWindow>

#include <unordered_map>

#include "platform/gdi.h"
#include "platform/gdi_internal.h"
#include "platform/gdi_objects.h"
#include "platform/window_internal.h"
#include "platform/window_widget.h"

namespace {

// Window DCs that are out, with the window they draw into.
std::unordered_map<HDC, HWND>& OpenDCs() {
    static std::unordered_map<HDC, HWND> dcs;
    return dcs;
}

QImage& ScreenImage() {
    static QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

QRect ClientQRect(HWND window) {
    return QRect(QPoint(0, 0), window->image.size());
}

QRegion AreaOf(HWND window, const RECT* rect) {
    if (!rect)
        return QRegion(0, 0, window->widget->width(), window->widget->height());
    return QRegion(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
}

bool Showing(HWND window) {
    return window->widget && window->widget->isVisible();
}

void PaintNow(HWND window) {
    if (!IsWindow(window) || !Showing(window))
        return;
    if (window->frameWanted) {
        window->frameWanted = false;
        SendMessageA(window, WM_NCPAINT, 1, 0);
    }
    if (!IsWindow(window) || window->invalid.isEmpty())
        return;
    SendMessageA(window, WM_PAINT, 0, 0);
    if (!IsWindow(window))
        return;
    // A procedure that never calls BeginPaint would get WM_PAINT for ever.
    window->invalid = QRegion();
    window->eraseWanted = false;
    RefreshScreen(window);
}

QRgb KeyPixel(COLORREF key) {
    return qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
}

} // namespace

void PaintPendingWindows() {
    if (!PaintWanted())
        return;
    for (HWND window : AllWindows())
        PaintNow(window);
}

void RefreshScreen(HWND window) {
    if (!IsWindow(window) || !window->widget)
        return;
    if (window->layeredKey)
        ApplyLayering(window);
    window->widget->update();
}

void ApplyLayering(HWND window) {
    if (!IsWindow(window) || !window->widget)
        return;
    if (!window->hasShape && !window->layeredKey) {
        window->widget->clearMask();
        return;
    }
    QRegion visible(ClientQRect(window));
    if (window->hasShape)
        visible &= window->shape;
    if (window->layeredKey) {
        const QImage mask =
            window->image.createMaskFromColor(KeyPixel(window->layerKey), Qt::MaskInColor);
        visible &= QRegion(QBitmap::fromImage(mask));
    }
    window->widget->setMask(visible);
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (!window) {
        for (HWND each : AllWindows())
            InvalidateRect(each, nullptr, erase);
        return TRUE;
    }
    if (!IsWindow(window))
        return FALSE;
    window->invalid |= AreaOf(window, rect) & QRegion(ClientQRect(window));
    if (erase)
        window->eraseWanted = true;
    SchedulePaint();
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    if (!IsWindow(window))
        return FALSE;
    window->invalid -= AreaOf(window, rect);
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    if (!IsWindow(window))
        return FALSE;
    PaintNow(window);
    for (HWND each : AllWindows()) {
        if (IsChild(window, each))
            PaintNow(each);
    }
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN, UINT flags) {
    if (!IsWindow(window))
        return FALSE;
    if (flags & RDW_INVALIDATE) {
        InvalidateRect(window, rect, (flags & RDW_ERASE) ? TRUE : FALSE);
        if (flags & RDW_ALLCHILDREN) {
            for (HWND each : AllWindows()) {
                if (IsChild(window, each))
                    InvalidateRect(each, nullptr, (flags & RDW_ERASE) ? TRUE : FALSE);
            }
        }
    }
    if (flags & RDW_UPDATENOW)
        UpdateWindow(window);
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!IsWindow(window) || !paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    const QRect bounds = window->invalid.boundingRect();
    paint->rcPaint = RECT{bounds.left(), bounds.top(), bounds.left() + bounds.width(),
                          bounds.top() + bounds.height()};
    const bool erase = window->eraseWanted;
    window->invalid = QRegion();
    window->eraseWanted = false;
    paint->hdc = CreateImageDC(&window->image);
    if (!paint->hdc)
        return nullptr;
    OpenDCs()[paint->hdc] = window;
    if (erase)
        paint->fErase = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0)
                            ? FALSE
                            : TRUE;
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint || !paint->hdc)
        return FALSE;
    ReleaseDC(window, paint->hdc);
    return TRUE;
}

HDC GetDC(HWND window) {
    if (!window) {
        HDC dc = CreateImageDC(&ScreenImage());
        if (dc)
            OpenDCs()[dc] = nullptr;
        return dc;
    }
    if (!IsWindow(window))
        return nullptr;
    HDC dc = CreateImageDC(&window->image);
    if (dc)
        OpenDCs()[dc] = window;
    return dc;
}

HDC GetWindowDC(HWND window) {
    return GetDC(window);
}

int ReleaseDC(HWND, HDC dc) {
    auto found = OpenDCs().find(dc);
    if (found == OpenDCs().end())
        return 0;
    HWND window = found->second;
    OpenDCs().erase(found);
    DeleteImageDC(dc);
    if (IsWindow(window))
        RefreshScreen(window);
    return 1;
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
    if (!IsWindow(window)) {
        if (region)
            DeleteObject(region);
        return 0;
    }
    if (window->shapeHandle)
        DeleteObject(window->shapeHandle);
    window->shapeHandle = region;
    window->hasShape = region != nullptr;
    window->shape = region ? RegionOfHandle(region) : QRegion();
    ApplyLayering(window);
    if (redraw)
        window->widget->update();
    return 1;
}

BOOL SetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
    if (!IsWindow(window) || !(window->exStyle & WS_EX_LAYERED))
        return FALSE;
    window->layeredKey = (flags & LWA_COLORKEY) != 0;
    window->layerKey = key;
    constexpr double OpaqueAlpha = 255.0;
    if (!(window->style & WS_CHILD))
        window->widget->setWindowOpacity((flags & LWA_ALPHA) ? alpha / OpaqueAlpha : 1.0);
    ApplyLayering(window);
    return TRUE;
}

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
        return RGB(0, 0, 0);
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    case COLOR_GRAYTEXT:
        return RGB(109, 109, 109);
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    default:
        return RGB(192, 192, 192);
    }
}

// The class background, as DefWindowProc paints it for WM_ERASEBKGND.
LRESULT EraseWithClassBackground(HWND window, HDC dc) {
    HBRUSH background = window->windowClass ? window->windowClass->background : nullptr;
    QImage* surface = dc ? ImageOfDC(dc) : nullptr;
    if (!background || !surface)
        return 0;
    // Values up to the last system colour stand for "colour index + 1".
    constexpr std::uintptr_t LastSystemColourBrush = 31;
    const auto value = reinterpret_cast<std::uintptr_t>(background);
    COLORREF colour = 0;
    if (value <= LastSystemColourBrush) {
        colour = GetSysColor(static_cast<int>(value) - 1);
    } else {
        const auto* brush = static_cast<const GdiBrush*>(background);
        if (brush->hollow)
            return 0;
        colour = brush->colour;
    }
    QPainter painter(surface);
    painter.fillRect(QRect(0, 0, window->widget->width(), window->widget->height()),
                     QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    return 1;
}

void ReleaseWindowShape(HWND window) {
    if (window->shapeHandle)
        DeleteObject(window->shapeHandle);
    window->shapeHandle = nullptr;
}
