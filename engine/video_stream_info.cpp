#include "engine/video_stream_info.h"

#include "engine/ffmpeg_handles.h"

extern "C" {
#include <libavutil/time.h>
}

TVideoStreamInfo::TVideoStreamInfo(TMediaPlayer* owner_, int typeOrdinal_)
    : TBaseStreamInfo(owner_, AVMEDIA_TYPE_VIDEO, typeOrdinal_) {}

TVideoStreamInfo::~TVideoStreamInfo() = default;

bool TVideoStreamInfo::Init(std::intptr_t window) {
    TBaseStreamInfo::Init(window);
    pictureQueue.Init();
    videoWindow = window;
    initArgument = 0;
    return true;
}

void TVideoStreamInfo::Release() {
    TBaseStreamInfo::Release();
    pictureQueue.Release();
    orientation = 0;
    brightness = contrast = chroma = 50;
}

bool TVideoStreamInfo::Open() {
    if (!TBaseStreamInfo::Open())
        return false;
    shownDts = 0;
    clock = 0.0;
    lastFramePts = 0.0;
    lastPacketDts = 0;
    frameTimer = static_cast<double>(av_gettime()) / 1000000.0;
    lastFrameDelay = 0.04;
    return true;
}

void TVideoStreamInfo::Close() {
    TBaseStreamInfo::Close();
    clock = 0.0;
    lastFramePts = 0.0;
    shownDts = 0;
    lastPacketDts = 0;
    frameCount = 0;
    pictureQueue.Reset();
}
