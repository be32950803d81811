#pragma once
// A video stream of the recording: front camera (ordinal 0) or rear (1).

#include <atomic>
#include <cstdint>

#include "engine/base_stream_info.h"
#include "engine/picture_queue.h"

class TVideoStreamInfo : public TBaseStreamInfo {
public:
    TVideoStreamInfo(TMediaPlayer* owner, int typeOrdinal);
    ~TVideoStreamInfo() override;

    bool Init(std::intptr_t videoWindow) override;
    void Release() override;
    bool Open() override;
    void Close() override;

    TPictureQueue pictureQueue;
    std::atomic<std::int64_t> frameCount{0};

    // Picture settings, written by the main window, read by the render side.
    std::atomic<std::int32_t> orientation{0};
    std::atomic<std::int32_t> brightness{50};
    std::atomic<std::int32_t> contrast{50};
    std::atomic<std::int32_t> chroma{50};

    std::atomic<bool> fullScreen{false};
    std::atomic<bool> fitWindowWidth{false};
    std::atomic<bool> hidden{false};
    std::atomic<bool> stepReached{false};

    std::intptr_t videoWindow = 0;
};
