// velor-probe setup-cfg FILE [--language ID] [--set KEY=VALUE ...] [--reset]:
// reads a camera's setup.cfg with the viewer's own reader and prints the
// record; with --set or --reset it changes the record, writes it back with
// the viewer's writer and prints what reading the file again gives.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/camera_settings.h"
#include "settings/camera_settings_model.h"
#include "settings/setup_file.h"
#include "settings/viewer_preferences.h"
#include "tools/support/tool_json.h"
#include "tools/velor-probe/probe_command.h"

namespace {

struct TSetupCfgArguments {
    std::string path;
    std::string language;
    std::vector<std::pair<std::string, std::string>> assignments;
    bool reset = false;
};

// Record fields without a setting key that the output names, and --set too.
struct TNamedField {
    const char* name;
    std::int32_t* (*field)(CameraSettingsRecord&);
    bool settable;
};
const TNamedField kNamedFields[] = {
    {"sensorBrightness", [](CameraSettingsRecord& r) { return &r.SensorBrightness(); }, true},
    {"sensorColour", [](CameraSettingsRecord& r) { return &r.SensorColour(); }, true},
    {"recordingSoundSwitch", [](CameraSettingsRecord& r) { return &r.recordingSoundSwitch; },
     false},
    {"speakerSwitch", [](CameraSettingsRecord& r) { return &r.speakerSwitch; }, false},
    {"memorySwitch", [](CameraSettingsRecord& r) { return &r.memorySwitch; }, true},
    {"memoryShareUpper", [](CameraSettingsRecord& r) { return &r.memoryShareUpper; }, true},
    {"memoryShareMiddle", [](CameraSettingsRecord& r) { return &r.memoryShareMiddle; }, true},
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "velor-probe setup-cfg: %s\n", message.c_str());
    return 1;
}

bool ParseArguments(const std::vector<std::string>& arguments, TSetupCfgArguments* parsed,
                    std::string* error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasNext = i + 1 < arguments.size();
        if (argument == "--reset") {
            parsed->reset = true;
        } else if (argument == "--language" && hasNext) {
            parsed->language = arguments[++i];
        } else if (argument == "--set" && hasNext) {
            const std::string& assignment = arguments[++i];
            std::string::size_type equals = assignment.find('=');
            if (equals == std::string::npos || equals == 0) {
                *error = "--set wants KEY=VALUE, not \"" + assignment + "\"";
                return false;
            }
            parsed->assignments.emplace_back(assignment.substr(0, equals),
                                             assignment.substr(equals + 1));
        } else if (argument.rfind("--", 0) == 0 || !parsed->path.empty()) {
            *error = "unexpected argument \"" + argument + "\"";
            return false;
        } else {
            parsed->path = argument;
        }
    }
    if (parsed->path.empty()) {
        *error = "no FILE given";
        return false;
    }
    return true;
}

bool ParseNumbers(const std::string& text, std::size_t count, std::vector<std::int32_t>* numbers) {
    numbers->clear();
    const char* cursor = text.c_str();
    for (std::size_t i = 0; i < count; ++i) {
        char* end = nullptr;
        errno = 0;
        long value = std::strtol(cursor, &end, 10);
        if (end == cursor || errno != 0 || value < INT32_MIN || value > INT32_MAX)
            return false;
        numbers->push_back(static_cast<std::int32_t>(value));
        cursor = end;
        if (i + 1 < count) {
            if (*cursor != ',')
                return false;
            ++cursor;
        }
    }
    return *cursor == '\0';
}

