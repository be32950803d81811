#include "engine/ffmpeg_handles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

void TPacketFree::operator()(AVPacket* packet) const {
    av_packet_free(&packet);
}
void TFrameFree::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}
void TCodecContextFree::operator()(AVCodecContext* context) const {
    avcodec_free_context(&context);
}
void TInputFree::operator()(AVFormatContext* context) const {
    avformat_close_input(&context);
}
void TOutputFree::operator()(AVFormatContext* context) const {
    if (context->pb && context->oformat && !(context->oformat->flags & AVFMT_NOFILE))
        avio_closep(&context->pb);
    avformat_free_context(context);
}
void TScalerFree::operator()(SwsContext* scaler) const {
    sws_freeContext(scaler);
}
void TMemoryFree::operator()(void* memory) const {
    av_free(memory);
}
void TResamplerFree::operator()(SwrContext* resampler) const {
    swr_free(&resampler);
}

TPacketHandle MakePacket() {
    return TPacketHandle(av_packet_alloc());
}
TFrameHandle MakeFrame() {
    return TFrameHandle(av_frame_alloc());
}
