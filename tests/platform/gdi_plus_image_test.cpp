// GDI+ images: PNG with alpha over a background, pixel buffers with a
// stride, JPEG quality.

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdiplus.h"
#include "tests/platform/gdi_test_surface.h"
#include "tests/support/temp_folder.h"

using namespace Gdiplus;

namespace {

std::wstring Wide(const std::string& narrow) {
    return std::wstring(narrow.begin(), narrow.end());
}

TEST(GdiplusImage, PngAlphaBlendsOverTheDCBackgroundAndBadFilesFail) {
    TTempFolder folder;
    QImage png(3, 1, QImage::Format_ARGB32);
    png.setPixelColor(0, 0, QColor(255, 0, 0, 255));
    png.setPixelColor(1, 0, QColor(255, 0, 0, 128));
    png.setPixelColor(2, 0, QColor(255, 0, 0, 0));
    ASSERT_TRUE(png.save(QString::fromStdString(folder.File("alpha.png"))));
    Bitmap image(Wide(folder.File("alpha.png")).c_str());
    ASSERT_EQ(image.GetLastStatus(), Ok);
    EXPECT_EQ(image.GetWidth(), 3u);
    TTestSurface surface(3, 1, RGB(0, 0, 255));
    Graphics graphics(surface.dc);
    graphics.SetSmoothingMode(SmoothingModeHighQuality);
    ASSERT_EQ(graphics.DrawImage(&image, Rect{0, 0, 3, 1}, 0, 0, 3, 1, UnitPixel), Ok);
    EXPECT_EQ(surface.At(0, 0), RGB(255, 0, 0));
    EXPECT_NEAR(GetRValue(surface.At(1, 0)), 128, 3);
    EXPECT_NEAR(GetBValue(surface.At(1, 0)), 127, 3);
    EXPECT_EQ(surface.At(2, 0), RGB(0, 0, 255));

    std::ofstream(folder.File("junk.png")) << "not an image";
    for (const char* name : {"nothing.png", "junk.png"}) {
        Bitmap bad(Wide(folder.File(name)).c_str());
        EXPECT_NE(bad.GetLastStatus(), Ok) << name;
        EXPECT_EQ(bad.GetWidth(), 0u) << name;
    }
}

TEST(GdiplusImage, PixelBufferWithStrideIsReadAsBgrRows) {
    // Two rows of two BGR pixels, each row padded to 8 bytes.
    unsigned char pixels[16] = {
        0,   0, 255, 0,   255, 0,   0xEE, 0xEE, // red, green, padding
        255, 0, 0,   255, 255, 255, 0xEE, 0xEE, // blue, white, padding
    };
    Bitmap buffer(2, 2, 8, PixelFormat24bppRGB, pixels);
    ASSERT_EQ(buffer.GetLastStatus(), Ok);
    TTestSurface surface(2, 2);
    Graphics graphics(surface.dc);
    ASSERT_EQ(graphics.DrawImage(&buffer, 0, 0), Ok);
    EXPECT_EQ(std::vector<COLORREF>(
                  {surface.At(0, 0), surface.At(1, 0), surface.At(0, 1), surface.At(1, 1)}),
              std::vector<COLORREF>(
                  {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)}));
    Bitmap tooNarrow(2, 2, 5, PixelFormat24bppRGB, pixels);
    EXPECT_EQ(tooNarrow.GetLastStatus(), InvalidParameter);
}

TEST(GdiplusImage, JpegShrinksWithQuality) {
    TTempFolder folder;
    UINT count = 0, size = 0;
    ASSERT_EQ(GetImageEncodersSize(&count, &size), Ok);
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    ASSERT_EQ(GetImageEncoders(count, size, encoders), Ok);
    const ImageCodecInfo* jpeg =
        std::find_if(encoders, encoders + count, [](const ImageCodecInfo& codec) {
            return std::wstring(codec.MimeType) == L"image/jpeg";
        });
    ASSERT_NE(jpeg, encoders + count);
    Bitmap picture(64, 48, PixelFormat32bppARGB);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x)
            picture.SetPixel(x, y,
                             Color(static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 5),
                                   static_cast<BYTE>((x + y) * 2)));
    }
    std::vector<std::uintmax_t> sizes;
    for (ULONG quality : {10u, 50u, 95u}) {
        EncoderParameters parameters;
        parameters.Count = 1;
        parameters.Parameter[0].Guid = EncoderQuality;
        parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
        parameters.Parameter[0].NumberOfValues = 1;
        parameters.Parameter[0].Value = &quality;
        const std::string path = folder.File("q" + std::to_string(quality) + ".jpg");
        ASSERT_EQ(picture.Save(Wide(path).c_str(), &jpeg->Clsid, &parameters), Ok);
        sizes.push_back(std::filesystem::file_size(path));
    }
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[2]);

    EXPECT_EQ(picture.Save(Wide(folder.File("x.jpg")).c_str(), nullptr), InvalidParameter);
}

} // namespace
