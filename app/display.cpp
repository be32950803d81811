#include "app/display.h"

#include "platform/gdi.h"
#include "platform/main_thread.h"

struct CDisplay::TPending {
    std::mutex lock;
    TDisplaySurface surface;
    HWND window = nullptr;
    bool queued = false;
};

namespace {

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

bool Within(const RECT& rect, const TDisplaySurface& surface) {
    return rect.left >= 0 && rect.top >= 0 && rect.right <= surface.width &&
           rect.bottom <= surface.height && Width(rect) > 0 && Height(rect) > 0;
}

// Nearest source pixel of each destination pixel, centres aligned.
void StretchCopy(TDisplaySurface& destination, const RECT& target, const TDisplaySurface& source,
                 const RECT& from, TDisplaySurface::TKeying keying) {
    const int targetWidth = Width(target);
    const int targetHeight = Height(target);
    const std::int64_t fromWidth = Width(from);
    const std::int64_t fromHeight = Height(from);
    for (int y = 0; y < targetHeight; ++y) {
        const int sourceY =
            from.top + static_cast<int>(((2 * y + 1) * fromHeight) / (2 * targetHeight));
        const std::uint32_t* sourceRow = source.Row(sourceY);
        std::uint32_t* row = destination.Row(target.top + y) + target.left;
        for (int x = 0; x < targetWidth; ++x) {
            if (keying == TDisplaySurface::TKeying::DestinationKey &&
                (row[x] & 0xFFFFFFu) != kDisplayColourKey)
                continue;
            row[x] = sourceRow[from.left +
                               static_cast<int>(((2 * x + 1) * fromWidth) / (2 * targetWidth))];
        }
    }
}

// Main thread: the surface over the top-left of the window's backing image.
void DrawIntoWindow(HWND window, const TDisplaySurface& surface) {
    HDC windowDc = GetDC(window);
    HBITMAP bitmap = CreateBitmap(surface.width, surface.height, 1, 32, surface.pixels.data());
    HDC memory = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(windowDc, 0, 0, surface.width, surface.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, windowDc);
}

} // namespace

bool TDisplaySurface::Allocate(int surfaceWidth, int surfaceHeight) {
    if (surfaceWidth <= 0 || surfaceHeight <= 0)
        return false;
    width = surfaceWidth;
    height = surfaceHeight;
    pitchPixels = surfaceWidth;
    pixels.assign(static_cast<std::size_t>(surfaceWidth) * surfaceHeight, 0u);
    return true;
}

CDisplay::CDisplay() = default;

CDisplay::~CDisplay() {
    DestroyObjects();
}

HRESULT CDisplay::Create(HWND window, int width, int height) {
    DestroyObjects();
    if (!IsWindow(window))
        return E_FAIL;
    auto back = std::make_unique<TDisplaySurface>();
    if (!back->Allocate(width, height))
        return E_FAIL;
    m_back = std::move(back);
    m_pending = std::make_shared<TPending>();
    m_window = window;
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    m_screenRect = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    return S_OK;
}

HRESULT CDisplay::Present() {
    if (!m_window || !m_back)
        return E_POINTER;
    if (!IsWindow(m_window))
        return E_FAIL;
    std::shared_ptr<TPending> pending = m_pending;
    {
        std::lock_guard hold(pending->lock);
        pending->surface = *m_back;
        pending->window = m_window;
        if (pending->queued)
            return S_OK;
        pending->queued = true;
    }
    PostToMainThread([pending] {
        TDisplaySurface surface;
        HWND window = nullptr;
        {
            std::lock_guard hold(pending->lock);
            pending->queued = false;
            surface = std::move(pending->surface);
            window = pending->window;
        }
        if (!IsWindow(window) || surface.pixels.empty())
            return;
        DrawIntoWindow(window, surface);
    });
    return S_OK;
}

HRESULT CDisplay::BltFrom(const RECT& destination, const TDisplaySurface* source,
                          const RECT& sourceRect) {
    if (!source || !m_back)
        return E_INVALIDARG;
    if (!Within(destination, *m_back) || !Within(sourceRect, *source))
        return E_INVALIDARG;
    StretchCopy(*m_back, destination, *source, sourceRect, source->keying);
    return S_OK;
}

int CDisplay::DestroyObjects() {
    m_back.reset();
    m_pending.reset();
    m_window = nullptr;
    m_screenRect = RECT{};
    return 0;
}
