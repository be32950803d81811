#include "engine/gl_view.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <array>
#include <cstdio>
#include <mutex>
#include <string>

extern "C" {
#include <libavutil/frame.h>
}

#include "engine/glfw_setup.h"
#include "engine/shader_source.h"
#include "engine/video_stream_info.h"
#include "platform/main_thread.h"
#include "platform/monitor.h"
#include "platform/window.h"

// GLFW's native accessors, declared here because glfw3native.h would bring
// Xlib's headers (and their macros) into the engine. A Display* and an XID.
extern "C" {
void* glfwGetX11Display(void);
unsigned long glfwGetX11Window(GLFWwindow* window);
}

namespace {

constexpr int kFloatsPerVertex = 5;
// x, y, z, u, v; the first picture row at the top.
constexpr GLfloat kQuadVertices[4 * kFloatsPerVertex] = {
    -1.0f, 1.0f,  0.0f, 0.0f, 0.0f, -1.0f, -1.0f, 0.0f, 0.0f, 1.0f,
    1.0f,  -1.0f, 0.0f, 1.0f, 1.0f, 1.0f,  1.0f,  0.0f, 1.0f, 0.0f,
};
constexpr GLubyte kQuadIndices[6] = {0, 1, 2, 0, 2, 3};
constexpr GLsizei kVertexStride = kFloatsPerVertex * sizeof(GLfloat);
constexpr std::size_t kTexCoordOffset = 3 * sizeof(GLfloat);
constexpr int kBytesPerPixel = 4;

// glewInit fills process-wide function pointers; two render threads must
// not fill them at once.
std::mutex g_glewMutex;

bool LoadGlFunctions() {
    std::lock_guard guard(g_glewMutex);
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    // GLEW's probing on a core context leaves a harmless error behind.
    while (glGetError() != GL_NO_ERROR) {
    }
    if (result != GLEW_OK) {
        std::fprintf(stderr, "failed to initialise GLEW: %s\n",
                     reinterpret_cast<const char*>(glewGetErrorString(result)));
        return false;
    }
    return true;
}

std::string ShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return {};
    std::string log(static_cast<std::size_t>(length), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    return log;
}

std::string ProgramLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return {};
    std::string log(static_cast<std::size_t>(length), '\0');
    glGetProgramInfoLog(program, length, nullptr, log.data());
    return log;
}

// Where a view's window would forward its mouse messages to the video
// window, here it asks for no input at all: the X server then delivers the
// presses, releases and motion to the video window itself, double clicks
// and drags included.
bool ForwardMouseProc(TNativeDisplay display, TNativeWindow window) {
    return DropInputEvents(display, window);
}

} // namespace

TGLView::~TGLView() {
    DestroyView();
}

bool TGLView::CreateView(HWND parent_, int width, int height) {
    if (window)
        DestroyView();
    parent = parent_;
    textureWidth = width;
    textureHeight = height;
    if (!GlfwReady())
        return false;
    const TNativeWindow parentNative = NativeWindowOf(parent_);
    if (!parentNative)
        return false;
    // X refuses windows of no size; the texture keeps the size asked for.
    const int windowW = width > 0 ? width : 1;
    const int windowH = height > 0 ? height : 1;
    RememberQtGlContext();
    window = glfwCreateWindow(windowW, windowH, "", nullptr, nullptr);
    RestoreQtGlContext();
    InstallXErrorLogger();
    if (!window)
        return false;
    m_display = glfwGetX11Display();
    nativeWindow = glfwGetX11Window(window);
    if (!EmbedHostedWindow(m_display, nativeWindow, parentNative) ||
        !ForwardMouseProc(m_display, nativeWindow)) {
        DestroyView();
        return false;
    }
    m_embeddedIn = parent_;
    windowWidth = windowW;
    windowHeight = windowH;
    return true;
}

bool TGLView::CompileShader(const char* source, unsigned int type, std::uint32_t* shader) {
    *shader = 0;
    const GLuint made = glCreateShader(type);
    if (!made)
        return false;
    const GLint length = static_cast<GLint>(std::char_traits<char>::length(source));
    glShaderSource(made, 1, &source, &length);
    glCompileShader(made);
    GLint status = 0;
    glGetShaderiv(made, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        std::fprintf(stderr, "failed to compile shader\n%s\n", ShaderLog(made).c_str());
        glDeleteShader(made);
        return false;
    }
    *shader = made;
    return true;
}

