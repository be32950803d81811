// The image manager's strips and keys, atlas draws and the transparency
// helpers, on surfaces read back pixel by pixel.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF Red = RGB(220, 30, 30);
constexpr COLORREF Green = RGB(30, 200, 40);
constexpr COLORREF Grey = RGB(90, 90, 90);

class ImageCache : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        m_screen = GetDC(nullptr);
    }
    void TearDown() override {
        m_source.Release();
        m_target.Release();
        ReleaseDC(nullptr, m_screen);
    }
    void Fill(TMemoryDC& surface, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all{0, 0, surface.width, surface.height};
        FillRect(surface.dc, &all, brush);
        DeleteObject(brush);
    }
    HDC m_screen = nullptr;
    TMemoryDC m_source;
    TMemoryDC m_target;
};

TEST_F(ImageCache, PreparedSurfaceIsKeptWhenBigEnoughAndReleasedOnce) {
    ASSERT_TRUE(m_source.Prepare(m_screen, 20, 10));
    HDC first = m_source.dc;
    EXPECT_TRUE(m_source.Prepare(m_screen, 10, 10));
    EXPECT_EQ(m_source.dc, first);
    EXPECT_TRUE(m_source.Prepare(m_screen, 30, 10));
    EXPECT_EQ(m_source.width, 30);
    m_source.Release();
    EXPECT_TRUE(m_source.released);
    m_source.Release();
    EXPECT_FALSE(m_source.Prepare(nullptr, 4, 4));
}

TEST_F(ImageCache, KnownKeyGivesItsFirstHandleAndCopiesNothing) {
    CMemoryDCMan manager(4, 8, 8);
    ASSERT_TRUE(m_source.Prepare(m_screen, 8, 8));
    Fill(m_source, Red);
    LONG first = NoImage;
    ASSERT_TRUE(manager.AddImage(m_screen, m_source.dc, m_source.bitmap, 77, &first));
    Fill(m_source, Green);
    LONG again = NoImage;
    ASSERT_TRUE(manager.AddImage(m_screen, m_source.dc, m_source.bitmap, 77, &again));
    EXPECT_EQ(again, first);
    HDC cellDc = nullptr;
    int cellX = -1;
    ASSERT_TRUE(manager.Resolve(first, &cellDc, &cellX));
    EXPECT_EQ(GetPixel(cellDc, cellX + 3, 3), Red);
    EXPECT_EQ(manager.strips[0]->usedCount, 1);
    EXPECT_FALSE(manager.AddImage(m_screen, nullptr, m_source.bitmap, 78, &again));
}

TEST_F(ImageCache, FullStripLeadsTheNextImageIntoANewStrip) {
    CMemoryDCMan manager(4, 8, 8);
    ASSERT_TRUE(m_source.Prepare(m_screen, 8, 8));
    LONG handle = NoImage;
    for (UINT key = 1; key <= 4; ++key) {
        Fill(m_source, RGB(static_cast<BYTE>(key * 40), 0, 0));
        ASSERT_TRUE(manager.AddImage(m_screen, m_source.dc, m_source.bitmap, key, &handle));
        EXPECT_EQ(handle, static_cast<LONG>(key - 1));
    }
    Fill(m_source, Green);
    ASSERT_TRUE(manager.AddImage(m_screen, m_source.dc, m_source.bitmap, 5, &handle));
    EXPECT_EQ(handle, 1 << 16);
    ASSERT_EQ(manager.strips.size(), 2u);
    HDC cellDc = nullptr;
    int cellX = -1;
    ASSERT_TRUE(manager.Resolve(handle, &cellDc, &cellX));
    EXPECT_EQ(cellX, 0);
    EXPECT_EQ(GetPixel(cellDc, 1, 1), Green);
    // The third cell of the first strip still holds its own picture.
    ASSERT_TRUE(manager.Resolve(2, &cellDc, &cellX));
    EXPECT_EQ(GetPixel(cellDc, cellX + 1, 1), RGB(120, 0, 0));
    EXPECT_FALSE(manager.Resolve((1 << 16) | 1, &cellDc, &cellX));
    EXPECT_FALSE(manager.Resolve(5 << 16, &cellDc, &cellX));
}

