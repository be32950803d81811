#include <gtest/gtest.h>

#include "app/video_layout.h"

namespace {

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

} // namespace

TEST(VideoLayout, FitsSixteenByNinePicturesWithTheirLabelsAbove) {
    // 1920 x 1108 in one channel: the label's 20 and the margin's 8 leave
    // exactly a 1920 x 1080 picture at the usable rectangle's top-left.
    const TVideoLayout full = LayOutChannels(RECT{0, 0, 1920, 1108}, TChannelMode::One);
    EXPECT_EQ(full.front.picture.left, 0);
    EXPECT_EQ(full.front.picture.top, 20);
    EXPECT_EQ(Width(full.front.picture), 1920);
    EXPECT_EQ(Height(full.front.picture), 1080);
    EXPECT_EQ(full.front.label.top, 0);

    struct TCase {
        RECT area;
        TChannelMode mode;
        int frontWidth, frontHeight;
    };
    const TCase cases[] = {
        {{8, 76, 719, 523}, TChannelMode::One, 711, 400},
        {{8, 76, 719, 523}, TChannelMode::Two, 354, 199},
        {{0, 0, 1920, 2000}, TChannelMode::One, 1920, 1080},  // tall: centred vertically
        {{0, 0, 100, 28}, TChannelMode::One, 0, 0},           // nothing left for a picture
    };
    for (const TCase& one : cases) {
        const TVideoLayout layout = LayOutChannels(one.area, one.mode);
        const RECT& picture = layout.front.picture;
        EXPECT_EQ(Width(picture), one.frontWidth) << one.area.right;
        EXPECT_EQ(Height(picture), one.frontHeight) << one.area.right;
        EXPECT_GE(picture.top, one.area.top + kLabelHeight);
        EXPECT_LE(picture.bottom, one.area.bottom - kVideoBottomMargin);
        for (const TChannelPlace* place : {&layout.front, &layout.rear}) {
            EXPECT_EQ(place->label.left, place->picture.left);
            EXPECT_EQ(place->label.bottom, place->picture.top);
            EXPECT_EQ(Width(place->label), kLabelWidth);
        }
        if (one.mode == TChannelMode::Two) {
            EXPECT_GE(layout.rear.picture.left, layout.front.picture.right + kChannelGap);
            EXPECT_LE(layout.rear.picture.right, one.area.right);
        }
    }
    const RECT tall = LayOutChannels(RECT{0, 0, 1920, 2000}, TChannelMode::One).front.picture;
    EXPECT_EQ(tall.top, 20 + (2000 - 28 - 1080) / 2);
}

TEST(VideoLayout, DisplayStatesCycleAndQuickDoubleClicksCountOnce) {
    EXPECT_EQ(NextDisplayState(TDisplayState::Normal), TDisplayState::Enlarged);
    EXPECT_EQ(NextDisplayState(TDisplayState::Enlarged), TDisplayState::FullScreen);
    EXPECT_EQ(NextDisplayState(TDisplayState::FullScreen), TDisplayState::Normal);

    struct TClick {
        DWORD tick;
        bool accepted;
    };
    const TClick clicks[] = {
        {1000, true}, {1400, false}, {1499, false}, {1500, true}, {1501, false},
        {0xFFFFFF00u, true}, {0x000000F0u, false},  // 496 ms later, across the wrap
        {0x00000100u, true},                        // 512 ms after the accepted one
    };
    TDoubleClickGate gate;
    for (const TClick& click : clicks)
        EXPECT_EQ(gate.Accept(click.tick), click.accepted) << click.tick;
}
