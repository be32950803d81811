#include "app/video_control_bar.h"

#include "ui/memory_dc_man.h"
#include "ui/slider_bar_ex.h"

namespace {

constexpr int kTimeBandHeight = 26;
constexpr int kPlaybackBandHeight = 44;
constexpr int kBarHeight = kControlBarHeight;

void Stretch(HDC dc, const RECT& target, SkinImage image) {
    const TMemoryDC& picture = SharedImage(image);
    if (!picture.dc || picture.width <= 0 || picture.height <= 0)
        return;
    StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               picture.dc, 0, 0, picture.width, picture.height, SRCCOPY);
}

} // namespace

CVideoControlBar::~CVideoControlBar() {
    DestroyOwnWindow();
    m_background.Release();
}

TMainLayout CVideoControlBar::BarLayout() {
    TMainLayout layout{};
    layout.positionBand = RECT{0, 0, kControlBarWidth, kTimeBandHeight};
    layout.playbackBand =
        RECT{0, kTimeBandHeight, kControlBarWidth, kTimeBandHeight + kPlaybackBandHeight};
    return layout;
}

bool CVideoControlBar::Create(HWND owner) {
    m_owner = owner;
    SetClassName(kVideoControlBarClass);
    if (!RegisterWindowClass(kVideoControlBarClass, BoundWindowProcedure, TClassStyle::Plain))
        return false;
    HWND window = CreateWindowExA(
        0, kVideoControlBarClass, "", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
        kControlBarWidth, kBarHeight, owner, nullptr, GetModuleHandleA(nullptr), this);
    if (!window)
        return false;
    DrawBackground();
    m_controls.Create(hWnd, m_background.dc, BarLayout(), TControlSet::ControlBar);
    return true;
}

void CVideoControlBar::DrawBackground() {
    HDC reference = GetDC(hWnd);
    m_background.Prepare(reference, kControlBarWidth, kBarHeight);
    ReleaseDC(hWnd, reference);
    if (!m_background.dc)
        return;
    const TMainLayout layout = BarLayout();
    Stretch(m_background.dc, layout.positionBand, SkinImage::TimeBarBackground);
    Stretch(m_background.dc, RECT{0, kTimeBandHeight, kControlBarWidth, kBarHeight},
            SkinImage::ControlBarBackground);
}

RECT CVideoControlBar::PlaceIn(const RECT& workArea) {
    const int height = kBarHeight;
    const int left = workArea.left + (workArea.right - workArea.left - kControlBarWidth) / 2;
    const int bottom = workArea.bottom - kControlBarBottomGap;
    return RECT{left, bottom - height, left + kControlBarWidth, bottom};
}

void CVideoControlBar::FollowPointer(POINT pointer, const RECT& workArea) {
    if (!hWnd)
        return;
    const RECT place = PlaceIn(workArea);
    const bool nearBottom = pointer.y >= workArea.bottom - kControlBarReach;
    const bool onBar = pointer.y >= place.top && pointer.x >= place.left && pointer.x < place.right;
    const bool shown = IsWindowVisible(hWnd) != FALSE;
    if (nearBottom) {
        if (!shown)
            SetWindowPos(hWnd, HWND_TOPMOST, place.left, place.top, kControlBarWidth, kBarHeight,
                         SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return;
    }
    // Going up onto the bar's upper controls must not send it away.
    if (shown && !onBar)
        ShowWindow(hWnd, SW_HIDE);
}

void CVideoControlBar::ShowTimes(int positionSeconds, int durationSeconds) {
    m_controls.DrawTimes(hWnd, m_background.dc, positionSeconds, durationSeconds);
}

LRESULT CVideoControlBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_COMMAND:
    case WM_SLIDER_CHANGING:
    case WM_SLIDER_SET:
    case WM_SLIDER_PRESSED:
        // The bar's controls are the main window's, seen from afar.
        return SendMessageA(m_owner, message, wParam, lParam);
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
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    default:
        *handled = false;
        return 0;
    }
}