// The run of numbers that KEY names for this layout, empty when none.
TSettingSpan FieldFor(const std::string& key, int layout, std::string* error) {
    CameraSettingsRecord& record = CameraSettings();
    for (const TNamedField& named : kNamedFields) {
        if (key != named.name)
            continue;
        if (!named.settable) {
            *error = key + " follows its volume and cannot be set";
            return TSettingSpan{0, nullptr, 0, nullptr};
        }
        return TSettingSpan{0, named.field(record), 1, named.name};
    }
    const std::string stored = key == "cutoff_vol_time" ? "cutted_voltage" : key;
    for (const TSettingSpan& span : SettingSpans(record, layout)) {
        if (span.key && stored == span.key)
            return span;
    }
    *error = "\"" + key + "\" is no setting this model's file stores";
    return TSettingSpan{0, nullptr, 0, nullptr};
}

bool ApplyAssignments(const TSetupCfgArguments& arguments, int layout, std::string* error) {
    for (const auto& [key, text] : arguments.assignments) {
        TSettingSpan field = FieldFor(key, layout, error);
        if (!field.values)
            return false;
        std::vector<std::int32_t> numbers;
        if (!ParseNumbers(text, field.count, &numbers)) {
            *error = key + " wants " + std::to_string(field.count) +
                     (field.count == 1 ? " number" : " comma-separated numbers") + ", not \"" +
                     text + "\"";
            return false;
        }
        for (std::size_t i = 0; i < field.count; ++i)
            field.values[i] = numbers[i];
    }
    return true;
}

// Why the viewer's reader refused the file, for the message.
std::string RefusalOf(const std::string& path) {
    std::vector<std::uint8_t> image;
    if (!ReadSetupFile(path, &image))
        return path + " cannot be opened";
    if (image.size() < kSetupFileSize)
        return path + " is shorter than 8192 bytes";
    return path + " fails its CRC-32 check";
}

TJson Record(int layout) {
    CameraSettingsRecord& record = CameraSettings();
    TJson settings = TJson::object();
    for (const TSettingSpan& span : SettingSpans(record, layout)) {
        if (!span.key)
            continue;
        if (span.count == 1)
            settings[span.key] = span.values[0];
        else
            settings[span.key] = std::vector<std::int32_t>(span.values, span.values + span.count);
        if (std::string(span.key) == "cutted_voltage")
            settings["cutoff_vol_time"] = span.values[0];
    }
    TJson result = {{"crcOk", true},
                    {"model", record.modelName},
                    {"layout", layout},
                    {"firmware", record.firmware},
                    {"settings", settings}};
    for (const TNamedField& named : kNamedFields)
        result[named.name] = *named.field(record);
    return result;
}

int ReadAndPrint(const std::string& path) {
    if (!ReadCameraSettings(path))
        return Fail(RefusalOf(path));
    const ModelInfo* model = FindModelInfo(CameraSettings().modelName);
    if (!model)
        return Fail("no camera model table could be built");
    PrintJson(Record(model->layout));
    return 0;
}

int RunSetupCfg(const std::vector<std::string>& argumentList) {
    TSetupCfgArguments arguments;
    std::string error;
    if (!ParseArguments(argumentList, &arguments, &error))
        return Fail(error);
    LoadPreferences();
    if (!arguments.language.empty())
        Preferences().language = arguments.language;

    if (arguments.assignments.empty() && !arguments.reset)
        return ReadAndPrint(arguments.path);

    if (!ReadCameraSettings(arguments.path))
        return Fail(RefusalOf(arguments.path));
    const ModelInfo* model = FindModelInfo(CameraSettings().modelName);
    if (!model)
        return Fail("no camera model table could be built");
    if (arguments.reset)
        ResetCameraSettings(CameraSettings().modelName);
    if (!ApplyAssignments(arguments, model->layout, &error))
        return Fail(error + "; " + arguments.path + " is left as it was");
    if (!WriteCameraSettings(arguments.path))
        return Fail(arguments.path + " could not be written; it is left as it was");
    return ReadAndPrint(arguments.path);
}

const bool kRegistered = RegisterProbeCommand(
    {"setup-cfg", "FILE [--language ID] [--set KEY=VALUE ...] [--reset]", RunSetupCfg});

} // namespace
