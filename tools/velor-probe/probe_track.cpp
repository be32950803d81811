// velor-probe track FILE --format gpx|kml: the recording's GPS track as the
// viewer's export writes it, on standard output.

#include <cstdio>
#include <memory>

#include "engine/ffmpeg.h"
#include "engine/recording_telemetry.h"
#include "recordings/track_export.h"
#include "tools/velor-probe/probe_command.h"

namespace {

constexpr const char* kUsage = "usage: velor-probe track FILE --format gpx|kml\n";

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

int ProbeTrack(const std::vector<std::string>& arguments) {
    TTrackFormat format = TTrackFormat::Gpx;
    if (arguments.size() != 3 || arguments[1] != "--format" ||
        !TrackFormatFromName(arguments[2], &format)) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string& path = arguments[0];
    // The demuxer's complaints about the telemetry streams are not the
    // caller's business.
    av_log_set_level(AV_LOG_FATAL);
    const std::unique_ptr<TTelemetry> telemetry = ReadRecordingTelemetry(path);
    if (!telemetry) {
        std::fprintf(stderr, "velor-probe: %s: cannot be opened\n", path.c_str());
        return 1;
    }
    const std::string document = WriteTrack(*telemetry, BaseName(path), format);
    if (document.empty()) {
        std::fprintf(stderr, "velor-probe: %s: no valid GPS fix\n", path.c_str());
        return 1;
    }
    std::fwrite(document.data(), 1, document.size(), stdout);
    return 0;
}

[[maybe_unused]] const bool g_registered =
    RegisterProbeCommand({"track", "FILE --format gpx|kml", ProbeTrack});

} // namespace
