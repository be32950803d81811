#pragma once
// Telling key frames from the packet data itself, for files whose own index
// the demuxer cannot use (it then takes every frame for a key frame).

#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
}

// True when the packet of a stream of `codec` can start decoding: an H.264
// access unit with an IDR slice; every MJPEG frame; otherwise `demuxerFlag`.
bool PacketStartsKeyFrame(AVCodecID codec, const std::uint8_t* data, int size, bool demuxerFlag);
