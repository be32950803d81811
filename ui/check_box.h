#pragma once
// The drawn check box item of the settings panels: a 13 x 13 picture from
// the check box atlas followed by its text, toggled by a click.

#include <string>

#include "platform/windows.h"
#include "ui/image_atlas.h"

// Sent to the owner: wParam = the new state id, lParam = the item.
inline constexpr UINT WM_CHECKBOX_TOGGLED = 2524;
inline constexpr UINT CheckBoxTickOff = 0;
inline constexpr UINT CheckBoxTickOn = 1;
inline constexpr UINT CheckBoxChoiceOff = 2;
inline constexpr UINT CheckBoxChoiceOn = 3;

struct TCheckBoxItem {
    RECT rect{};
    std::wstring text;
    HFONT font = nullptr;
    UINT stateId = CheckBoxTickOff;
    UINT baseId = CheckBoxTickOff;

    // Places the item at the top left of `area` (or centred across it),
    // as wide as its text needs.
    void Layout(HDC dc, const RECT& area, bool centred);
    void SetState(UINT state);
    bool Checked() const { return stateId != baseId; }
    // A click inside the item toggles it, tells `owner` and repaints.
    bool Click(HWND owner, POINT point);
    void Paint(HDC dc, const TImageAtlas& atlas) const;
};
