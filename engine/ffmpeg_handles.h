#pragma once
// Owning handles for FFmpeg objects: each is freed with its own free
// function, here and nowhere else.

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

struct TPacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct TFrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct TCodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct TInputFree {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct TScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

using TPacketHandle = std::unique_ptr<AVPacket, TPacketFree>;
using TFrameHandle = std::unique_ptr<AVFrame, TFrameFree>;
using TCodecContextHandle = std::unique_ptr<AVCodecContext, TCodecContextFree>;
using TInputHandle = std::unique_ptr<AVFormatContext, TInputFree>;
using TScalerHandle = std::unique_ptr<SwsContext, TScalerFree>;

inline TPacketHandle MakePacket() { return TPacketHandle(av_packet_alloc()); }
inline TFrameHandle MakeFrame() { return TFrameHandle(av_frame_alloc()); }
