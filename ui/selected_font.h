#pragma once
// A font selected into a DC for as long as this lives; the one it replaced
// comes back at the end. A null font leaves the DC as it is.

#include "platform/gdi.h"

class TSelectedFont {
public:
    TSelectedFont(HDC dc, HFONT font)
        : m_dc(dc), m_previous(font ? SelectObject(dc, font) : nullptr) {}
    ~TSelectedFont() {
        if (m_previous)
            SelectObject(m_dc, m_previous);
    }
    TSelectedFont(const TSelectedFont&) = delete;
    TSelectedFont& operator=(const TSelectedFont&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
