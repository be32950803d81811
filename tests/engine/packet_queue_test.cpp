#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "engine/ffmpeg.h"
#include "engine/packet_queue.h"
#include "platform/thread.h"

namespace {

TPacketHandle PacketOf(int size, std::uint8_t fill) {
    TPacketHandle packet = MakePacket();
    av_new_packet(packet.get(), size);
    std::fill(packet->data, packet->data + size, fill);
    return packet;
}

class PacketQueueTest : public ::testing::Test {
protected:
    void SetUp() override { m_queue.Init(); }
    TPacketQueue m_queue;
    TPacketHandle m_out = MakePacket();
};

} // namespace

TEST_F(PacketQueueTest, PacketsComeOutInOrderWithCountsAndBytes) {
    EXPECT_EQ(m_queue.Get(m_out.get(), 0), -1);
    for (int i = 0; i < 3; ++i) {
        TPacketHandle packet = PacketOf(10 + i, static_cast<std::uint8_t>(i));
        ASSERT_EQ(m_queue.Put(packet.get()), 0);
        // The queue took the data over; the reader's packet is blank again.
        EXPECT_EQ(packet->data, nullptr);
        EXPECT_EQ(packet->size, 0);
    }
    // Data the packet does not own is copied.
    std::uint8_t borrowed[4] = {1, 2, 3, 4};
    TPacketHandle packet = MakePacket();
    packet->data = borrowed;
    packet->size = 4;
    ASSERT_EQ(m_queue.Put(packet.get()), 0);
    borrowed[0] = 9;
    EXPECT_EQ(m_queue.Count(), 4);
    EXPECT_EQ(m_queue.Bytes(), 10 + 11 + 12 + 4);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(m_queue.Get(m_out.get(), 0), 1);
        EXPECT_EQ(m_out->size, 10 + i);
        EXPECT_EQ(m_out->data[0], i);
        av_packet_unref(m_out.get());
    }
    ASSERT_EQ(m_queue.Get(m_out.get(), 0), 1);
    EXPECT_NE(m_out->data, borrowed);
    EXPECT_EQ(m_out->data[0], 1);
    av_packet_unref(m_out.get());
    EXPECT_EQ(m_queue.Count(), 0);
    EXPECT_EQ(m_queue.Bytes(), 0);
}

TEST_F(PacketQueueTest, FlushLeavesSemaphoreAtZeroAndFlushPacketAlone) {
    for (int i = 0; i < 5; ++i)
        m_queue.Put(PacketOf(100, 7).get());
    EXPECT_EQ(m_queue.AvailableCount(), 5);
    const std::uint8_t* flushData = FlushPacket()->data;
    m_queue.FlushAndMark();
    m_queue.Put(FlushPacket());
    EXPECT_EQ(m_queue.AvailableCount(), 2);
    EXPECT_EQ(m_queue.Count(), 2);
    EXPECT_EQ(m_queue.Bytes(), 0);
    // The flush packet itself is untouched by being queued.
    EXPECT_EQ(FlushPacket()->data, flushData);
    EXPECT_EQ(FlushPacket()->buf, nullptr);
    ASSERT_EQ(m_queue.Get(m_out.get(), 0), 1);
    EXPECT_TRUE(IsFlushPacket(m_out.get()));
    EXPECT_EQ(m_out->size, 0);
    EXPECT_EQ(m_out->buf, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m_out->data)), "FLUSH");
    // Dropping the consumer's copy frees nothing of the flush packet's.
    av_packet_unref(m_out.get());
    EXPECT_EQ(FlushPacket()->data, flushData);
    m_queue.Flush();
    EXPECT_EQ(m_queue.AvailableCount(), 0);
    EXPECT_EQ(m_queue.Get(m_out.get(), 0), -1);
}

TEST_F(PacketQueueTest, FlushRacingAConsumerLeavesNoPhantomPackets) {
    std::atomic<bool> done{false};
    TThread consumer;
    consumer.Start([&] {
        TPacketHandle out = MakePacket();
        while (!done) {
            if (m_queue.Get(out.get(), 5) == 1)
                av_packet_unref(out.get());
        }
    });
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 5; ++i)
            m_queue.Put(PacketOf(8, 1).get());
        m_queue.Flush();
    }
    done = true;
    consumer.Join();
    EXPECT_EQ(m_queue.Count(), 0);
    // The semaphore never announces packets that are gone.
    EXPECT_EQ(m_queue.AvailableCount(), 0);
}
