#pragma once
// The drawn check box item of the settings panels: a 13 x 13 picture from
// the check box atlas followed by its text, toggled by a click.

#include <string>

#include "platform/windows.h"
#include "ui/image_atlas.h"

// Sent to the owner: wParam = the new state id, lParam = the item.
inline constexpr UINT WM_CHECKBOX_TOGGLED = 2524;
// The atlas pictures come in pairs, off and on: a tick box and a choice.
inline constexpr UINT CheckBoxTickOff = 0;
inline constexpr UINT CheckBoxTickOn = 1;
inline constexpr UINT CheckBoxChoiceOff = 2;
inline constexpr UINT CheckBoxChoiceOn = 3;

enum class TItemAlign { Left, Centred };

class TCheckBoxItem {
public:
    TCheckBoxItem(std::wstring text, HFONT font, UINT state = CheckBoxTickOff);

    // Places the item at the top left of `area` (or centred across it), as
    // wide as its text needs.
    void Layout(HDC dc, const RECT& area, TItemAlign align = TItemAlign::Left);
    // Any of the four atlas pictures; its pair is where clicks toggle.
    void SetState(UINT state);
    UINT StateId() const { return m_stateId; }
    bool Checked() const { return m_stateId != m_baseId; }
    const RECT& Rect() const { return m_rect; }
    // A click inside the item toggles it, tells `owner` and repaints.
    bool Click(HWND owner, POINT point);
    void Paint(HDC dc, const TImageAtlas& atlas) const;

private:
    RECT m_rect{};
    std::wstring m_text;
    HFONT m_font = nullptr;
    UINT m_stateId = CheckBoxTickOff;
    UINT m_baseId = CheckBoxTickOff;
};
