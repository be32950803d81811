// GDI text: placement by the DT_ formats and Korean faces given in their
// code page 949 spelling.

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
    HFONT font =
        CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
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

TEST(GdiFont, KoreanFaceInCodePage949DrawsHangul) {
    TextSurface surface(80, 30);
    // "돋움" as the program passes it.
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "\xB5\xB8\xBF\xF2");
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

} // namespace
