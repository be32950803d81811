#include "settings/blackbox_system_setting_panel.h"

#include <string>

#include "language/string_table.h"
#include "settings/camera_settings_model.h"

namespace {

constexpr int Margin = 24;
constexpr int Indent = 24;
constexpr int SensorHeadingTop = 14;
constexpr int FirstSliderTop = 50;
constexpr int SliderPitch = 30;
constexpr int SliderRowHeight = 20;
constexpr int SliderHeight = 10;
constexpr int SliderCaptionWidth = 170;
constexpr int ValueWidth = 36;
constexpr int MemoryHeadingTop = 128;
constexpr int DescriptionTop = 156;
constexpr int DescriptionHeight = 66;
constexpr int MemoryBarTop = 230;
constexpr int MemoryBarWidth = 400;
constexpr int MemoryBarHeight = 36;
constexpr int ShareTop = 274;
constexpr int ShareNameHeight = 40;
constexpr int ShareValueHeight = 16;
constexpr int ShareSwatch = 10;
constexpr int ShareGap = 6;
constexpr int MemoryShareFull = 100;
constexpr const char* ShareNameKeys[] = {"button.continuous_file", "button.event_file",
                                         "button.motion_file"};
constexpr COLORREF ShareColours[] = {RGB(63, 185, 80), RGB(240, 82, 74), RGB(227, 167, 47)};

std::wstring Percent(int value) {
    const std::string text = std::to_string(value) + " %";
    return std::wstring(text.begin(), text.end());
}

} // namespace

CBlackboxSystemSettingPanel::CBlackboxSystemSettingPanel(std::string model,
                                                         const TSettingsFonts& fonts)
    : CSettingsPanel(CameraPanelBackground, fonts), m_model(std::move(model)) {}

void CBlackboxSystemSettingPanel::OnInitPanel(LPARAM) {
    m_sections = IsKnownCameraModel(m_model);
    if (!m_sections)
        return;
    MakeSensorSection();
    MakeMemorySection();
}

void CBlackboxSystemSettingPanel::MakeSensorSection() {
    const int buttonLeft = Width() - Margin - SettingsButtonWidth;
    AddHeading(TableTextW("viewer_setting.camera_sensor_setting.title"), Margin, SensorHeadingTop,
               buttonLeft - Margin);
    MakeButton(m_resetButton, SensorResetCommand, "viewer_setting.camera_sensor_init_btn.title",
               POINT{buttonLeft, SensorHeadingTop - 3});
    const CameraSettingsRecord& record = CameraSettings();
    m_valueLabels[0] = m_labels.size() + 1;
    MakeSlider(m_brightness, SensorBrightnessSliderId,
               "viewer_setting.camera_sensor_brightness.title", "slider.brightness", FirstSliderTop,
               record.SensorBrightness() / SensorScale);
    m_valueLabels[1] = m_labels.size() + 1;
    MakeSlider(m_colour, SensorColourSliderId, "viewer_setting.camera_sensor_chroma.title",
               "slider.chroma", FirstSliderTop + SliderPitch, record.SensorColour() / SensorScale);
}

void CBlackboxSystemSettingPanel::MakeSlider(CSliderBarEx& slider, int id, const char* captionKey,
                                             const char* tooltipKey, int top, int position) {
    const int left = Margin + Indent;
    const int sliderLeft = left + SliderCaptionWidth;
    const int valueLeft = Width() - Margin - ValueWidth;
    m_labels.push_back(TLabelBox{TableTextW(captionKey),
                                 RECT{left, top, sliderLeft - ShareGap, top + SliderRowHeight},
                                 Fonts().body});
    m_labels.push_back(TLabelBox{L"", RECT{valueLeft, top, Width() - Margin, top + SliderRowHeight},
                                 Fonts().body, SettingsTextColour, TTextFlow::SingleLine,
                                 DT_RIGHT});
    std::string tooltip;
    GetString(tooltipKey, &tooltip, nullptr);
    TSliderOptions options;
    options.parent = hWnd;
    const int sliderTop = top + (SliderRowHeight - SliderHeight) / 2;
    options.rect = RECT{sliderLeft, sliderTop, valueLeft - ShareGap, sliderTop + SliderHeight};
    options.controlId = id;
    options.look = CameraSliderLook;
    options.tooltip = tooltip.c_str();
    if (!slider.Create(options))
        return;
    slider.SetRange(0, SensorSliderMaximum);
    slider.SetPageStep(1);
    slider.SetPosition(position);
    ShowSliderValue(id, slider.Position());
}

