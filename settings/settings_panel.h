#pragma once
// The base of the settings dialogs' panels: a flat skin picture stretched
// under the panel, static controls blended into it by a brush of its
// top-left colour, and the panel's texts drawn from a list of boxes that
// the tests can measure.

#include "settings/settings_look.h"
#include "ui/panel.h"

class CSettingsPanel : public CPanel {
public:
    CSettingsPanel(const char* backgroundPath, const TSettingsFonts& fonts)
        : m_backgroundPath(backgroundPath), m_fonts(&fonts) {}
    ~CSettingsPanel() override;

    // Made at `rect` of `parent`; false when the window could not be made.
    bool Create(HWND parent, const RECT& rect, int panelId);
    // Every text of the panel and the room each has.
    const TLabelBoxes& Labels() const { return m_labels; }

protected:
    void PrepareBackground(HDC dc, const RECT& client) override;
    void OnDestroy() override;
    void OnSize(int width, int height) override;
    void OnPaint(HDC dc) override;
    HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
    // WM_CREATE: make the controls and fill the labels.
    void OnInitPanel(LPARAM parameter) override = 0;

    const TSettingsFonts& Fonts() const { return *m_fonts; }
    int Width() const { return m_width; }
    // A bold section heading with the section icon before it, at `top`.
    void AddHeading(const std::wstring& text, int left, int top, int right);
    // A push button with the dialogs' light face; its caption joins the labels.
    void MakeButton(CActButton& button, int id, const char* captionKey, POINT position);

    TLabelBoxes m_labels;

private:
    const char* m_backgroundPath;
    const TSettingsFonts* m_fonts;
    HBRUSH m_brush = nullptr;
    int m_width = 0;
    std::vector<RECT> m_icons;
};
