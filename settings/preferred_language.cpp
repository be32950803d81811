#include "settings/preferred_language.h"

#include "language/string_table.h"
#include "settings/camera_settings_model.h"
#include "settings/viewer_preferences.h"

bool LoadPreferredStringTable() {
    return LoadStringTable(Preferences().language);
}

bool LoadStringTableAndSettingsModel() {
    bool loaded = LoadPreferredStringTable();
    BuildCameraSettingsModel();
    return loaded;
}
