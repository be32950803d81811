#include "app/media_clip_wnd.h"

#include <algorithm>
#include <mutex>

#include "engine/media_player.h"
#include "engine/video_stream_info.h"
#include "engine/video_view.h"
#include "platform/gdi.h"
#include "platform/thread.h"

namespace {

// The frame around the idle picture is its fill, a shade lighter.
constexpr int kFrameLightening = 3;

COLORREF Lighter(COLORREF colour) {
    const auto up = [](int component) { return std::min(255, component + kFrameLightening); };
    return RGB(up(GetRValue(colour)), up(GetGValue(colour)), up(GetBValue(colour)));
}

} // namespace

CMediaClipWnd::~CMediaClipWnd() {
    m_marker.DestroyMarker();
    DestroyOwnWindow();
    m_background.Release();
}

bool CMediaClipWnd::Create(const TClipOptions& options) {
    m_options = options;
    SetClassName(kMediaClipWndClass);
    if (!RegisterWindowClass(kMediaClipWndClass, BoundWindowProcedure))
        return false;
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, options.rect,
                             options.parent) != nullptr;
}

bool CMediaClipWnd::ShowsPictures() const {
    return m_options.showsPictures && m_options.showsPictures();
}

DWORD CMediaClipWnd::Now() const {
    return m_options.clock ? m_options.clock() : GetTickCount();
}

bool CMediaClipWnd::AdvanceDisplayState() {
    if (!ShowsPictures())
        return false;
    m_displayState = NextDisplayState(m_displayState);
    SendMessageA(GetParent(hWnd), kDisplayStateMessage, 0, reinterpret_cast<LPARAM>(this));
    return true;
}

void CMediaClipWnd::ShowMarker(HWND owner, std::function<void()> onPressed,
                               std::function<void()> onMoved) {
    if (!m_marker.hWnd && !m_marker.Create(owner, hWnd, std::move(onPressed), std::move(onMoved)))
        return;
    m_marker.Follow();
    ShowWindow(m_marker.hWnd, SW_SHOWNA);
    m_zoomActive = true;
}

void CMediaClipWnd::HideMarker() {
    if (m_marker.hWnd)
        ShowWindow(m_marker.hWnd, SW_HIDE);
    m_zoomActive = false;
}

void CMediaClipWnd::OnDoubleClick() {
    if (!m_doubleClicks.Accept(Now()))
        return;
    AdvanceDisplayState();
}

void CMediaClipWnd::DrawIdlePicture(int width, int height) {
    HDC reference = GetDC(hWnd);
    m_background.Prepare(reference, width, height);
    ReleaseDC(hWnd, reference);
    HDC dc = m_background.dc;
    if (!dc)
        return;
    const TMemoryDC& logo = SharedImage(m_options.logo);
    const RECT whole{0, 0, width, height};
    if (!logo.dc) {
        FillSolid(dc, whole, RGB(0, 0, 0));
        return;
    }
    // The logo stands on its own top-left colour, so it has no visible edge.
    const COLORREF fill = GetPixel(logo.dc, 0, 0);
    FillSolid(dc, whole, fill);
    HBRUSH frame = CreateSolidBrush(Lighter(fill));
    FrameRect(dc, &whole, frame);
    DeleteObject(frame);
    BitBlt(dc, (width - logo.width) / 2, (height - logo.height) / 2, logo.width, logo.height,
           logo.dc, 0, 0, SRCCOPY);
}

void CMediaClipWnd::TellRendererSize(int height) {
    TVideoStreamInfo* video = m_options.player ? m_options.player->Video(m_options.slot) : nullptr;
    if (!video || !video->view || video->fullScreen)
        return;
    std::lock_guard hold(video->displayLock);
    const int width = TVideoStreamInfo::WideWidth(height);
    video->displayWidth = width;
    video->displayHeight = height;
    video->savedWidth = width;
    video->savedHeight = height;
    video->view->SetWindowSize(width, height);
    if (video->view->IsVisible())
        video->view->ShowView(hWnd, width);
}

void CMediaClipWnd::OnSize(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    DrawIdlePicture(width, height);
    InvalidateRect(hWnd, nullptr, TRUE);
    TellRendererSize(height);
    m_marker.Follow();
}

LRESULT CMediaClipWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE: {
        RECT client{};
        GetClientRect(hWnd, &client);
        DrawIdlePicture(client.right, client.bottom);
        return 0;
    }
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        m_background.CopyTo(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        m_background.CopyTo(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_MOVE:
        m_marker.Follow();
        return 0;
    case WM_SHOWWINDOW:
        if (m_zoomActive && m_marker.hWnd)
            ShowWindow(m_marker.hWnd, wParam ? SW_SHOWNA : SW_HIDE);
        return 0;
    case WM_LBUTTONDOWN:
        if (ShowsPictures())
            SendMessageA(GetParent(hWnd), kSelectChannelMessage, 0, reinterpret_cast<LPARAM>(this));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick();
        return 0;
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    default:
        *handled = false;
        return 0;
    }
}
