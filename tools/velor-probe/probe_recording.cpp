// velor-probe recording FILE: opens a recording with the engine's own open
// sequence and prints what the engine learnt about it.

#include <cmath>
#include <cstdio>
#include <memory>

#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/notify_sink.h"
#include "engine/player_reader.h"
#include "engine/video_stream_info.h"
#include "platform/message_box.h"
#include "tools/velor-probe/json_writer.h"
#include "tools/velor-probe/probe_command.h"

namespace {

class TOpenCatcher : public INotifySink {
public:
    void Notify(WPARAM code, LPARAM lParam) override {
        if (code == PlayerNotify::Opened)
            token = lParam;
    }
    void CloseProgressDialog() override {}
    LPARAM token = 0;
};

void WriteTimeBase(TJsonWriter& json, const TMediaPlayer& player, int streamIndex) {
    if (streamIndex < 0) {
        json.Null();
        return;
    }
    AVRational base = player.Input()->streams[streamIndex]->time_base;
    json.String(std::to_string(base.num) + "/" + std::to_string(base.den));
}

void WriteHemisphere(TJsonWriter& json, char letter) {
    if (letter == 0)
        json.Null();
    else
        json.String(std::string(1, letter));
}

void WriteSamples(TJsonWriter& json, const char* name, const std::vector<float>& samples) {
    json.Key(name);
    json.BeginArray();
    for (float sample : samples)
        json.Number(sample);
    json.EndArray();
}

void WriteTelemetry(TJsonWriter& json, const TTelemetry& table) {
    json.Key("telemetry");
    json.BeginObject();
    json.Key("firstGpsTime");
    json.Int(table.firstGpsTime);
    json.Key("gps");
    json.BeginArray();
    for (const TGpsRecord& record : table.gps) {
        json.BeginObject();
        json.Key("valid");
        json.Int(record.valid);
        json.Key("latitude");
        json.Number(record.latitude);
        json.Key("latitudeHemisphere");
        WriteHemisphere(json, record.latitudeHemisphere);
        json.Key("longitude");
        json.Number(record.longitude);
        json.Key("longitudeHemisphere");
        WriteHemisphere(json, record.longitudeHemisphere);
        json.Key("speedKnots");
        json.Number(record.speedKnots);
        json.EndObject();
    }
    json.EndArray();
    WriteSamples(json, "accelX", table.accelX);
    WriteSamples(json, "accelY", table.accelY);
    WriteSamples(json, "accelZ", table.accelZ);
    json.EndObject();
}

void WriteFixes(TJsonWriter& json, const TTelemetry& table, double duration) {
    json.Key("fixBySecond");
    json.BeginArray();
    const int lastSecond = static_cast<int>(std::floor(duration));
    for (int second = 0; second <= lastSecond; ++second) {
        const TGpsRecord* fix = FixAtSecond(&table, second);
        if (fix)
            json.Int(fix - table.gps.data());
        else
            json.Null();
    }
    json.EndArray();
}

int ProbeRecording(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: velor-probe recording FILE\n");
        return 1;
    }
    TMediaPlayer player;
    TOpenCatcher catcher;
    player.SetNotifySink(&catcher);
    TPlayerReader reader(player);
    StartRecordingMessageBoxes(IDOK);
    const bool opened = reader.Open(arguments[0]);
    std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    StopRecordingMessageBoxes();
    std::unique_ptr<TTelemetry> telemetry = player.TakeTelemetry(catcher.token);
    if (!opened || !telemetry) {
        std::string reason = boxes.empty() ? "cannot be opened" : boxes.front().text;
        std::fprintf(stderr, "velor-probe: %s: %s\n", arguments[0].c_str(), reason.c_str());
        return 1;
    }

    TJsonWriter json;
    json.BeginObject();
    json.Key("frameCount");
    json.Int(player.frameCount());
    json.Key("frameRate");
    json.Number(player.frameRate());
    json.Key("duration");
    json.Number(player.duration());
    json.Key("roles");
    json.BeginObject();
    const std::pair<const char*, int> roles[] = {{"front", player.frontStreamIndex()},
                                                  {"rear", player.rearStreamIndex()},
                                                  {"audio", player.audioStreamIndex()},
                                                  {"gps", player.gpsStreamIndex()},
                                                  {"gsensor", player.gsensorStreamIndex()}};
    for (const auto& [name, index] : roles) {
        json.Key(name);
        json.Int(index);
    }
    json.EndObject();
    json.Key("timeBases");
    json.BeginObject();
    json.Key("front");
    WriteTimeBase(json, player, player.frontStreamIndex());
    json.Key("rear");
    WriteTimeBase(json, player, player.rearStreamIndex());
    json.EndObject();
    WriteTelemetry(json, *telemetry);
    WriteFixes(json, *telemetry, player.duration());
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
    return 0;
}

[[maybe_unused]] const bool g_registered =
    RegisterProbeCommand({"recording", "FILE", ProbeRecording});

} // namespace
