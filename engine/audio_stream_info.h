#pragma once
// The sound stream of the recording.

#include <atomic>
#include <cstdint>

#include "engine/base_stream_info.h"

class TAudioStreamInfo : public TBaseStreamInfo {
public:
    explicit TAudioStreamInfo(TMediaPlayer* owner);
    ~TAudioStreamInfo() override;

    // Mixing volume 0..128 (0 when muted), given before every open.
    std::atomic<std::int32_t> volume{0};
};
