#include "settings/memory_adjust_ctrl.h"

#include <algorithm>

#include "language/string_table.h"
#include "ui/memory_dc_man.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr int BarInset = 6;
constexpr int HandleWidth = 13;
constexpr int HandleHeight = 24;
constexpr int Intervals = MemoryPositions - 1;
// The track inside the bar picture, and the colours of the three shares:
// continuous, event and parking recordings.
constexpr int TrackTop = 15;
constexpr int TrackBottom = 21;
constexpr int TrackLeft = 8;
constexpr int TrackRightInset = 8;
constexpr COLORREF ShareColours[] = {RGB(63, 185, 80), RGB(240, 82, 74), RGB(227, 167, 47)};
constexpr const char* BarImage = "resource/skin/dialogs/SD_Slider_bg.png";
constexpr const char* HandleImage = "resource/skin/dialogs/icon_sd_thumb.png";

TMemoryMarkers WithinRules(TMemoryMarkers markers) {
    auto onStep = [](int percent) { return percent / MemoryPercentStep * MemoryPercentStep; };
    markers.upper = std::clamp(onStep(markers.upper), MemoryHandleLowest + MemoryHandleGap,
                               MemoryHandleHighest);
    markers.lower =
        std::clamp(onStep(markers.lower), MemoryHandleLowest, markers.upper - MemoryHandleGap);
    return markers;
}

} // namespace

CMemoryAdjustCtrl::CMemoryAdjustCtrl() : m_confirm(ConfirmMemoryChange) {
    SetClassName(MemoryAdjustClass);
}

CMemoryAdjustCtrl::~CMemoryAdjustCtrl() {
    DestroyOwnWindow();
    m_bar.Release();
    m_thumb.Release();
}

bool CMemoryAdjustCtrl::Create(HWND parent, const RECT& rect, int controlId) {
    if (!RegisterWindowClass(MemoryAdjustClass, BoundWindowProcedure))
        return false;
    m_width = rect.right - rect.left;
    m_height = rect.bottom - rect.top;
    HDC reference = GetDC(parent);
    const bool pictures = m_bar.Prepare(reference, m_width, m_height) &&
                          DrawImageFileOver(m_bar, nullptr, 0, 0, m_width, m_height,
                                            ResolveSkinPath(BarImage).c_str()) &&
                          m_thumb.Prepare(reference, HandleWidth, HandleHeight) &&
                          DrawImageFileOver(m_thumb, nullptr, 0, 0, HandleWidth, HandleHeight,
                                            ResolveSkinPath(HandleImage).c_str());
    ReleaseDC(parent, reference);
    if (!pictures)
        return false;
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE, rect, parent, controlId) != nullptr;
}

void CMemoryAdjustCtrl::SetMarkers(const TMemoryMarkers& markers) {
    m_markers = WithinRules(markers);
    Moved();
}

int CMemoryAdjustCtrl::StepWidth() const {
    return std::max(1, m_width / Intervals);
}

int CMemoryAdjustCtrl::CentreOf(int percent) const {
    const int cell = percent / MemoryPercentStep;
    return BarInset + cell * StepWidth() + StepWidth() / 2;
}

RECT CMemoryAdjustCtrl::HandleRect(int percent) const {
    const int left = CentreOf(percent) - HandleWidth / 2;
    const int top = (m_height - HandleHeight) / 2;
    return RECT{left, top, left + HandleWidth, top + HandleHeight};
}

void CMemoryAdjustCtrl::OnButtonDown(POINT point) {
    const RECT lower = HandleRect(m_markers.lower);
    const RECT upper = HandleRect(m_markers.upper);
    if (PtInRect(&upper, point)) {
        m_held = TMemoryBarHandle::Upper;
        m_heldBefore = m_markers.upper;
    } else if (PtInRect(&lower, point)) {
        m_held = TMemoryBarHandle::Lower;
        m_heldBefore = m_markers.lower;
    } else {
        return;
    }
    SetCapture(hWnd);
}

void CMemoryAdjustCtrl::OnDrag(POINT point) {
    if (m_held == TMemoryBarHandle::None || point.x < BarInset)
        return;
    const int value = (point.x - BarInset) / StepWidth() * MemoryPercentStep;
    if (value < MemoryHandleLowest || value > MemoryHandleHighest)
        return;
    int& marker = m_held == TMemoryBarHandle::Lower ? m_markers.lower : m_markers.upper;
    const bool apart = m_held == TMemoryBarHandle::Lower
                           ? value < m_markers.upper - MemoryPercentStep
                           : value > m_markers.lower + MemoryPercentStep;
    if (!apart || value == marker)
        return;
    marker = value;
    Moved();
}

void CMemoryAdjustCtrl::OnButtonUp() {
    if (m_held == TMemoryBarHandle::None)
        return;
    const TMemoryBarHandle held = m_held;
    m_held = TMemoryBarHandle::None;
    ReleaseCapture();
    if (m_confirm && m_confirm(hWnd)) {
        m_changed = true;
        return;
    }
    (held == TMemoryBarHandle::Lower ? m_markers.lower : m_markers.upper) = m_heldBefore;
    Moved();
}

void CMemoryAdjustCtrl::Moved() {
    if (hWnd)
        InvalidateRect(hWnd, nullptr, FALSE);
    if (m_moved)
        m_moved(m_markers);
}

void CMemoryAdjustCtrl::Paint(HDC dc) {
    TMemoryDC frame;
    if (!frame.Prepare(dc, m_width, m_height))
        return;
    BitBlt(frame.dc, 0, 0, m_width, m_height, m_bar.dc, 0, 0, SRCCOPY);
    const int edges[] = {TrackLeft, CentreOf(m_markers.lower), CentreOf(m_markers.upper),
                         m_width - TrackRightInset};
    for (int share = 0; share < 3; ++share)
        FillSolid(frame.dc, RECT{edges[share], TrackTop, edges[share + 1], TrackBottom},
                  ShareColours[share]);
    for (int percent : {m_markers.lower, m_markers.upper}) {
        const RECT handle = HandleRect(percent);
        BitBlt(frame.dc, handle.left, handle.top, HandleWidth, HandleHeight, m_thumb.dc, 0, 0,
               SRCCOPY);
    }
    BitBlt(dc, 0, 0, m_width, m_height, frame.dc, 0, 0, SRCCOPY);
    frame.Release();
}

LRESULT CMemoryAdjustCtrl::OnMessage(UINT message, WPARAM, LPARAM lParam, bool* handled) {
    *handled = true;
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        Paint(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        OnButtonDown(point);
        return 0;
    case WM_MOUSEMOVE:
        OnDrag(point);
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp();
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

bool ConfirmMemoryChange(HWND control) {
    std::string text;
    GetString("viewer_setting.memory_management_desc.title", &text, nullptr);
    return ShowMessageBox(GetParent(control), text.c_str(), nullptr, MB_YESNO) == IDYES;
}
