// The image manager's strips and keys, atlas draws and the transparency
// helpers, on surfaces read back pixel by pixel.

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/files.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF Red = RGB(220, 30, 30);
constexpr COLORREF Green = RGB(30, 200, 40);
constexpr COLORREF Grey = RGB(90, 90, 90);

void Fill(TMemoryDC& surface, COLORREF colour) { FillSolid(surface.dc, RECT{0, 0, surface.width, surface.height}, colour); }

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
    // The colour of a handle's cell at (1, 1).
    COLORREF CellPixel(const CMemoryDCMan& manager, LONG handle) {
        HDC cellDc = nullptr;
        int cellX = -1;
        return manager.Resolve(handle, &cellDc, &cellX) ? GetPixel(cellDc, cellX + 1, 1) : CLR_INVALID;
    }
    HDC m_screen = nullptr;
    TMemoryDC m_source;
    TMemoryDC m_target;
    TTempFolder m_folder;
};

TEST_F(ImageCache, PreparedSurfaceIsKeptWhenBigEnoughAndReleasedOnce) {
    ASSERT_TRUE(m_source.Prepare(m_screen, 20, 10));
    HDC first = m_source.dc;
    EXPECT_TRUE(m_source.Prepare(m_screen, 10, 10));
    EXPECT_EQ(m_source.dc, first);
    EXPECT_TRUE(m_source.Prepare(m_screen, 30, 10));
    EXPECT_EQ(m_source.width, 30);
    m_source.Release();
    m_source.Release();
    EXPECT_TRUE(m_source.released);
    EXPECT_FALSE(m_source.Prepare(nullptr, 4, 4));
}

TEST_F(ImageCache, KnownKeysShareTheirCellAndAFullStripLeadsIntoANewOne) {
    CMemoryDCMan manager(4, 8, 8);
    ASSERT_TRUE(m_source.Prepare(m_screen, 8, 8));
    LONG handle = NoImage;
    for (UINT key = 1; key <= 4; ++key) {
        Fill(m_source, RGB(static_cast<BYTE>(key * 40), 0, 0));
        ASSERT_TRUE(manager.AddImage(m_screen, m_source.dc, m_source.bitmap, key, &handle));
        EXPECT_EQ(handle, static_cast<LONG>(key - 1));
    }
    // A known key gives its first handle and copies nothing.
    Fill(m_source, Green);
    ASSERT_TRUE(manager.AddImage(m_screen, m_source.dc, m_source.bitmap, 3, &handle));
    EXPECT_EQ(handle, 2);
    EXPECT_EQ(CellPixel(manager, 2), RGB(120, 0, 0));
    ASSERT_TRUE(manager.AddImage(m_screen, m_source.dc, m_source.bitmap, 5, &handle));
    EXPECT_EQ(handle, 1 << 16);
    EXPECT_EQ(manager.strips.size(), 2u);
    EXPECT_EQ(CellPixel(manager, 1 << 16), Green);
    EXPECT_EQ(CellPixel(manager, (1 << 16) | 1), CLR_INVALID);
    EXPECT_EQ(CellPixel(manager, 5 << 16), CLR_INVALID);
    EXPECT_FALSE(manager.AddImage(m_screen, nullptr, m_source.bitmap, 6, &handle));
    EXPECT_FALSE(CMemoryDCInfo(m_screen, 0, 8, 8).Usable());
}

TEST_F(ImageCache, AtlasCopiesOnlyItsPictureStretchesOtherSizesAndSkipsUnknownIds) {
    TImageAtlas atlas;
    ASSERT_TRUE(atlas.Create(m_screen, 20, 10));
    const std::string red = WriteSolidPng(m_folder.File("red.png"), 10, 10, Red);
    const std::string green = WriteSolidPng(m_folder.File("green.png"), 10, 10, Green);
    ASSERT_TRUE(atlas.Add(1, 0, 0, 10, 10, m_screen, red.c_str()));
    ASSERT_TRUE(atlas.Add(2, 10, 0, 20, 10, m_screen, green.c_str()));
    ASSERT_TRUE(m_target.Prepare(m_screen, 40, 40));
    Fill(m_target, Grey);
    RECT same{0, 0, 10, 10};
    EXPECT_TRUE(atlas.Draw(m_target.dc, &same, 1));
    EXPECT_EQ(GetPixel(m_target.dc, 9, 9), Red);
    // Nothing of the neighbouring picture comes along.
    EXPECT_EQ(GetPixel(m_target.dc, 10, 5), Grey);
    RECT larger{0, 20, 11, 31};
    EXPECT_TRUE(atlas.Draw(m_target.dc, &larger, 2));
    EXPECT_EQ(GetPixel(m_target.dc, 10, 30), Green);
    EXPECT_EQ(GetPixel(m_target.dc, 11, 31), Grey);
    RECT place{20, 0, 30, 10};
    EXPECT_EQ(atlas.Draw(m_target.dc, &place, 99), 0);
    EXPECT_EQ(GetPixel(m_target.dc, 25, 5), Grey);
    // The first rectangle of an id stays; a file that is no picture adds nothing.
    EXPECT_TRUE(atlas.Add(1, 10, 0, 20, 10, m_screen, green.c_str()));
    EXPECT_EQ(atlas.Find(1)->left, 0);
    EXPECT_FALSE(atlas.Add(3, 0, 0, 10, 10, m_screen, m_folder.File("missing.png").c_str()));
    EXPECT_EQ(atlas.Find(3), nullptr);
    atlas.Release();
    EXPECT_EQ(atlas.Draw(m_target.dc, &place, 1), 0);
}

