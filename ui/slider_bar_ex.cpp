#include "ui/slider_bar_ex.h"

#include <algorithm>
#include <cstdlib>

#include "platform/cursor.h"
#include "platform/thread.h"
#include "platform/tooltip.h"
#include "ui/memory_dc_man.h"

CSliderBarEx::~CSliderBarEx() {
    DestroyOwnWindow();
    m_composition.Release();
}

bool CSliderBarEx::Create(const TSliderOptions& options) {
    m_options = options;
    // Only needed while the window is made.
    m_options.tooltip = nullptr;
    m_atlas = options.atlas ? options.atlas : &SliderAtlas();
    if (!RegisterWindowClass(SliderClass, BoundWindowProcedure, TClassStyle::Plain))
        return false;
    SetClassName(SliderClass);
    if (!CreateBoundWindow(this, WS_CHILD | WS_VISIBLE, options.rect, options.parent,
                           options.controlId))
        return false;
    if (options.tooltip)
        m_hasTooltip = AttachToolTip(hWnd, options.tooltip) != FALSE;
    return true;
}

void CSliderBarEx::Repaint() {
    if (hWnd)
        InvalidateRect(hWnd, nullptr, TRUE);
}

void CSliderBarEx::SetRange(int minimum, int maximum) {
    const auto [low, high] = std::minmax(minimum, maximum);
    if (low == m_minValue && high == m_maxValue)
        return;
    m_minValue = low;
    m_maxValue = high;
    m_position = std::clamp(m_position, low, high);
    Repaint();
}

void CSliderBarEx::SetPosition(int value, TSliderNotify notify) {
    const int clamped = std::clamp(value, m_minValue, m_maxValue);
    if (clamped == m_position)
        return;
    m_position = clamped;
    Repaint();
    if (notify == TSliderNotify::Set)
        Notify(WM_SLIDER_SET);
}

void CSliderBarEx::SetPageStep(int step) {
    m_pageStep = std::max(0, step);
}

void CSliderBarEx::SetEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    // A drag cannot outlive the slider's enabled state: its release would be ignored.
    if (!enabled && m_dragging && GetCapture() == hWnd)
        ReleaseCapture();
    Repaint();
}

int CSliderBarEx::CentreOfPosition(int value) const {
    const TSliderOptions& o = m_options;
    const double span = m_maxValue - m_minValue;
    const double fraction = span == 0 ? 0.0 : (value - m_minValue) / span;
    if (!Vertical()) {
        const int track = m_clientWidth - o.marginRight - m_thumbWidth - o.marginLeft;
        return m_thumbWidth / 2 + o.marginLeft + static_cast<int>(track * fraction);
    }
    const int track = m_clientHeight - o.marginBottom - m_thumbHeight - o.marginTop;
    return (m_clientHeight - 1) - m_thumbHeight / 2 - o.marginTop -
           static_cast<int>(track * fraction);
}

int CSliderBarEx::PositionOfCentre(int centre) const {
    const TSliderOptions& o = m_options;
    const double span = m_maxValue - m_minValue;
    const double track = Vertical() ? m_clientHeight - o.marginBottom - o.marginTop - m_thumbHeight
                                    : m_clientWidth - o.marginRight - o.marginLeft - m_thumbWidth;
    if (track <= 0)
        return m_minValue;
    const double along = Vertical() ? m_clientHeight - m_thumbHeight / 2 - o.marginTop - centre
                                    : centre - m_thumbWidth / 2 - o.marginLeft;
    return static_cast<int>(m_minValue + along / track * span);
}

int CSliderBarEx::ClampedPosition() const {
    return std::clamp(m_position, m_minValue, m_maxValue);
}

void CSliderBarEx::Notify(UINT message) {
    if (!hWnd)
        return;
    PostMessageA(GetParent(hWnd), message, static_cast<WPARAM>(GetDlgCtrlID(hWnd)),
                 static_cast<LPARAM>(ClampedPosition()));
}

void CSliderBarEx::OnLButtonDown(int x, int y) {
    SetCapture(hWnd);
    SetFocus(hWnd);
    m_dragging = true;
    const int press = Vertical() ? y : x;
    const int half = Vertical() ? m_thumbHeight / 2 : m_thumbWidth / 2;
    const int centre = CentreOfPosition(m_position);
    if (std::abs(press - centre) <= half) {
        m_grabOffset = press - centre;
    } else {
        m_grabOffset = 0;
        DragTo(x, y);
    }
    Repaint();
    Notify(WM_SLIDER_PRESSED);
}

void CSliderBarEx::DragTo(int x, int y) {
    const TSliderOptions& o = m_options;
    int centre = 0;
    if (!Vertical()) {
        centre = std::max(x - m_grabOffset, o.marginLeft + m_thumbWidth / 2);
        centre = std::min(centre, m_clientWidth - o.marginRight - m_thumbWidth / 2);
    } else {
        centre = std::max(y - m_grabOffset, o.marginTop + m_thumbHeight / 2);
        centre = std::min(centre, m_clientHeight - o.marginBottom - m_thumbHeight / 2);
    }
    // Stored as the track says, even a step past the range's end; what is
    // reported is clamped.
    if (centre != CentreOfPosition(m_position)) {
        m_position = PositionOfCentre(centre);
        Repaint();
    }
    const DWORD now = GetTickCount();
    if (m_options.dragReports == TDragReports::Throttled &&
        now - m_lastNotifyTick < GetDoubleClickTime())
        return;
    Notify(WM_SLIDER_CHANGING);
    m_lastNotifyTick = now;
}

