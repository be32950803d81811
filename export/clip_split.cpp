#include "export/clip_split.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "engine/ffmpeg.h"

namespace {

constexpr const char* kFrontPrefix = "F_";
constexpr const char* kRearPrefix = "R_";

struct TSourceRoles {
    int front = -1;
    int rear = -1;
    int sound = -1;
};

// The first video stream is the front camera and the last one the rear
// camera; any between them are left out. The last sound stream wins.
TSourceRoles SelectStreams(const AVFormatContext* input) {
    TSourceRoles roles;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVMediaType type = input->streams[i]->codecpar->codec_type;
        const int index = static_cast<int>(i);
        if (type == AVMEDIA_TYPE_VIDEO) {
            if (roles.front < 0)
                roles.front = index;
            else
                roles.rear = index;
        } else if (type == AVMEDIA_TYPE_AUDIO) {
            roles.sound = index;
        }
    }
    return roles;
}

// One of the two files being written: its container and, per source
// stream, the output stream it goes to (-1 for none).
struct TSplitOutput {
    std::string path;
    TOutputHandle container;
    std::vector<int> streamOf;
};

// The output files this split opened; they go again unless it completes,
// so a failure leaves no half-written file behind.
class TCreatedFiles {
public:
    TCreatedFiles() = default;
    ~TCreatedFiles() {
        if (m_kept)
            return;
        for (const std::string& path : m_paths)
            std::remove(path.c_str());
    }
    TCreatedFiles(const TCreatedFiles&) = delete;
    TCreatedFiles& operator=(const TCreatedFiles&) = delete;

    void Add(const std::string& path) { m_paths.push_back(path); }
    void Keep() { m_kept = true; }

private:
    std::vector<std::string> m_paths;
    bool m_kept = false;
};

bool MakeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    return !error;
}

bool OpenSource(const std::string& path, TInputHandle* input) {
    // avformat_open_input frees the context itself when it fails.
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return false;
    input->reset(context);
    return avformat_find_stream_info(context, nullptr) >= 0;
}

bool AddStream(TSplitOutput& output, const AVStream* source) {
    AVStream* stream = avformat_new_stream(output.container.get(), nullptr);
    if (!stream || avcodec_parameters_copy(stream->codecpar, source->codecpar) < 0)
        return false;
    // The source's tag belongs to its container; the new one picks its own.
    stream->codecpar->codec_tag = 0;
    stream->time_base = source->time_base;
    output.streamOf[source->index] = stream->index;
    return true;
}

// The container (chosen by the file name's extension) with its streams, in
// the order they have in the source.
bool MakeContainer(TSplitOutput& output, const AVFormatContext* input, int video, int sound) {
    AVFormatContext* context = nullptr;
    if (avformat_alloc_output_context2(&context, nullptr, nullptr, output.path.c_str()) < 0 ||
        !context)
        return false;
    output.container.reset(context);
    output.streamOf.assign(input->nb_streams, -1);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const int index = static_cast<int>(i);
        if ((index == video || index == sound) && !AddStream(output, input->streams[i]))
            return false;
    }
    return true;
}

