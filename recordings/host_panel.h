#pragma once
// A side window tab page that holds a window made elsewhere (the map panel)
// and keeps it at the page's size; without one it is an empty dark page.

#include "ui/panel.h"

inline constexpr COLORREF HostPanelColour = RGB(17, 17, 17);

class CHostPanel : public CPanel {
public:
    ~CHostPanel() override { DestroyOwnWindow(); }
    // Moves the window into the page, filling it; null empties the page.
    // The window stays its maker's to destroy.
    void SetHosted(HWND window);
    HWND Hosted() const { return m_hosted; }

private:
    void PrepareBackground(HDC dc, const RECT& client) override;
    void OnSize(int width, int height) override;
    void OnDestroy() override;
    void FitHosted();

    HWND m_hosted = nullptr;
};
