#include "tools/velor-bench/lower_bound.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "engine/ffmpeg.h"

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TCodecContextHandle OpenSingleThreadDecoder(const AVStream* stream) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return nullptr;
    TCodecContextHandle context(avcodec_alloc_context3(codec));
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
                                            static_cast<AVPixelFormat>(frame->format), m_width,
                                            m_height, AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr,
                                            nullptr, nullptr));
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
    TScalerHandle m_scaler;
    std::vector<std::uint8_t> m_picture;
};

// One stream's packets, decoded on a thread of its own the way the player's
// decoder threads do, so that both run side by side as they must in real time.
struct TStreamWork {
    TCodecContextHandle decoder;
    std::vector<AVPacket*> packets;
    // Each packet's time in the recording, seconds.
    std::vector<double> times;
    double decodeCpuSeconds = 0.0;
    TLowerBound conversion;
    ~TStreamWork() {
        for (AVPacket*& packet : packets)
            av_packet_free(&packet);
    }
};

void DecodeStream(TStreamWork& work, const TLowerBoundRequest& request,
                  std::chrono::steady_clock::time_point startedAt) {
    TFrameHandle frame = MakeFrame();
    const bool converting = request.conversionWidth > 0 && request.conversionHeight > 0;
    TConversionClock conversion(request.conversionWidth, request.conversionHeight);
    const bool video = work.decoder->codec_type == AVMEDIA_TYPE_VIDEO;
    const double start = ThreadCpuSeconds();
    for (std::size_t i = 0; i < work.packets.size(); ++i) {
        AVPacket* packet = work.packets[i];
        if (request.paced) {
            const auto due =
                startedAt + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(work.times[i]));
            std::this_thread::sleep_until(due);
        }
        avcodec_send_packet(work.decoder.get(), packet);
        while (avcodec_receive_frame(work.decoder.get(), frame.get()) == 0) {
            if (converting && video)
                conversion.Convert(frame.get(), work.conversion);
            av_frame_unref(frame.get());
        }
    }
    work.decodeCpuSeconds = ThreadCpuSeconds() - start - work.conversion.conversionCpuSeconds;
}

// Reads the packets of the wanted streams up to the request's end.
void ReadPackets(AVFormatContext* input, double seconds,
                 std::vector<std::unique_ptr<TStreamWork>>& work) {
    TPacketHandle packet = MakePacket();
    double reached = 0.0;
    while (av_read_frame(input, packet.get()) >= 0) {
        const int index = packet->stream_index;
        TStreamWork* stream = index < static_cast<int>(work.size()) ? work[index].get() : nullptr;
        if (!stream) {
            av_packet_unref(packet.get());
            continue;
        }
        const AVStream* avStream = input->streams[index];
        const std::int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        const double at = stamp == AV_NOPTS_VALUE
                              ? reached
                              : static_cast<double>(stamp) * av_q2d(avStream->time_base);
        if (at >= seconds) {
            av_packet_unref(packet.get());
            // The sound is interleaved with the video, so every stream passed
            // the end once a video packet did.
            if (stream->decoder->codec_type == AVMEDIA_TYPE_VIDEO)
                break;
            continue;
        }
        reached = std::max(reached, at);
        stream->packets.push_back(av_packet_clone(packet.get()));
        stream->times.push_back(at);
        av_packet_unref(packet.get());
    }
}

} // namespace

TLowerBound MeasureLowerBound(const TLowerBoundRequest& request) {
    TLowerBound result;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, request.file.c_str(), nullptr, nullptr) < 0)
        return result;
    TInputHandle input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        return result;
    const int wanted[3] = {request.videoStreams[0], request.videoStreams[1], request.audioStream};
    std::vector<std::unique_ptr<TStreamWork>> work(input->nb_streams);
    for (int index : wanted) {
        if (index < 0 || index >= static_cast<int>(input->nb_streams))
            continue;
        work[index] = std::make_unique<TStreamWork>();
        work[index]->decoder = OpenSingleThreadDecoder(input->streams[index]);
        if (!work[index]->decoder)
            return result;
    }
    ReadPackets(input.get(), request.seconds, work);
    std::vector<std::thread> threads;
    const auto startedAt = std::chrono::steady_clock::now();
    for (auto& stream : work) {
        if (stream)
            threads.emplace_back(DecodeStream, std::ref(*stream), std::cref(request), startedAt);
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const auto& stream : work) {
        if (!stream)
            continue;
        result.decodeCpuSeconds += stream->decodeCpuSeconds;
        result.conversionCpuSeconds += stream->conversion.conversionCpuSeconds;
        result.conversions += stream->conversion.conversions;
    }
    result.mediaSeconds = request.seconds;
    result.ok = true;
    return result;
}
