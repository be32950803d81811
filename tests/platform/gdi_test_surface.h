#pragma once
// A memory DC over a bitmap of its own, filled with one background colour,
// and the box of everything drawn on it since.

#include <algorithm>

#include "platform/gdi.h"

// The bounding box of the pixels that differ from the background.
struct Ink {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool Any() const { return right >= 0; }
};

class TTestSurface {
public:
    TTestSurface(int width_, int height_, COLORREF background_ = RGB(0, 0, 0))
        : width(width_), height(height_), background(background_) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        old = SelectObject(dc, bitmap);
        Clear();
    }
    ~TTestSurface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    TTestSurface(const TTestSurface&) = delete;
    TTestSurface& operator=(const TTestSurface&) = delete;

    void Fill(COLORREF colour, RECT rect) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    void Clear() { Fill(background, RECT{0, 0, width, height}); }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    Ink InkOf() const {
        Ink ink;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (At(x, y) == background)
                    continue;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
        return ink;
    }

    int width, height;
    COLORREF background;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};
