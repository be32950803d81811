// Memory DCs, object selection, blits, raster operations, the colour-keyed
// copy and stretching.

#include <QImage>

#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "platform/gdi_internal.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kAlmostMagenta = RGB(255, 16, 255);

// A memory DC with its own bitmap, freed in the right order.
struct Surface {
    Surface(int width, int height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        previous = SelectObject(dc, bitmap);
    }
    ~Surface() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(COLORREF colour, RECT rect) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

TEST(MemoryDC, StartsWithOnePixelBitmapAndSelectionHandsBackThePrevious) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObject(GetCurrentObject(dc, OBJ_BITMAP), sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);

    HBITMAP bitmap = CreateCompatibleBitmap(dc, 20, 10);
    HGDIOBJ original = SelectObject(dc, bitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    EXPECT_EQ(SelectObject(dc, original), bitmap);
    ASSERT_EQ(GetObject(bitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 20);
    EXPECT_EQ(info.bmBitsPixel, 32);

    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ stockPen = SelectObject(dc, pen);
    EXPECT_EQ(stockPen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, stockPen), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(MemoryDC, BitmapLivesInOneDCAndOutlivesDeletionWhileSelected) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);
    ASSERT_NE(SelectObject(first, bitmap), nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);

    // Deleted while selected: the DC keeps drawing into it until it lets go.
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_NE(SetPixel(first, 1, 1, RGB(9, 8, 7)), CLR_INVALID);
    EXPECT_EQ(GetPixel(first, 1, 1), RGB(9, 8, 7));
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_TRUE(DeleteDC(second));
}

TEST(MemoryDC, ImageOfDCIsTheSelectedBitmapAndImageDCsDrawIntoTheirImage) {
    Surface surface(8, 8);
    QImage* image = ImageOfDC(surface.dc);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), QSize(8, 8));

    QImage backing(10, 6, QImage::Format_RGB32);
    backing.fill(Qt::black);
    HDC window = CreateImageDC(&backing);
    EXPECT_EQ(ImageOfDC(window), &backing);
    RECT rect{2, 1, 5, 3};
    FillRect(window, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(backing.pixel(2, 1), qRgb(255, 255, 255));
    EXPECT_EQ(backing.pixel(4, 2), qRgb(255, 255, 255));
    // Right and bottom edges are outside, as in GDI.
    EXPECT_EQ(backing.pixel(5, 2), qRgb(0, 0, 0));
    EXPECT_EQ(backing.pixel(4, 3), qRgb(0, 0, 0));
    DeleteImageDC(window);
}

TEST(Blit, CopiesExactPixelsAndOnlyWhereSourceAndClipAllow) {
    Surface source(4, 4);
    Surface target(10, 10);
    source.Fill(RGB(10, 20, 30), {0, 0, 4, 4});
    SetPixel(source.dc, 3, 3, RGB(200, 100, 50));
    target.Fill(RGB(0, 0, 0), {0, 0, 10, 10});

    // Asked for 6 x 6, but the source has only 4 x 4 from (0,0).
    ASSERT_TRUE(BitBlt(target.dc, 2, 2, 6, 6, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(target.dc, 2, 2), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(target.dc, 5, 5), RGB(200, 100, 50));
    EXPECT_EQ(GetPixel(target.dc, 6, 6), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 1, 2), RGB(0, 0, 0));

    HRGN clip = CreateRectRgn(0, 0, 3, 10);
    SelectClipRgn(target.dc, clip);
    DeleteObject(clip);  // the DC keeps its own copy
    target.Fill(RGB(255, 255, 255), {0, 0, 10, 10});
    SelectClipRgn(target.dc, nullptr);
    EXPECT_EQ(GetPixel(target.dc, 2, 9), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(target.dc, 3, 3), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(target.dc, 10, 0), CLR_INVALID);
}

TEST(Blit, OverlappingCopyWithinOneSurfaceReadsTheOriginalPixels) {
    Surface surface(6, 1);
    for (int x = 0; x < 6; ++x) SetPixel(surface.dc, x, 0, RGB(x * 10, 0, 0));
    ASSERT_TRUE(BitBlt(surface.dc, 1, 0, 5, 1, surface.dc, 0, 0, SRCCOPY));
    for (int x = 1; x < 6; ++x) EXPECT_EQ(GetPixel(surface.dc, x, 0), RGB((x - 1) * 10, 0, 0)) << x;
}

TEST(Blit, RasterOperationsCombineSourceAndDestinationBits) {
    Surface source(1, 1);
    Surface target(1, 1);
    struct Case {
        DWORD rop;
        COLORREF expected;
    };
    const COLORREF s = RGB(0xF0, 0x0F, 0xAA);
    const COLORREF d = RGB(0xCC, 0x33, 0x55);
    const Case cases[] = {
        {SRCCOPY, s},
        {SRCAND, RGB(0xC0, 0x03, 0x00)},
        {SRCPAINT, RGB(0xFC, 0x3F, 0xFF)},
        {SRCINVERT, RGB(0x3C, 0x3C, 0xFF)},
        {NOTSRCCOPY, RGB(0x0F, 0xF0, 0x55)},
        {BLACKNESS, RGB(0, 0, 0)},
        {WHITENESS, RGB(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SetPixel(source.dc, 0, 0, s);
        SetPixel(target.dc, 0, 0, d);
        ASSERT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, c.rop));
        EXPECT_EQ(GetPixel(target.dc, 0, 0), c.expected) << std::hex << c.rop;
    }
}

