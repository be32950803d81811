#include <gtest/gtest.h>

#include <array>

#include "engine/shader_source.h"

namespace {

TEST(RenderUniforms, SettingsMapToTheShaderRanges) {
    // brightness 0 / contrast 100 / chroma 50
    EXPECT_FLOAT_EQ(BrightnessUniform(0), -0.9f);
    EXPECT_FLOAT_EQ(ContrastUniform(100), 1.9f);
    EXPECT_FLOAT_EQ(ChromaUniform(50), 1.0f);
    // neutral
    EXPECT_NEAR(BrightnessUniform(50), 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(ContrastUniform(50), 1.0f);
    // the other ends
    EXPECT_FLOAT_EQ(BrightnessUniform(100), 0.9f);
    EXPECT_FLOAT_EQ(ChromaUniform(0), 0.1f);
    EXPECT_FLOAT_EQ(ContrastUniform(0), 0.1f);
}

TEST(RenderUniforms, OrientationScalesXOrYAndMirroringWins) {
    struct Case {
        int orientation;
        float sx;
        float sy;
    } cases[] = {{0, 1.0f, 1.0f}, {1, -1.0f, 1.0f}, {16, 1.0f, -1.0f}, {17, -1.0f, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        const std::array<float, 16> m = OrientationMatrix(c.orientation);
        // Column-major diagonal; everything off the diagonal is zero.
        const std::array<float, 16> expected = {c.sx, 0, 0, 0, 0, c.sy, 0, 0,
                                                0, 0, -1, 0, 0, 0, 0, 1};
        EXPECT_EQ(m, expected);
    }
}

} // namespace
