// GDI text: placement by the DT_ formats, measuring, background modes, and
// Korean faces given in their code page 949 spelling.

#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "tests/platform/gdi_test_surface.h"

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);

struct TextSurface : TTestSurface {
    TextSurface(int width, int height) : TTestSurface(width, height, kBackground) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
    }
};

TEST(DrawText, CentredSingleLineSitsInTheMiddleOfItsBox) {
    TextSurface surface(200, 60);
    HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(surface.dc, font);
    RECT box{0, 0, 200, 60};
    EXPECT_GT(DrawTextW(surface.dc, L"HHHH", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 0);
    const Ink ink = surface.InkOf();
    ASSERT_TRUE(ink.Any());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 2.5);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 30, 3.5);

    surface.Clear();
    DrawTextW(surface.dc, L"HHHH", -1, &box, DT_RIGHT | DT_SINGLELINE);
    const Ink right = surface.InkOf();
    EXPECT_GE(right.right, 194);
    EXPECT_LT(right.top, 8);
    SelectObject(surface.dc, old);
    DeleteObject(font);
}

TEST(DrawText, CalcRectMeasuresAsTextExtentAndDrawsNothing) {
    TextSurface surface(300, 40);
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(surface.dc, font);
    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32W(surface.dc, L"Measure me", -1, &extent));
    EXPECT_GT(extent.cx, 30);
    RECT box{10, 5, 11, 6};
    const int height = DrawTextW(surface.dc, L"Measure me", -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right - box.left, extent.cx);
    EXPECT_EQ(box.bottom - box.top, height);
    EXPECT_EQ(height, extent.cy);
    EXPECT_FALSE(surface.InkOf().Any());

    // A wider text measures wider; word breaking at a narrow width adds lines.
    RECT narrow{0, 0, 40, 0};
    const int wrapped = DrawTextW(surface.dc, L"one two three four", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(wrapped, 2 * extent.cy);
    SelectObject(surface.dc, old);
    DeleteObject(font);
}

TEST(DrawText, OpaqueModeFillsBehindTheTextAndTransparentDoesNot) {
    TextSurface surface(100, 30);
    RECT box{0, 0, 100, 30};
    SetBkMode(surface.dc, OPAQUE);
    SetBkColor(surface.dc, RGB(0, 255, 0));
    DrawTextW(surface.dc, L"ii", -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE);
    EXPECT_EQ(GetPixel(surface.dc, 0, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(surface.dc, 90, 25), kBackground);

    surface.Clear();
    SetBkMode(surface.dc, TRANSPARENT);
    DrawTextW(surface.dc, L"ii", -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE);
    EXPECT_NE(GetPixel(surface.dc, 0, 1), RGB(0, 255, 0));
}

TEST(GdiFont, KoreanFaceInCodePage949DrawsHangul) {
    TextSurface surface(80, 30);
    // "돋움" as the program passes it.
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "\xB5\xB8\xBF\xF2");
    LOGFONTW description;
    ASSERT_EQ(GetObjectW(font, sizeof description, &description), int(sizeof description));
    EXPECT_EQ(std::wstring(description.lfFaceName), L"돋움");
    HGDIOBJ old = SelectObject(surface.dc, font);
    RECT box{0, 0, 80, 30};
    DrawTextW(surface.dc, L"돋움", -1, &box, DT_LEFT | DT_SINGLELINE);
    const Ink ink = surface.InkOf();
    ASSERT_TRUE(ink.Any());
    // Two Hangul syllables at an em of about 12 pixels.
    EXPECT_GE(ink.right - ink.left, 16);
    EXPECT_GE(ink.bottom - ink.top, 8);
    SelectObject(surface.dc, old);
    DeleteObject(font);
}

TEST(GdiFont, NegativeHeightIsTheEmAndPositiveTheCell) {
    TextSurface surface(10, 10);
    HFONT em = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HFONT cell = CreateFontA(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    TEXTMETRICW emMetrics, cellMetrics;
    HGDIOBJ old = SelectObject(surface.dc, em);
    GetTextMetricsW(surface.dc, &emMetrics);
    SelectObject(surface.dc, cell);
    GetTextMetricsW(surface.dc, &cellMetrics);
    EXPECT_GT(emMetrics.tmHeight, cellMetrics.tmHeight);
    EXPECT_NEAR(cellMetrics.tmHeight, 20, 2);
    SelectObject(surface.dc, old);
    DeleteObject(em);
    DeleteObject(cell);
}

}  // namespace
