#pragma once
// The viewer's own preferences (not the camera's): one process-wide record,
// kept in the registry under HKEY_CURRENT_USER\Software\VELOR player.

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr const char* kPreferencesKey = "Software\\VELOR player";

// Longest texts the fields hold, in bytes; longer stored texts are cut.
inline constexpr std::size_t kModelNameLimit = 31;
inline constexpr std::size_t kPathLimit = 1023;
inline constexpr std::size_t kLanguageLimit = 31;

// Orientation flags of a channel.
inline constexpr std::int32_t kRotateFirstFlag = 16;
inline constexpr std::int32_t kRotateSecondFlag = 1;

// The map's tile server ({z}, {x}, {y} stand for the tile's zoom and place).
inline constexpr const char* kDefaultMapTileUrl = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";

inline constexpr std::int32_t kLevelMaximum = 100;
inline constexpr std::int32_t kMixingVolumeMaximum = 128;

struct ViewerPreferences {
    std::string modelName;
    std::string capturePath;
    std::string splitPath;
    std::string language = "japanese";
    std::int32_t channels = 2; // 1: one channel shown, otherwise both
    std::int32_t loop = 0;
    std::int32_t alwaysTop = 0;
    std::int32_t frontRotate = 0;
    std::int32_t rearRotate = 0;
    std::int32_t brightness = 50;
    std::int32_t contrast = 50;
    std::int32_t chroma = 50;
    std::int32_t volume = 50;
    std::string mapTileUrl = kDefaultMapTileUrl;
};

// The one record. Holds the defaults (without the folder paths) until
// SetDefaultPreferences runs.
ViewerPreferences& Preferences();

// <program files folder>/Velor/VELOR player.
std::string ProgramDataFolder();
std::string DefaultCapturePath();
std::string DefaultSplitPath();

// Makes the program-data folder (an existing one is fine; a failure is
// shown in an "Exception" box and the paths are still built from it) and
// puts every preference to its default.
void SetDefaultPreferences();

// Opens or creates the key and reads every value over the defaults; false,
// with the defaults kept, when the key can be neither opened nor created.
bool LoadPreferences();
// Writes every value; false when the key can be neither opened nor created
// or a value cannot be written.
bool SavePreferences();
// Writes only "ModelName", after the camera's file was written back.
bool SaveModelNamePreference();

// The volume on the audio output's 0..128 scale, rounded to nearest.
int MixingVolume(std::int32_t volume);

// The longest start of `text` within `limit` bytes that does not split a
// UTF-8 character.
std::string CutToFieldWidth(const std::string& text, std::size_t limit);
