#pragma once
// Every fixed key the program looks up in the string table, in one place,
// so that windows name them from here and a test can hold each language
// file to the whole list.

#include <array>
#include <string_view>

namespace string_keys {

inline constexpr std::array kButtons = {
    "button.1ch",
    "button.2ch",
    "button.block_setting",
    "button.cancel",
    "button.capture",
    "button.close",
    "button.continuous_file",
    "button.event_file",
    "button.file_list",
    "button.full_screen",
    "button.map",
    "button.motion_file",
    "button.next_file",
    "button.next_frame",
    "button.no",
    "button.normal_screen",
    "button.ok",
    "button.open",
    "button.pause",
    "button.play",
    "button.prev_file",
    "button.prev_frame",
    "button.print",
    "button.reset",
    "button.reset_color",
    "button.rotate_horizontal",
    "button.rotate_vertical",
    "button.save",
    "button.split",
    "button.stop",
    "button.viewer_setting",
    "button.volumn_off",
    "button.volumn_on",
    "button.yes",
    "button.zoom",
};

inline constexpr std::array kLabels = {
    "label.export_track",
    "label.file_split",
    "label.file_split_path",
    "label.file_split_select",
};

inline constexpr std::array kMessages = {
    "message.change_jpeg_path",    "message.delete_video_confirm", "message.delete_video_error",
    "message.delete_video_failed", "message.export_track_failed",  "message.file_split",
    "message.file_split_error",    "message.find_setup_path",      "message.image_save_complete",
    "message.image_save_path",     "message.image_save_success",   "message.load_video",
    "message.no_gps_fix",          "message.stop_movie",
};

// The recording list's context menu.
inline constexpr std::array kMenus = {
    "menu.play",
    "menu.open_folder",
    "menu.export_track",
    "menu.delete",
};

inline constexpr std::array kSliders = {
    "slider.brightness",
    "slider.chroma",
    "slider.contrast",
    "slider.volume",
};

inline constexpr std::array kViewerSettingCaptions = {
    "viewer_setting.adjust.title",
    "viewer_setting.adjust_brightness.title",
    "viewer_setting.adjust_chroma.title",
    "viewer_setting.adjust_contrast.title",
    "viewer_setting.always_top.title",
    "viewer_setting.auto_loop.title",
    "viewer_setting.camera_sensor_brightness.title",
    "viewer_setting.camera_sensor_chroma.title",
    "viewer_setting.camera_sensor_init_btn.title",
    "viewer_setting.camera_sensor_setting.title",
    "viewer_setting.display_mode.title",
    "viewer_setting.memory_management.title",
    "viewer_setting.memory_management_desc.title",
    "viewer_setting.rotate.title",
    "viewer_setting.rotate_front.title",
    "viewer_setting.rotate_rear.title",
    "viewer_setting.tab_0.title",
    "viewer_setting.tab_1.title",
    "viewer_setting.version_build_date.title",
    "viewer_setting.volume.title",
};

// Asked for with ".title" behind it.
inline constexpr const char* kJpegPath = "viewer_setting.jpeg_path";

// Option lists (".value_0", ".value_1", ...).
inline constexpr const char* kLanguageList = "viewer_setting.language";
// Read only when its ".title" key exists.
inline constexpr const char* kModelList = "viewer_setting.model";

// Lists of exactly two choices, ".value_0" and ".value_1".
inline constexpr std::array kTwoChoiceLists = {
    "viewer_setting.always_top",   "viewer_setting.auto_loop",   "viewer_setting.display_mode",
    "viewer_setting.rotate_front", "viewer_setting.rotate_rear",
};

// The language identifiers the program knows by name: file base names.
inline constexpr std::array kLanguages = {
    "korean", "english", "japanese", "simplifiedChinese", "traditionalChinese", "thai",
};

// Buttons whose entry's "value" is the text the paused state shows.
inline constexpr std::array kButtonsWithPausedValue = {"button.prev_frame", "button.next_frame"};

// The camera settings items, prefixed with kCameraSettingPrefix; each has a
// ".title" and an option list. Their order is the items' index order.
inline constexpr const char* kCameraSettingPrefix = "black_setting.";
inline constexpr std::array kCameraSettingItems = {
    "recording_mode",
    "front_quality",
    "rear_quality",
    "motion_sensitivity",
    "drive_shock_level",
    "parking_shock_level",
    "speaker_volume",
    "recording_volume",
    "lcd_time",
    "tv_out",
    "osd",
    "led",
    "cutted_voltage",
    "cutoff_vol_time",
    "save_channel",
    "overspeed_notice",
    "night_revision",
    "language",
    "wifi",
    "adas_speed",
    "adas_alarm",
    "forward_car_notify",
    "temp_protect",
    "time_setting",
    "viewer_time_apply",
    "time_zone",
    "isdst",
    "timelaps_status",
    "status_parking_mode",
};
static_assert(kCameraSettingItems.size() == 29);

} // namespace string_keys
