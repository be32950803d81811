#include "engine/picture_queue.h"

#include "engine/ffmpeg.h"

void TVideoPicture::Free() {
    buffer.reset();
    picture.reset();
    width = height = 0;
    pts = 0.0;
    dts = 0;
    serial = 0;
    allocated = 0;
}

TPictureQueue::~TPictureQueue() {
    Release();
}

void TPictureQueue::Init() {
    if (!space)
        space = std::make_unique<TSemaphore>(0, kSemaphoreMaximum);
    if (!filled)
        filled = std::make_unique<TEvent>(false, false);
}

void TPictureQueue::Announce() {
    {
        std::lock_guard guard(lock);
        ++count;
        ++m_announced;
    }
    if (filled)
        filled->Set();
}

std::uint64_t TPictureQueue::WaitingNumber() {
    std::lock_guard guard(lock);
    return count > 0 ? m_announced : 0;
}

void TPictureQueue::Release() {
    if (!space)
        return;
    Reset();
    space.reset();
}

void TPictureQueue::Reset() {
    std::int32_t waiting = 0;
    {
        std::lock_guard guard(lock);
        picture.Free();
        waiting = count;
        count = 0;
        readIndex = writeIndex = 0;
    }
    if (!space)
        return;
    for (std::int32_t i = 0; i < waiting; ++i)
        space->Wait(0);
}