bool TGLView::BuildProgram() {
    std::uint32_t vertexShader = 0;
    std::uint32_t fragmentShader = 0;
    if (!CompileShader(kVertexShaderSource, GL_VERTEX_SHADER, &vertexShader)) {
        std::fprintf(stderr, "failed to build vertex shader\n");
        return false;
    }
    if (!CompileShader(kFragmentShaderSource, GL_FRAGMENT_SHADER, &fragmentShader)) {
        std::fprintf(stderr, "failed to build fragment shader\n");
        glDeleteShader(vertexShader);
        return false;
    }
    program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    // The program keeps what it needs; the shaders go with it.
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        std::fprintf(stderr, "failed to link program\n%s\n", ProgramLog(program).c_str());
        glDeleteProgram(program);
        program = 0;
        return false;
    }
    mvpLocation = glGetUniformLocation(program, "mvpMatrix");
    frameTexLocation = glGetUniformLocation(program, "frameTex");
    chromaLocation = glGetUniformLocation(program, "chroma");
    contrastLocation = glGetUniformLocation(program, "contrast");
    brightnessLocation = glGetUniformLocation(program, "brightness");
    vertexLocation = glGetAttribLocation(program, "vertex");
    texCoordLocation = glGetAttribLocation(program, "texCoord0");
    return true;
}

bool TGLView::CreateGeometry() {
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof kQuadVertices, kQuadVertices, GL_STATIC_DRAW);
    if (vertexLocation >= 0) {
        const auto location = static_cast<GLuint>(vertexLocation);
        glVertexAttribPointer(location, 3, GL_FLOAT, GL_FALSE, kVertexStride, nullptr);
        glEnableVertexAttribArray(location);
    }
    if (texCoordLocation >= 0) {
        const auto location = static_cast<GLuint>(texCoordLocation);
        glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, kVertexStride,
                              reinterpret_cast<const void*>(kTexCoordOffset));
        glEnableVertexAttribArray(location);
    }
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof kQuadIndices, kQuadIndices, GL_STATIC_DRAW);
    glBindVertexArray(0);
    return vertexArray && vertexBuffer && indexBuffer;
}

void TGLView::AllocateTexture(int width, int height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
}

void TGLView::CreateTexture() {
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    AllocateTexture(textureWidth > 0 ? textureWidth : 1, textureHeight > 0 ? textureHeight : 1);
}

bool TGLView::InitGL() {
    m_ready = false;
    if (!window)
        return false;
    glfwMakeContextCurrent(window);
    if (!LoadGlFunctions())
        return false;
    if (!BuildProgram())
        return false;
    glUseProgram(program);
    if (!CreateGeometry())
        return false;
    CreateTexture();
    glUniform1i(frameTexLocation, 0);
    SetOrientationMatrix(0);
    pictureWidth = pictureHeight = 0;
    m_viewportX = -1;
    m_settingsSent = false;
    m_ready = true;
    return true;
}

void TGLView::SetOrientationMatrix(std::int32_t orientation) {
    appliedOrientation = orientation;
    const std::array<float, 16> matrix = OrientationMatrix(orientation);
    glUniformMatrix4fv(mvpLocation, 1, GL_FALSE, matrix.data());
}

void TGLView::SetOrientation(std::int32_t orientation) {
    if (!m_ready)
        return;
    SetOrientationMatrix(orientation);
}

void TGLView::DeleteGLObjects() {
    if (vertexArray)
        glDeleteVertexArrays(1, &vertexArray);
    if (vertexBuffer)
        glDeleteBuffers(1, &vertexBuffer);
    if (indexBuffer)
        glDeleteBuffers(1, &indexBuffer);
    if (texture)
        glDeleteTextures(1, &texture);
    if (program)
        glDeleteProgram(program);
    vertexArray = vertexBuffer = indexBuffer = texture = program = 0;
    m_ready = false;
}

bool TGLView::HasGLObjects() const {
    return vertexArray || vertexBuffer || indexBuffer || texture || program;
}

void TGLView::ReleaseGL() {
    if (!window)
        return;
    DeleteGLObjects();
    glfwMakeContextCurrent(nullptr);
}

bool TGLView::MaximisedSize(HWND parent_, int* width, int* height) const {
    MONITORINFO info;
    if (!GetMonitorInfoA(MonitorFromWindow(parent_, MONITOR_DEFAULTTONEAREST), &info))
        return false;
    *width = info.rcMonitor.right - info.rcMonitor.left;
    // One row more than the monitor, as the full-screen window has always
    // been made.
    *height = info.rcMonitor.bottom - info.rcMonitor.top + 1;
    return true;
}

