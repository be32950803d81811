#pragma once
// The magnifier's presenter: an off-screen surface in memory that a scaled
// region of a picture is copied into, and that is then shown in the
// magnifier window. The surface belongs to the drawing thread that fills it;
// showing it copies the pixels and hands them to the main thread, which
// draws them into the window's backing image, so the drawing thread never
// touches the window layer.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/files.h"
#include "platform/windows.h"

inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// 32-bit pixels 0xXXRRGGBB, top-down rows of `pitchPixels` pixels.
struct TDisplaySurface {
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
    int pitchPixels = 0;
    // A copy into the display only replaces the display's pixels that have
    // its colour key.
    enum class TKeying { None, DestinationKey } keying = TKeying::None;

    // Sizes the surface (its pixels black).
    bool Allocate(int surfaceWidth, int surfaceHeight);
    std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * pitchPixels; }
    const std::uint32_t* Row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * pitchPixels;
    }
};

// The colour of the display's pixels that a keyed copy may replace: the
// magnifier's see-through blue.
inline constexpr std::uint32_t kDisplayColourKey = 0x0000FFu;

class CDisplay {
public:
    CDisplay();
    virtual ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // Main thread: a surface of width x height presented into `window`'s
    // client area. S_OK, or E_FAIL for a window that does not exist or an
    // empty size.
    HRESULT Create(HWND window, int width, int height);
    // Shows the surface in the window: S_OK once handed to the main thread,
    // E_POINTER before a successful Create, E_FAIL when the window is gone.
    // A surface that the main thread has not drawn yet is replaced by the
    // newer one, so a slow main thread never piles up pictures.
    HRESULT Present();
    // Copies sourceRect of `source` into destination of the surface,
    // stretching as the rectangles require. E_INVALIDARG without a source or
    // surface, or for a rectangle that is empty or reaches outside its
    // surface.
    HRESULT BltFrom(const RECT& destination, const TDisplaySurface* source, const RECT& sourceRect);
    virtual int DestroyObjects();

    int pitchPixels() const { return m_back ? m_back->pitchPixels : 0; }
    int bytesPerPixel() const { return m_back ? kBytesPerPixel : 0; }
    HWND window() const { return m_window; }
    RECT screenRect() const { return m_screenRect; }
    // The surface the next Present shows (for tests and the owner's clearing).
    TDisplaySurface* BackSurface() const { return m_back.get(); }

private:
    static constexpr int kBytesPerPixel = 4;
    struct TPending;

    HWND m_window = nullptr;
    RECT m_screenRect{};
    std::unique_ptr<TDisplaySurface> m_back;
    // What waits for the main thread; shared with the posted call, which
    // may run after this display is gone.
    std::shared_ptr<TPending> m_pending;
};
