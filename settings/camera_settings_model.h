#pragma once
// What the camera settings dialog offers, built from the string table: the
// camera models known by name with their file layouts, the 29 setting items
// with their captions and choices, and which items each model shows.

#include <cstdint>
#include <string>
#include <vector>

#include "settings/camera_settings.h"

inline constexpr const char* kDefaultModelName = "Default";
// In an item list: no item, a slot the panels skip.
inline constexpr int kEmptyItemSlot = 30;
inline constexpr int kSettingsItemCount = 29;

// Layout words of the model list.
inline constexpr int kShortLayout = 0;
inline constexpr int kShortLayoutA10 = 2;

struct ModelInfo {
    std::string name;
    int layout = kExtendedLayout;
};

struct SettingChoice {
    std::string label;  // UTF-8
    std::int32_t value; // what the camera stores for it
};

// How a dialog edits an item.
inline constexpr int kComboControl = 0;
inline constexpr int kDateTimeControl = 1;
inline constexpr int kDateTimePickerStyle = 2;

struct SettingsItem {
    std::string key;
    std::wstring caption; // as the drawing layer takes it
    std::vector<SettingChoice> choices;
    // In the process-wide record.
    TSettingSpan field{};
    int controlKind = kComboControl;
    int controlStyle = 0;
};

// Rebuilds the items from the current string table and registers the models
// and item lists. Models and lists already present are left as they were.
void BuildCameraSettingsModel();
// Empties the model table, the items and the item lists.
void ReleaseCameraSettingsModel();

// The model's entry, letter case ignored; a model not in the table takes
// "Default". Null only while the table has never been built.
const ModelInfo* FindModelInfo(const std::string& model);
// In index order; empty until built.
const std::vector<SettingsItem>& SettingsItems();
// Item indices per panel of the camera settings dialog.
const std::vector<int>& FirstPanelItems(const std::string& model);
const std::vector<int>& SecondPanelItems(const std::string& model);

// The five models with the camera sensor and memory sections and their own
// reset values, letter case ignored.
bool IsKnownCameraModel(const std::string& model);
// Two-camera models record both channels after a reset.
bool IsTwoCameraModel(const std::string& model);

std::string LowerCase(std::string text);
