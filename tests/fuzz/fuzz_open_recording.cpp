// The open path of a recording up to its telemetry table, on a file held in
// memory: the chunk walk, FFmpeg's demuxer reading through an AVIOContext,
// the roles of the streams, the one pass over every packet and the frame
// count, as the player does them when it opens a recording.

#include <algorithm>
#include <cstring>

#include "engine/chunk_walk.h"
#include "engine/ffmpeg.h"
#include "engine/key_frames.h"
#include "engine/stream_roles.h"
#include "recordings/telemetry.h"
#include "tests/fuzz/memory_file.h"

namespace {

constexpr int kIoBufferBytes = 4096;

struct TMemoryInput {
    const std::uint8_t* data;
    std::int64_t size;
    std::int64_t position = 0;
};

int ReadMemory(void* opaque, std::uint8_t* buffer, int capacity) {
    auto* input = static_cast<TMemoryInput*>(opaque);
    const std::int64_t left = input->size - input->position;
    if (left <= 0)
        return AVERROR_EOF;
    const int count = static_cast<int>(std::min<std::int64_t>(left, capacity));
    std::memcpy(buffer, input->data + input->position, static_cast<std::size_t>(count));
    input->position += count;
    return count;
}

std::int64_t SeekMemory(void* opaque, std::int64_t offset, int whence) {
    auto* input = static_cast<TMemoryInput*>(opaque);
    std::int64_t target = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return input->size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        target += input->position;
        break;
    case SEEK_END:
        target += input->size;
        break;
    default:
        return -1;
    }
    if (target < 0 || target > input->size)
        return -1;
    input->position = target;
    return target;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TChunkWalk walk;
    std::int64_t counted = 0;
    {
        TMemoryFile file(data, size);
        if (!file.IsOpen())
            return 0;
        CountFrames(file.Path(), &counted, &walk);
    }

    TMemoryInput memory{data, static_cast<std::int64_t>(size)};
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferBytes));
    AVIOContext* io =
        avio_alloc_context(buffer, kIoBufferBytes, 0, &memory, ReadMemory, nullptr, SeekMemory);
    AVFormatContext* input = avformat_alloc_context();
    input->pb = io;
    input->flags |= AVFMT_FLAG_CUSTOM_IO;
    const AVInputFormat* avi = av_find_input_format("avi");
    // avformat_open_input frees the context itself when it fails.
    if (avformat_open_input(&input, nullptr, avi, nullptr) == 0) {
        if (avformat_find_stream_info(input, nullptr) >= 0) {
            const TTelemetryRoles roles = AssignStreamRoles(input, walk.telemetryStreams);
            TVideoPass pass;
            pass.isKeyFrame = [input](const AVPacket* packet) {
                AVCodecID codec = input->streams[packet->stream_index]->codecpar->codec_id;
                return PacketStartsKeyFrame(codec, packet->data, packet->size,
                                            (packet->flags & AV_PKT_FLAG_KEY) != 0);
            };
            TPacketHandle packet = MakePacket();
            std::unique_ptr<TTelemetry> table = ReadTelemetry(input, packet.get(), roles, &pass);
            if (!walk.InCameraLayout())
                counted = DemuxedFrameCount(input, roles.front, roles.rear);
            for (int second = 0; second < 4; ++second)
                FixAtSecond(table.get(), second);
        }
        avformat_close_input(&input);
    }
    if (io)
        av_freep(&io->buffer);
    avio_context_free(&io);
    return 0;
}
