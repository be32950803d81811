#include <gtest/gtest.h>

#include "app/display.h"
#include "platform/gdi.h"
#include "tests/app/app_test_support.h"
#include "ui/wnd.h"

namespace {

constexpr std::uint32_t kRed = 0xFF0000u;
constexpr std::uint32_t kGreen = 0x00FF00u;

TDisplaySurface Filled(int width, int height, std::uint32_t colour) {
    TDisplaySurface surface;
    surface.Allocate(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface.Row(y)[x] = colour;
    return surface;
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

} // namespace

TEST(Display, CopiesOnlyInsideBothSurfacesPresentsAndRefusesWithoutASurfaceOrWindow) {
    CDisplay display;
    const TDisplaySurface source = Filled(4, 2, kRed);
    EXPECT_EQ(display.Present(), E_POINTER);
    EXPECT_EQ(display.BltFrom(RECT{0, 0, 4, 2}, &source, RECT{0, 0, 4, 2}), E_INVALIDARG);
    EnsureAppApplication();
    EXPECT_EQ(display.Create(nullptr, 40, 20), E_FAIL);
    EXPECT_EQ(display.Present(), E_POINTER);

    RegisterWindowClass("__DisplayTestWindow__", DefWindowProcA);
    HWND window = CreateWindowExA(0, "__DisplayTestWindow__", "", WS_POPUP | WS_VISIBLE, 10, 10, 40,
                                  20, nullptr, nullptr, nullptr, nullptr);
    PumpMessages();
    ASSERT_EQ(display.Create(window, 40, 20), S_OK);
    struct TCase {
        RECT destination;
        RECT from;
        HRESULT expected;
    };
    const TCase cases[] = {
        {{39, 19, 40, 20}, {3, 1, 4, 2}, S_OK},
        {{0, 0, 40, 20}, {0, 0, 5, 2}, E_INVALIDARG},  // past the source's right
        {{0, 0, 40, 20}, {-1, 0, 3, 2}, E_INVALIDARG}, // before its left
        {{0, 0, 41, 20}, {0, 0, 4, 2}, E_INVALIDARG},  // past the display
        {{0, 0, 40, 20}, {2, 0, 2, 2}, E_INVALIDARG},  // empty
    };
    for (const TCase& one : cases)
        EXPECT_EQ(display.BltFrom(one.destination, &source, one.from), one.expected)
            << one.from.left << "," << one.from.top << "," << one.from.right << ","
            << one.from.bottom;

    ASSERT_EQ(display.BltFrom(RECT{0, 0, 40, 20}, &source, RECT{0, 0, 1, 1}), S_OK);
    ASSERT_EQ(display.Present(), S_OK);
    PumpMessages();
    EXPECT_EQ(PixelOf(window, 39, 19), RGB(255, 0, 0));

    // A keyed copy lands only on the key colour.
    TDisplaySurface green = Filled(1, 1, kGreen);
    green.keying = TDisplaySurface::TKeying::DestinationKey;
    TDisplaySurface& back = *display.BackSurface();
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            back.Row(y)[x] = kDisplayColourKey;
    ASSERT_EQ(display.BltFrom(RECT{0, 0, 40, 20}, &green, RECT{0, 0, 1, 1}), S_OK);
    ASSERT_EQ(display.Present(), S_OK);
    PumpMessages();
    EXPECT_EQ(PixelOf(window, 5, 10), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(window, 30, 10), RGB(0, 255, 0));

    DestroyWindow(window);
    EXPECT_EQ(display.Present(), E_FAIL);
    EXPECT_EQ(display.DestroyObjects(), 0);
    EXPECT_EQ(display.Present(), E_POINTER);
}
