// The gallery on a real X server: its screenshot must show each kind of
// window where the gallery puts it (frameless frame, child windows, an owned
// pop-up, a colour-keyed layered window) and glyphs on every text line.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdlib>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

bool Near(QRgb pixel, int r, int g, int b) {
    constexpr int Tolerance = 12;
    return std::abs(qRed(pixel) - r) <= Tolerance && std::abs(qGreen(pixel) - g) <= Tolerance &&
           std::abs(qBlue(pixel) - b) <= Tolerance;
}

int DarkPixels(const QImage& image, QRect area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                ++dark;
        }
    }
    return dark;
}

class WindowGallery : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !display[0])
            GTEST_SKIP() << "needs an X server";
        const std::string command =
            std::string(VELOR_GALLERY_PATH) + " --screenshot " + m_shot + " >/dev/null 2>&1";
        // The child must not inherit the offscreen platform.
        const std::string full = "env -u QT_QPA_PLATFORM " + command;
        ASSERT_EQ(std::system(full.c_str()), 0);
        ASSERT_TRUE(m_image.load(QString::fromStdString(m_shot)));
        m_image = m_image.convertToFormat(QImage::Format_RGB32);
        ASSERT_GE(m_image.width(), 800);
        ASSERT_GE(m_image.height(), 500);
    }

    TTempFolder m_folder;
    std::string m_shot = m_folder.File("gallery.png");
    QImage m_image;
};

TEST_F(WindowGallery, ScreenshotShowsEveryKindOfWindowInPlace) {
    // The frame (at 40,40) and its title strip.
    EXPECT_TRUE(Near(m_image.pixel(670, 440), 40, 44, 52));
    EXPECT_TRUE(Near(m_image.pixel(640, 50), 70, 80, 100));
    // The three child windows.
    EXPECT_TRUE(Near(m_image.pixel(120, 130), 200, 40, 40));
    EXPECT_TRUE(Near(m_image.pixel(260, 130), 40, 160, 60));
    EXPECT_TRUE(Near(m_image.pixel(400, 130), 40, 70, 200));
    // The owned pop-up, above the frame.
    EXPECT_TRUE(Near(m_image.pixel(575, 310), 240, 200, 40));
    // The layered window: its shape stays, its key colour shows what is below.
    EXPECT_TRUE(Near(m_image.pixel(680, 140), 0, 200, 220));
    EXPECT_TRUE(Near(m_image.pixel(610, 90), 40, 44, 52));
    EXPECT_FALSE(Near(m_image.pixel(750, 190), 255, 0, 255));
}

TEST_F(WindowGallery, EveryScriptDrawsGlyphs) {
    // The text window is white, each of its five lines has ink.
    EXPECT_TRUE(Near(m_image.pixel(455, 425), 255, 255, 255));
    constexpr int LineHeight = 44;
    constexpr int LeastInk = 40;
    for (int line = 0; line < 5; ++line) {
        const QRect box(72, 200 + line * LineHeight, 376, LineHeight);
        EXPECT_GT(DarkPixels(m_image, box), LeastInk) << "line " << line;
    }
}

} // namespace
