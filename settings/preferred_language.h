#pragma once
// The string table of the language the preferences name. The table itself
// knows nothing of the preferences; these entries join the two.

// Loads the table of the "Language" preference (the Japanese texts when its
// file is missing; the preference keeps its identifier).
bool LoadPreferredStringTable();
// The same, then the camera settings model is rebuilt from the new table.
bool LoadStringTableAndSettingsModel();
