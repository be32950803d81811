// Memory DCs, object selection, blits, the colour-keyed copy, stretching
// and shapes.

#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "tests/platform/gdi_test_surface.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(MemoryDC, SelectionHandsBackThePreviousAndABitmapLivesInOneDCAtATime) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAP info;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 20, 10);
    HGDIOBJ original = SelectObject(dc, bitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    ASSERT_EQ(GetObject(bitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 20);
    EXPECT_EQ(info.bmBitsPixel, 32);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ stockPen = SelectObject(dc, pen);
    EXPECT_EQ(stockPen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, stockPen), pen);
    EXPECT_TRUE(DeleteObject(pen));

    HDC second = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    // Deleted while selected: the DC keeps drawing into it until it lets go.
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_NE(SetPixel(dc, 1, 1, RGB(9, 8, 7)), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(9, 8, 7));
    EXPECT_EQ(SelectObject(dc, original), bitmap);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteDC(second));
}

TEST(Blit, CopiesExactPixelsOnlyWhereSourceAndClipAllowAndOverlapsReadTheOriginal) {
    TTestSurface source(4, 4, RGB(10, 20, 30));
    TTestSurface target(10, 10);
    SetPixel(source.dc, 3, 3, RGB(200, 100, 50));
    // Asked for 6 x 6, but the source has only 4 x 4 from (0,0).
    ASSERT_TRUE(BitBlt(target.dc, 2, 2, 6, 6, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.At(2, 2), RGB(10, 20, 30));
    EXPECT_EQ(target.At(5, 5), RGB(200, 100, 50));
    EXPECT_EQ(target.At(6, 6), kBlack);
    EXPECT_EQ(target.At(1, 2), kBlack);

    HRGN clip = CreateRectRgn(0, 0, 3, 10);
    SelectClipRgn(target.dc, clip);
    DeleteObject(clip); // the DC keeps its own copy
    target.Fill(kWhite, {0, 0, 10, 10});
    SelectClipRgn(target.dc, nullptr);
    EXPECT_EQ(target.At(2, 9), kWhite);
    EXPECT_EQ(target.At(3, 3), RGB(10, 20, 30));
    EXPECT_EQ(target.At(10, 0), CLR_INVALID);

    TTestSurface row(6, 1);
    for (int x = 0; x < 6; ++x)
        SetPixel(row.dc, x, 0, RGB(x * 10, 0, 0));
    ASSERT_TRUE(BitBlt(row.dc, 1, 0, 5, 1, row.dc, 0, 0, SRCCOPY));
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(row.At(x, 0), RGB((x - 1) * 10, 0, 0)) << x;
}

TEST(Blit, TransparentCopyLeavesOutExactKeyPixelsOnly) {
    TTestSurface source(3, 1, kMagenta);
    SetPixel(source.dc, 1, 0, RGB(255, 16, 255));
    SetPixel(source.dc, 2, 0, RGB(1, 2, 3));
    TTestSurface target(5, 1, RGB(40, 50, 60));
    ASSERT_TRUE(TransparentBlt(target.dc, 1, 0, 3, 1, source.dc, 0, 0, 3, 1, kMagenta));
    std::vector<COLORREF> row;
    for (int x = 0; x < 5; ++x)
        row.push_back(target.At(x, 0));
    EXPECT_EQ(row, (std::vector<COLORREF>{RGB(40, 50, 60), RGB(40, 50, 60), RGB(255, 16, 255),
                                          RGB(1, 2, 3), RGB(40, 50, 60)}));
}

TEST(Stretch, NearestDoublesExactly) {
    TTestSurface source(2, 1);
    SetPixel(source.dc, 1, 0, RGB(200, 200, 200));
    TTestSurface target(8, 1);
    SetStretchBltMode(target.dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 4, 1, source.dc, 0, 0, 2, 1, SRCCOPY));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(target.At(x, 0), x < 2 ? kBlack : RGB(200, 200, 200)) << x;
}

TEST(Shapes, RectangleOutlinesWithPenAndFillsWithBrushFocusRectToggles) {
    TTestSurface surface(10, 10);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(surface.dc, pen);
    HGDIOBJ oldBrush = SelectObject(surface.dc, brush);
    Rectangle(surface.dc, 1, 1, 5, 5);
    const std::pair<POINT, COLORREF> expected[] = {
        {{1, 1}, RGB(255, 0, 0)},
        {{4, 4}, RGB(255, 0, 0)},
        {{2, 2}, RGB(0, 0, 255)},
        {{5, 5}, kBlack},
    };
    for (const auto& [point, colour] : expected)
        EXPECT_EQ(surface.At(point.x, point.y), colour) << point.x << "," << point.y;

    RECT focus{0, 0, 10, 10};
    DrawFocusRect(surface.dc, &focus);
    EXPECT_NE(surface.At(0, 0), kBlack);
    DrawFocusRect(surface.dc, &focus);
    EXPECT_EQ(surface.At(0, 0), kBlack);
    SelectObject(surface.dc, oldPen);
    SelectObject(surface.dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

} // namespace
