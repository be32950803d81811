#include "tests/export/decoded_frames.h"

#include "engine/ffmpeg.h"
#include "language/wide_text.h"
#include "platform/gdiplus.h"
#include "tests/fixtures/test_pattern.h"

velor::fixtures::RecordingOptions SmallRecording(int channels, velor::fixtures::VideoCodec codec) {
    velor::fixtures::RecordingOptions options;
    options.channels = channels;
    options.seconds = 1;
    options.width = kPictureWidth;
    options.height = kPictureHeight;
    options.codec = codec;
    return options;
}

TFrameHandle DecodeFrame(const std::string& path, int streamIndex, int frameNumber) {
    // The probe's complaints about the telemetry streams are no news here.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0)
        return {};
    TInputHandle input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0 ||
        streamIndex >= static_cast<int>(input->nb_streams))
        return {};
    const AVCodecParameters* parameters = input->streams[streamIndex]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    TCodecContextHandle decoder(avcodec_alloc_context3(codec));
    if (!codec || !decoder || avcodec_parameters_to_context(decoder.get(), parameters) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return {};
    TPacketHandle packet = MakePacket();
    TFrameHandle frame = MakeFrame();
    int decoded = 0;
    bool draining = false;
    while (true) {
        if (!draining) {
            if (av_read_frame(input.get(), packet.get()) < 0) {
                draining = true;
                avcodec_send_packet(decoder.get(), nullptr);
            } else {
                const bool ours = packet->stream_index == streamIndex;
                if (ours)
                    avcodec_send_packet(decoder.get(), packet.get());
                av_packet_unref(packet.get());
                if (!ours)
                    continue;
            }
        }
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            if (decoded++ == frameNumber)
                return frame;
            av_frame_unref(frame.get());
        }
        if (draining)
            return {};
    }
}

std::uint32_t TPictureFile::Colour(int x, int y) const {
    const std::uint8_t* pixel = bgra.data() + static_cast<std::size_t>(y) * Stride() + x * 4;
    return pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
}

TPictureFile ReadPicture(const std::string& path) {
    TPictureFile picture;
    const std::wstring wide = Utf8ToWide(path);
    Gdiplus::Bitmap bitmap(wide.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return picture;
    picture.width = static_cast<int>(bitmap.GetWidth());
    picture.height = static_cast<int>(bitmap.GetHeight());
    picture.bgra.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            Gdiplus::Color colour;
            bitmap.GetPixel(x, y, &colour);
            std::uint8_t* pixel =
                picture.bgra.data() + static_cast<std::size_t>(y) * picture.Stride() + x * 4;
            pixel[0] = colour.GetB();
            pixel[1] = colour.GetG();
            pixel[2] = colour.GetR();
            pixel[3] = 255;
        }
    }
    return picture;
}

std::vector<TShownFrame> ShownFramesOf(const std::string& path, const std::vector<int>& streams,
                                       int frameNumber) {
    std::vector<TShownFrame> frames;
    for (int stream : streams) {
        TShownFrame shown;
        shown.streamIndex = stream;
        if (stream >= 0)
            shown.frame = DecodeFrame(path, stream, frameNumber);
        frames.push_back(std::move(shown));
    }
    return frames;
}

std::pair<int, int> PatternIn(const TPictureFile& picture, int left, int top, int width,
                              int height) {
    const std::uint8_t* origin =
        picture.bgra.data() + static_cast<std::size_t>(top) * picture.Stride() + left * 4;
    return {velor::fixtures::ReadFrameNumber(origin, width, height, picture.Stride()),
            velor::fixtures::ReadTestPatternChannel(origin, width, height, picture.Stride())};
}