bool OpenFile(TSplitOutput& output, TCreatedFiles& created) {
    AVFormatContext* context = output.container.get();
    if (context->oformat->flags & AVFMT_NOFILE)
        return true;
    if (avio_open(&context->pb, output.path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    created.Add(output.path);
    return true;
}

// Writes a reference to `packet` into the output that takes its stream.
bool WritePacket(TSplitOutput& output, const AVFormatContext* input, const AVPacket* packet,
                 AVPacket* copy) {
    const int target = output.streamOf[packet->stream_index];
    if (target < 0)
        return true;
    if (av_packet_ref(copy, packet) < 0)
        return false;
    const AVStream* source = input->streams[packet->stream_index];
    // AVI gives video packets a decoding time only; without reordering the
    // picture is shown when it is decoded, which the muxer would otherwise
    // have to guess (a deprecated path).
    if (copy->pts == AV_NOPTS_VALUE && source->codecpar->video_delay == 0)
        copy->pts = copy->dts;
    av_packet_rescale_ts(copy, source->time_base, output.container->streams[target]->time_base);
    copy->stream_index = target;
    copy->pos = -1;
    // The muxer takes the reference and leaves `copy` blank, even on failure.
    return av_interleaved_write_frame(output.container.get(), copy) >= 0;
}

TSplitResult CopyPackets(AVFormatContext* input, TSplitOutput* outputs, int outputCount) {
    TPacketHandle packet = MakePacket();
    TPacketHandle copy = MakePacket();
    if (!packet || !copy)
        return TSplitResult::WriteFailed;
    int read = 0;
    while ((read = av_read_frame(input, packet.get())) >= 0) {
        const bool inRange =
            packet->stream_index >= 0 && packet->stream_index < static_cast<int>(input->nb_streams);
        for (int i = 0; inRange && i < outputCount; ++i) {
            if (!WritePacket(outputs[i], input, packet.get(), copy.get())) {
                av_packet_unref(packet.get());
                return TSplitResult::WriteFailed;
            }
        }
        av_packet_unref(packet.get());
    }
    // A source that cannot be read to its end would give files that end
    // early and still look whole.
    return read == AVERROR_EOF ? TSplitResult::Done : TSplitResult::SourceUnreadable;
}

// The trailer, then the file closed by hand: a failure to flush the last
// bytes must count.
bool Finish(TSplitOutput& output) {
    AVFormatContext* context = output.container.get();
    if (av_write_trailer(context) < 0)
        return false;
    if (context->oformat->flags & AVFMT_NOFILE)
        return true;
    return avio_closep(&context->pb) >= 0;
}

} // namespace

TSplitNames SplitOutputNames(const std::string& source, const std::string& targetFolder) {
    const std::filesystem::path path(source);
    const std::string name = path.stem().string();
    const std::string extension = path.extension().string();
    return {targetFolder + "/" + kFrontPrefix + name + extension,
            targetFolder + "/" + kRearPrefix + name + extension};
}

TSplitResult Split(const std::string& source, const std::string& targetFolder) {
    if (!MakeFolder(targetFolder))
        return TSplitResult::FolderNotMade;
    const TSplitNames names = SplitOutputNames(source, targetFolder);
    TInputHandle input;
    if (!OpenSource(source, &input))
        return TSplitResult::SourceUnreadable;
    const TSourceRoles roles = SelectStreams(input.get());
    if (roles.front < 0 || roles.rear < 0)
        return TSplitResult::OneChannel;

    // Declared before the outputs, so the files are closed before they go.
    TCreatedFiles created;
    TSplitOutput outputs[2];
    outputs[0].path = names.front;
    outputs[1].path = names.rear;
    const int videos[2] = {roles.front, roles.rear};
    for (int i = 0; i < 2; ++i) {
        if (!MakeContainer(outputs[i], input.get(), videos[i], roles.sound))
            return TSplitResult::OutputNotMade;
    }
    for (TSplitOutput& output : outputs) {
        if (!OpenFile(output, created))
            return TSplitResult::OutputNotMade;
    }
    for (TSplitOutput& output : outputs) {
        if (avformat_write_header(output.container.get(), nullptr) < 0)
            return TSplitResult::WriteFailed;
    }
    const TSplitResult copied = CopyPackets(input.get(), outputs, 2);
    if (copied != TSplitResult::Done)
        return copied;
    for (TSplitOutput& output : outputs) {
        if (!Finish(output))
            return TSplitResult::WriteFailed;
    }
    created.Keep();
    return TSplitResult::Done;
}

const char* SplitResultText(TSplitResult result) {
    switch (result) {
    case TSplitResult::Done:
        return "split";
    case TSplitResult::FolderNotMade:
        return "the target folder cannot be created";
    case TSplitResult::SourceUnreadable:
        return "the recording cannot be read";
    case TSplitResult::OneChannel:
        return "the recording has fewer than two video streams";
    case TSplitResult::OutputNotMade:
        return "an output file cannot be created";
    case TSplitResult::WriteFailed:
        return "an output file cannot be written";
    }
    return "unknown failure";
}
