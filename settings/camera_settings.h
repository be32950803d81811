#pragma once
// The camera's own configuration, setup.cfg in the card's root folder: an
// 8192-byte record of little-endian 32-bit numbers whose last 4 bytes are the
// CRC-32 of the 8188 before them. Two layouts, chosen by the camera model:
// the extended one (layout code 1) has fields the short one lacks.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t kSetupFileSize = 8192;
inline constexpr std::size_t kSetupDataSize = 8188;
inline constexpr std::size_t kModelNameSize = 32;
inline constexpr int kExtendedLayout = 1;

// One record mirroring the file, by name. Fields the camera owns but the
// viewer never interprets are carried through as they were read.
struct CameraSettingsRecord {
    std::string modelName;
    std::array<std::int32_t, 3> firmware{};
    std::int32_t language = 0;
    std::array<std::int32_t, 4> carried48{};
    // Offsets 64 to 263; the sensor brightness and colour are two of them.
    std::array<std::int32_t, 50> block64{};
    std::int32_t carried264 = 0;
    std::int32_t recordingSoundSwitch = 0;
    std::int32_t carried272 = 0;
    std::int32_t speakerSwitch = 0;
    // The whole cut-off setting, after the split of old firmware is undone.
    std::int32_t cutoff = 0;
    std::int32_t lcdTime = 0;
    std::int32_t tvOut = 0;
    std::int32_t nightRevision = 0;
    std::int32_t wifi = 0;
    // The main block.
    std::int32_t speakerVolume = 0;
    std::int32_t recordingVolume = 0;
    std::int32_t osd = 0;
    std::int32_t led = 0;
    std::int32_t recordingMode = 0;
    std::int32_t frontQuality = 0;
    std::int32_t rearQuality = 0;
    std::int32_t timelapsStatus = 0;
    std::int32_t saveChannel = 0;
    std::int32_t carriedMain36 = 0;
    std::int32_t motionSensitivity = 0;
    std::int32_t driveShockLevel = 0;
    std::int32_t parkingShockLevel = 0;
    std::int32_t isdst = 0;
    std::int32_t timeZone = 0;
    std::array<std::int32_t, 7> carriedMain60{};
    std::int32_t memorySwitch = 0;
    std::int32_t memoryShareUpper = 0;
    std::int32_t carriedMain96 = 0;
    std::int32_t memoryShareMiddle = 0;
    std::array<std::int32_t, 2> carriedMain104{};
    std::int32_t statusParkingMode = 0;
    std::int32_t carriedMain116 = 0;
    std::int32_t tempProtect = 0;
    std::array<std::int32_t, 6> carriedMain124{};
    std::int32_t overspeedNotice = 0;
    std::int32_t carriedMain152 = 0;
    // The tail.
    std::array<std::int32_t, 2> carriedTail0{};
    std::int32_t carriedTail8 = 0;
    // What old firmware keeps beyond 5 of the cut-off setting, as last read
    // or written.
    std::int32_t cutoffOverflow = 0;
    std::int32_t viewerTimeApply = 0;
    // Second, minute, hour, day, month, year.
    std::array<std::int32_t, 6> timeSetting{};
    std::array<std::int32_t, 4> carriedTail44{};
    std::int32_t adasSpeed = 0;
    std::int32_t adasAlarm = 0;
    std::int32_t forwardCarNotify = 0;
    std::int32_t carriedTail72 = 0;
    std::int32_t carriedTail76 = 0;
    std::array<std::int32_t, 3> carriedTail80{};

    std::int32_t& SensorBrightness() { return block64[kSensorBrightnessIndex]; }
    std::int32_t& SensorColour() { return block64[kSensorColourIndex]; }
    std::int32_t SensorBrightness() const { return block64[kSensorBrightnessIndex]; }
    std::int32_t SensorColour() const { return block64[kSensorColourIndex]; }

    // Offsets 80 and 88 within the block starting at 64.
    static constexpr std::size_t kSensorBrightnessIndex = 4;
    static constexpr std::size_t kSensorColourIndex = 6;
};

// The one record the dialogs edit.
CameraSettingsRecord& CameraSettings();

// One run of numbers that the file and the record share.
struct TSettingSpan {
    std::size_t offset;   // in the file
    std::int32_t* values; // in the record
    std::size_t count;
    const char* key; // the setting key, null for a carried-through run
};

// Start of the main block and of the tail for a layout.
std::size_t MainBlockStart(int layout);
std::size_t TailStart(int layout);
// Every run that the layout stores, in file order.
std::vector<TSettingSpan> SettingSpans(CameraSettingsRecord& record, int layout);
// The record field a setting key edits (every layout's), null for none.
// "cutted_voltage" and "cutoff_vol_time" both edit the cut-off setting.
TSettingSpan FindSettingField(CameraSettingsRecord& record, const std::string& key);

// <folder>/setup.cfg, with a '/' between when the folder lacks one.
std::string SetupFilePath(const std::string& folder);

// Reads the file into the record and its model name into the model name
// preference. Whenever the file opens, the string table of the preferred
// language is loaded again and the settings model rebuilt first. Fails,
// changing neither record nor preference, for a file shorter than 8192
// bytes or one whose CRC does not match.
bool ReadCameraSettings(const std::string& path);

// Stores the record into the existing file for the model preference's
// layout. Never creates the file and refuses a read-only one; the new image
// replaces the old file as a whole, so a write that fails at any moment
// leaves the old file as it was.
bool WriteCameraSettings(const std::string& path);

// The reset button: an empty model first clears the whole record; then the
// reset values are set, with the model-specific ones for the five known
// models.
void ResetCameraSettings(const std::string& model);
