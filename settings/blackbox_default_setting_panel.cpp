#include "settings/blackbox_default_setting_panel.h"

#include <cstdio>

#include "settings/camera_settings.h"

namespace {

constexpr int Margin = 24;
constexpr int HeadingTop = 14;
constexpr int FirstRowTop = 48;
constexpr int RowPitch = 29;
constexpr int ControlHeight = 24;
constexpr int ControlWidth = 240;

std::wstring FirmwareLine() {
    const auto& firmware = CameraSettings().firmware;
    char line[64];
    std::snprintf(line, sizeof line, "FW Ver. : %d.%d.%03d", firmware[0], firmware[1], firmware[2]);
    return std::wstring(line, line + std::char_traits<char>::length(line));
}

} // namespace

void CBlackboxDefaultSettingPanel::OnInitPanel(LPARAM) {
    AddHeading(FirmwareLine(), Margin, HeadingTop, Width() - Margin);
    TItemRows rows;
    rows.left = Margin;
    rows.top = FirstRowTop;
    rows.controlWidth = ControlWidth;
    rows.captionWidth = Width() - 2 * Margin - ControlWidth;
    rows.pitch = RowPitch;
    rows.controlHeight = ControlHeight;
    m_controls.Create(hWnd, m_items, rows, Fonts(), &m_labels);
}
