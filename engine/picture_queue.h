#pragma once
// The one-picture queue between a video stream's decoder thread and its
// render thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/ffmpeg_handles.h"
#include "platform/sync.h"

// One converted picture: tightly packed 32-bit BGRA.
struct TVideoPicture {
    TMemoryHandle buffer;
    TFrameHandle picture; // describes `buffer`
    std::int32_t width = 0;
    std::int32_t height = 0;
    double pts = 0.0;
    std::int64_t dts = 0;
    // The stream's serial when the picture was decoded.
    std::uint32_t serial = 0;
    std::int32_t allocated = 0;

    // Frees the buffer and the frame record and zeroes the fields.
    void Free();
};

class TPictureQueue {
public:
    TPictureQueue() = default;
    ~TPictureQueue();
    TPictureQueue(const TPictureQueue&) = delete;
    TPictureQueue& operator=(const TPictureQueue&) = delete;

    void Init();
    void Release();

    // Drops the waiting picture, frees its buffer, and takes back the space
    // counts that announced it.
    void Reset();
    // The decoder put a picture in: counts it and wakes a render side that
    // waits for it.
    void Announce();
    // Which picture waits, for a render side that prepares it before it is
    // due: a different number is a different picture. 0 when none waits.
    std::uint64_t WaitingNumber();

    TVideoPicture picture;
    // Changed under lock; the decoder's wait for space reads it without.
    std::atomic<std::int32_t> count{0};
    std::atomic<std::int32_t> readIndex{0};
    std::atomic<std::int32_t> writeIndex{0};
    std::mutex lock;
    // Released once each time the render side consumes a picture.
    std::unique_ptr<TSemaphore> space;
    // Set at every Announce.
    std::unique_ptr<TEvent> filled;

private:
    // Pictures announced so far, under lock.
    std::uint64_t m_announced = 0;
};
