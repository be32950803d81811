#pragma once
// Owning handles for FFmpeg objects: each is freed with its own free
// function, in ffmpeg_handles.cpp and nowhere else. The header names the
// types only, so that holding a handle does not pull in FFmpeg's headers.

#include <cstdint>
#include <memory>

struct AVPacket;
struct AVFrame;
struct AVCodecContext;
struct AVFormatContext;
struct SwsContext;
struct SwrContext;

struct TPacketFree {
    void operator()(AVPacket* packet) const;
};
struct TFrameFree {
    void operator()(AVFrame* frame) const;
};
struct TCodecContextFree {
    void operator()(AVCodecContext* context) const;
};
struct TInputFree {
    void operator()(AVFormatContext* context) const;
};
// An output container, with its file when one was opened.
struct TOutputFree {
    void operator()(AVFormatContext* context) const;
};
struct TScalerFree {
    void operator()(SwsContext* scaler) const;
};
// Memory from av_malloc.
struct TMemoryFree {
    void operator()(void* memory) const;
};
struct TResamplerFree {
    void operator()(SwrContext* resampler) const;
};

using TPacketHandle = std::unique_ptr<AVPacket, TPacketFree>;
using TFrameHandle = std::unique_ptr<AVFrame, TFrameFree>;
using TCodecContextHandle = std::unique_ptr<AVCodecContext, TCodecContextFree>;
using TInputHandle = std::unique_ptr<AVFormatContext, TInputFree>;
using TOutputHandle = std::unique_ptr<AVFormatContext, TOutputFree>;
using TScalerHandle = std::unique_ptr<SwsContext, TScalerFree>;
using TMemoryHandle = std::unique_ptr<std::uint8_t, TMemoryFree>;
using TResamplerHandle = std::unique_ptr<SwrContext, TResamplerFree>;

TPacketHandle MakePacket();
TFrameHandle MakeFrame();