TEST_F(ImageCache, StripOfNoCellsIsUnusable) {
    CMemoryDCInfo empty(m_screen, 0, 8, 8);
    EXPECT_FALSE(empty.Usable());
    EXPECT_EQ(empty.TakeCell(), -1);
    CMemoryDCInfo strip(m_screen, 2, 8, 8);
    EXPECT_EQ(strip.TakeCell(), 0);
    EXPECT_EQ(strip.TakeCell(), 1);
    EXPECT_FALSE(strip.HasRoom());
    strip.FreeCell(0);
    EXPECT_EQ(strip.TakeCell(), 0);
}

class AtlasDraw : public ImageCache {
protected:
    void SetUp() override {
        ImageCache::SetUp();
        ASSERT_TRUE(m_atlas.Create(m_screen, 20, 10));
        ASSERT_TRUE(m_atlas.Add(1, 0, 0, 10, 10, m_screen, WriteSolidPng(m_folder.File("red.png"), 10, 10, Red).c_str()));
        ASSERT_TRUE(m_atlas.Add(2, 10, 0, 20, 10, m_screen, WriteSolidPng(m_folder.File("green.png"), 10, 10, Green).c_str()));
        ASSERT_TRUE(m_target.Prepare(m_screen, 40, 40));
        Fill(m_target, Grey);
    }
    void TearDown() override {
        m_atlas.Release();
        ImageCache::TearDown();
    }
    TTempFolder m_folder;
    TImageAtlas m_atlas;
};

TEST_F(AtlasDraw, SameSizeCopiesOnlyThePictureAndLargerStretches) {
    RECT same{0, 0, 10, 10};
    EXPECT_TRUE(m_atlas.Draw(m_target.dc, &same, 1, false));
    EXPECT_EQ(GetPixel(m_target.dc, 9, 9), Red);
    // Nothing of the neighbouring picture comes along.
    EXPECT_EQ(GetPixel(m_target.dc, 10, 5), Grey);
    RECT larger{0, 20, 11, 31};
    EXPECT_TRUE(m_atlas.Draw(m_target.dc, &larger, 2, false));
    EXPECT_EQ(GetPixel(m_target.dc, 10, 30), Green);
    EXPECT_EQ(GetPixel(m_target.dc, 11, 31), Grey);
}

TEST_F(AtlasDraw, UnknownIdPaintsNothingAndFirstRectangleStays) {
    RECT place{20, 0, 30, 10};
    EXPECT_EQ(m_atlas.Draw(m_target.dc, &place, 99, false), 0);
    EXPECT_EQ(GetPixel(m_target.dc, 25, 5), Grey);
    EXPECT_TRUE(m_atlas.Add(1, 10, 0, 20, 10, m_screen, m_folder.File("green.png").c_str()));
    EXPECT_EQ(m_atlas.Find(1)->left, 0);
    EXPECT_FALSE(m_atlas.Add(3, 0, 0, 10, 10, m_screen, m_folder.File("missing.png").c_str()));
    EXPECT_EQ(m_atlas.Find(3), nullptr);
    m_atlas.Release();
    EXPECT_EQ(m_atlas.Draw(m_target.dc, &place, 1, false), 0);
}

TEST_F(AtlasDraw, TransparentDrawKeepsTheDestinationUnderExactMagentaOnly) {
    // A picture: magenta left half, near-magenta right half.
    TImageAtlas keyed;
    ASSERT_TRUE(keyed.Create(m_screen, 10, 10));
    HBRUSH magenta = CreateSolidBrush(MagentaKey);
    HBRUSH nearMagenta = CreateSolidBrush(RGB(255, 16, 255));
    RECT left{0, 0, 5, 10};
    RECT right{5, 0, 10, 10};
    FillRect(keyed.dc, &left, magenta);
    FillRect(keyed.dc, &right, nearMagenta);
    DeleteObject(magenta);
    DeleteObject(nearMagenta);
    keyed.Enter(7, 0, 0, 10, 10);
    EXPECT_TRUE(keyed.Draw(m_target.dc, nullptr, 7, true));
    EXPECT_EQ(GetPixel(m_target.dc, 2, 5), Grey);
    EXPECT_EQ(GetPixel(m_target.dc, 7, 5), RGB(255, 16, 255));
    EXPECT_EQ(GetPixel(m_target.dc, 10, 5), Grey);

    HRGN region = BuildRegionFromBitmap(keyed.dc, keyed.bitmap);
    ASSERT_NE(region, nullptr);
    // The region builder treats green up to 16 as magenta too.
    EXPECT_FALSE(PtInRegion(region, 7, 5));
    EXPECT_FALSE(PtInRegion(region, 2, 5));
    DeleteObject(region);
    SetPixel(keyed.dc, 7, 5, RGB(255, 17, 255));
    region = BuildRegionFromBitmap(nullptr, keyed.bitmap);
    EXPECT_TRUE(PtInRegion(region, 7, 5));
    EXPECT_FALSE(PtInRegion(region, 8, 5));
    DeleteObject(region);
    keyed.Release();
}

