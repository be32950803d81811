#pragma once
// The OpenGL surface of one video channel: a borderless GLFW window hosted
// inside the channel's video window. Its render thread owns the context and
// draws each picture through the shader with the channel's picture settings;
// the decoder thread (or the main thread) shows, hides and sizes it under the
// stream's display lock.

#include <atomic>
#include <cstdint>

#include "engine/video_view.h"
#include "platform/gl_host.h"
#include "platform/win_types.h"

struct GLFWwindow;
class TMediaPlayer;
class TVideoStreamInfo;

// One picture the render thread took off its queue: when the pacing wanted
// it and when it was done with it (seconds on av_gettime's clock). `drawn`
// is false when the view has no window to draw into.
struct TShownPicture {
    int slot = 0;
    std::int64_t dts = 0;
    double dueSeconds = 0.0;
    // When the render thread began drawing it, and when it was done.
    double drawSeconds = 0.0;
    double shownSeconds = 0.0;
    bool drawn = false;
};

// Watches the render thread's pictures (the benchmark); called on the render
// thread, so it must be quick.
class IPictureObserver {
public:
    virtual ~IPictureObserver() = default;
    virtual void PictureShown(const TShownPicture& shown) = 0;
};

class TGLView final : public IVideoView {
public:
    TGLView() = default;
    ~TGLView() override;
    TGLView(const TGLView&) = delete;
    TGLView& operator=(const TGLView&) = delete;

    // Main thread: makes the window inside `parent`, `width` x `height`, also
    // the texture's first size. False leaves the view without a window, and
    // every later operation does nothing.
    bool CreateView(HWND parent, int width, int height);
    // Render thread: makes the context current there, builds the program,
    // the geometry and the texture.
    bool InitGL();
    bool BuildProgram();
    static bool CompileShader(const char* source, unsigned int type, std::uint32_t* shader);
    // Render thread, before it ends: frees the GL objects and lets go of the
    // context, which cannot be made current elsewhere while this thread
    // holds it.
    void ReleaseGL();

    // Under the stream's display lock, decoder or main thread.
    void ShowView(HWND parent, int pictureWidth) override;
    void HideView() override;
    bool IsVisible() const override { return visible; }
    void SetWindowSize(int width, int height) override;
    void SetTextureSize(int width, int height) override;

    // Render thread.
    void SetOrientation(std::int32_t orientation);
    void DrawPicture(TVideoStreamInfo& stream);
    // DrawPicture in two halves: the upload and the drawing into the back
    // buffer, finished, which the render thread does before the picture is
    // due (with software OpenGL they take longer than a picture may be
    // late), then the swap at its time. False when nothing was drawn.
    bool PreparePicture(TVideoStreamInfo& stream);
    void PresentPicture();
    // A window to draw into and a context to draw with.
    bool CanDraw() const { return m_ready && visible; }

    // Main thread, at shutdown (also the destructor), after the render thread
    // ended.
    void DestroyView();

    bool HasWindow() const { return window != nullptr; }
    // GLFW's connection, on which the view's window lives.
    TNativeDisplay NativeDisplay() const { return m_display; }
    // Pictures that reached the screen, and of those the ones drawn ahead of
    // their time; what tests and diagnostics count.
    std::int64_t DrawnPictures() const { return m_drawnPictures; }
    std::int64_t PresentedAhead() const { return m_presentedAhead; }
    // Told of every picture the render thread takes; none by default.
    std::atomic<IPictureObserver*> pictureObserver{nullptr};

    std::uint32_t vertexArray = 0;
    std::uint32_t vertexBuffer = 0;
    std::uint32_t indexBuffer = 0;
    std::uint32_t texture = 0;
    std::uint32_t program = 0;
    std::int32_t vertexLocation = -1;
    std::int32_t texCoordLocation = -1;
    std::int32_t mvpLocation = -1;
    std::int32_t frameTexLocation = -1;
    std::int32_t chromaLocation = -1;
    std::int32_t contrastLocation = -1;
    std::int32_t brightnessLocation = -1;
    GLFWwindow* window = nullptr;
    HWND parent = nullptr;
    TNativeWindow nativeWindow = 0;
    std::int32_t textureWidth = 0;
    std::int32_t textureHeight = 0;
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    std::int32_t appliedOrientation = 0;
    std::int32_t appliedBrightness = 0;
    std::int32_t appliedContrast = 0;
    std::int32_t appliedChroma = 0;
    std::atomic<bool> visible{false};
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
    std::int32_t offsetX = 0;

private:
    void Swap();
    bool CreateGeometry();
    void CreateTexture();
    void AllocateTexture(int width, int height);
    void SetOrientationMatrix(std::int32_t orientation);
    void ApplySettings(const TVideoStreamInfo& stream);
    bool HasGLObjects() const;
    void DeleteGLObjects();
    // The monitor-sized window of a maximised parent (main thread).
    bool MaximisedSize(HWND parent, int* width, int* height) const;

    TNativeDisplay m_display = nullptr;
    // The window the view's window is a child of, as far as X knows.
    HWND m_embeddedIn = nullptr;
    // InitGL succeeded: GL calls are only made after that.
    bool m_ready = false;
    bool m_settingsSent = false;
    bool m_parentZoomed = false;
    int m_zoomedWidth = 0;
    int m_zoomedHeight = 0;
    std::int32_t m_viewportX = -1;
    std::atomic<std::int64_t> m_drawnPictures{0};
    std::atomic<std::int64_t> m_presentedAhead{0};
};

// The render thread of a video slot (started by the controller).
void RenderThread(TMediaPlayer& player, int slot, TGLView& view);
