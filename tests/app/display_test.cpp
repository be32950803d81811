#include <gtest/gtest.h>

#include <thread>

#include "app/display.h"
#include "platform/gdi.h"
#include "tests/app/app_test_support.h"
#include "ui/wnd.h"

namespace {

constexpr std::uint32_t kRed = 0xFF0000u;
constexpr std::uint32_t kGreen = 0x00FF00u;
constexpr std::uint32_t kWhite = 0xFFFFFFu;
constexpr std::uint32_t kGrey = 0x808080u;

// 4 x 2 pixels: red, green, white, grey on the top row, the bottom row the
// other way round.
TDisplaySurface FourByTwo() {
    TDisplaySurface surface;
    surface.Allocate(4, 2);
    const std::uint32_t top[] = {kRed, kGreen, kWhite, kGrey};
    for (int x = 0; x < 4; ++x) {
        surface.Row(0)[x] = top[x];
        surface.Row(1)[x] = top[3 - x];
    }
    return surface;
}

std::uint32_t At(const TDisplaySurface& surface, int x, int y) { return surface.Row(y)[x] & 0xFFFFFFu; }

class DisplayWindow {
public:
    DisplayWindow() {
        EnsureAppApplication();
        RegisterWindowClass("__DisplayTestWindow__", DefWindowProcA);
        hWnd = CreateWindowExA(0, "__DisplayTestWindow__", "", WS_POPUP | WS_VISIBLE, 10, 10, 40, 20, nullptr,
                               nullptr, nullptr, nullptr);
        PumpMessages();
    }
    ~DisplayWindow() {
        if (IsWindow(hWnd))
            DestroyWindow(hWnd);
    }
    COLORREF Pixel(int x, int y) const {
        HDC dc = GetDC(hWnd);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(hWnd, dc);
        return colour;
    }
    HWND hWnd = nullptr;
};

} // namespace

TEST(Display, RefusesWithoutASurfaceAndCopiesOnlyRectanglesInsideBoth) {
    CDisplay display;
    const TDisplaySurface source = FourByTwo();
    EXPECT_EQ(display.Present(), E_POINTER);
    EXPECT_EQ(display.BltFrom(RECT{0, 0, 4, 2}, &source, RECT{0, 0, 4, 2}), E_INVALIDARG);
    EnsureAppApplication();
    EXPECT_EQ(display.Create(nullptr, 40, 20), E_FAIL);
    EXPECT_EQ(display.Present(), E_POINTER);

    DisplayWindow window;
    ASSERT_EQ(display.Create(window.hWnd, 40, 20), S_OK);
    struct TCase {
        RECT destination;
        RECT from;
        HRESULT expected;
    };
    const TCase cases[] = {
        {{39, 19, 40, 20}, {3, 1, 4, 2}, S_OK},
        {{0, 0, 40, 20}, {0, 0, 5, 2}, E_INVALIDARG},   // past the source's right
        {{0, 0, 40, 20}, {-1, 0, 3, 2}, E_INVALIDARG},  // before its left
        {{0, 0, 41, 20}, {0, 0, 4, 2}, E_INVALIDARG},   // past the display
        {{0, 0, 40, 20}, {2, 0, 2, 2}, E_INVALIDARG},   // empty
    };
    for (const TCase& one : cases)
        EXPECT_EQ(display.BltFrom(one.destination, &source, one.from), one.expected)
            << one.from.left << "," << one.from.top << "," << one.from.right << "," << one.from.bottom;

    // The middle 2 x 2 pixels, five times larger in a 10 x 10 corner.
    ASSERT_EQ(display.BltFrom(RECT{0, 0, 10, 10}, &source, RECT{1, 0, 3, 2}), S_OK);
    const TDisplaySurface& back = *display.BackSurface();
    EXPECT_EQ(At(back, 4, 4), kGreen);
    EXPECT_EQ(At(back, 5, 0), kWhite);
    EXPECT_EQ(At(back, 9, 9), kGreen);
    EXPECT_EQ(At(back, 10, 0), 0u);  // outside the destination, untouched

    EXPECT_EQ(display.DestroyObjects(), 0);
    EXPECT_EQ(display.Present(), E_POINTER);
}

TEST(Display, PresentsIntoTheWindowFromAnyThread) {
    DisplayWindow window;
    CDisplay display;
    ASSERT_EQ(display.Create(window.hWnd, 40, 20), S_OK);
    TDisplaySurface red;
    red.Allocate(1, 1);
    red.Row(0)[0] = kRed;
    ASSERT_EQ(display.BltFrom(RECT{0, 0, 40, 20}, &red, RECT{0, 0, 1, 1}), S_OK);
    ASSERT_EQ(display.Present(), S_OK);
    PumpMessages();
    EXPECT_EQ(window.Pixel(39, 19), RGB(255, 0, 0));

    // A keyed copy lands only on the key colour.
    TDisplaySurface green = red;
    green.Row(0)[0] = kGreen;
    green.keying = TDisplaySurface::TKeying::DestinationKey;
    TDisplaySurface& writable = *display.BackSurface();
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            writable.Row(y)[x] = kDisplayColourKey;
    HRESULT presented = E_FAIL;
    std::thread drawing([&] {
        if (display.BltFrom(RECT{0, 0, 40, 20}, &green, RECT{0, 0, 1, 1}) == S_OK)
            presented = display.Present();
    });
    drawing.join();
    EXPECT_EQ(presented, S_OK);
    PumpMessages();
    EXPECT_EQ(window.Pixel(5, 10), RGB(255, 0, 0));
    EXPECT_EQ(window.Pixel(30, 10), RGB(0, 255, 0));

    DestroyWindow(window.hWnd);
    EXPECT_EQ(display.Present(), E_FAIL);
}
