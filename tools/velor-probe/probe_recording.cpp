// velor-probe recording FILE: opens a recording with the engine's own open
// sequence and prints what the engine learnt about it.

#include <cmath>
#include <cstdio>
#include <memory>

#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/player_reader.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "tools/support/notify_log.h"
#include "tools/support/tool_json.h"
#include "tools/velor-probe/probe_command.h"

namespace {

TJson TimeBase(const TMediaPlayer& player, int streamIndex) {
    if (streamIndex < 0)
        return nullptr;
    const AVRational base = player.Input()->streams[streamIndex]->time_base;
    return std::to_string(base.num) + "/" + std::to_string(base.den);
}

TJson Hemisphere(char letter) {
    return letter == 0 ? TJson(nullptr) : TJson(std::string(1, letter));
}

TJson Telemetry(const TTelemetry& table) {
    TJson gps = TJson::array();
    for (const TGpsRecord& record : table.gps) {
        gps.push_back({{"valid", record.valid},
                       {"latitude", record.latitude},
                       {"latitudeHemisphere", Hemisphere(record.latitudeHemisphere)},
                       {"longitude", record.longitude},
                       {"longitudeHemisphere", Hemisphere(record.longitudeHemisphere)},
                       {"speedKnots", record.speedKnots}});
    }
    return {{"firstGpsTime", table.firstGpsTime},
            {"gps", gps},
            {"accelX", table.accelX},
            {"accelY", table.accelY},
            {"accelZ", table.accelZ}};
}

// The index of the GPS record shown at each second, null where none is.
TJson FixBySecond(const TTelemetry& table, double duration) {
    TJson fixes = TJson::array();
    const int lastSecond = static_cast<int>(std::floor(duration));
    for (int second = 0; second <= lastSecond; ++second) {
        const TGpsRecord* fix = FixAtSecond(&table, second);
        fixes.push_back(fix ? TJson(fix - table.gps.data()) : TJson(nullptr));
    }
    return fixes;
}

int ProbeRecording(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: velor-probe recording FILE\n");
        return 1;
    }
    TMediaPlayer player;
    TNotifyLog log;
    player.SetNotifySink(&log);
    TPlayerReader reader(player);
    StartRecordingMessageBoxes(IDOK);
    const bool opened = reader.Open(arguments[0]);
    const std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    StopRecordingMessageBoxes();
    const std::unique_ptr<TTelemetry> telemetry = player.TakeTelemetry(log.OpenedToken());
    if (!opened || !telemetry) {
        const std::string reason = boxes.empty() ? "cannot be opened" : boxes.front().text;
        std::fprintf(stderr, "velor-probe: %s: %s\n", arguments[0].c_str(), reason.c_str());
        return 1;
    }

    TJson result;
    result["frameCount"] = player.frameCount();
    result["frameRate"] = player.frameRate();
    result["duration"] = player.duration();
    result["roles"] = {{"front", player.frontStreamIndex()},
                       {"rear", player.rearStreamIndex()},
                       {"audio", player.audioStreamIndex()},
                       {"gps", player.gpsStreamIndex()},
                       {"gsensor", player.gsensorStreamIndex()}};
    result["timeBases"] = {{"front", TimeBase(player, player.frontStreamIndex())},
                           {"rear", TimeBase(player, player.rearStreamIndex())}};
    result["telemetry"] = Telemetry(*telemetry);
    result["fixBySecond"] = FixBySecond(*telemetry, player.duration());
    PrintJson(result);
    return 0;
}

[[maybe_unused]] const bool g_registered =
    RegisterProbeCommand({"recording", "FILE", ProbeRecording});

} // namespace
