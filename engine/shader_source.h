#pragma once
// The view's shader program and the values it is fed: the picture settings
// (0..100, 50 neutral) turned into uniforms, and the orientation turned into
// the model-view-projection matrix. Single precision, as the GPU takes them.

#include <array>
#include <cstdint>

inline constexpr const char* kVertexShaderSource = R"glsl(#version 150
in vec3 vertex;
in vec2 texCoord0;
uniform mat4 mvpMatrix;
out vec2 texCoord;
void main() {
    gl_Position = mvpMatrix * vec4(vertex, 1.0);
    texCoord = texCoord0;
}
)glsl";

inline constexpr const char* kFragmentShaderSource = R"glsl(#version 150
uniform float brightness;
uniform float contrast;
uniform float chroma;
uniform sampler2D frameTex;
in vec2 texCoord;
out vec4 fragColor;

vec3 ContrastSaturationBrightness(vec3 color, float brt, float sat, float con) {
    const vec3 averageLuminance = vec3(0.5, 0.5, 0.5);
    const vec3 luminanceWeights = vec3(0.2125, 0.7154, 0.0721);
    vec3 brightened = color + vec3(brt);
    float luminance = dot(brightened, luminanceWeights);
    vec3 saturated = mix(vec3(luminance), brightened, sat);
    return mix(averageLuminance, saturated, con);
}

void main() {
    vec3 color = texture(frameTex, texCoord).rgb;
    fragColor = vec4(ContrastSaturationBrightness(color, brightness, chroma, contrast), 1.0);
}
)glsl";

inline constexpr float kSettingStep = 0.018f;
inline constexpr float kSettingFloor = 0.1f;

// "chroma" and "contrast": 0.1 .. 1.9, neutral 1.0.
inline float ChromaUniform(std::int32_t chroma) {
    return static_cast<float>(chroma) * kSettingStep + kSettingFloor;
}
inline float ContrastUniform(std::int32_t contrast) {
    return static_cast<float>(contrast) * kSettingStep + kSettingFloor;
}
// "brightness": -0.9 .. 0.9, neutral 0.0.
inline float BrightnessUniform(std::int32_t brightness) {
    return static_cast<float>(brightness) * kSettingStep + kSettingFloor - 1.0f;
}

inline constexpr std::int32_t kOrientationMirror = 0x01;
inline constexpr std::int32_t kOrientationFlip = 0x10;

// diag(sx, sy, -1, 1), column-major. Mirroring wins over flipping, so 17
// mirrors only.
inline std::array<float, 16> OrientationMatrix(std::int32_t orientation) {
    float sx = 1.0f;
    float sy = 1.0f;
    if (orientation & kOrientationMirror)
        sx = -1.0f;
    else if (orientation & kOrientationFlip)
        sy = -1.0f;
    return {sx,   0.0f, 0.0f,  0.0f, 0.0f, sy,   0.0f, 0.0f,
            0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
}
