#pragma once
// What the GDI handles point at, inside the drawing layer only.

#include <QFont>
#include <QImage>
#include <QRegion>

#include <optional>

#include "platform/gdi.h"

// Shared by every kind: stock objects are never freed, and an object that
// is deleted while selected into a DC is freed when the last DC lets go of
// it (so neither a dangling selection nor a leak results).
struct GdiObjectState {
    bool stock = false;
    int selections = 0;
    bool deletePending = false;
};

struct GdiBitmap final : HBITMAP__ {
    QImage image; // Format_RGB32
    bool monochrome = false;
    GdiObjectState state;
};

struct GdiPen final : HPEN__ {
    int style = PS_SOLID;
    int width = 1;
    COLORREF colour = 0;
    GdiObjectState state;
};

struct GdiBrush final : HBRUSH__ {
    COLORREF colour = 0;
    bool hollow = false;
    GdiObjectState state;
};

struct GdiFont final : HFONT__ {
    QFont font;
    LOGFONTW description;
    GdiObjectState state;
};

struct GdiRegion final : HRGN__ {
    QRegion area;
    GdiObjectState state;
};

struct TPrinterJob;

struct HDC__ {
    QImage* surface = nullptr;         // the window image, or the selected bitmap's
    TPrinterJob* printerJob = nullptr; // a printer DC's own, freed with it
    bool memory = false;
    GdiBitmap* bitmap = nullptr; // memory DCs only
    GdiPen* pen = nullptr;
    GdiBrush* brush = nullptr;
    GdiFont* font = nullptr;
    std::optional<QRegion> clip;
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF backColour = RGB(255, 255, 255);
    int backMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    POINT position;
};

GdiObjectState* StateOf(HGDIOBJ object);
GdiBitmap* AsBitmap(HGDIOBJ object);
GdiRegion* AsRegion(HGDIOBJ object);
GdiFont* AsFont(HGDIOBJ object);
GdiPen* AsPen(HGDIOBJ object);
GdiBrush* AsBrush(HGDIOBJ object);

// GDI colours and surface pixels.
inline QRgb PixelOf(COLORREF colour) {
    return qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}
inline COLORREF ColourOf(QRgb pixel) {
    return RGB(static_cast<BYTE>(qRed(pixel)), static_cast<BYTE>(qGreen(pixel)),
               static_cast<BYTE>(qBlue(pixel)));
}

// The area drawing may touch on a DC: its surface bounded by its clip.
QRegion DrawableArea(HDC dc);
// The font a DC draws text with (the selected one or the default).
const QFont& FontOfDC(HDC dc);
