#pragma once
// The viewer settings dialog: one panel over a working copy of the viewer
// preferences. Save copies it into the preferences, cancel drops it, reset
// puts the viewer's defaults in the controls (the language stays). Choosing
// another language switches every text of the dialog at once.

#include <memory>
#include <string>

#include "settings/settings_look.h"
#include "settings/viewer_default_setting_panel.h"
#include "ui/act_button.h"
#include "ui/skinned_dlg.h"

inline constexpr int ViewerSettingsTemplateId = 133;
inline constexpr int ViewerPanelId = 134;
inline constexpr int ViewerResetCommand = 221;

class CViewerSetupDlg : public CSkinnedDlg {
public:
    CViewerSetupDlg();
    ~CViewerSetupDlg() override;

    CViewerDefaultSettingPanel* Panel() const { return m_panel.get(); }
    // Every text the dialog shows and its room: its own and the panel's.
    TLabelBoxes AllLabels() const;

private:
    void OnInit() override;
    // Makes the background, the panel and the buttons in the current
    // language around `values`.
    void Build(const TViewerWorkingValues& values);
    void Relabel();
    void PaintBackground(HDC reference);
    void MakeButtons();
    bool OnCommand(int id) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

    std::unique_ptr<TSettingsFonts> m_fonts;
    std::unique_ptr<CViewerDefaultSettingPanel> m_panel;
    std::unique_ptr<CActButton> m_resetButton;
    std::unique_ptr<CActButton> m_saveButton;
    std::unique_ptr<CActButton> m_cancelButton;
    TLabelBoxes m_labels;
};

enum class TPlaybackState { Stopped, Playing };

enum class TViewerSettingsOutcome {
    NotOpened, // a recording plays: the user was told to stop it first
    Cancelled, // the preferences and the language are as before
    Saved,     // the preferences hold the dialog's values
};

// What the viewer settings command leaves to the main window.
struct TViewerSettingsResult {
    TViewerSettingsOutcome outcome = TViewerSettingsOutcome::NotOpened;
    // Saved: the main window applies the preferences to itself.
    bool applyPreferences = false;
    // Saved: the registry refused them; the user was told.
    bool storeFailed = false;
    // Saved with another language: the string table and the camera setting
    // items are already in it; the main window rebuilds its fonts and
    // labels every text and tooltip again, and refreshes the map.
    bool languageChanged = false;
};

// The viewer settings command: while a recording plays it only tells the
// user so. Otherwise runs the dialog over `owner`; saved, the preferences
// are stored; cancelled after a change of language, the old language and
// its texts come back.
TViewerSettingsResult ShowViewerSettingsDialog(HWND owner, TPlaybackState playback);
