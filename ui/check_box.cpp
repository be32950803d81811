#include "ui/check_box.h"

#include <algorithm>
#include <utility>

namespace {

constexpr LONG ImageAndGap = 27;
constexpr LONG ItemHeight = 12;
constexpr LONG ImageSize = 13;
constexpr LONG TextGap = 8;

} // namespace

TCheckBoxItem::TCheckBoxItem(std::wstring text, HFONT font, UINT state)
    : m_text(std::move(text)), m_font(font) {
    SetState(state);
}

void TCheckBoxItem::Layout(HDC dc, const RECT& area, TItemAlign align) {
    SIZE extent{};
    HGDIOBJ previous = m_font ? SelectObject(dc, m_font) : nullptr;
    GetTextExtentPoint32W(dc, m_text.c_str(), static_cast<int>(m_text.size()), &extent);
    if (previous)
        SelectObject(dc, previous);
    const LONG width = extent.cx + ImageAndGap;
    m_rect.left =
        align == TItemAlign::Centred ? area.left + (area.right - area.left - width) / 2 : area.left;
    m_rect.right = m_rect.left + width;
    m_rect.top = area.top;
    // The picture is one pixel taller than the item.
    m_rect.bottom = area.top + ItemHeight + 1;
}

void TCheckBoxItem::SetState(UINT state) {
    m_stateId = std::min(state, CheckBoxChoiceOn);
    m_baseId = m_stateId & ~1u;
}

bool TCheckBoxItem::Click(HWND owner, POINT point) {
    if (!PtInRect(&m_rect, point))
        return false;
    m_stateId = m_stateId == m_baseId ? m_baseId + 1 : m_baseId;
    SendMessageA(owner, WM_CHECKBOX_TOGGLED, m_stateId, reinterpret_cast<LPARAM>(this));
    InvalidateRect(owner, &m_rect, FALSE);
    return true;
}

void TCheckBoxItem::Paint(HDC dc, const TImageAtlas& atlas) const {
    const LONG imageTop = m_rect.top + (m_rect.bottom - m_rect.top - ImageSize) / 2;
    RECT image{m_rect.left, imageTop, m_rect.left + ImageSize, imageTop + ImageSize};
    atlas.Draw(dc, &image, m_stateId);
    HGDIOBJ previous = m_font ? SelectObject(dc, m_font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    RECT box{m_rect.left + ImageSize + TextGap, m_rect.top, m_rect.right, m_rect.bottom};
    DrawTextW(dc, m_text.c_str(), -1, &box, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (previous)
        SelectObject(dc, previous);
}
