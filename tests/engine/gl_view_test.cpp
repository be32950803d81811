// A real view in a real video window under an X server: what it draws is read
// back from the screen, and clicks on it reach the video window.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/glfw_setup.h"
#include "engine/shader_source.h"
#include "platform/gl_host.h"
#include "tests/engine/render_harness.h"
#include "tests/engine/window_harness.h"

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 144;
// ctest runs each test in a process of its own, several at once on one X
// server: every test gets a cell of the screen to itself, so no window of
// another test covers what this one reads back or clicks. The cells are laid
// out on the screen there is (a window off its edge reads back nothing); a
// 1024x768 screen holds twelve.
constexpr int kCellWidth = kWidth + 20;
constexpr int kCellHeight = kHeight + 20;
// Rounding in the rasteriser and the 8-bit framebuffer.
constexpr int kTolerance = 3;

using TRgb = std::array<int, 3>;

// The quadrants of the test picture, as seen unmirrored.
constexpr TRgb kTopLeft = {200, 40, 40};
constexpr TRgb kTopRight = {40, 180, 60};
constexpr TRgb kBottomLeft = {50, 60, 200};
constexpr TRgb kBottomRight = {230, 220, 90};
constexpr TRgb kBlack = {0, 0, 0};
constexpr TRgb kQuadrants[4] = {kTopLeft, kTopRight, kBottomLeft, kBottomRight};

std::vector<UINT> g_videoMessages;
std::vector<LPARAM> g_videoPositions;

LRESULT VideoProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK) {
        g_videoMessages.push_back(message);
        g_videoPositions.push_back(lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The shader's ContrastSaturationBrightness on the CPU, single precision.
TRgb Reference(TRgb rgb, int brightness, int contrast, int chroma) {
    const float brt = BrightnessUniform(brightness);
    const float con = ContrastUniform(contrast);
    const float sat = ChromaUniform(chroma);
    float c[3];
    for (int i = 0; i < 3; ++i)
        c[i] = static_cast<float>(rgb[i]) / 255.0f + brt;
    const float luminance = c[0] * 0.2125f + c[1] * 0.7154f + c[2] * 0.0721f;
    TRgb out{};
    for (int i = 0; i < 3; ++i) {
        const float saturated = luminance * (1.0f - sat) + c[i] * sat;
        const float contrasted = 0.5f * (1.0f - con) + saturated * con;
        out[i] = static_cast<int>(std::lround(std::clamp(contrasted, 0.0f, 1.0f) * 255.0f));
    }
    return out;
}

bool Near(TRgb a, TRgb b) {
    return std::equal(a.begin(), a.end(), b.begin(),
                      [](int x, int y) { return std::abs(x - y) <= kTolerance; });
}

std::uint32_t Packed(TRgb c) {
    return static_cast<std::uint32_t>(c[0] << 16 | c[1] << 8 | c[2]);
}

class GLViewOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureTestWindows(VideoProcedure);
        ASSERT_TRUE(SetUpGlfw());
        const POINT cell = OwnCell();
        // Only the video window is ever clicked.
        host = MakeTestWindow(WS_POPUP | WS_VISIBLE, cell.x, cell.y, kWidth, kHeight);
        video = MakeTestWindow(WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, host);
        ASSERT_TRUE(host && video);
        Pump(100);
        ASSERT_TRUE(view.CreateView(video, kWidth, kHeight));
        render = std::make_unique<TRenderHarness>(view, video);
        stream = &render->stream;
        render->OpenStream();
        ASSERT_TRUE(render->Start());
        Show(kWidth);
        g_videoMessages.clear();
        g_videoPositions.clear();
    }

    void TearDown() override {
        render.reset();
        // The view's window goes before the window that holds it.
        view.DestroyView();
        if (host)
            DestroyWindow(host);
        Pump(25);
    }

    static POINT OwnCell() {
        const ::testing::TestSuite* suite =
            ::testing::UnitTest::GetInstance()->current_test_suite();
        const ::testing::TestInfo* self = ::testing::UnitTest::GetInstance()->current_test_info();
        int index = 0;
        for (int i = 0; i < suite->total_test_count(); ++i) {
            if (suite->GetTestInfo(i) == self)
                index = i;
        }
        const int columns = std::max(1, GetSystemMetrics(SM_CXSCREEN) / kCellWidth);
        const int rows = std::max(1, GetSystemMetrics(SM_CYSCREEN) / kCellHeight);
        const int cell = index % (columns * rows);
        return POINT{(cell % columns) * kCellWidth, (cell / columns) * kCellHeight};
    }

    void Show(int pictureWidth) {
        std::lock_guard guard(stream->displayLock);
        view.ShowView(video, pictureWidth);
    }

    void FillQuadrants(int width, int height) {
        render->FillPicture(width, height, [width, height](int x, int y) {
            return Packed(kQuadrants[(y >= height / 2) * 2 + (x >= width / 2)]);
        });
    }

    // Queues the four-colour picture and lets the render thread take it;
    // drawn unless the view is hidden.
    void DrawQuadrants(int width, int height, int drawn = 1) {
        FillQuadrants(width, height);
        const std::int64_t drawnBefore = view.DrawnPictures();
        render->QueuePicture();
        ASSERT_TRUE(
            PumpUntil([&] { return stream->pictureQueue.space->Wait(0) == WAIT_OBJECT_0; }));
        EXPECT_EQ(view.DrawnPictures(), drawnBefore + drawn);
    }

    TRgb ScreenAt(int clientX, int clientY) {
        POINT point{clientX, clientY};
        ClientToScreen(video, &point);
        std::vector<std::uint32_t> pixels;
        if (!ReadScreenPixels(view.NativeDisplay(), point.x, point.y, 1, 1, &pixels))
            return {-1, -1, -1};
        return {static_cast<int>(pixels[0] >> 16 & 0xFF), static_cast<int>(pixels[0] >> 8 & 0xFF),
                static_cast<int>(pixels[0] & 0xFF)};
    }

    // The screen at the given points, read until it shows what is expected
    // (the server may not have put the last swap up yet).
    void ExpectScreen(const std::vector<std::pair<POINT, TRgb>>& expected) {
        std::vector<TRgb> seen(expected.size());
        PumpUntil([&] {
            bool all = true;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                seen[i] = ScreenAt(expected[i].first.x, expected[i].first.y);
                all = all && Near(seen[i], expected[i].second);
            }
            return all;
        });
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_TRUE(Near(seen[i], expected[i].second))
                << "at (" << expected[i].first.x << ", " << expected[i].first.y << ") saw "
                << ::testing::PrintToString(seen[i]);
        }
    }

    void ExpectQuadrants(const TRgb (&quadrants)[4] = kQuadrants) {
        ExpectScreen({{{kWidth / 4, kHeight / 4}, quadrants[0]},
                      {{kWidth * 3 / 4, kHeight / 4}, quadrants[1]},
                      {{kWidth / 4, kHeight * 3 / 4}, quadrants[2]},
                      {{kWidth * 3 / 4, kHeight * 3 / 4}, quadrants[3]}});
    }

    void Click(const char* arguments, POINT client) {
        POINT point = client;
        ClientToScreen(video, &point);
        const std::string command = "xdotool mousemove --sync " + std::to_string(point.x) + " " +
                                    std::to_string(point.y) + " " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    TGLView view;
    std::unique_ptr<TRenderHarness> render;
    TVideoStreamInfo* stream = nullptr;
    HWND host = nullptr;
    HWND video = nullptr;
};

