#include "app/scale_marker.h"

#include "app/magnifier_geometry.h"
#include "platform/gdi.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr const char* kMarkerImage = "resource/skin/scalemarker.png";
// Blue is see-through; the rest shows at this opacity.
constexpr COLORREF kSeeThrough = RGB(0, 0, 255);
constexpr BYTE kMarkerOpacity = 160;

} // namespace

CScaleMarker::~CScaleMarker() {
    DestroyOwnWindow();
    m_background.Release();
}

bool CScaleMarker::Create(HWND owner, HWND videoWindow, std::function<void()> onPressed,
                          std::function<void()> onMoved) {
    m_videoWindow = videoWindow;
    m_onPressed = std::move(onPressed);
    m_onMoved = std::move(onMoved);
    SetClassName(kScaleMarkerClass);
    if (!RegisterWindowClass(kScaleMarkerClass, BoundWindowProcedure))
        return false;
    const RECT video = VideoScreenRect();
    m_offset = POINT{(video.right - video.left - kMarkerSize) / 2,
                     (video.bottom - video.top - kMarkerSize) / 2};
    const RECT placed = KeepMarkerInside(RECT{video.left + m_offset.x, video.top + m_offset.y,
                                              video.left + m_offset.x + kMarkerSize,
                                              video.top + m_offset.y + kMarkerSize},
                                         video);
    HWND window = CreateWindowExA(
        WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_WINDOWEDGE, kScaleMarkerClass, "",
        WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, placed.left, placed.top, kMarkerSize,
        kMarkerSize, owner, nullptr, GetModuleHandleA(nullptr), this);
    if (!window)
        return false;
    SetLayeredWindowAttributes(window, kSeeThrough, kMarkerOpacity, LWA_COLORKEY | LWA_ALPHA);
    return true;
}

RECT CScaleMarker::VideoScreenRect() const {
    RECT rect{};
    if (m_videoWindow)
        GetWindowRect(m_videoWindow, &rect);
    return rect;
}

void CScaleMarker::Follow() {
    if (!hWnd)
        return;
    const RECT video = VideoScreenRect();
    const RECT wanted{video.left + m_offset.x, video.top + m_offset.y,
                      video.left + m_offset.x + kMarkerSize, video.top + m_offset.y + kMarkerSize};
    const RECT kept = KeepMarkerInside(wanted, video);
    m_following = true;
    SetWindowPos(hWnd, nullptr, kept.left, kept.top, kMarkerSize, kMarkerSize,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_following = false;
    m_offset = POINT{kept.left - video.left, kept.top - video.top};
}

void CScaleMarker::OnMoved() {
    if (m_following)
        return;
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    const RECT video = VideoScreenRect();
    m_offset = POINT{rect.left - video.left, rect.top - video.top};
    if (m_onMoved)
        m_onMoved();
}

void CScaleMarker::Paint(HDC dc) {
    if (m_background.dc) {
        BitBlt(dc, 0, 0, kMarkerSize, kMarkerSize, m_background.dc, 0, 0, SRCCOPY);
        return;
    }
    FillSolid(dc, RECT{0, 0, kMarkerSize, kMarkerSize}, kSeeThrough);
}

LRESULT CScaleMarker::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE: {
        // Without its picture the marker is only its (see-through) key colour.
        HDC reference = GetDC(hWnd);
        LoadSkinImage(reference, ResolveSkinPath(kMarkerImage).c_str(), m_background);
        ReleaseDC(hWnd, reference);
        return 0;
    }
    case WM_NCHITTEST:
        return HTCAPTION;
    case WM_NCLBUTTONDOWN:
        if (m_onPressed)
            m_onPressed();
        *handled = false; // the default handling drags the marker
        return 0;
    case WM_MOVING: {
        auto* proposed = reinterpret_cast<RECT*>(lParam);
        if (proposed)
            *proposed = KeepMarkerInside(*proposed, VideoScreenRect());
        return TRUE;
    }
    case WM_MOVE:
        OnMoved();
        return 0;
    case WM_ERASEBKGND:
        Paint(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        Paint(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    default:
        *handled = false;
        return 0;
    }
}
