// velor-probe catalog FOLDER [--kinds NEP]: scans FOLDER as the recording
// list would, sorts and filters the recordings and prints the rows in list
// order with the model name the card's setup.cfg gives.

#include <cstdio>
#include <string>
#include <vector>

#include "recordings/recording_catalog.h"
#include "recordings/recording_name.h"
#include "settings/camera_settings.h"
#include "settings/viewer_preferences.h"
#include "tools/support/tool_json.h"
#include "tools/velor-probe/probe_command.h"

namespace {

struct TCatalogArguments {
    std::string folder;
    TKindFilter filter;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "velor-probe catalog: %s\n", message.c_str());
    return 1;
}

bool ParseKinds(const std::string& letters, TKindFilter* filter, std::string* error) {
    *filter = TKindFilter{false, false, false};
    for (char letter : letters) {
        switch (letter) {
        case 'N':
        case 'n':
            filter->normal = true;
            break;
        case 'E':
        case 'e':
            filter->event = true;
            break;
        case 'P':
        case 'p':
            filter->parking = true;
            break;
        default:
            *error = "--kinds takes the letters N, E and P, not \"" + letters + "\"";
            return false;
        }
    }
    return true;
}

bool ParseArguments(const std::vector<std::string>& arguments, TCatalogArguments* parsed,
                    std::string* error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--kinds" && i + 1 < arguments.size()) {
            if (!ParseKinds(arguments[++i], &parsed->filter, error))
                return false;
        } else if (argument.rfind("--", 0) == 0 || !parsed->folder.empty()) {
            *error = "unexpected argument \"" + argument + "\"";
            return false;
        } else {
            parsed->folder = argument;
        }
    }
    if (parsed->folder.empty()) {
        *error = "no FOLDER given";
        return false;
    }
    return true;
}

TJson Rows(const std::vector<std::string>& paths) {
    TJson rows = TJson::array();
    for (const std::string& path : paths) {
        rows.push_back({{"path", path},
                        {"kind", KindText(KindOfName(path))},
                        {"time", RecordingTimeText(path)}});
    }
    return rows;
}

int RunCatalog(const std::vector<std::string>& argumentList) {
    TCatalogArguments arguments;
    std::string error;
    if (!ParseArguments(argumentList, &arguments, &error))
        return Fail(error);
    std::vector<std::string> entries;
    if (!ScanFolder(arguments.folder, &entries))
        return Fail(arguments.folder + " cannot be listed");
    SortRecordings(&entries);
    const std::vector<std::string> rows = FilterRecordings(entries, arguments.filter);

    // The model as the catalog would remember it, without storing it.
    LoadPreferences();
    const bool modelRead = ReadCameraSettings(SetupFilePath(arguments.folder));

    TJson result;
    result["rows"] = Rows(rows);
    result["model"] = modelRead ? TJson(CameraSettings().modelName) : TJson(nullptr);
    PrintJson(result);
    return 0;
}

const bool kRegistered = RegisterProbeCommand({"catalog", "FOLDER [--kinds NEP]", RunCatalog});

} // namespace