// The classic mask-based transparent copy, built only from blits: a
// monochrome mask made against the key colour, then AND and PAINT.
void MaskedCopy(HDC destination, int x, int y, HDC source, int width, int height, COLORREF key) {
    HDC maskDC = CreateCompatibleDC(destination);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    const COLORREF oldBack = SetBkColor(source, key);
    BitBlt(maskDC, 0, 0, width, height, source, 0, 0, SRCCOPY);  // key -> white, rest black

    HDC imageDC = CreateCompatibleDC(destination);
    HBITMAP image = CreateCompatibleBitmap(destination, width, height);
    HGDIOBJ oldImage = SelectObject(imageDC, image);
    BitBlt(imageDC, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SetBkColor(imageDC, RGB(0, 0, 0));
    SetTextColor(imageDC, RGB(255, 255, 255));
    BitBlt(imageDC, 0, 0, width, height, maskDC, 0, 0, SRCAND);  // key pixels -> black

    SetBkColor(destination, RGB(255, 255, 255));
    SetTextColor(destination, RGB(0, 0, 0));
    BitBlt(destination, x, y, width, height, maskDC, 0, 0, SRCAND);     // hole where not key
    BitBlt(destination, x, y, width, height, imageDC, 0, 0, SRCPAINT);  // picture into the hole

    SetBkColor(source, oldBack);
    SelectObject(imageDC, oldImage);
    DeleteObject(image);
    DeleteDC(imageDC);
    SelectObject(maskDC, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDC);
}

class KeyedCopy : public testing::TestWithParam<bool> {};

TEST_P(KeyedCopy, LeavesExactKeyPixelsOutAndCopiesNearlyKeyPixels) {
    Surface source(3, 1);
    SetPixel(source.dc, 0, 0, kMagenta);
    SetPixel(source.dc, 1, 0, kAlmostMagenta);
    SetPixel(source.dc, 2, 0, RGB(1, 2, 3));
    Surface target(5, 1);
    target.Fill(RGB(40, 50, 60), {0, 0, 5, 1});

    if (GetParam()) {
        MaskedCopy(target.dc, 1, 0, source.dc, 3, 1, kMagenta);
    } else {
        ASSERT_TRUE(TransparentBlt(target.dc, 1, 0, 3, 1, source.dc, 0, 0, 3, 1, kMagenta));
    }
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(40, 50, 60));
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(40, 50, 60));
    EXPECT_EQ(GetPixel(target.dc, 2, 0), kAlmostMagenta);
    EXPECT_EQ(GetPixel(target.dc, 3, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(target.dc, 4, 0), RGB(40, 50, 60));
}

INSTANTIATE_TEST_SUITE_P(MaskAndDirect, KeyedCopy, testing::Values(true, false));

TEST(Stretch, NearestDoublesExactlyAndHalftoneBlendsAndNegativeWidthMirrors) {
    Surface source(2, 1);
    SetPixel(source.dc, 0, 0, RGB(0, 0, 0));
    SetPixel(source.dc, 1, 0, RGB(200, 200, 200));
    Surface target(8, 1);

    SetStretchBltMode(target.dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 4, 1, source.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 2, 0), RGB(200, 200, 200));
    EXPECT_EQ(GetPixel(target.dc, 3, 0), RGB(200, 200, 200));

    EXPECT_EQ(SetStretchBltMode(target.dc, HALFTONE), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 8, 1, source.dc, 0, 0, 2, 1, SRCCOPY));
    bool blended = false;
    for (int x = 0; x < 8; ++x) {
        const int red = GetRValue(GetPixel(target.dc, x, 0));
        blended = blended || (red > 10 && red < 190);
    }
    EXPECT_TRUE(blended);

    SetStretchBltMode(target.dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(target.dc, 1, 0, -2, 1, source.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(200, 200, 200));
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(0, 0, 0));
}

TEST(Shapes, RectangleOutlinesWithPenAndFillsWithBrushAndLineLeavesItsEnd) {
    Surface surface(10, 10);
    surface.Fill(RGB(0, 0, 0), {0, 0, 10, 10});
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(surface.dc, pen);
    HGDIOBJ oldBrush = SelectObject(surface.dc, brush);
    Rectangle(surface.dc, 1, 1, 5, 5);
    EXPECT_EQ(GetPixel(surface.dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(surface.dc, 4, 4), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(surface.dc, 2, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(surface.dc, 5, 5), RGB(0, 0, 0));

    MoveToEx(surface.dc, 0, 8, nullptr);
    LineTo(surface.dc, 6, 8);
    EXPECT_EQ(GetPixel(surface.dc, 0, 8), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(surface.dc, 5, 8), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(surface.dc, 6, 8), RGB(0, 0, 0));

    RECT focus{0, 0, 10, 10};
    const COLORREF before = GetPixel(surface.dc, 0, 0);
    DrawFocusRect(surface.dc, &focus);
    EXPECT_NE(GetPixel(surface.dc, 0, 0), before);
    DrawFocusRect(surface.dc, &focus);
    EXPECT_EQ(GetPixel(surface.dc, 0, 0), before);

    SelectObject(surface.dc, oldPen);
    SelectObject(surface.dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

}  // namespace
