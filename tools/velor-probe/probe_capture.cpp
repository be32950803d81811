// velor-probe capture FILE --at SECONDS --dir DIR [--channels 1|2]:
// opens a recording in the controller with real views, shows the picture at
// SECONDS as a paused seek does, and captures the shown channels into DIR
// exactly as the capture command names its files; prints their paths.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "export/frame_capture.h"
#include "platform/files.h"
#include "platform/last_error.h"
#include "tools/velor-probe/paused_player.h"
#include "tools/velor-probe/probe_command.h"

namespace {

constexpr const char kUsage[] = "FILE --at SECONDS --dir DIR [--channels 1|2]";
constexpr int kBothChannels = 2;

struct TCaptureArgs {
    std::string file;
    std::string folder;
    double at = -1.0;
    int channels = kBothChannels;
};

std::optional<TCaptureArgs> ParseCaptureArgs(const std::vector<std::string>& arguments) {
    TCaptureArgs args;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (name == "--at" && hasValue) {
            char* end = nullptr;
            args.at = std::strtod(arguments[++i].c_str(), &end);
            if (*end != '\0' || !(args.at >= 0.0))
                return std::nullopt;
        } else if (name == "--dir" && hasValue) {
            args.folder = arguments[++i];
        } else if (name == "--channels" && hasValue) {
            const std::string& value = arguments[++i];
            if (value != "1" && value != "2")
                return std::nullopt;
            args.channels = value == "1" ? 1 : kBothChannels;
        } else if (!name.empty() && name[0] != '-' && args.file.empty()) {
            args.file = name;
        } else {
            return std::nullopt;
        }
    }
    if (args.file.empty() || args.folder.empty() || args.at < 0.0)
        return std::nullopt;
    return args;
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "velor-probe capture: %s\n", text.c_str());
    return 1;
}

int CaptureShownFrames(const TCaptureArgs& args) {
    // The main window makes the capture folder first; an existing one is fine.
    if (!CreateDirectoryA(args.folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return Fail("cannot make " + args.folder);
    TPausedPlayer paused;
    const std::string problem = paused.ShowAt(args.file, args.at);
    if (!problem.empty())
        return Fail(problem);
    const TCaptureResult result = CaptureOrPrint(ShownFrames(paused.Player(), args.channels),
                                                 CaptureBaseName(args.folder, args.file), 0.0, 0.0,
                                                 TCaptureAction::Capture, nullptr);
    if (result.outcome != TCaptureOutcome::Done)
        return Fail("the pictures could not be saved in " + args.folder);
    nlohmann::json out;
    out["files"] = result.files;
    std::printf("%s\n", out.dump(2).c_str());
    return 0;
}

int ProbeCapture(const std::vector<std::string>& arguments) {
    const std::optional<TCaptureArgs> args = ParseCaptureArgs(arguments);
    if (!args) {
        std::fprintf(stderr, "usage: velor-probe capture %s\n", kUsage);
        return 1;
    }
    return RunWithViews("capture", [&] { return CaptureShownFrames(*args); });
}

[[maybe_unused]] const bool g_registered = RegisterProbeCommand({"capture", kUsage, ProbeCapture});

} // namespace
