#include "engine/stream_roles.h"

#include "engine/ffmpeg.h"

namespace {
constexpr unsigned kMaskBits = 32;
} // namespace

TStreamRoles AssignStreamRoles(const AVFormatContext* input, std::uint32_t telemetryStreams) {
    TStreamRoles roles;
    int videoSeen = 0;
    int telemetrySeen = 0;
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
        } else if (type == AVMEDIA_TYPE_AUDIO) {
            roles.audio = index;
        }
    }
    return roles;
}
