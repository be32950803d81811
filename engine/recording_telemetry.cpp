#include "engine/recording_telemetry.h"

#include "engine/chunk_walk.h"
#include "engine/ffmpeg.h"
#include "engine/ffmpeg_handles.h"

namespace {

// The player's rule: telemetry streams (subtitle streams, or those the chunk
// walk saw carrying "NNst" chunks) in order are the GPS, then the G-sensor.
TTelemetryRoles RolesOf(const AVFormatContext* input, std::uint32_t telemetryStreams) {
    constexpr unsigned kMaskBits = 32;
    TTelemetryRoles roles;
    int videoSeen = 0, telemetrySeen = 0;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const int index = static_cast<int>(i);
        const AVMediaType type = input->streams[i]->codecpar->codec_type;
        const bool walked = i < kMaskBits && ((telemetryStreams >> i) & 1u);
        if (type == AVMEDIA_TYPE_SUBTITLE || walked) {
            if (telemetrySeen < 2)
                (telemetrySeen == 0 ? roles.gps : roles.gsensor) = index;
            ++telemetrySeen;
        } else if (type == AVMEDIA_TYPE_VIDEO) {
            if (videoSeen < 2)
                (videoSeen == 0 ? roles.front : roles.rear) = index;
            ++videoSeen;
        }
    }
    return roles;
}

} // namespace

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
    return ReadTelemetry(opened, packet.get(), RolesOf(opened, walk.telemetryStreams), nullptr);
}
