#include "settings/settings_panel.h"

namespace {

constexpr int IconGap = 8;
constexpr int HeadingHeight = 20;

} // namespace

CSettingsPanel::~CSettingsPanel() {
    DestroyOwnWindow();
    if (m_brush)
        DeleteObject(m_brush);
}

bool CSettingsPanel::Create(HWND parent, const RECT& rect, int panelId) {
    if (!RegisterWindowClass(DefaultPanelClass, BoundWindowProcedure))
        return false;
    SetClassName(DefaultPanelClass);
    m_width = rect.right - rect.left;
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect,
                             parent, panelId) != nullptr;
}

void CSettingsPanel::PrepareBackground(HDC dc, const RECT& client) {
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    if (!background.Prepare(dc, width, height))
        return;
    DrawSkinPicture(background.dc, dc, client, m_backgroundPath);
    if (!m_brush)
        m_brush = CreateSolidBrush(GetPixel(background.dc, 0, 0));
}

void CSettingsPanel::OnDestroy() {
    background.Release();
}

// The panel keeps the place its dialog gave it.
void CSettingsPanel::OnSize(int, int) {}

void CSettingsPanel::OnPaint(HDC dc) {
    if (!background.released) {
        RECT client;
        GetClientRect(hWnd, &client);
        BitBlt(dc, 0, 0, client.right, client.bottom, background.dc, 0, 0, SRCCOPY);
    }
    for (const RECT& icon : m_icons)
        DrawSkinPicture(dc, dc, icon, SettingsIconImage);
    DrawLabelBoxes(dc, m_labels);
}

HBRUSH CSettingsPanel::OnCtlColorStatic(HDC, HWND) {
    return m_brush;
}

void CSettingsPanel::AddHeading(const std::wstring& text, int left, int top, int right) {
    const int iconTop = top + (HeadingHeight - SettingsIconSize) / 2;
    m_icons.push_back(RECT{left, iconTop, left + SettingsIconSize, iconTop + SettingsIconSize});
    m_labels.push_back(
        TLabelBox{text, RECT{left + SettingsIconSize + IconGap, top, right, top + HeadingHeight},
                  Fonts().heading, SettingsHeadingColour});
}

void CSettingsPanel::MakeButton(CActButton& button, int id, const char* captionKey,
                                POINT position) {
    const HDC surface = background.released ? nullptr : background.dc;
    m_labels.push_back(MakeSettingsButton(
        button, TSettingsButton{hWnd, id, captionKey, position, surface}, Fonts().body));
}