TEST_F(ImageCache, RegionOfManyRunsIsGatheredInBatches) {
    // Every other pixel is magenta: 60 x 100 runs, more than one batch.
    ASSERT_TRUE(m_source.Prepare(m_screen, 120, 100));
    Fill(m_source, Red);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 120; x += 2)
            SetPixel(m_source.dc, x, y, MagentaKey);
    }
    HRGN region = BuildRegionFromBitmap(m_source.dc, m_source.bitmap);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 1, 0));
    EXPECT_TRUE(PtInRegion(region, 119, 99));
    EXPECT_FALSE(PtInRegion(region, 118, 99));
    DeleteObject(region);
}

TEST_F(ImageCache, LoadingKeepsNaturalSizeAndRefusesLongPathsAndNonImages) {
    TTempFolder folder;
    const std::string path = WriteSolidPng(folder.File("solid.png"), 7, 5, Green);
    ASSERT_TRUE(LoadSkinImage(m_screen, path.c_str(), m_target));
    EXPECT_EQ(m_target.width, 7);
    EXPECT_EQ(m_target.height, 5);
    EXPECT_EQ(GetPixel(m_target.dc, 6, 4), Green);
    const std::string longPath = "/" + std::string(PathLimit, 'a') + ".png";
    EXPECT_FALSE(LoadSkinImage(m_screen, longPath.c_str(), m_source));
    const std::string text = folder.File("text.png");
    FILE* file = std::fopen(text.c_str(), "w");
    std::fputs("not a picture", file);
    std::fclose(file);
    EXPECT_FALSE(LoadSkinImage(m_screen, text.c_str(), m_source));
}

TEST_F(ImageCache, StartUpFillsEverySharedPictureAndAtlasAtTheirSizes) {
    ASSERT_TRUE(LoadSharedSkin(m_screen)) << "skin under " << ResourceFolder();
    EXPECT_EQ(SharedImage(SkinImage::TopFrameRight).width, 110);
    EXPECT_EQ(SharedImage(SkinImage::TopFrameRight).height, 40);
    EXPECT_EQ(SharedImage(SkinImage::SpeedKmh).width, 44);
    const struct {
        TImageAtlas* atlas;
        UINT id;
        LONG width;
        LONG height;
    } entries[] = {
        {&DigitAtlas(), DigitFirstId + 9, 30, 46},   {&DigitAtlas(), DigitHyphenId, 30, 46},
        {&CheckBoxAtlas(), 3, 13, 13},                {&ComboButtonAtlas(), ComboButtonOverId, 20, 22},
        {&SliderAtlas(), SliderThumbId, 23, 10},      {&SliderAtlas(), CameraSliderThumbId, 16, 10},
        {&KindIconAtlas(), KindParkingIconId, 15, 18},
    };
    for (const auto& entry : entries) {
        const RECT* rect = entry.atlas->Find(entry.id);
        ASSERT_NE(rect, nullptr) << entry.id;
        EXPECT_EQ(rect->right - rect->left, entry.width) << entry.id;
        EXPECT_EQ(rect->bottom - rect->top, entry.height) << entry.id;
    }
    ReleaseSharedSkin();
    EXPECT_TRUE(DigitAtlas().released);
    ReleaseSharedSkin();
}

}  // namespace
