#include "engine/audio_stream_info.h"

#include "engine/ffmpeg_handles.h"

TAudioStreamInfo::TAudioStreamInfo(TMediaPlayer* owner_)
    : TBaseStreamInfo(owner_, AVMEDIA_TYPE_AUDIO, 0) {}

TAudioStreamInfo::~TAudioStreamInfo() = default;
