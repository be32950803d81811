#pragma once
// The second tab of the camera settings: for the models that have them, the
// camera sensor's brightness and colour and the memory allocation bar.

#include <array>
#include <string>

#include "settings/camera_settings.h"
#include "settings/memory_adjust_ctrl.h"
#include "settings/settings_panel.h"
#include "ui/act_button.h"
#include "ui/slider_bar_ex.h"

inline constexpr int SensorResetCommand = 221;
inline constexpr int SensorBrightnessSliderId = 1301;
inline constexpr int SensorColourSliderId = 1302;
inline constexpr int MemoryAdjustId = 1303;
// The sensor sliders run 0 to 10; the record keeps ten times that.
inline constexpr int SensorSliderMaximum = 10;
inline constexpr int SensorScale = 10;
inline constexpr int SensorResetPosition = 5;

class CBlackboxSystemSettingPanel : public CSettingsPanel {
public:
    CBlackboxSystemSettingPanel(std::string model, const TSettingsFonts& fonts);
    ~CBlackboxSystemSettingPanel() override { DestroyOwnWindow(); }

    // Whether the model has the sensor and memory sections.
    bool HasSections() const { return m_sections; }
    // Both sensor sliders to the middle.
    void ResetSensor();
    // The memory handles from the record's shares.
    void PlaceMemoryHandles(const CameraSettingsRecord& record);
    // The sensor values and the memory shares into the record; a model
    // without the sections keeps the values read from the card.
    void Store(CameraSettingsRecord* record) const;

    CSliderBarEx& BrightnessSlider() { return m_brightness; }
    CSliderBarEx& ColourSlider() { return m_colour; }
    CMemoryAdjustCtrl& Memory() { return m_memory; }

private:
    void OnInitPanel(LPARAM parameter) override;
    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc) override;
    LRESULT OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void MakeSensorSection();
    void MakeMemorySection();
    void MakeSlider(CSliderBarEx& slider, int id, const char* captionKey, const char* tooltipKey,
                    int top, int position);
    void ShowShares(const TMemoryMarkers& markers);
    void ShowSliderValue(int id, int position);

    std::string m_model;
    bool m_sections = false;
    CActButton m_resetButton;
    CSliderBarEx m_brightness;
    CSliderBarEx m_colour;
    CMemoryAdjustCtrl m_memory;
    // Indices into the labels of the two slider values and the three shares.
    std::array<std::size_t, 2> m_valueLabels{};
    std::array<std::size_t, 3> m_shareLabels{};
    std::array<RECT, 3> m_swatches{};
};
