#include "ui/memory_dc.h"

bool TMemoryDC::Prepare(HDC reference, LONG wantedWidth, LONG wantedHeight) {
    if (!reference)
        return false;
    if (!released && dc && width >= wantedWidth && height >= wantedHeight)
        return true;
    Release();
    dc = CreateCompatibleDC(reference);
    if (!dc)
        return false;
    bitmap = CreateCompatibleBitmap(reference, wantedWidth, wantedHeight);
    if (!bitmap) {
        DeleteDC(dc);
        dc = nullptr;
        return false;
    }
    if (!SelectObject(dc, bitmap)) {
        DeleteObject(bitmap);
        DeleteDC(dc);
        bitmap = nullptr;
        dc = nullptr;
        return false;
    }
    width = wantedWidth;
    height = wantedHeight;
    released = false;
    return true;
}

void TMemoryDC::CopyTo(HDC target) const {
    if (dc)
        BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void TMemoryDC::Release() {
    if (!released) {
        // The DC goes first so that the bitmap is no longer selected when it
        // is deleted.
        if (dc)
            DeleteDC(dc);
        if (bitmap)
            DeleteObject(bitmap);
    }
    dc = nullptr;
    bitmap = nullptr;
    released = true;
    width = 0;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}
