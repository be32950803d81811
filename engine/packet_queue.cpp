#include "engine/packet_queue.h"

#include "engine/ffmpeg.h"

namespace {

const char kFlushText[] = "FLUSH";

AVPacket& FlushPacketRecord() {
    static AVPacket* packet = [] {
        AVPacket* made = av_packet_alloc();
        made->data = reinterpret_cast<uint8_t*>(const_cast<char*>(kFlushText));
        made->size = 0;
        return made;
    }();
    return *packet;
}

} // namespace

AVPacket* FlushPacket() {
    return &FlushPacketRecord();
}

bool IsFlushPacket(const AVPacket* packet) {
    return packet && packet->data == reinterpret_cast<const uint8_t*>(kFlushText);
}

void InitFlushPacket() {
    AVPacket& flush = FlushPacketRecord();
    flush.pts = AV_NOPTS_VALUE;
    flush.dts = AV_NOPTS_VALUE;
    flush.pos = -1;
    flush.duration = 0;
    flush.flags = 0;
    flush.stream_index = 0;
    flush.data = reinterpret_cast<uint8_t*>(const_cast<char*>(kFlushText));
    flush.size = 0;
}

struct TPacketQueue::TPacketNode {
    // Null for the flush packet, which is never copied into a node.
    TPacketHandle packet;
    TPacketNode* next = nullptr;
};

TPacketQueue::TPacketQueue() = default;

TPacketQueue::~TPacketQueue() {
    Release();
}

void TPacketQueue::Init() {
    if (!m_available)
        m_available = std::make_unique<TSemaphore>(0, kSemaphoreMaximum);
}

void TPacketQueue::FlushAndMark() {
    Flush();
    Put(FlushPacket());
}

void TPacketQueue::Release() {
    if (!m_available)
        return;
    Flush();
    m_available.reset();
}

int TPacketQueue::Put(AVPacket* packet) {
    auto node = std::make_unique<TPacketNode>();
    int size = 0;
    if (!IsFlushPacket(packet)) {
        node->packet = MakePacket();
        if (!node->packet)
            return -1;
        // A packet that does not own its data gets an owned copy first.
        if (!packet->buf) {
            if (av_packet_ref(node->packet.get(), packet) < 0)
                return -1;
            av_packet_unref(packet);
        } else {
            av_packet_move_ref(node->packet.get(), packet);
        }
        size = node->packet->size;
    }
    {
        std::lock_guard lock(m_lock);
        TPacketNode* raw = node.release();
        if (m_last)
            m_last->next = raw;
        else
            m_first = raw;
        m_last = raw;
        ++m_count;
        m_bytes += size;
    }
    if (m_available)
        m_available->Release(1);
    return 0;
}

int TPacketQueue::Get(AVPacket* packet, DWORD timeoutMs) {
    if (!m_available || m_available->Wait(timeoutMs) != WAIT_OBJECT_0)
        return -1;
    std::unique_ptr<TPacketNode> node;
    {
        std::lock_guard lock(m_lock);
        if (!m_first)
            return 0;
        node.reset(m_first);
        m_first = node->next;
        if (!m_first)
            m_last = nullptr;
        --m_count;
        if (node->packet)
            m_bytes -= node->packet->size;
    }
    av_packet_unref(packet);
    if (node->packet) {
        av_packet_move_ref(packet, node->packet.get());
    } else {
        // The caller sees the flush packet's data pointer; nothing is owned.
        packet->data = FlushPacket()->data;
        packet->size = 0;
    }
    return 1;
}

void TPacketQueue::Flush() {
    TPacketNode* dropped = nullptr;
    std::int32_t droppedCount = 0;
    {
        std::lock_guard lock(m_lock);
        dropped = m_first;
        droppedCount = m_count;
        m_first = m_last = nullptr;
        m_count = 0;
        m_bytes = 0;
    }
    while (dropped) {
        std::unique_ptr<TPacketNode> node(dropped);
        dropped = node->next;
    }
    if (!m_available)
        return;
    for (std::int32_t i = 0; i < droppedCount; ++i)
        m_available->Wait(0);
}

std::int64_t TPacketQueue::HeadDts() const {
    std::lock_guard lock(m_lock);
    if (!m_first)
        return -1;
    return m_first->packet ? m_first->packet->dts : AV_NOPTS_VALUE;
}

std::int32_t TPacketQueue::Count() const {
    std::lock_guard lock(m_lock);
    return m_count;
}

std::int32_t TPacketQueue::Bytes() const {
    std::lock_guard lock(m_lock);
    return m_bytes;
}

LONG TPacketQueue::AvailableCount() const {
    return m_available ? m_available->Count() : -1;
}
