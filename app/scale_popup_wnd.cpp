#include "app/scale_popup_wnd.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include "app/magnifier_geometry.h"

namespace {

// How often a running magnifier draws the picture under the marker.
constexpr DWORD kRedrawPeriodMs = 40;

} // namespace

CScalePopupWnd::~CScalePopupWnd() {
    EndThread();
    DestroyOwnWindow();
}

bool CScalePopupWnd::Create(HWND owner, POINT screenPosition, TFrameSource source) {
    m_source = std::move(source);
    SetClassName(kScalePopupClass);
    if (!RegisterWindowClass(kScalePopupClass, BoundWindowProcedure))
        return false;
    HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE, kScalePopupClass, "",
                        WS_POPUP | WS_VISIBLE, screenPosition.x, screenPosition.y, kMagnifierWidth,
                        kMagnifierHeight, owner, nullptr, GetModuleHandleA(nullptr), this);
    if (!window)
        return false;
    RECT client{};
    GetClientRect(window, &client);
    m_client = SIZE{client.right, client.bottom};
    if (m_display.Create(window, client.right, client.bottom) != S_OK)
        return false;
    return m_thread.Start([this] { DrawingThread(); }, "magnifier");
}

void CScalePopupWnd::Refresh() {
    m_drawing = true;
    m_wake.Set();
}

void CScalePopupWnd::StopDrawing() {
    m_drawing = false;
    m_wake.Set();
}

void CScalePopupWnd::EndThread() {
    if (!m_thread.Started())
        return;
    m_quit = true;
    m_wake.Set();
    m_thread.Join();
}

void CScalePopupWnd::DrawingThread() {
    while (!m_quit) {
        if (!m_drawing) {
            m_wake.Wait(INFINITE);
            continue;
        }
        if (DrawOnce())
            ++m_drawn;
        m_wake.Wait(kRedrawPeriodMs);
    }
}

bool CScalePopupWnd::ConvertFrame(const AVFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0)
        return false;
    if (m_frameSurface.width != frame.width || m_frameSurface.height != frame.height)
        m_frameSurface.Allocate(frame.width, frame.height);
    m_scaler.reset(sws_getCachedContext(
        m_scaler.release(), frame.width, frame.height, static_cast<AVPixelFormat>(frame.format),
        frame.width, frame.height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr));
    if (!m_scaler)
        return false;
    std::uint8_t* planes[4] = {reinterpret_cast<std::uint8_t*>(m_frameSurface.pixels.data()),
                               nullptr, nullptr, nullptr};
    int strides[4] = {m_frameSurface.pitchPixels * 4, 0, 0, 0};
    return sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) >
           0;
}

bool CScalePopupWnd::DrawOnce() {
    if (!m_source)
        return false;
    const TFrameHandle frame = m_source(m_target.slot);
    if (!frame || !ConvertFrame(*frame))
        return false;
    const RECT region = MagnifiedRegion(m_client, SIZE{m_target.videoWidth, m_target.videoHeight},
                                        SIZE{frame->width, frame->height},
                                        POINT{m_target.markerX, m_target.markerY});
    if (m_display.BltFrom(RECT{0, 0, m_client.cx, m_client.cy}, &m_frameSurface, region) != S_OK)
        return false;
    return m_display.Present() == S_OK;
}

LRESULT CScalePopupWnd::OnMessage(UINT message, WPARAM, LPARAM, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the last picture stays until the next one
    case WM_DESTROY:
        EndThread();
        m_display.DestroyObjects();
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
