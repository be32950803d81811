#include "settings/camera_settings.h"

#include <cstring>
#include <zlib.h>

#include "settings/camera_settings_model.h"
#include "settings/preferred_language.h"
#include "settings/setup_file.h"
#include "settings/viewer_preferences.h"

namespace {

constexpr std::size_t kFirmwareOffset = 32;
constexpr std::size_t kRecordingSoundSwitchOffset = 268;
constexpr std::size_t kSpeakerSwitchOffset = 276;
constexpr std::size_t kCutoffOffset = 280;
constexpr std::size_t kCutoffOverflowInTail = 12;
constexpr std::size_t kShortMainBlockStart = 292;
constexpr std::size_t kExtendedMainBlockStart = 300;
constexpr std::size_t kShortMainBlockSize = 152;
constexpr std::size_t kExtendedMainBlockSize = 156;

// Firmware before 2.0 keeps at most this much of the cut-off setting at 280.
constexpr std::int32_t kOldFirmwareCutoffLimit = 5;
constexpr std::int32_t kFirstSplitFreeFirmware = 2;

constexpr std::int32_t kResetSensorLevel = 50;
constexpr std::int32_t kResetMemoryShareUpper = 30;
constexpr std::int32_t kResetMemoryShareMiddle = 20;
constexpr std::int32_t kResetKnownTail72 = 106;
constexpr std::int32_t kResetKnownTail76 = 240;
constexpr std::int32_t kResetKnownCutoff = 5;
constexpr std::int32_t kResetKnownLanguage = 2;
constexpr std::int32_t kResetKnownTimeZone = 9;

std::int32_t LoadNumber(const std::uint8_t* bytes) {
    std::uint32_t value =
        static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
        (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}

void StoreNumber(std::uint8_t* bytes, std::int32_t number) {
    std::uint32_t value = static_cast<std::uint32_t>(number);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t ChecksumOf(const std::uint8_t* data) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(kSetupDataSize)));
}

bool ChecksumMatches(const std::vector<std::uint8_t>& image) {
    return static_cast<std::uint32_t>(LoadNumber(image.data() + kSetupDataSize)) ==
           ChecksumOf(image.data());
}

bool IsOldFirmware(const CameraSettingsRecord& record) {
    return record.firmware[0] < kFirstSplitFreeFirmware;
}

std::string ModelNameOf(const std::vector<std::uint8_t>& image) {
    const char* name = reinterpret_cast<const char*>(image.data());
    return std::string(name, strnlen(name, kModelNameSize));
}

void CopyIntoRecord(const std::vector<std::uint8_t>& image, int layout,
                    CameraSettingsRecord* record) {
    for (std::size_t i = 0; i < record->firmware.size(); ++i)
        record->firmware[i] = LoadNumber(image.data() + kFirmwareOffset + 4 * i);
    for (const TSettingSpan& span : SettingSpans(*record, layout)) {
        for (std::size_t i = 0; i < span.count; ++i)
            span.values[i] = LoadNumber(image.data() + span.offset + 4 * i);
    }
    // Old firmware spreads a large cut-off setting over two fields.
    if (layout == kExtendedLayout && IsOldFirmware(*record))
        record->cutoff += record->cutoffOverflow;
}

void StoreCutoff(int layout, CameraSettingsRecord* record, std::vector<std::uint8_t>* image) {
    if (!IsOldFirmware(*record))
        return;
    std::int32_t stored = record->cutoff;
    std::int32_t overflow = 0;
    if (stored > kOldFirmwareCutoffLimit) {
        overflow = stored - kOldFirmwareCutoffLimit;
        stored = kOldFirmwareCutoffLimit;
    }
    StoreNumber(image->data() + kCutoffOffset, stored);
    if (layout != kExtendedLayout)
        return;
    record->cutoffOverflow = overflow;
    StoreNumber(image->data() + TailStart(layout) + kCutoffOverflowInTail, overflow);
}

void StoreIntoImage(int layout, CameraSettingsRecord* record, std::vector<std::uint8_t>* image) {
    record->recordingSoundSwitch = record->recordingVolume != 0 ? 1 : 0;
    record->speakerSwitch = record->speakerVolume != 0 ? 1 : 0;
    for (const TSettingSpan& span : SettingSpans(*record, layout)) {
        for (std::size_t i = 0; i < span.count; ++i)
            StoreNumber(image->data() + span.offset + 4 * i, span.values[i]);
    }
    StoreCutoff(layout, record, image);
    StoreNumber(image->data() + kSetupDataSize,
                static_cast<std::int32_t>(ChecksumOf(image->data())));
}

} // namespace

