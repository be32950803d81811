#include "engine/chunk_walk.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/ffmpeg.h"

namespace {

struct TFileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The eight chunk identifiers the camera writes inside its movi list.
constexpr const char* kKnownChunkIds[] = {"00dc", "01dc", "01wb", "02wb",
                                          "01st", "02st", "03st", "04st"};

bool IsKnownChunkId(const char id[4]) {
    for (const char* known : kKnownChunkIds) {
        if (std::memcmp(id, known, 4) == 0)
            return true;
    }
    return false;
}

std::uint32_t LittleEndian32(const unsigned char bytes[4]) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// The camera's LIST movi header; its size is 0 until the recording ends.
void ReadMoviList(std::FILE* file, TChunkWalk* walk) {
    unsigned char header[12];
    if (fseeko(file, kMoviListOffset, SEEK_SET) != 0 ||
        std::fread(header, 1, sizeof header, file) != sizeof header)
        return;
    if (std::memcmp(header, "LIST", 4) != 0 || std::memcmp(header + 8, "movi", 4) != 0)
        return;
    walk->moviListFound = true;
    const std::uint32_t size = LittleEndian32(header + 4);
    if (size != 0)
        walk->moviEnd = kMoviListOffset + 8 + static_cast<std::int64_t>(size);
}

std::int64_t StreamFrameCount(const AVFormatContext* input, int index) {
    if (index < 0 || index >= static_cast<int>(input->nb_streams))
        return 0;
    AVStream* stream = input->streams[index];
    if (stream->nb_frames > 0)
        return stream->nb_frames;
    if (const int entries = avformat_index_get_entries_count(stream); entries > 0)
        return entries;
    if (stream->duration == AV_NOPTS_VALUE || stream->avg_frame_rate.den == 0)
        return 0;
    const double seconds = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    return std::llround(seconds * av_q2d(stream->avg_frame_rate));
}

} // namespace

bool TChunkWalk::InCameraLayout() const {
    if (!moviListFound || chunks == 0)
        return false;
    return unknownAt < 0 || moviEnd < 0 || unknownAt >= moviEnd;
}

bool CountFrames(const std::string& path, std::int64_t* frameCount, TChunkWalk* walk) {
    TChunkWalk counts;
    *frameCount = 0;
    std::unique_ptr<std::FILE, TFileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (walk)
            *walk = counts;
        return false;
    }
    ReadMoviList(file.get(), &counts);
    std::int64_t position = kFirstChunkOffset;
    while (fseeko(file.get(), position, SEEK_SET) == 0) {
        unsigned char header[8];
        if (std::fread(header, 1, sizeof header, file.get()) != sizeof header)
            break;
        const char* id = reinterpret_cast<const char*>(header);
        if (!IsKnownChunkId(id)) {
            counts.unknownAt = position;
            break;
        }
        ++counts.chunks;
        if (std::memcmp(id, "00dc", 4) == 0)
            ++counts.frontFrames;
        else if (std::memcmp(id, "01dc", 4) == 0)
            ++counts.rearFrames;
        else if (id[2] == 's' && id[3] == 't')
            counts.telemetryStreams |= 1u << ((id[0] - '0') * 10 + (id[1] - '0'));
        // Camera chunks are not padded: the next header follows directly.
        position += 8 + static_cast<std::int64_t>(LittleEndian32(header + 4));
        if (position < 0)
            break;
    }
    *frameCount = counts.frontFrames > counts.rearFrames ? counts.frontFrames : counts.rearFrames;
    if (walk)
        *walk = counts;
    return true;
}

std::int64_t DemuxedFrameCount(const AVFormatContext* input, int frontStream, int rearStream) {
    const std::int64_t front = StreamFrameCount(input, frontStream);
    const std::int64_t rear = StreamFrameCount(input, rearStream);
    return front > rear ? front : rear;
}