TEST_F(GLViewOnScreen, AnXErrorIsLoggedAndThePlayerGoesOn) {
    // No client holds this id; Xlib's own handler would end the process.
    constexpr TNativeWindow kNoSuchWindow = 0x1FFFFFFE;
    ::testing::internal::CaptureStderr();
    ResizeHostedWindow(view.NativeDisplay(), kNoSuchWindow, 10, 10);
    std::vector<std::uint32_t> pixels;
    EXPECT_TRUE(ReadScreenPixels(view.NativeDisplay(), 0, 0, 1, 1, &pixels));
    const std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(logged.find("X error"), std::string::npos) << logged;
}

TEST_F(GLViewOnScreen, PictureSettingsMatchTheShadersFunctionAndOrientationMirrorsOrFlips) {
    struct Case {
        const char* what;
        int brightness, contrast, chroma, orientation;
    } cases[] = {
        // First, so that settings that happen to equal the view's initial
        // zeros are still sent.
        {"all at 0", 0, 0, 0, 0},
        {"neutral", 50, 50, 50, 0},
        {"brightness 0, contrast 100, chroma 50", 0, 100, 50, 0},
        {"chroma 0", 50, 50, 0, 0},
        {"mirrored", 50, 50, 50, 1},
        {"upside down", 50, 50, 50, 16},
        {"both: mirroring wins", 50, 50, 50, 17},
        {"neither again", 50, 50, 50, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        render->player.SetPictureSettings(kFrontSlot,
                                          {c.orientation, c.brightness, c.contrast, c.chroma});
        DrawQuadrants(kWidth, kHeight);
        // Quadrant q (row * 2 + column) shows the picture's q ^ 1 when
        // mirrored, q ^ 2 when upside down.
        const int moved = c.orientation & 1 ? 1 : (c.orientation & 16 ? 2 : 0);
        TRgb expected[4];
        for (int q = 0; q < 4; ++q)
            expected[q] = Reference(kQuadrants[q ^ moved], c.brightness, c.contrast, c.chroma);
        ExpectQuadrants(expected);
    }
    // Neutral is the picture itself.
    EXPECT_EQ(Reference(kTopRight, 50, 50, 50), kTopRight);
}

TEST_F(GLViewOnScreen, ANarrowerPictureIsCentredBetweenBlackBars) {
    constexpr int kNarrow = kWidth * 3 / 4;
    constexpr int kBar = (kWidth - kNarrow) / 2;
    Show(kNarrow);
    EXPECT_EQ(view.offsetX, kBar);
    DrawQuadrants(kNarrow, kHeight);
    ExpectScreen({{{kBar / 2, kHeight / 2}, kBlack},
                  {{kBar + kNarrow / 4, kHeight / 4}, kTopLeft},
                  {{kBar + kNarrow * 3 / 4, kHeight * 3 / 4}, kBottomRight},
                  {{kWidth - kBar / 2, kHeight / 2}, kBlack}});
}

TEST_F(GLViewOnScreen, APictureQueuedBeforeItsTimeIsDrawnAheadAndOnlySwappedAtIt) {
    // The render thread starts again to find the picture queued and due in
    // two seconds, so that nothing races with where it is in its loop.
    render->Stop();
    // A thread that ended before it waited leaves the wake-up set.
    stream->refreshEvent->Wait(0);
    stream->frameTimer = static_cast<double>(av_gettime()) / 1e6 + 2.0;
    FillQuadrants(kWidth, kHeight);
    stream->pictureQueue.Announce();
    const std::int64_t drawnBefore = view.DrawnPictures();
    ASSERT_TRUE(render->Start());
    Pump(100);
    // Drawn into the back buffer only: nothing on screen before its pass.
    EXPECT_EQ(view.DrawnPictures(), drawnBefore);
    EXPECT_FALSE(Near(ScreenAt(kWidth / 4, kHeight / 4), kTopLeft));

    stream->refreshEvent->Set();
    ASSERT_TRUE(PumpUntil([&] { return stream->pictureQueue.space->Wait(0) == WAIT_OBJECT_0; }));
    EXPECT_EQ(view.DrawnPictures(), drawnBefore + 1);
    EXPECT_EQ(view.PresentedAhead(), 1);
    ExpectQuadrants();
}

TEST_F(GLViewOnScreen, AHiddenViewShowsNothingAndIsNotDrawn) {
    DrawQuadrants(kWidth, kHeight);
    ExpectQuadrants();
    {
        std::lock_guard guard(stream->displayLock);
        view.HideView();
    }
    EXPECT_FALSE(view.IsVisible());
    // The picture is consumed but not drawn.
    DrawQuadrants(kWidth, kHeight, 0);
    // The video window itself shows again where the picture was.
    Pump(50);
    EXPECT_FALSE(Near(ScreenAt(kWidth / 4, kHeight / 4), kTopLeft));
    Show(kWidth);
    DrawQuadrants(kWidth, kHeight);
    ExpectQuadrants();
}

TEST_F(GLViewOnScreen, AMaximisedParentMakesTheViewMonitorSizedWithTheTextureCentred) {
    ShowWindow(host, SW_SHOWMAXIMIZED);
    Pump(50);
    ASSERT_TRUE(IsZoomed(host));
    MONITORINFO monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(host, MONITOR_DEFAULTTONEAREST), &monitor));
    const int monitorWidth = monitor.rcMonitor.right - monitor.rcMonitor.left;
    const int monitorHeight = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
    {
        std::lock_guard guard(stream->displayLock);
        // The picture width given is ignored for the texture's.
        view.ShowView(host, 100);
    }
    EXPECT_EQ(view.windowWidth, monitorWidth);
    EXPECT_EQ(view.windowHeight, monitorHeight + 1);
    EXPECT_EQ(view.offsetX, (monitorWidth - kWidth) / 2);
    EXPECT_TRUE(view.IsVisible());
    EXPECT_EQ(view.parent, host);
}

TEST_F(GLViewOnScreen, ClicksOnTheViewReachTheVideoWindow) {
    DrawQuadrants(kWidth, kHeight);
    const POINT where{kWidth / 4, kHeight / 3};
    Click("click 1", where);
    ASSERT_TRUE(PumpUntil([] {
        return std::count(g_videoMessages.begin(), g_videoMessages.end(), WM_LBUTTONUP) > 0;
    }));
    ASSERT_GE(g_videoMessages.size(), 2u);
    EXPECT_EQ(g_videoMessages[0], WM_LBUTTONDOWN);
    EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(g_videoPositions[0])), where.x);
    EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(g_videoPositions[0])), where.y);

    // Far enough from the first click not to pair with it.
    g_videoMessages.clear();
    Click("click --repeat 2 --delay 80 1", POINT{kWidth * 3 / 4, kHeight * 3 / 4});
    ASSERT_TRUE(PumpUntil([] {
        return std::count(g_videoMessages.begin(), g_videoMessages.end(), WM_LBUTTONDBLCLK) > 0;
    })) << "messages seen: "
        << g_videoMessages.size();
}

} // namespace
