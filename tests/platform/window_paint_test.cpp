#include <gtest/gtest.h>

#include <QPainter>

#include "platform/gdi.h"
#include "platform/gdi_internal.h"
#include "tests/platform/window_test_support.h"

namespace {

class WindowPaint : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
    void TearDown() override { PumpEvents(); }
};

QRgb PixelAt(HWND window, int x, int y) {
    return window->image.pixel(x, y) & 0xFFFFFF;
}

constexpr QRgb Red = 0xFF0000;
constexpr QRgb Blue = 0x0000FF;

// Paints the left half of the client area blue in WM_PAINT.
std::optional<LRESULT> PaintLeftHalfBlue(HWND window, UINT message, int* paints) {
    if (message != WM_PAINT)
        return std::nullopt;
    ++*paints;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    QPainter(ImageOfDC(dc))
        .fillRect(QRect(0, 0, client.right / 2, client.bottom), QColor(0, 0, 255));
    EndPaint(window, &paint);
    return 0;
}

TEST_F(WindowPaint, PaintingAndErasingLandInTheBackingImage) {
    HBRUSH redBrush = CreateSolidBrush(RGB(255, 0, 0));
    RegisterProbeClass("RedBackground", CS_HREDRAW | CS_VREDRAW, redBrush);
    TProbe probe;
    int paints = 0;
    probe.handler = [&](HWND window, UINT message, WPARAM, LPARAM) {
        return PaintLeftHalfBlue(window, message, &paints);
    };
    HWND window =
        MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 100, 40, nullptr, "RedBackground");
    ASSERT_TRUE(PumpUntil([&] { return paints >= 1; }));
    EXPECT_EQ(PixelAt(window, 10, 10), Blue);
    EXPECT_EQ(PixelAt(window, 90, 10), Red); // the class background, erased
    EXPECT_GE(probe.Only({WM_ERASEBKGND}).size(), 1u);

    // Growing a redraw-on-resize window repaints all of it at the new size.
    MoveWindow(window, 0, 0, 200, 40, TRUE);
    const int before = paints;
    ASSERT_TRUE(PumpUntil([&] { return paints > before; }));
    EXPECT_EQ(window->image.width(), 200);
    EXPECT_EQ(PixelAt(window, 90, 10), Blue);
    EXPECT_EQ(PixelAt(window, 190, 10), Red);

    // Drawing through GetDC outside WM_PAINT stays in the image.
    HDC dc = GetDC(window);
    QPainter(ImageOfDC(dc)).fillRect(QRect(150, 0, 10, 10), QColor(0, 255, 0));
    ReleaseDC(window, dc);
    EXPECT_EQ(PixelAt(window, 155, 5), 0x00FF00u);
    DestroyWindow(window);
    DeleteObject(redBrush);
}

// The colour key is in the gallery's screenshot; this is the window region.
TEST_F(WindowPaint, TheWindowOwnsItsRegionAndANewOneReplacesTheOld) {
    TProbe probe;
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 60, 60);
    const auto inside = [&](int x, int y) {
        return WidgetOfWindow(window)->mask().contains(QPoint(x, y));
    };
    // Not layered: the call fails.
    EXPECT_FALSE(SetLayeredWindowAttributes(window, RGB(255, 0, 255), 255, LWA_COLORKEY));
    ASSERT_EQ(SetWindowRgn(window, CreateRectRgn(10, 10, 30, 30), TRUE), 1);
    EXPECT_TRUE(inside(15, 15));
    EXPECT_FALSE(inside(30, 30));
    ASSERT_EQ(SetWindowRgn(window, CreateEllipticRgn(0, 0, 60, 60), TRUE), 1);
    EXPECT_TRUE(inside(45, 30));
    EXPECT_FALSE(inside(1, 1));
    SetWindowRgn(window, nullptr, TRUE);
    EXPECT_TRUE(WidgetOfWindow(window)->mask().isEmpty());
    DestroyWindow(window);
}

} // namespace
