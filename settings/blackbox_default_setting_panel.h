#pragma once
// The first tab of the camera settings: the firmware version and the
// model's setting items, each a caption and its control.

#include <vector>

#include "settings/setting_item_controls.h"
#include "settings/settings_panel.h"

class CBlackboxDefaultSettingPanel : public CSettingsPanel {
public:
    // `items`: indices into the settings items, as the model's list gives them.
    CBlackboxDefaultSettingPanel(std::vector<int> items, const TSettingsFonts& fonts)
        : CSettingsPanel(CameraPanelBackground, fonts), m_items(std::move(items)) {}
    ~CBlackboxDefaultSettingPanel() override { DestroyOwnWindow(); }

    TSettingItemControls& Controls() { return m_controls; }

private:
    void OnInitPanel(LPARAM parameter) override;

    std::vector<int> m_items;
    TSettingItemControls m_controls;
};