void CBlackboxSystemSettingPanel::MakeMemorySection() {
    AddHeading(TableTextW("viewer_setting.memory_management.title"), Margin, MemoryHeadingTop,
               Width() - Margin);
    m_labels.push_back(TLabelBox{
        TableTextW("viewer_setting.memory_management_desc.title"),
        RECT{Margin + Indent, DescriptionTop, Width() - Margin, DescriptionTop + DescriptionHeight},
        Fonts().body, SettingsDimTextColour, TTextFlow::Wrapped});
    const int barLeft = (Width() - MemoryBarWidth) / 2;
    m_memory.SetMoved([this](const TMemoryMarkers& markers) { ShowShares(markers); });
    // The legend under the bar: one column per share, its colour, name and size.
    const int column = MemoryBarWidth / 3;
    for (std::size_t share = 0; share < 3; ++share) {
        const int left = barLeft + static_cast<int>(share) * column + ShareSwatch + ShareGap;
        const int right = barLeft + static_cast<int>(share + 1) * column - ShareGap;
        m_swatches[share] = RECT{left - ShareSwatch - ShareGap, ShareTop + 2, left - ShareGap,
                                 ShareTop + 2 + ShareSwatch};
        m_labels.push_back(TLabelBox{TableTextW(ShareNameKeys[share]),
                                     RECT{left, ShareTop, right, ShareTop + ShareNameHeight},
                                     Fonts().body, SettingsTextColour, TTextFlow::Wrapped});
        m_shareLabels[share] = m_labels.size();
        const int valueTop = ShareTop + ShareNameHeight;
        m_labels.push_back(TLabelBox{L"", RECT{left, valueTop, right, valueTop + ShareValueHeight},
                                     Fonts().heading, SettingsHeadingColour});
    }
    m_memory.Create(
        hWnd, RECT{barLeft, MemoryBarTop, barLeft + MemoryBarWidth, MemoryBarTop + MemoryBarHeight},
        MemoryAdjustId);
    PlaceMemoryHandles(CameraSettings());
}

void CBlackboxSystemSettingPanel::ShowShares(const TMemoryMarkers& markers) {
    const int shares[] = {markers.lower, markers.upper - markers.lower,
                          MemoryShareFull - markers.upper};
    for (std::size_t share = 0; share < 3; ++share) {
        m_labels[m_shareLabels[share]].text = Percent(shares[share]);
    }
    if (hWnd)
        InvalidateRect(hWnd, nullptr, FALSE);
}

void CBlackboxSystemSettingPanel::OnPaint(HDC dc) {
    CSettingsPanel::OnPaint(dc);
    if (!m_sections)
        return;
    for (std::size_t share = 0; share < 3; ++share)
        FillSolid(dc, m_swatches[share], ShareColours[share]);
}

void CBlackboxSystemSettingPanel::ShowSliderValue(int id, int position) {
    const std::size_t index = m_valueLabels[id == SensorBrightnessSliderId ? 0 : 1];
    if (index >= m_labels.size())
        return;
    const std::string text = std::to_string(position);
    m_labels[index].text = std::wstring(text.begin(), text.end());
    InvalidateRect(hWnd, &m_labels[index].box, FALSE);
}

void CBlackboxSystemSettingPanel::PlaceMemoryHandles(const CameraSettingsRecord& record) {
    if (!m_sections)
        return;
    TMemoryMarkers markers;
    markers.upper = MemoryShareFull - record.memoryShareUpper;
    markers.lower = markers.upper - record.memoryShareMiddle;
    m_memory.SetMarkers(markers);
}

void CBlackboxSystemSettingPanel::ResetSensor() {
    if (!m_sections)
        return;
    for (CSliderBarEx* slider : {&m_brightness, &m_colour})
        slider->SetPosition(SensorResetPosition, TSliderNotify::Set);
}

void CBlackboxSystemSettingPanel::Store(CameraSettingsRecord* record) const {
    if (!m_sections)
        return;
    record->SensorBrightness() = m_brightness.Position() * SensorScale;
    record->SensorColour() = m_colour.Position() * SensorScale;
    const TMemoryMarkers& markers = m_memory.Markers();
    record->memoryShareUpper = MemoryShareFull - markers.upper;
    record->memoryShareMiddle = markers.upper - markers.lower;
    if (m_memory.Changed())
        record->memorySwitch = 1;
}

void CBlackboxSystemSettingPanel::OnCommand(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == SensorResetCommand)
        ResetSensor();
}

LRESULT CBlackboxSystemSettingPanel::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SLIDER_CHANGING || message == WM_SLIDER_SET)
        ShowSliderValue(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}
