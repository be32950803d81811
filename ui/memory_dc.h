#pragma once
// One off-screen surface: a memory DC with its own bitmap selected. The
// owner releases it explicitly; there is deliberately no destructor, so a
// surface can sit in static tables that outlive the drawing layer's users.

#include "platform/gdi.h"

struct TMemoryDC {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    LONG width = 0;
    LONG height = 0;
    bool released = true;

    // Keeps a surface that is already at least this big; otherwise makes a
    // new one of exactly this size, compatible with `reference`.
    bool Prepare(HDC reference, LONG wantedWidth, LONG wantedHeight);
    void Release();
    // Copies the whole surface to `target`'s origin; nothing when it has none.
    void CopyTo(HDC target) const;
};

// Fills a rectangle of `dc` with one colour.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
