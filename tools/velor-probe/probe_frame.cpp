// velor-probe frame FILE --at SECONDS --out PICTURE.png [--channel 0|1]:
// opens a recording in the controller with real views, pauses, seeks there
// the way a paused seek does, and writes the picture the channel then shows.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "engine/video_stream_info.h"
#include "tools/velor-probe/paused_player.h"
#include "tools/velor-probe/probe_command.h"

namespace {

constexpr const char kUsage[] = "FILE --at SECONDS --out PICTURE.png [--channel 0|1]";
constexpr int kBytesPerPixel = 4;

struct TFrameArgs {
    std::string file;
    std::string out;
    double at = -1.0;
    int channel = 0;
};

std::optional<TFrameArgs> ParseFrameArgs(const std::vector<std::string>& arguments) {
    TFrameArgs args;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (name == "--at" && hasValue) {
            char* end = nullptr;
            args.at = std::strtod(arguments[++i].c_str(), &end);
            if (*end != '\0' || !(args.at >= 0.0))
                return std::nullopt;
        } else if (name == "--out" && hasValue) {
            args.out = arguments[++i];
        } else if (name == "--channel" && hasValue) {
            const std::string& value = arguments[++i];
            if (value != "0" && value != "1")
                return std::nullopt;
            args.channel = value == "1" ? 1 : 0;
        } else if (!name.empty() && name[0] != '-' && args.file.empty()) {
            args.file = name;
        } else {
            return std::nullopt;
        }
    }
    if (args.file.empty() || args.out.empty() || args.at < 0.0)
        return std::nullopt;
    return args;
}

struct TPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // tightly packed
};

// The channel's display picture, BGRA turned into RGBA for the encoder.
TPicture CopyDisplayPicture(TVideoStreamInfo& video) {
    TPicture copy;
    std::lock_guard guard(video.displayLock);
    const TVideoPicture& picture = video.pictureQueue.picture;
    if (!picture.buffer || picture.width <= 0 || picture.height <= 0)
        return copy;
    int stride = picture.width * kBytesPerPixel;
    const std::uint8_t* pixels = picture.buffer.get();
    if (picture.picture && picture.picture->data[0]) {
        pixels = picture.picture->data[0];
        stride = picture.picture->linesize[0];
    }
    copy.width = picture.width;
    copy.height = picture.height;
    copy.rgba.resize(static_cast<size_t>(copy.width) * copy.height * kBytesPerPixel);
    for (int y = 0; y < copy.height; ++y) {
        const std::uint8_t* from = pixels + static_cast<size_t>(y) * stride;
        std::uint8_t* to = copy.rgba.data() + static_cast<size_t>(y) * copy.width * kBytesPerPixel;
        for (int x = 0; x < copy.width; ++x, from += 4, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 255;
        }
    }
    return copy;
}

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool WritePng(const TPicture& picture, const std::string& path) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (!codec)
        return false;
    TCodecContextHandle encoder(avcodec_alloc_context3(codec));
    TFrameHandle frame = MakeFrame();
    TPacketHandle packet = MakePacket();
    if (!encoder || !frame || !packet)
        return false;
    encoder->width = picture.width;
    encoder->height = picture.height;
    encoder->pix_fmt = AV_PIX_FMT_RGBA;
    encoder->time_base = AVRational{1, 1};
    if (avcodec_open2(encoder.get(), codec, nullptr) < 0)
        return false;
    frame->format = AV_PIX_FMT_RGBA;
    frame->width = picture.width;
    frame->height = picture.height;
    frame->data[0] = const_cast<std::uint8_t*>(picture.rgba.data());
    frame->linesize[0] = picture.width * kBytesPerPixel;
    if (avcodec_send_frame(encoder.get(), frame.get()) < 0 ||
        avcodec_send_frame(encoder.get(), nullptr) < 0)
        return false;
    if (avcodec_receive_packet(encoder.get(), packet.get()) < 0)
        return false;
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    const size_t size = static_cast<size_t>(packet->size);
    return std::fwrite(packet->data, 1, size, file.get()) == size;
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "velor-probe frame: %s\n", text.c_str());
    return 1;
}

int WriteShownFrame(const TFrameArgs& args) {
    TPausedPlayer paused;
    const std::string problem = paused.ShowAt(args.file, args.at);
    if (!problem.empty())
        return Fail(problem);
    TVideoStreamInfo* video = paused.Player().Video(args.channel);
    if (!video || video->streamIndex < 0)
        return Fail(args.file + ": no channel " + std::to_string(args.channel));
    const TPicture picture = CopyDisplayPicture(*video);
    if (picture.rgba.empty())
        return Fail("channel " + std::to_string(args.channel) + " shows no picture");
    if (!WritePng(picture, args.out))
        return Fail("cannot write " + args.out);
    return 0;
}

int ProbeFrame(const std::vector<std::string>& arguments) {
    const std::optional<TFrameArgs> args = ParseFrameArgs(arguments);
    if (!args) {
        std::fprintf(stderr, "usage: velor-probe frame %s\n", kUsage);
        return 1;
    }
    return RunWithViews("frame", [&] { return WriteShownFrame(*args); });
}

[[maybe_unused]] const bool g_registered = RegisterProbeCommand({"frame", kUsage, ProbeFrame});

} // namespace
