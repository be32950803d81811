// Regions: shapes, combination, hit testing and bounds.

#include <QRegion>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdi_internal.h"

namespace {

HRGN FromRectangles(const std::vector<RECT>& rects, DWORD claimedCount = 0) {
    std::vector<char> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = claimedCount ? claimedCount : static_cast<DWORD>(rects.size());
    std::memcpy(buffer.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
}

TEST(Region, ShapesContainWhatTheyCoverAndNotTheirRightBottomEdgesOrCutCorners) {
    HRGN rectangle = CreateRectRgn(2, 3, 6, 8);
    HRGN ellipse = CreateEllipticRgn(0, 0, 20, 10);
    HRGN rounded = CreateRoundRectRgn(0, 0, 30, 30, 10, 10);
    HRGN combined = FromRectangles({{0, 0, 4, 1}, {10, 0, 12, 1}});
    HRGN other = FromRectangles({{0, 5, 2, 6}});
    ASSERT_TRUE(combined && other);
    EXPECT_EQ(CombineRgn(combined, combined, other, RGN_OR), COMPLEXREGION);
    struct Probe {
        HRGN region;
        int x, y;
        bool inside;
    };
    const Probe probes[] = {
        {rectangle, 2, 3, true},  {rectangle, 5, 7, true}, {rectangle, 6, 7, false},
        {rectangle, 5, 8, false}, {ellipse, 10, 5, true},  {ellipse, 1, 5, true},
        {ellipse, 0, 0, false},   {ellipse, 19, 9, false}, {rounded, 0, 15, true},
        {rounded, 6, 6, true},    {rounded, 29, 15, true}, {rounded, 0, 0, false},
        {rounded, 30, 15, false}, {combined, 3, 0, true},  {combined, 11, 0, true},
        {combined, 1, 5, true},   {combined, 4, 0, false}, {combined, 1, 3, false},
        {nullptr, 0, 0, false},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(PtInRegion(probe.region, probe.x, probe.y) != FALSE, probe.inside)
            << probe.x << "," << probe.y;

    RECT box;
    EXPECT_EQ(GetRgnBox(rectangle, &box), SIMPLEREGION);
    EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}),
              std::vector<LONG>({2, 3, 6, 8}));
    GetRgnBox(combined, &box);
    EXPECT_EQ(std::vector<LONG>({box.right, box.bottom}), std::vector<LONG>({12, 6}));
    EXPECT_EQ(RegionOfHandle(combined).boundingRect(), QRect(0, 0, 12, 6));
    for (HRGN region : {rectangle, ellipse, rounded, combined, other})
        DeleteObject(region);
}

TEST(Region, BadRectangleCountsAndOtherObjectsGiveNoRegion) {
    EXPECT_EQ(FromRectangles({{0, 0, 1, 1}}, 1000), nullptr);
    EXPECT_TRUE(RegionOfHandle(nullptr).isEmpty());
    EXPECT_TRUE(RegionOfHandle(reinterpret_cast<HRGN>(GetStockObject(WHITE_BRUSH))).isEmpty());
}

} // namespace
