#include "engine/glfw_setup.h"

#include <GLFW/glfw3.h>

#include <atomic>

#include "platform/gl_host.h"
#include "platform/message_box.h"

namespace {

// Often enough that GLFW's connection never backs up, seldom enough to cost
// nothing.
constexpr int kPumpIntervalMs = 20;

std::atomic<bool> g_ready{false};

void ShowGlfwError(int, const char* description) {
    MessageBoxA(nullptr, description ? description : "", "OpenGL error!", MB_OK);
}

void SetViewHints() {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 2);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUSED, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
}

} // namespace

bool SetUpGlfw() {
    if (g_ready)
        return true;
    glfwSetErrorCallback(ShowGlfwError);
    const bool started = glfwInit() == GLFW_TRUE;
    // GLFW's error trap leaves Xlib's exiting handler behind.
    InstallXErrorLogger();
    if (!started) {
        MessageBoxA(nullptr, "glfw failed to init", "Error", MB_OK);
        return false;
    }
    SetViewHints();
    StartGlfwPump(kPumpIntervalMs, [] { glfwPollEvents(); });
    g_ready = true;
    return true;
}

bool GlfwReady() {
    return g_ready;
}

void ShutDownGlfw() {
    StopGlfwPump();
    if (!g_ready)
        return;
    g_ready = false;
    glfwTerminate();
}
