#include <gtest/gtest.h>

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

} // namespace
