#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include <chrono>
#include <thread>

#include "app/magnifier_geometry.h"
#include "app/main_wnd.h"
#include "tests/app/app_test_support.h"

namespace {

constexpr int kFrameWidth = 64;
constexpr int kFrameHeight = 36;
constexpr std::uint32_t kLeftColour = 0xFFFF0000u;  // red, as BGRA bytes read as one word
constexpr std::uint32_t kRightColour = 0xFF0000FFu; // blue

// A picture whose left half is red and right half blue.
TFrameHandle SplitPicture() {
    TFrameHandle frame = MakeFrame();
    frame->format = AV_PIX_FMT_BGRA;
    frame->width = kFrameWidth;
    frame->height = kFrameHeight;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    for (int y = 0; y < kFrameHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(frame->data[0] + y * frame->linesize[0]);
        for (int x = 0; x < kFrameWidth; ++x)
            row[x] = x < kFrameWidth / 2 ? kLeftColour : kRightColour;
    }
    return frame;
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// Pumps until the magnifier has drawn `count` pictures, within a generous bound.
bool PumpUntilDrawn(CScalePopupWnd& magnifier, long count) {
    for (int round = 0; round < 500 && magnifier.DrawnPictures() < count; ++round) {
        PumpMessages(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    PumpMessages();
    return magnifier.DrawnPictures() >= count;
}

using MagnifierTest = TAppWindowTest;

} // namespace

TEST_F(MagnifierTest, MagnifiesTheRegionUnderTheMarkerAndKeepsTheMarkerInside) {
    CMainWnd window;
    TMainWndOptions options;
    options.showsPictures = [](int) { return true; };
    options.frameSource = [](int) { return SplitPicture(); };
    ASSERT_TRUE(window.Create(options));
    PumpMessages();
    CMediaClipWnd& front = window.VideoWindow(kFrontSlot);

    SendMessageA(window.hWnd, WM_COMMAND, MainCommand::Magnifier, 0);
    ASSERT_TRUE(front.MarkerShown());
    EXPECT_TRUE(window.VideoWindow(kRearSlot).MarkerShown());
    HWND marker = front.Marker().hWnd;
    const RECT video = WindowRectOf(front.hWnd);
    const RECT placed = WindowRectOf(marker);
    EXPECT_EQ(placed.left - video.left, (video.right - video.left - kMarkerSize) / 2);
    EXPECT_EQ(placed.right - placed.left, kMarkerSize);

    // Centred on the split, the pop-up shows red on its left, blue on its right.
    CScalePopupWnd& magnifier = window.Magnifier();
    ASSERT_TRUE(magnifier.hWnd);
    ASSERT_TRUE(PumpUntilDrawn(magnifier, 1));
    EXPECT_EQ(PixelOf(magnifier.hWnd, 20, 150), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(magnifier.hWnd, 380, 150), RGB(0, 0, 255));

    // Dragged past the left edge it stops there, and the pop-up then shows
    // only the red half.
    RECT proposed{video.left - 80, placed.top, video.left - 80 + kMarkerSize, placed.bottom};
    SendMessageA(marker, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_EQ(proposed.left, video.left);
    SetWindowPos(marker, nullptr, proposed.left, proposed.top, kMarkerSize, kMarkerSize,
                 SWP_NOZORDER);
    EXPECT_EQ(front.MarkerOffset().x, 0);
    const long drawn = magnifier.DrawnPictures();
    ASSERT_TRUE(PumpUntilDrawn(magnifier, drawn + 2));
    EXPECT_EQ(PixelOf(magnifier.hWnd, 380, 150), RGB(255, 0, 0));

    SendMessageA(window.hWnd, WM_COMMAND, MainCommand::Magnifier, 0);
    EXPECT_FALSE(front.MarkerShown());
    EXPECT_FALSE(IsWindowVisible(magnifier.hWnd));
    EXPECT_FALSE(magnifier.Drawing());
}
