#include "app/channel_label.h"

#include "language/language_fonts.h"
#include "language/wide_text.h"
#include "platform/gdi.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF kTextColour = RGB(195, 200, 207);
constexpr COLORREF kFallbackBackground = RGB(27, 29, 33);
constexpr int kMarkSize = 8;
constexpr int kMarkLeft = 2;
constexpr int kTextLeft = kMarkLeft + kMarkSize + 6;

// The label stands on the video area, whose picture is one flat colour.
COLORREF AreaColour() {
    const TMemoryDC& area = SharedImage(SkinImage::ToolbarBackground);
    return area.dc ? GetPixel(area.dc, 0, 0) : kFallbackBackground;
}

} // namespace

TChannelLabelInfo::~TChannelLabelInfo() {
    DestroyOwnWindow();
    m_background.Release();
}

bool TChannelLabelInfo::Create(HWND parent, const RECT& rect, const char* text) {
    m_text = text ? text : "";
    SetClassName(kChannelLabelClass);
    if (!RegisterWindowClass(kChannelLabelClass, BoundWindowProcedure))
        return false;
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent) !=
           nullptr;
}

void TChannelLabelInfo::SetMark(TLabelMark mark) {
    if (mark == m_mark)
        return;
    m_mark = mark;
    Draw();
    InvalidateRect(hWnd, nullptr, FALSE);
}

void TChannelLabelInfo::Draw() {
    RECT client{};
    GetClientRect(hWnd, &client);
    HDC reference = GetDC(hWnd);
    m_background.Prepare(reference, client.right, client.bottom);
    ReleaseDC(hWnd, reference);
    HDC dc = m_background.dc;
    if (!dc)
        return;
    FillSolid(dc, client, AreaColour());
    const int markTop = (client.bottom - kMarkSize) / 2;
    m_markRect = RECT{kMarkLeft, markTop, kMarkLeft + kMarkSize, markTop + kMarkSize};
    const TMemoryDC& mark = SharedImage(SkinImage::RedPoint);
    if (m_mark == TLabelMark::Selected && mark.dc)
        StretchBlt(dc, m_markRect.left, m_markRect.top, kMarkSize, kMarkSize, mark.dc, 0, 0,
                   mark.width, mark.height, SRCCOPY);
    m_textRect = RECT{kTextLeft, 0, client.right, client.bottom};
    HFONT font = SharedFonts().control;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColour);
    const std::wstring text = Utf8ToWide(m_text);
    DrawTextW(dc, text.c_str(), -1, &m_textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (previous)
        SelectObject(dc, previous);
}

LRESULT TChannelLabelInfo::OnMessage(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        Draw();
        return 0;
    case WM_SIZE:
        Draw();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        m_background.CopyTo(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    default:
        (void)wParam;
        *handled = false;
        return 0;
    }
}