CameraSettingsRecord& CameraSettings() {
    static CameraSettingsRecord record;
    return record;
}

std::size_t MainBlockStart(int layout) {
    return layout == kExtendedLayout ? kExtendedMainBlockStart : kShortMainBlockStart;
}

std::size_t TailStart(int layout) {
    return MainBlockStart(layout) +
           (layout == kExtendedLayout ? kExtendedMainBlockSize : kShortMainBlockSize);
}

std::vector<TSettingSpan> SettingSpans(CameraSettingsRecord& r, int layout) {
    const bool extended = layout == kExtendedLayout;
    const std::size_t m = MainBlockStart(layout);
    const std::size_t t = TailStart(layout);
    std::vector<TSettingSpan> spans;
    auto add = [&spans](std::size_t offset, std::int32_t* values, std::size_t count,
                        const char* key) {
        spans.push_back({offset, values, count, key});
    };
    add(44, &r.language, 1, "language");
    add(48, r.carried48.data(), r.carried48.size(), nullptr);
    add(64, r.block64.data(), r.block64.size(), nullptr);
    add(264, &r.carried264, 1, nullptr);
    add(kRecordingSoundSwitchOffset, &r.recordingSoundSwitch, 1, nullptr);
    add(272, &r.carried272, 1, nullptr);
    add(kSpeakerSwitchOffset, &r.speakerSwitch, 1, nullptr);
    add(kCutoffOffset, &r.cutoff, 1, "cutted_voltage");
    add(284, &r.lcdTime, 1, "lcd_time");
    add(288, &r.tvOut, 1, "tv_out");
    if (extended) {
        add(292, &r.nightRevision, 1, "night_revision");
        add(296, &r.wifi, 1, "wifi");
    }
    add(m + 0, &r.speakerVolume, 1, "speaker_volume");
    add(m + 4, &r.recordingVolume, 1, "recording_volume");
    add(m + 8, &r.osd, 1, "osd");
    add(m + 12, &r.led, 1, "led");
    add(m + 16, &r.recordingMode, 1, "recording_mode");
    add(m + 20, &r.frontQuality, 1, "front_quality");
    add(m + 24, &r.rearQuality, 1, "rear_quality");
    add(m + 28, &r.timelapsStatus, 1, "timelaps_status");
    add(m + 32, &r.saveChannel, 1, "save_channel");
    add(m + 36, &r.carriedMain36, 1, nullptr);
    add(m + 40, &r.motionSensitivity, 1, "motion_sensitivity");
    add(m + 44, &r.driveShockLevel, 1, "drive_shock_level");
    add(m + 48, &r.parkingShockLevel, 1, "parking_shock_level");
    add(m + 52, &r.isdst, 1, "isdst");
    add(m + 56, &r.timeZone, 1, "time_zone");
    add(m + 60, r.carriedMain60.data(), r.carriedMain60.size(), nullptr);
    add(m + 88, &r.memorySwitch, 1, nullptr);
    add(m + 92, &r.memoryShareUpper, 1, nullptr);
    add(m + 96, &r.carriedMain96, 1, nullptr);
    add(m + 100, &r.memoryShareMiddle, 1, nullptr);
    add(m + 104, r.carriedMain104.data(), r.carriedMain104.size(), nullptr);
    add(m + 112, &r.statusParkingMode, 1, "status_parking_mode");
    add(m + 116, &r.carriedMain116, 1, nullptr);
    add(m + 120, &r.tempProtect, 1, "temp_protect");
    add(m + 124, r.carriedMain124.data(), r.carriedMain124.size(), nullptr);
    add(m + 148, &r.overspeedNotice, 1, "overspeed_notice");
    if (extended)
        add(m + 152, &r.carriedMain152, 1, nullptr);
    add(t + 0, r.carriedTail0.data(), r.carriedTail0.size(), nullptr);
    add(t + 8, &r.carriedTail8, 1, nullptr);
    // The short layout ends here: bytes from T+12 on stay as the card has them.
    if (!extended)
        return spans;
    add(t + kCutoffOverflowInTail, &r.cutoffOverflow, 1, nullptr);
    add(t + 16, &r.viewerTimeApply, 1, "viewer_time_apply");
    add(t + 20, r.timeSetting.data(), r.timeSetting.size(), "time_setting");
    add(t + 44, r.carriedTail44.data(), r.carriedTail44.size(), nullptr);
    add(t + 60, &r.adasSpeed, 1, "adas_speed");
    add(t + 64, &r.adasAlarm, 1, "adas_alarm");
    add(t + 68, &r.forwardCarNotify, 1, "forward_car_notify");
    add(t + 72, &r.carriedTail72, 1, nullptr);
    add(t + 76, &r.carriedTail76, 1, nullptr);
    add(t + 80, r.carriedTail80.data(), r.carriedTail80.size(), nullptr);
    return spans;
}