TEST_F(ImageCache, TransparencyKeysExactMagentaAndRegionsNearMagenta) {
    // Magenta on the left, near-magenta on the right.
    TImageAtlas keyed;
    ASSERT_TRUE(keyed.Create(m_screen, 10, 10));
    FillSolid(keyed.surface.dc, RECT{0, 0, 5, 10}, MagentaKey);
    FillSolid(keyed.surface.dc, RECT{5, 0, 10, 10}, RGB(255, 16, 255));
    keyed.Enter(7, 0, 0, 10, 10);
    ASSERT_TRUE(m_target.Prepare(m_screen, 20, 20));
    Fill(m_target, Grey);
    EXPECT_TRUE(keyed.Draw(m_target.dc, nullptr, 7, TAtlasCopy::Transparent));
    EXPECT_EQ(GetPixel(m_target.dc, 2, 5), Grey);
    EXPECT_EQ(GetPixel(m_target.dc, 7, 5), RGB(255, 16, 255));
    EXPECT_EQ(GetPixel(m_target.dc, 10, 5), Grey);
    HRGN region = BuildRegionFromBitmap(keyed.surface.dc, keyed.surface.bitmap);
    EXPECT_FALSE(PtInRegion(region, 2, 5));
    EXPECT_FALSE(PtInRegion(region, 7, 5));
    DeleteObject(region);
    SetPixel(keyed.surface.dc, 7, 5, RGB(255, 17, 255));
    region = BuildRegionFromBitmap(nullptr, keyed.surface.bitmap);
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
    EXPECT_TRUE(PtInRegion(region, 1, 0));
    EXPECT_TRUE(PtInRegion(region, 119, 99));
    EXPECT_FALSE(PtInRegion(region, 118, 99));
    DeleteObject(region);
}

TEST_F(ImageCache, LoadingKeepsNaturalSizeAndRefusesLongPathsAndNonImages) {
    const std::string path = WriteSolidPng(m_folder.File("solid.png"), 7, 5, Green);
    ASSERT_TRUE(LoadSkinImage(m_screen, path.c_str(), m_target));
    EXPECT_EQ(m_target.width, 7);
    EXPECT_EQ(m_target.height, 5);
    EXPECT_EQ(GetPixel(m_target.dc, 6, 4), Green);
    const std::string longPath = "/" + std::string(PathLimit, 'a') + ".png";
    EXPECT_FALSE(LoadSkinImage(m_screen, longPath.c_str(), m_source));
    const std::string text = m_folder.File("text.png");
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
        {&DigitAtlas(), DigitFirstId + 9, 30, 46},  {&DigitAtlas(), DigitHyphenId, 30, 46},
        {&CheckBoxAtlas(), 3, 13, 13},               {&ComboButtonAtlas(), ComboButtonOverId, 20, 22},
        {&SliderAtlas(), SliderThumbId, 23, 10},     {&SliderAtlas(), CameraSliderThumbId, 16, 10},
        {&KindIconAtlas(), KindParkingIconId, 15, 18},
    };
    for (const auto& entry : entries) {
        const RECT* rect = entry.atlas->Find(entry.id);
        ASSERT_NE(rect, nullptr) << entry.id;
        EXPECT_EQ(rect->right - rect->left, entry.width) << entry.id;
        EXPECT_EQ(rect->bottom - rect->top, entry.height) << entry.id;
    }
    ReleaseSharedSkin();
    ReleaseSharedSkin();
    EXPECT_TRUE(DigitAtlas().surface.released);
}

}  // namespace
