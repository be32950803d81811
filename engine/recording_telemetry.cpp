#include "engine/recording_telemetry.h"

#include "engine/chunk_walk.h"
#include "engine/ffmpeg.h"
#include "engine/ffmpeg_handles.h"
#include "engine/stream_roles.h"

std::unique_ptr<TTelemetry> ReadRecordingTelemetry(const std::string& path) {
    std::int64_t frames = 0;
    TChunkWalk walk;
    CountFrames(path, &frames, &walk);
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0)
        return nullptr;
    TInputHandle input(opened);
    if (avformat_find_stream_info(opened, nullptr) < 0)
        return nullptr;
    TPacketHandle packet = MakePacket();
    if (!packet)
        return nullptr;
    return ReadTelemetry(opened, packet.get(), AssignStreamRoles(opened, walk.telemetryStreams),
                         nullptr);
}
