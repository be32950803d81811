// GDI+ text: alignment in a box, origin alignment, measuring a string and
// its character ranges, and a missing family still drawing.

#include <gtest/gtest.h>

#include <cwchar>

#include "platform/gdi.h"
#include "platform/gdiplus.h"
#include "tests/platform/gdi_test_surface.h"

using namespace Gdiplus;

namespace {

TEST(GdiplusText, CentreAndFarAlignmentPlaceTheTextInTheBox) {
    TTestSurface surface(240, 60);
    Graphics graphics(surface.dc);
    graphics.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    Font font(L"Arial", 16, FontStyleBold, UnitPixel);
    SolidBrush white(Color(255, 255, 255, 255));
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    format.SetLineAlignment(StringAlignmentCenter);
    const RectF box{20, 0, 200, 60};
    ASSERT_EQ(graphics.DrawString(L"HHHHH", -1, &font, box, &format, &white), Ok);
    const Ink centred = surface.InkOf();
    ASSERT_TRUE(centred.Any());
    EXPECT_NEAR((centred.left + centred.right) / 2.0, 120, 2.5);
    EXPECT_NEAR((centred.top + centred.bottom) / 2.0, 30, 3.5);

    surface.Clear();
    format.SetAlignment(StringAlignmentFar);
    format.SetLineAlignment(StringAlignmentNear);
    graphics.DrawString(L"HHHHH", -1, &font, box, &format, &white);
    const Ink far = surface.InkOf();
    EXPECT_LE(far.right, 220);
    EXPECT_GE(far.right, 214);
    EXPECT_LT(far.top, 12);

    // From an origin point, far alignment ends the text at the point.
    surface.Clear();
    graphics.DrawString(L"HHHHH", -1, &font, PointF{150, 10}, &format, &white);
    const Ink beforePoint = surface.InkOf();
    EXPECT_LE(beforePoint.right, 150);
    EXPECT_GE(beforePoint.right, 144);
}

TEST(GdiplusText, CharacterRangesMeasureWhatIsDrawn) {
    TTestSurface surface(300, 40);
    Graphics graphics(surface.dc);
    Font font(L"Arial", 14, FontStyleRegular, UnitPixel);
    const wchar_t* text = L"Left and right";
    const INT length = static_cast<INT>(std::wcslen(text));
    StringFormat format;
    const CharacterRange ranges[] = {{0, length}, {0, 4}};
    ASSERT_EQ(format.SetMeasurableCharacterRanges(2, ranges), Ok);
    Region regions[2];
    const RectF layout{10, 5, 280, 65536};
    ASSERT_EQ(graphics.MeasureCharacterRanges(text, length, &font, layout, &format, 2, regions), Ok);
    RectF whole, word;
    regions[0].GetBounds(&whole, &graphics);
    regions[1].GetBounds(&word, &graphics);
    EXPECT_GT(whole.Width, word.Width * 2);
    EXPECT_NEAR(word.X, 10, 1);

    RectF measured;
    ASSERT_EQ(graphics.MeasureString(text, length, &font, layout, &format, &measured), Ok);
    EXPECT_NEAR(measured.Width, whole.Width, 1);

    SolidBrush white(Color(255, 255, 255, 255));
    graphics.DrawString(text, length, &font, layout, &format, &white);
    const Ink ink = surface.InkOf();
    ASSERT_TRUE(ink.Any());
    EXPECT_NEAR(ink.left, whole.X, 2.5);
    EXPECT_NEAR(ink.right + 1, whole.X + whole.Width, 3);

    // A narrow box wraps the words onto more lines.
    INT lines = 0;
    graphics.MeasureString(text, length, &font, RectF{0, 0, 40, 1000}, &format, &measured, nullptr, &lines);
    EXPECT_GE(lines, 3);

    const CharacterRange beyond[] = {{5, 100}};
    format.SetMeasurableCharacterRanges(1, beyond);
    EXPECT_EQ(graphics.MeasureCharacterRanges(text, length, &font, layout, &format, 1, regions),
              InvalidParameter);
}

TEST(GdiplusText, MissingFamilyAndEveryLanguageStillDraw) {
    TTestSurface surface(200, 30);
    Graphics graphics(surface.dc);
    SolidBrush white(Color(255, 255, 255, 255));
    Font missing(L"Nowhere Sans 999", 13, FontStyleRegular, UnitPixel);
    EXPECT_EQ(missing.GetLastStatus(), Ok);
    EXPECT_GT(missing.GetHeight(&graphics), 10.0f);
    Font tahoma(L"Tahoma", 13, FontStyleRegular, UnitPixel);
    for (const wchar_t* text : {L"Latin", L"日本語", L"한국어", L"中文", L"ภาษาไทย"}) {
        for (const Font* font : {&tahoma, &missing}) {
            surface.Clear();
            graphics.DrawString(text, -1, font, PointF{2, 2}, &white);
            EXPECT_TRUE(surface.InkOf().Any());
        }
    }
}

}  // namespace
