// Regions: shapes, combination, hit testing, bounds, and clipping.

#include <QRegion>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdi_internal.h"

namespace {

std::vector<char> RegionData(const std::vector<RECT>& rects) {
    std::vector<char> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    std::memcpy(buffer.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
    return buffer;
}

TEST(Region, RectangleContainsItsLeftTopButNotItsRightBottom) {
    HRGN region = CreateRectRgn(2, 3, 6, 8);
    EXPECT_TRUE(PtInRegion(region, 2, 3));
    EXPECT_TRUE(PtInRegion(region, 5, 7));
    EXPECT_FALSE(PtInRegion(region, 6, 7));
    EXPECT_FALSE(PtInRegion(region, 5, 8));
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 3);
    EXPECT_EQ(box.right, 6);
    EXPECT_EQ(box.bottom, 8);
    DeleteObject(region);
}

TEST(Region, EllipseAndRoundedRectangleCutTheirCorners) {
    HRGN ellipse = CreateEllipticRgn(0, 0, 20, 10);
    EXPECT_TRUE(PtInRegion(ellipse, 10, 5));
    EXPECT_FALSE(PtInRegion(ellipse, 0, 0));
    EXPECT_FALSE(PtInRegion(ellipse, 19, 9));
    EXPECT_TRUE(PtInRegion(ellipse, 1, 5));

    HRGN rounded = CreateRoundRectRgn(0, 0, 30, 30, 10, 10);
    EXPECT_FALSE(PtInRegion(rounded, 0, 0));
    EXPECT_TRUE(PtInRegion(rounded, 0, 15));
    EXPECT_TRUE(PtInRegion(rounded, 6, 6));
    EXPECT_TRUE(PtInRegion(rounded, 29, 15));
    EXPECT_FALSE(PtInRegion(rounded, 30, 15));
    DeleteObject(ellipse);
    DeleteObject(rounded);
}

TEST(Region, FromRectanglesCombinedByOrCoversBoth) {
    const std::vector<char> first = RegionData({{0, 0, 4, 1}, {10, 0, 12, 1}});
    const std::vector<char> second = RegionData({{0, 5, 2, 6}});
    HRGN a = ExtCreateRegion(nullptr, static_cast<DWORD>(first.size()), reinterpret_cast<const RGNDATA*>(first.data()));
    HRGN b = ExtCreateRegion(nullptr, static_cast<DWORD>(second.size()), reinterpret_cast<const RGNDATA*>(second.data()));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(a, 3, 0));
    EXPECT_FALSE(PtInRegion(a, 4, 0));
    EXPECT_TRUE(PtInRegion(a, 11, 0));
    EXPECT_TRUE(PtInRegion(a, 1, 5));
    EXPECT_FALSE(PtInRegion(a, 1, 3));
    RECT box;
    GetRgnBox(a, &box);
    EXPECT_EQ(box.right, 12);
    EXPECT_EQ(box.bottom, 6);
    EXPECT_EQ(RegionOfHandle(a).boundingRect(), QRect(0, 0, 12, 6));
    DeleteObject(a);
    DeleteObject(b);
}

TEST(Region, RectangleCountBeyondTheBufferIsRefused) {
    std::vector<char> buffer = RegionData({{0, 0, 1, 1}});
    reinterpret_cast<RGNDATA*>(buffer.data())->rdh.nCount = 1000;
    EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()),
                              reinterpret_cast<const RGNDATA*>(buffer.data())),
              nullptr);
}

TEST(Region, RegionOfHandleOfNullOrOtherObjectIsEmpty) {
    EXPECT_TRUE(RegionOfHandle(nullptr).isEmpty());
    EXPECT_TRUE(RegionOfHandle(reinterpret_cast<HRGN>(GetStockObject(WHITE_BRUSH))).isEmpty());
    EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
}

}  // namespace
