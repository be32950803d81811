#pragma once
// The per-stream queue of demultiplexed packets, and the flush packet that
// travels through it to say "the position jumped" or "the stream closes".

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/sync.h"

struct AVPacket;

// The one process-wide flush packet. It is recognised by its data pointer
// (the address of the text "FLUSH"), has size 0, owns nothing and is never
// referenced, duplicated or freed.
AVPacket* FlushPacket();
bool IsFlushPacket(const AVPacket* packet);
// Resets the flush packet's fields, as every open of an input does.
void InitFlushPacket();

class TPacketQueue {
public:
    TPacketQueue();
    ~TPacketQueue();
    TPacketQueue(const TPacketQueue&) = delete;
    TPacketQueue& operator=(const TPacketQueue&) = delete;

    // Makes the lock and the `available` semaphore (the stream's Init).
    void Init();
    // Drops every packet and the semaphore (the stream's Release).
    void Release();
    bool HasSemaphore() const { return m_available != nullptr; }

    // Takes over the packet's data (the caller's packet is left blank);
    // 0 on success, -1 when the data could not be taken (the caller keeps it).
    int Put(AVPacket* packet);
    // 1 when a packet was moved into `packet`, 0 when the semaphore was taken
    // but the queue had been emptied meanwhile, -1 after `timeoutMs`.
    int Get(AVPacket* packet, DWORD timeoutMs);
    // Drops every queued packet and takes back their semaphore counts.
    void Flush();
    // Flush, then the flush packet: the decoder learns that the position
    // jumped or that the stream closes.
    void FlushAndMark();

    // The dts of the packet at the head, -1 when the queue is empty (the
    // flush packet counts as AV_NOPTS_VALUE).
    std::int64_t HeadDts() const;
    std::int32_t Count() const;
    std::int32_t Bytes() const;
    // The semaphore's count, for tests of the flush protocol.
    LONG AvailableCount() const;

private:
    struct TPacketNode;

    TPacketNode* m_first = nullptr;
    TPacketNode* m_last = nullptr;
    std::int32_t m_count = 0;
    std::int32_t m_bytes = 0;
    mutable std::mutex m_lock;
    std::unique_ptr<TSemaphore> m_available;
};
