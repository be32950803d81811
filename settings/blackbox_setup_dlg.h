#pragma once
// The camera settings dialog: two tabs over the camera settings record that
// was read from the card, the model's setting items on the first and the
// camera sensor and memory allocation on the second. Save keeps what the
// controls show in the record, cancel puts back the record as it was when
// the dialog opened, reset puts the camera's own defaults in the controls.

#include <memory>
#include <string>

#include "settings/blackbox_default_setting_panel.h"
#include "settings/blackbox_system_setting_panel.h"
#include "settings/camera_settings.h"
#include "settings/settings_look.h"
#include "ui/act_button.h"
#include "ui/skinned_dlg.h"

inline constexpr int CameraSettingsTemplateId = 130;
inline constexpr int CameraDefaultPanelId = 131;
inline constexpr int CameraSystemPanelId = 132;
inline constexpr int CameraFirstTabCommand = 217;
inline constexpr int CameraSecondTabCommand = 219;
inline constexpr int CameraResetCommand = 221;

class CBlackboxSetupDlg : public CSkinnedDlg {
public:
    CBlackboxSetupDlg();
    ~CBlackboxSetupDlg() override;

    // 131 or 132.
    void ShowTab(int panelId);
    int CurrentTab() const { return m_currentTab; }
    CBlackboxDefaultSettingPanel* DefaultPanel() const { return m_defaultPanel.get(); }
    CBlackboxSystemSettingPanel* SystemPanel() const { return m_systemPanel.get(); }
    // Every text the dialog shows and its room: its own and both panels'.
    TLabelBoxes AllLabels() const;

private:
    void OnInit() override;
    void PaintBackground(HDC reference);
    void MakeTabs();
    void MakeButtons();
    bool OnCommand(int id) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void Reset();
    void Save();
    void Cancel();

    CameraSettingsRecord m_saved;
    std::unique_ptr<TSettingsFonts> m_fonts;
    std::unique_ptr<CBlackboxDefaultSettingPanel> m_defaultPanel;
    std::unique_ptr<CBlackboxSystemSettingPanel> m_systemPanel;
    CActButton m_firstTab;
    CActButton m_secondTab;
    CActButton m_resetButton;
    CActButton m_saveButton;
    CActButton m_cancelButton;
    TLabelBoxes m_labels;
    int m_currentTab = CameraDefaultPanelId;
};

enum class TCameraSettingsOutcome {
    NoFolder,   // no card folder chosen: the user was told to choose one
    Unreadable, // setup.cfg could not be read: the user was told
    Cancelled,
    Saved,      // written back, and the model name kept in the preferences
    NotWritten, // confirmed, but the card refused the file: the user was told
};

// The camera settings command: reads <cardFolder>/setup.cfg, runs the
// dialog over `owner` and, when it is saved, writes the file back and keeps
// the camera model's name in the preferences. The caller stops playback
// first and refreshes its buttons afterwards.
TCameraSettingsOutcome ShowCameraSettingsDialog(HWND owner, const std::string& cardFolder);
