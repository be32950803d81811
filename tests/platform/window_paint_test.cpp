#include <gtest/gtest.h>

#include <QPainter>

#include "platform/gdi.h"
#include "platform/gdi_internal.h"
#include "tests/platform/window_test_support.h"

namespace {

class WindowPaint : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
};

QRgb PixelAt(HWND window, int x, int y) { return window->image.pixel(x, y) & 0xFFFFFF; }

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
    QPainter(ImageOfDC(dc)).fillRect(QRect(0, 0, client.right / 2, client.bottom), QColor(0, 0, 255));
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
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 100, 40, nullptr, "RedBackground");
    ASSERT_TRUE(PumpUntil([&] { return paints >= 1; }));
    EXPECT_EQ(PixelAt(window, 10, 10), Blue);
    EXPECT_EQ(PixelAt(window, 90, 10), Red);  // the class background, erased
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
    PumpEvents();
    DeleteObject(redBrush);
}

TEST_F(WindowPaint, HiddenWindowsWaitWithTheirPaintUntilShown) {
    TProbe probe;
    int paints = 0;
    probe.handler = [&](HWND window, UINT message, WPARAM, LPARAM) {
        return PaintLeftHalfBlue(window, message, &paints);
    };
    HWND window = MakeProbeWindow(&probe, WS_POPUP, 0, 0, 40, 40);
    InvalidateRect(window, nullptr, TRUE);
    PumpEvents();
    UpdateWindow(window);
    EXPECT_EQ(paints, 0);
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return paints == 1; }));
    // Nothing invalid, nothing painted.
    UpdateWindow(window);
    EXPECT_EQ(paints, 1);
    DestroyWindow(window);
    PumpEvents();
}

TEST_F(WindowPaint, ColourKeyCutsOnlyTheExactKeyOutOfTheShape) {
    TProbe probe;
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 60, 20, nullptr, "ProbeClass",
                                  WS_EX_LAYERED);
    ASSERT_TRUE(SetLayeredWindowAttributes(window, RGB(255, 0, 255), 255, LWA_COLORKEY));
    HDC dc = GetDC(window);
    {
        QPainter painter(ImageOfDC(dc));
        painter.fillRect(QRect(0, 0, 20, 20), QColor(255, 0, 255));
        painter.fillRect(QRect(20, 0, 20, 20), QColor(255, 16, 255));
        painter.fillRect(QRect(40, 0, 20, 20), QColor(0, 0, 255));
    }
    ReleaseDC(window, dc);
    const QRegion mask = WidgetOfWindow(window)->mask();
    EXPECT_FALSE(mask.contains(QPoint(5, 5)));
    EXPECT_TRUE(mask.contains(QPoint(25, 5)));
    EXPECT_TRUE(mask.contains(QPoint(45, 5)));
    // Not layered: the call fails and nothing is cut.
    TProbe plainProbe;
    HWND plain = MakeProbeWindow(&plainProbe, WS_POPUP, 0, 0, 10, 10);
    EXPECT_FALSE(SetLayeredWindowAttributes(plain, RGB(255, 0, 255), 255, LWA_COLORKEY));
    DestroyWindow(plain);
    DestroyWindow(window);
    PumpEvents();
}

TEST_F(WindowPaint, WindowRegionShapesTheWindowUntilRemoved) {
    TProbe probe;
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    ASSERT_EQ(SetWindowRgn(window, CreateRectRgn(10, 10, 30, 30), TRUE), 1);
    QRegion mask = WidgetOfWindow(window)->mask();
    EXPECT_TRUE(mask.contains(QPoint(15, 15)));
    EXPECT_FALSE(mask.contains(QPoint(5, 5)));
    EXPECT_FALSE(mask.contains(QPoint(30, 30)));
    // The window owns the region: a second one replaces (and frees) the first.
    ASSERT_EQ(SetWindowRgn(window, CreateEllipticRgn(0, 0, 50, 50), TRUE), 1);
    mask = WidgetOfWindow(window)->mask();
    EXPECT_TRUE(mask.contains(QPoint(25, 25)));
    EXPECT_FALSE(mask.contains(QPoint(1, 1)));
    SetWindowRgn(window, nullptr, TRUE);
    EXPECT_TRUE(WidgetOfWindow(window)->mask().isEmpty());
    DestroyWindow(window);
    PumpEvents();
}

} // namespace