TSettingSpan FindSettingField(CameraSettingsRecord& record, const std::string& key) {
    const std::string wanted = key == "cutoff_vol_time" ? "cutted_voltage" : key;
    for (const TSettingSpan& span : SettingSpans(record, kExtendedLayout)) {
        if (span.key && wanted == span.key)
            return span;
    }
    return TSettingSpan{0, nullptr, 0, nullptr};
}

std::string SetupFilePath(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/')
        return folder + "setup.cfg";
    return folder + "/setup.cfg";
}

bool ReadCameraSettings(const std::string& path) {
    std::vector<std::uint8_t> image;
    if (!ReadSetupFile(path, &image))
        return false;
    // The model table must reflect the texts the dialog will show.
    LoadStringTableAndSettingsModel();
    if (image.size() < kSetupFileSize || !ChecksumMatches(image))
        return false;
    CameraSettingsRecord& record = CameraSettings();
    record.modelName = ModelNameOf(image);
    Preferences().modelName = CutToFieldWidth(record.modelName, kModelNameLimit);
    const ModelInfo* model = FindModelInfo(record.modelName);
    if (!model)
        return false;
    CopyIntoRecord(image, model->layout, &record);
    return true;
}

bool WriteCameraSettings(const std::string& path) {
    TSetupFileWriter writer;
    if (!writer.Open(path) || writer.Image().size() < kSetupFileSize)
        return false;
    const ModelInfo* model = FindModelInfo(Preferences().modelName);
    if (!model)
        return false;
    StoreIntoImage(model->layout, &CameraSettings(), &writer.Image());
    return writer.Commit();
}

void ResetCameraSettings(const std::string& model) {
    CameraSettingsRecord& r = CameraSettings();
    if (model.empty())
        r = CameraSettingsRecord();
    const bool known = IsKnownCameraModel(model);
    r.recordingMode = 0;
    r.frontQuality = 2;
    r.rearQuality = 2;
    r.motionSensitivity = 3;
    r.driveShockLevel = 3;
    r.parkingShockLevel = 3;
    r.speakerVolume = 2;
    r.speakerSwitch = 1;
    r.recordingVolume = 2;
    r.recordingSoundSwitch = 1;
    r.lcdTime = 1;
    r.tvOut = 0;
    r.osd = 1;
    r.led = 0;
    r.tempProtect = 1;
    r.overspeedNotice = 0;
    r.nightRevision = 1;
    r.wifi = 0;
    r.adasSpeed = 0;
    r.adasAlarm = 0;
    r.forwardCarNotify = 0;
    r.timelapsStatus = 0;
    r.statusParkingMode = 0;
    r.cutoff = known ? kResetKnownCutoff : 0;
    r.language = known ? kResetKnownLanguage : 0;
    r.timeZone = known ? kResetKnownTimeZone : 0;
    r.saveChannel = IsTwoCameraModel(model) ? 1 : 0;
    // The numbers at 64 and 104 of the block starting at 64.
    r.block64[0] = 0;
    r.block64[10] = 0;
    r.SensorBrightness() = kResetSensorLevel;
    r.SensorColour() = kResetSensorLevel;
    r.memoryShareUpper = kResetMemoryShareUpper;
    r.memoryShareMiddle = kResetMemoryShareMiddle;
    r.carriedTail72 = known ? kResetKnownTail72 : 0;
    r.carriedTail76 = known ? kResetKnownTail76 : 0;
}
