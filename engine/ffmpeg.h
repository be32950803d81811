#pragma once
// FFmpeg's C headers as the engine uses them, in one place.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/time.h>
#include <libswscale/swscale.h>
}

#include "engine/ffmpeg_handles.h"