void TGLView::ShowView(HWND parent_, int pictureWidth_) {
    if (!window)
        return;
    // Window state and monitors belong to the main thread; the decoder
    // thread reuses what the main thread saw last.
    if (IsMainThread()) {
        m_parentZoomed = parent_ && IsZoomed(parent_);
        if (m_parentZoomed && !MaximisedSize(parent_, &m_zoomedWidth, &m_zoomedHeight))
            m_parentZoomed = false;
    }
    int centredWidth = pictureWidth_;
    if (m_parentZoomed) {
        windowWidth = m_zoomedWidth;
        windowHeight = m_zoomedHeight;
        centredWidth = textureWidth;
    }
    offsetX = (windowWidth - centredWidth) / 2;
    // Off the main thread only a window looked up before can be moved into;
    // otherwise the view stays where it is and the next call tries again.
    if (parent_ && parent_ != m_embeddedIn) {
        const TNativeWindow parentNative = NativeWindowOf(parent_);
        if (parentNative && EmbedHostedWindow(m_display, nativeWindow, parentNative))
            m_embeddedIn = parent_;
    }
    parent = parent_;
    ResizeHostedWindow(m_display, nativeWindow, windowWidth, windowHeight);
    MapHostedWindow(m_display, nativeWindow);
    visible = true;
}

void TGLView::HideView() {
    if (window)
        UnmapHostedWindow(m_display, nativeWindow);
    visible = false;
}

void TGLView::SetWindowSize(int width, int height) {
    windowWidth = width;
    windowHeight = height;
}

void TGLView::SetTextureSize(int width, int height) {
    textureWidth = width;
    textureHeight = height;
}

void TGLView::ApplySettings(const TVideoStreamInfo& stream) {
    const std::int32_t brightness = stream.brightness;
    const std::int32_t contrast = stream.contrast;
    const std::int32_t chroma = stream.chroma;
    // Until the first picture the program holds the shader's zeros, which no
    // setting maps to; "applied" means nothing yet.
    if (m_settingsSent && brightness == appliedBrightness && contrast == appliedContrast &&
        chroma == appliedChroma)
        return;
    appliedBrightness = brightness;
    appliedContrast = contrast;
    appliedChroma = chroma;
    m_settingsSent = true;
    glUniform1f(chromaLocation, ChromaUniform(chroma));
    glUniform1f(contrastLocation, ContrastUniform(contrast));
    glUniform1f(brightnessLocation, BrightnessUniform(brightness));
}

void TGLView::DrawPicture(TVideoStreamInfo& stream) {
    if (PreparePicture(stream))
        Swap();
}

void TGLView::PresentPicture() {
    if (!m_ready)
        return;
    Swap();
    ++m_presentedAhead;
}

void TGLView::Swap() {
    glfwSwapBuffers(window);
    ++m_drawnPictures;
}

bool TGLView::PreparePicture(TVideoStreamInfo& stream) {
    if (!m_ready)
        return false;
    std::lock_guard guard(stream.displayLock);
    const TVideoPicture& picture = stream.pictureQueue.picture;
    if (!picture.buffer || picture.width <= 0 || picture.height <= 0)
        return false;
    if (stream.hidden || !visible)
        return false;
    ApplySettings(stream);
    if (stream.orientation != appliedOrientation)
        SetOrientation(stream.orientation);
    const bool resized = picture.width != pictureWidth || picture.height != pictureHeight;
    if (resized) {
        AllocateTexture(picture.width, picture.height);
        pictureWidth = picture.width;
        pictureHeight = picture.height;
    }
    // ShowView may centre the picture anew without its size changing.
    if (resized || offsetX != m_viewportX) {
        glViewport(offsetX, 0, pictureWidth, pictureHeight);
        m_viewportX = offsetX;
    }
    const std::uint8_t* pixels = picture.buffer.get();
    GLint rowLength = 0;
    if (picture.picture && picture.picture->data[0]) {
        pixels = picture.picture->data[0];
        if (picture.picture->linesize[0] != picture.width * kBytesPerPixel)
            rowLength = picture.picture->linesize[0] / kBytesPerPixel;
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    // Whatever lies beside a centred picture is black, not an old frame.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture.width, picture.height, GL_BGRA,
                    GL_UNSIGNED_BYTE, pixels);
    glBindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, nullptr);
    glBindVertexArray(0);
    // The drawing is done here rather than inside the swap, so that only
    // the swap is left for the picture's time.
    glFinish();
    return true;
}

void TGLView::DestroyView() {
    // After glfwTerminate the window is gone with the rest of GLFW.
    if (window && GlfwReady()) {
        // A render thread that never ran left its objects behind; they can
        // only go while the context is current here.
        if (HasGLObjects()) {
            RememberQtGlContext();
            glfwMakeContextCurrent(window);
            DeleteGLObjects();
            glfwMakeContextCurrent(nullptr);
            RestoreQtGlContext();
        }
        glfwDestroyWindow(window);
        InstallXErrorLogger();
    }
    window = nullptr;
    parent = nullptr;
    nativeWindow = 0;
    m_embeddedIn = nullptr;
    m_display = nullptr;
    textureWidth = textureHeight = 0;
    pictureWidth = pictureHeight = 0;
    m_ready = false;
    visible = false;
}
