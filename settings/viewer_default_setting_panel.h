#pragma once
// The one panel of the viewer settings: the capture folder, the display
// mode, repeated playback, always on top, the language, each channel's
// orientation, the picture adjustments and the volume. It edits a working
// copy that reaches the preferences only when the dialog saves.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "settings/settings_panel.h"
#include "settings/viewer_preferences.h"
#include "ui/act_button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/slider_bar_ex.h"

inline constexpr int ViewerFolderCommand = 223;
inline constexpr int ViewerResetColourCommand = 126;
// Posted to the dialog once the panel has switched the language: wParam is
// the new language's index in the language list.
inline constexpr UINT WM_VIEWER_LANGUAGE_CHANGED = WM_USER + 640;
inline constexpr const char* ViewerVersionText = "V.1.1.6";

enum TViewerLevel { LevelBrightness, LevelContrast, LevelChroma, LevelVolume, LevelCount };
enum TViewerChoiceGroup { GroupDisplay, GroupLoop, GroupTop, GroupCount };
enum TViewerChannel { ChannelFront, ChannelRear, ChannelCount };

// What the panel edits: each two-choice group as the index of its choice,
// each orientation box as ticked or not.
struct TViewerWorkingValues {
    std::string capturePath;
    std::array<int, GroupCount> choices{};
    std::array<std::array<bool, 2>, ChannelCount> rotate{};
    std::array<int, LevelCount> levels{};

    static TViewerWorkingValues FromPreferences(const ViewerPreferences& preferences);
    // The reset: second choices, no box ticked, levels in the middle, the
    // default capture folder.
    static TViewerWorkingValues Defaults();
    void StoreInto(ViewerPreferences* preferences) const;
};

class CViewerDefaultSettingPanel : public CSettingsPanel {
public:
    CViewerDefaultSettingPanel(TViewerWorkingValues values, const TSettingsFonts& fonts);
    ~CViewerDefaultSettingPanel() override;

    // What the controls show now.
    TViewerWorkingValues Values() const;
    void SetValues(const TViewerWorkingValues& values);

    TGenComboBox& LanguageCombo() { return m_language; }
    CSliderBarEx& Level(TViewerLevel level) { return *m_levels[level]; }
    // Client point inside a choice of a group, and inside an orientation box.
    POINT ChoicePoint(TViewerChoiceGroup group, int choice) const;
    POINT RotatePoint(TViewerChannel channel, int box) const;
    const std::string& CapturePath() const { return m_values.capturePath; }

private:
    void OnInitPanel(LPARAM parameter) override;
    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc) override;
    void OnLButtonDown(WPARAM flags, POINT point) override;

    void Row(const char* captionKey, int top);
    void MakeFolderRow(int top);
    void MakeChoiceRow(TViewerChoiceGroup group, const char* key, int top);
    void MakeLanguageRow(int top);
    void MakeRotateRow(TViewerChannel channel, const char* key, int top);
    void MakeLevelRow(TViewerLevel level, const char* captionKey, const char* tooltipKey, int top);
    void AddRule(int top);
    void AddCheckItem(const char* key, int index, int left, int top, UINT state);
    void ShowChoices();
    void ShowLevel(TViewerLevel level, int position);
    void PickFolder();
    void ChooseLanguage(int index);
    int ControlLeft() const;
    int ControlRight() const;

    TViewerWorkingValues m_values;
    // The radio choices, two per group, then the orientation boxes, two per
    // channel.
    std::vector<TCheckBoxItem> m_items;
    static std::size_t ChoiceIndex(TViewerChoiceGroup group, int choice) {
        return static_cast<std::size_t>(group * 2 + choice);
    }
    static std::size_t RotateIndex(TViewerChannel channel, int box) {
        return static_cast<std::size_t>(GroupCount * 2 + channel * 2 + box);
    }
    std::array<std::unique_ptr<CSliderBarEx>, LevelCount> m_levels;
    std::array<std::size_t, LevelCount> m_levelLabels{};
    TGenComboBox m_language;
    std::vector<std::string> m_languageIds;
    CActButton m_folderButton;
    CActButton m_resetColourButton;
    RECT m_pathBox{};
    std::vector<RECT> m_rules;
};