void CSliderBarEx::OnKey(WPARAM key) {
    // A vertical slider grows upwards, so Up and Down swap their sense.
    const int lineUp = Vertical() ? 1 : -1;
    int value = m_position;
    switch (key) {
    case VK_PRIOR:
        value = m_position + m_pageStep;
        break;
    case VK_NEXT:
        value = m_position - m_pageStep;
        break;
    case VK_END:
        value = m_maxValue;
        break;
    case VK_HOME:
        value = m_minValue;
        break;
    case VK_LEFT:
        value = m_position - 1;
        break;
    case VK_RIGHT:
        value = m_position + 1;
        break;
    case VK_UP:
        value = m_position + lineUp;
        break;
    case VK_DOWN:
        value = m_position - lineUp;
        break;
    default:
        return;
    }
    // Reported even when the position stays, at either end of the range.
    SetPosition(value);
    Notify(WM_SLIDER_SET);
}

RECT CSliderBarEx::Across(int from, int size) const {
    return Vertical() ? RECT{0, from, m_clientWidth, from + size}
                      : RECT{from, 0, from + size, m_clientHeight};
}

void CSliderBarEx::DrawPiece(HDC dc, const RECT& target, UINT id, TTrackPart part) const {
    const RECT* stored = m_atlas->Find(id);
    if (!stored || target.right <= target.left || target.bottom <= target.top)
        return;
    const int cap = m_options.capLength;
    const int length = Vertical() ? stored->bottom - stored->top : stored->right - stored->left;
    int from = 0;
    int size = length;
    switch (part) {
    case TTrackPart::WithoutStartCap:
        from = cap;
        size = std::max(1, length - cap);
        break;
    case TTrackPart::WithoutEndCap:
        size = std::max(1, length - cap);
        break;
    case TTrackPart::StartCap:
        size = cap;
        break;
    case TTrackPart::EndCap:
        from = length - cap;
        size = cap;
        break;
    }
    RECT source = *stored;
    if (Vertical()) {
        source.top += from;
        source.bottom = source.top + size;
    } else {
        source.left += from;
        source.right = source.left + size;
    }
    StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               m_atlas->surface.dc, source.left, source.top, source.right - source.left,
               source.bottom - source.top, SRCCOPY);
}

void CSliderBarEx::DrawTrack(HDC dc, int centre) const {
    // Horizontally the on track leads up to the thumb; vertically the value
    // grows upwards, so the off track comes first from the top.
    const UINT first = Vertical() ? m_options.look.offId : m_options.look.onId;
    const UINT second = Vertical() ? m_options.look.onId : m_options.look.offId;
    const int cap = m_options.capLength;
    const int length = Vertical() ? m_clientHeight : m_clientWidth;
    DrawPiece(dc, Across(cap, centre - cap), first, TTrackPart::WithoutStartCap);
    DrawPiece(dc, Across(centre, length - cap - centre), second, TTrackPart::WithoutEndCap);
    if (cap <= 0)
        return;
    DrawPiece(dc, Across(0, cap), first, TTrackPart::StartCap);
    DrawPiece(dc, Across(length - cap, cap), second, TTrackPart::EndCap);
}

void CSliderBarEx::Compose(HDC target) {
    if (m_clientWidth <= 0 || m_clientHeight <= 0 || !m_atlas || !target)
        return;
    if (!m_composition.Prepare(target, m_clientWidth, m_clientHeight))
        return;
    HDC dc = m_composition.dc;
    RECT all{0, 0, m_clientWidth, m_clientHeight};
    // The whole slider is composed again each time, so a moved thumb leaves
    // nothing behind.
    if (!m_enabled) {
        m_atlas->Draw(dc, &all, m_options.look.offId);
    } else {
        const int centre = CentreOfPosition(m_position);
        DrawTrack(dc, centre);
        const UINT thumb = m_dragging ? m_options.look.pressedThumbId : m_options.look.thumbId;
        const int left = Vertical() ? m_options.marginLeft : centre - m_thumbWidth / 2;
        const int top = Vertical() ? centre - m_thumbHeight / 2 : m_options.marginTop;
        RECT place{left, top, left + m_thumbWidth, top + m_thumbHeight};
        m_atlas->Draw(dc, &place, thumb);
    }
    if (m_options.showFocus && m_hasFocus)
        DrawFocusRect(dc, &all);
    BitBlt(target, 0, 0, m_clientWidth, m_clientHeight, dc, 0, 0, SRCCOPY);
}

LRESULT CSliderBarEx::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        if (const RECT* thumb = m_atlas ? m_atlas->Find(m_options.look.thumbId) : nullptr) {
            m_thumbWidth = thumb->right - thumb->left;
            m_thumbHeight = thumb->bottom - thumb->top;
        }
        return 0;
    case WM_SIZE:
        m_clientWidth = LOWORD(lParam);
        m_clientHeight = HIWORD(lParam);
        Repaint();
        return 0;
    case WM_ERASEBKGND:
        Compose(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        Compose(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (m_enabled)
            OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (m_dragging && m_enabled)
            DragTo(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (!m_enabled)
            return 0;
        if (m_dragging) {
            // Cleared first: releasing the capture reports a capture change.
            m_dragging = false;
            ReleaseCapture();
            Repaint();
            Notify(WM_SLIDER_SET);
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_dragging = false;
        Repaint();
        return 0;
    case WM_KEYDOWN:
        if (m_enabled)
            OnKey(wParam);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_hasFocus = message == WM_SETFOCUS;
        Repaint();
        return 0;
    case WM_DESTROY:
        if (m_hasTooltip)
            AttachToolTip(hWnd, nullptr);
        m_hasTooltip = false;
        m_composition.Release();
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
