// GDI+ images: PNG with alpha over a background, pixel buffers with a
// stride, scaling into a rectangle, lines and curves, JPEG quality.

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdiplus.h"
#include "tests/support/temp_folder.h"

using namespace Gdiplus;

namespace {

std::wstring Wide(const std::string& narrow) { return std::wstring(narrow.begin(), narrow.end()); }

struct Surface {
    Surface(int width, int height, COLORREF background) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

bool CLSIDOf(const wchar_t* mime, CLSID* out) {
    UINT count = 0, size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok || size == 0) return false;
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GetImageEncoders(count, size, encoders) != Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == mime) {
            *out = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

class GdiplusSession : public testing::Test {
protected:
    void SetUp() override {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
    }
    void TearDown() override { GdiplusShutdown(token_); }
    ULONG_PTR token_ = 0;
    TTempFolder folder_;
};

using GdiplusImage = GdiplusSession;

TEST_F(GdiplusImage, PngAlphaBlendsOverTheDCBackground) {
    QImage png(3, 1, QImage::Format_ARGB32);
    png.setPixelColor(0, 0, QColor(255, 0, 0, 255));
    png.setPixelColor(1, 0, QColor(255, 0, 0, 128));
    png.setPixelColor(2, 0, QColor(255, 0, 0, 0));
    const std::string path = folder_.File("alpha.png");
    ASSERT_TRUE(png.save(QString::fromStdString(path)));

    Bitmap image(Wide(path).c_str());
    ASSERT_EQ(image.GetLastStatus(), Ok);
    EXPECT_EQ(image.GetWidth(), 3u);
    Surface surface(3, 1, RGB(0, 0, 255));
    Graphics graphics(surface.dc);
    graphics.SetSmoothingMode(SmoothingModeHighQuality);
    ASSERT_EQ(graphics.DrawImage(&image, Rect{0, 0, 3, 1}, 0, 0, 3, 1, UnitPixel), Ok);
    EXPECT_EQ(GetPixel(surface.dc, 0, 0), RGB(255, 0, 0));
    const COLORREF half = GetPixel(surface.dc, 1, 0);
    EXPECT_NEAR(GetRValue(half), 128, 3);
    EXPECT_NEAR(GetBValue(half), 127, 3);
    EXPECT_EQ(GetPixel(surface.dc, 2, 0), RGB(0, 0, 255));
}

TEST_F(GdiplusImage, MissingOrBrokenFileReportsFailure) {
    Bitmap missing(Wide(folder_.File("nothing.png")).c_str());
    EXPECT_NE(missing.GetLastStatus(), Ok);
    EXPECT_EQ(missing.GetWidth(), 0u);
    const std::string junk = folder_.File("junk.png");
    FILE* file = std::fopen(junk.c_str(), "wb");
    std::fputs("not an image", file);
    std::fclose(file);
    Bitmap broken(Wide(junk).c_str());
    EXPECT_NE(broken.GetLastStatus(), Ok);
}

TEST_F(GdiplusImage, PixelBufferWithStrideIsReadAsBgrRows) {
    // Two rows of two BGR pixels, each row padded to 8 bytes.
    unsigned char pixels[16] = {
        0, 0, 255, 0, 255, 0, 0xEE, 0xEE,  // red, green, padding
        255, 0, 0, 255, 255, 255, 0xEE, 0xEE,  // blue, white, padding
    };
    Bitmap buffer(2, 2, 8, PixelFormat24bppRGB, pixels);
    ASSERT_EQ(buffer.GetLastStatus(), Ok);
    Surface surface(2, 2, RGB(0, 0, 0));
    Graphics graphics(surface.dc);
    ASSERT_EQ(graphics.DrawImage(&buffer, 0, 0), Ok);
    EXPECT_EQ(GetPixel(surface.dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(surface.dc, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(surface.dc, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(surface.dc, 1, 1), RGB(255, 255, 255));

    Bitmap tooNarrow(2, 2, 5, PixelFormat24bppRGB, pixels);
    EXPECT_EQ(tooNarrow.GetLastStatus(), InvalidParameter);
}

TEST_F(GdiplusImage, DrawImageScalesIntoTheRectangleSmoothly) {
    Bitmap source(2, 2, PixelFormat32bppARGB);
    source.SetPixel(0, 0, Color(255, 255, 255));
    source.SetPixel(1, 0, Color(0, 0, 0));
    source.SetPixel(0, 1, Color(0, 0, 0));
    source.SetPixel(1, 1, Color(255, 255, 255));
    Surface surface(20, 20, RGB(0, 0, 255));
    Graphics graphics(surface.dc);
    graphics.SetSmoothingMode(SmoothingModeHighQuality);
    ASSERT_EQ(graphics.DrawImage(&source, Rect{2, 2, 16, 16}), Ok);
    // Inside the rectangle only, with the quadrants where they belong.
    EXPECT_EQ(GetPixel(surface.dc, 1, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(surface.dc, 18, 18), RGB(0, 0, 255));
    EXPECT_GT(GetRValue(GetPixel(surface.dc, 3, 3)), 200);
    EXPECT_LT(GetRValue(GetPixel(surface.dc, 16, 3)), 60);
    // Smoothing blends across the middle.
    const int middle = GetRValue(GetPixel(surface.dc, 9, 4));
    const int next = GetRValue(GetPixel(surface.dc, 10, 4));
    EXPECT_TRUE((middle > 20 && middle < 235) || (next > 20 && next < 235)) << middle << " " << next;
}

TEST_F(GdiplusImage, CurveWithNoTensionIsAPolylineThroughThePoints) {
    Surface surface(40, 40, RGB(0, 0, 0));
    Graphics graphics(surface.dc);
    Pen pen(Color(255, 0, 255, 0), 1.0f);
    const Point points[] = {{0, 10}, {20, 10}, {20, 30}};
    ASSERT_EQ(graphics.DrawCurve(&pen, points, 3, 0.0f), Ok);
    EXPECT_EQ(GetPixel(surface.dc, 10, 10), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(surface.dc, 20, 20), RGB(0, 255, 0));
    // No rounding of the corner: the inside of the bend stays dark.
    EXPECT_EQ(GetPixel(surface.dc, 17, 13), RGB(0, 0, 0));

    graphics.DrawLine(&pen, 0, 35, 39, 35);
    EXPECT_EQ(GetPixel(surface.dc, 30, 35), RGB(0, 255, 0));
    SolidBrush brush(Color(255, 200, 0, 0));
    graphics.FillRectangle(&brush, 30, 0, 5, 5);
    EXPECT_EQ(GetPixel(surface.dc, 34, 4), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(surface.dc, 35, 4), RGB(0, 0, 0));
}

TEST_F(GdiplusImage, JpegShrinksWithQualityAndDecodesCloseToTheSource) {
    CLSID jpeg;
    ASSERT_TRUE(CLSIDOf(L"image/jpeg", &jpeg));
    Bitmap picture(64, 48, PixelFormat32bppARGB);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            picture.SetPixel(x, y, Color(static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 5),
                                         static_cast<BYTE>((x + y) * 2)));
        }
    }
    std::vector<std::uintmax_t> sizes;
    for (ULONG quality : {10u, 50u, 95u}) {
        EncoderParameters parameters;
        parameters.Count = 1;
        parameters.Parameter[0].Guid = EncoderQuality;
        parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
        parameters.Parameter[0].NumberOfValues = 1;
        parameters.Parameter[0].Value = &quality;
        const std::string path = folder_.File("q" + std::to_string(quality) + ".jpg");
        ASSERT_EQ(picture.Save(Wide(path).c_str(), &jpeg, &parameters), Ok);
        sizes.push_back(std::filesystem::file_size(path));
    }
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[2]);

    Bitmap decoded(Wide(folder_.File("q95.jpg")).c_str());
    ASSERT_EQ(decoded.GetLastStatus(), Ok);
    ASSERT_EQ(decoded.GetWidth(), 64u);
    long total = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            Color a, b;
            picture.GetPixel(x, y, &a);
            decoded.GetPixel(x, y, &b);
            total += std::abs(a.GetR() - b.GetR()) + std::abs(a.GetG() - b.GetG()) + std::abs(a.GetB() - b.GetB());
        }
    }
    EXPECT_LT(total / (64.0 * 48.0 * 3.0), 4.0);

    EXPECT_EQ(picture.Save(Wide(folder_.File("x.jpg")).c_str(), nullptr), InvalidParameter);
}

}  // namespace
