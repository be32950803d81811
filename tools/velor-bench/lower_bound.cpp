#include "tools/velor-bench/lower_bound.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct TInputCloser {
    void operator()(AVFormatContext* input) const { avformat_close_input(&input); }
};
struct TCodecCloser {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct TFrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct TPacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct TScalerFreer {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

using TCodecHandle = std::unique_ptr<AVCodecContext, TCodecCloser>;

TCodecHandle OpenSingleThreadDecoder(const AVStream* stream) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return nullptr;
    TCodecHandle context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0)
        return nullptr;
    context->thread_count = 1;
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return nullptr;
    return context;
}

// Converts decoded video frames the way the display does, timing only that.
class TConversionClock {
public:
    TConversionClock(int width, int height) : m_width(width), m_height(height) {}
    void Convert(const AVFrame* frame, TLowerBound& result) {
        const double start = ThreadCpuSeconds();
        m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame->width, frame->height,
                                            static_cast<AVPixelFormat>(frame->format), m_width, m_height,
                                            AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr));
        if (!m_scaler)
            return;
        const int stride = m_width * 4;
        m_picture.resize(static_cast<size_t>(stride) * m_height);
        std::uint8_t* planes[4] = {m_picture.data(), nullptr, nullptr, nullptr};
        int strides[4] = {stride, 0, 0, 0};
        sws_scale(m_scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, strides);
        result.conversionCpuSeconds += ThreadCpuSeconds() - start;
        ++result.conversions;
    }

private:
    const int m_width;
    const int m_height;
    std::unique_ptr<SwsContext, TScalerFreer> m_scaler;
    std::vector<std::uint8_t> m_picture;
};

} // namespace

TLowerBound MeasureLowerBound(const TLowerBoundRequest& request) {
    TLowerBound result;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, request.file.c_str(), nullptr, nullptr) < 0)
        return result;
    std::unique_ptr<AVFormatContext, TInputCloser> input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        return result;
    const int wanted[3] = {request.videoStreams[0], request.videoStreams[1], request.audioStream};
    std::vector<TCodecHandle> decoders(input->nb_streams);
    for (int index : wanted) {
        if (index < 0 || index >= static_cast<int>(input->nb_streams))
            continue;
        decoders[index] = OpenSingleThreadDecoder(input->streams[index]);
        if (!decoders[index])
            return result;
    }
    std::unique_ptr<AVPacket, TPacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, TFrameFreer> frame(av_frame_alloc());
    const bool converting = request.conversionWidth > 0 && request.conversionHeight > 0;
    TConversionClock conversion(request.conversionWidth, request.conversionHeight);

    const double start = ThreadCpuSeconds();
    double reached = 0.0;
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        const int index = packet->stream_index;
        AVCodecContext* decoder = index < static_cast<int>(decoders.size()) ? decoders[index].get() : nullptr;
        if (!decoder) {
            av_packet_unref(packet.get());
            continue;
        }
        const AVStream* stream = input->streams[index];
        const std::int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        const double at = stamp == AV_NOPTS_VALUE ? reached : static_cast<double>(stamp) * av_q2d(stream->time_base);
        if (at >= request.seconds) {
            av_packet_unref(packet.get());
            // The sound is interleaved with the video, so every stream passed
            // the end once a video packet did.
            if (decoder->codec_type == AVMEDIA_TYPE_VIDEO)
                break;
            continue;
        }
        reached = std::max(reached, at);
        avcodec_send_packet(decoder, packet.get());
        av_packet_unref(packet.get());
        while (avcodec_receive_frame(decoder, frame.get()) == 0) {
            if (converting && decoder->codec_type == AVMEDIA_TYPE_VIDEO)
                conversion.Convert(frame.get(), result);
            av_frame_unref(frame.get());
        }
    }
    result.decodeCpuSeconds = ThreadCpuSeconds() - start - result.conversionCpuSeconds;
    result.mediaSeconds = request.seconds;
    result.ok = true;
    return result;
}
