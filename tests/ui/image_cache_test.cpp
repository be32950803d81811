// The image manager's strips and keys, atlas draws and the transparency
// helpers, on surfaces read back pixel by pixel.

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF Red = RGB(220, 30, 30);
constexpr COLORREF Green = RGB(30, 200, 40);
constexpr COLORREF Grey = RGB(90, 90, 90);
constexpr COLORREF NearMagenta = RGB(255, 16, 255);

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
        FillSolid(surface.dc, RECT{0, 0, surface.width, surface.height}, colour);
    }
    // The colour at (1, 1) of a handle's cell.
    COLORREF CellPixel(const CMemoryDCMan& manager, LONG handle) {
        HDC cellDc = nullptr;
        int cellX = -1;
        return manager.Resolve(handle, &cellDc, &cellX) ? GetPixel(cellDc, cellX + 1, 1)
                                                        : CLR_INVALID;
    }
    HDC m_screen = nullptr;
    TMemoryDC m_source;
    TMemoryDC m_target;
    TTempFolder m_folder;
};

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
    EXPECT_EQ(CellPixel(manager, 1 << 16), Green);
    EXPECT_EQ(CellPixel(manager, (1 << 16) | 1), CLR_INVALID);
    EXPECT_EQ(CellPixel(manager, 5 << 16), CLR_INVALID);
    EXPECT_FALSE(manager.AddImage(m_screen, nullptr, m_source.bitmap, 6, &handle));
    EXPECT_FALSE(CMemoryDCInfo(m_screen, 0, 8, 8).Usable());
}

TEST_F(ImageCache, AtlasCopiesOnlyItsPictureStretchesOtherSizesAndSkipsUnknownIds) {
    TImageAtlas atlas;
    ASSERT_TRUE(atlas.Create(m_screen, 20, 10));
    const std::string green = WriteSolidPng(m_folder.File("green.png"), 10, 10, Green);
    ASSERT_TRUE(atlas.Add(1, 0, 0, 10, 10, m_screen,
                          WriteSolidPng(m_folder.File("red.png"), 10, 10, Red).c_str()));
    ASSERT_TRUE(atlas.Add(2, 10, 0, 20, 10, m_screen, green.c_str()));
    ASSERT_TRUE(m_target.Prepare(m_screen, 40, 40));
    Fill(m_target, Grey);
    const RECT same{0, 0, 10, 10}, larger{0, 20, 11, 31}, elsewhere{20, 0, 30, 10};
    EXPECT_TRUE(atlas.Draw(m_target.dc, &same, 1));
    EXPECT_TRUE(atlas.Draw(m_target.dc, &larger, 2));
    EXPECT_EQ(atlas.Draw(m_target.dc, &elsewhere, 99), 0);
    const struct {
        int x, y;
        COLORREF colour;
    } pixels[] = {{9, 9, Red}, {10, 5, Grey}, {10, 30, Green}, {11, 31, Grey}, {25, 5, Grey}};
    for (const auto& pixel : pixels)
        EXPECT_EQ(GetPixel(m_target.dc, pixel.x, pixel.y), pixel.colour)
            << pixel.x << "," << pixel.y;
    // The first rectangle of an id stays; a missing file adds nothing.
    EXPECT_TRUE(atlas.Add(1, 10, 0, 20, 10, m_screen, green.c_str()));
    EXPECT_EQ(atlas.Find(1)->left, 0);
    EXPECT_FALSE(atlas.Add(3, 0, 0, 10, 10, m_screen, m_folder.File("missing.png").c_str()));
    EXPECT_EQ(atlas.Find(3), nullptr);
    atlas.Release();
    EXPECT_EQ(atlas.Draw(m_target.dc, &same, 1), 0);
}

TEST_F(ImageCache, TransparencyKeysExactMagentaAndRegionsNearMagentaInBatches) {
    TImageAtlas keyed;
    ASSERT_TRUE(keyed.Create(m_screen, 10, 10));
    FillSolid(keyed.surface.dc, RECT{0, 0, 5, 10}, MagentaKey);
    FillSolid(keyed.surface.dc, RECT{5, 0, 10, 10}, NearMagenta);
    keyed.Enter(7, 0, 0, 10, 10);
    ASSERT_TRUE(m_target.Prepare(m_screen, 20, 20));
    Fill(m_target, Grey);
    EXPECT_TRUE(keyed.Draw(m_target.dc, nullptr, 7, TAtlasCopy::Transparent));
    EXPECT_EQ(GetPixel(m_target.dc, 2, 5), Grey);
    EXPECT_EQ(GetPixel(m_target.dc, 7, 5), NearMagenta);
    EXPECT_EQ(GetPixel(m_target.dc, 10, 5), Grey);
    SetPixel(keyed.surface.dc, 7, 5, RGB(255, 17, 255));
    HRGN region = BuildRegionFromBitmap(nullptr, keyed.surface.bitmap);
    EXPECT_FALSE(PtInRegion(region, 2, 5));
    EXPECT_FALSE(PtInRegion(region, 8, 5));
    EXPECT_TRUE(PtInRegion(region, 7, 5));
    DeleteObject(region);
    keyed.Release();
    // Every other pixel magenta: 60 x 100 runs, more than one batch.
    ASSERT_TRUE(m_source.Prepare(m_screen, 120, 100));
    Fill(m_source, Red);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 120; x += 2)
            SetPixel(m_source.dc, x, y, MagentaKey);
    }
    region = BuildRegionFromBitmap(m_source.dc, m_source.bitmap);
    EXPECT_TRUE(PtInRegion(region, 1, 0));
    EXPECT_TRUE(PtInRegion(region, 119, 99));
    EXPECT_FALSE(PtInRegion(region, 118, 99));
    DeleteObject(region);
}

} // namespace
