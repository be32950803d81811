#include "ui/check_box.h"

namespace {

constexpr LONG ImageAndGap = 27;
constexpr LONG ItemHeight = 12;
constexpr LONG ImageSize = 13;
constexpr LONG TextGap = 8;

}  // namespace

void TCheckBoxItem::Layout(HDC dc, const RECT& area, bool centred) {
    SIZE extent{};
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (previous)
        SelectObject(dc, previous);
    const LONG width = extent.cx + ImageAndGap;
    rect.left = centred ? area.left + (area.right - area.left - width) / 2 : area.left;
    rect.right = rect.left + width;
    rect.top = area.top;
    // The picture is one pixel taller than the item.
    rect.bottom = area.top + ItemHeight + 1;
}

void TCheckBoxItem::SetState(UINT state) {
    stateId = state;
    baseId = state & ~1u;
}

bool TCheckBoxItem::Click(HWND owner, POINT point) {
    if (!PtInRect(&rect, point))
        return false;
    stateId = stateId == baseId ? baseId + 1 : baseId;
    SendMessageA(owner, WM_CHECKBOX_TOGGLED, stateId, reinterpret_cast<LPARAM>(this));
    InvalidateRect(owner, &rect, FALSE);
    return true;
}

void TCheckBoxItem::Paint(HDC dc, const TImageAtlas& atlas) const {
    const LONG imageTop = rect.top + (rect.bottom - rect.top - ImageSize) / 2;
    RECT image{rect.left, imageTop, rect.left + ImageSize, imageTop + ImageSize};
    atlas.Draw(dc, &image, stateId, false);
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    RECT box{rect.left + ImageSize + TextGap, rect.top, rect.right, rect.bottom};
    DrawTextW(dc, text.c_str(), -1, &box, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (previous)
        SelectObject(dc, previous);
}
