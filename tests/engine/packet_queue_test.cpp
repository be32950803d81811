#include <atomic>
#include <thread>

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
};

} // namespace

TEST_F(PacketQueueTest, EmptyQueueWithZeroTimeoutAnswersAtOnce) {
    TPacketHandle out = MakePacket();
    EXPECT_EQ(m_queue.Get(out.get(), 0), -1);
}

TEST_F(PacketQueueTest, PacketsComeOutInOrderWithCountsAndBytes) {
    for (int i = 0; i < 3; ++i) {
        TPacketHandle packet = PacketOf(10 + i, static_cast<std::uint8_t>(i));
        ASSERT_EQ(m_queue.Put(packet.get()), 0);
        // The queue took the data over; the reader's packet is blank again.
        EXPECT_EQ(packet->data, nullptr);
        EXPECT_EQ(packet->size, 0);
    }
    EXPECT_EQ(m_queue.Count(), 3);
    EXPECT_EQ(m_queue.Bytes(), 10 + 11 + 12);
    TPacketHandle out = MakePacket();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(m_queue.Get(out.get(), 0), 1);
        EXPECT_EQ(out->size, 10 + i);
        EXPECT_EQ(out->data[0], i);
    }
    EXPECT_EQ(m_queue.Count(), 0);
    EXPECT_EQ(m_queue.Bytes(), 0);
    av_packet_unref(out.get());
}

TEST_F(PacketQueueTest, PacketWithoutOwnedDataIsCopied) {
    std::uint8_t borrowed[4] = {1, 2, 3, 4};
    TPacketHandle packet = MakePacket();
    packet->data = borrowed;
    packet->size = 4;
    ASSERT_EQ(m_queue.Put(packet.get()), 0);
    borrowed[0] = 9;
    TPacketHandle out = MakePacket();
    ASSERT_EQ(m_queue.Get(out.get(), 0), 1);
    EXPECT_NE(out->data, borrowed);
    EXPECT_EQ(out->data[0], 1);
}

TEST_F(PacketQueueTest, FlushLeavesSemaphoreAtZeroAndFlushPacketAlone) {
    for (int i = 0; i < 5; ++i) {
        TPacketHandle packet = PacketOf(100, 7);
        m_queue.Put(packet.get());
    }
    EXPECT_EQ(m_queue.AvailableCount(), 5);
    m_queue.Flush();
    EXPECT_EQ(m_queue.AvailableCount(), 0);
    EXPECT_EQ(m_queue.Count(), 0);
    TPacketHandle out = MakePacket();
    EXPECT_EQ(m_queue.Get(out.get(), 0), -1);

    AVPacket* flush = FlushPacket();
    std::uint8_t* flushData = flush->data;
    ASSERT_EQ(m_queue.Put(flush), 0);
    ASSERT_EQ(m_queue.Put(flush), 0);
    // The flush packet itself is untouched by being queued.
    EXPECT_EQ(flush->data, flushData);
    EXPECT_EQ(flush->buf, nullptr);
    EXPECT_EQ(m_queue.Bytes(), 0);
    ASSERT_EQ(m_queue.Get(out.get(), 0), 1);
    EXPECT_TRUE(IsFlushPacket(out.get()));
    EXPECT_EQ(out->size, 0);
    EXPECT_EQ(out->buf, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out->data)), "FLUSH");
    // Dropping the consumer's copy frees nothing of the flush packet's.
    av_packet_unref(out.get());
    EXPECT_EQ(FlushPacket()->data, flushData);
    m_queue.Flush();
    EXPECT_EQ(m_queue.AvailableCount(), 0);
}

TEST_F(PacketQueueTest, FlushRacingAConsumerLeavesNoPhantomPackets) {
    std::atomic<bool> done{false};
    std::atomic<int> taken{0};
    TThread consumer;
    consumer.Start([&] {
        TPacketHandle out = MakePacket();
        while (!done) {
            int result = m_queue.Get(out.get(), 5);
            if (result == 1) {
                ++taken;
                av_packet_unref(out.get());
            }
        }
    });
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 5; ++i) {
            TPacketHandle packet = PacketOf(8, 1);
            m_queue.Put(packet.get());
        }
        m_queue.Flush();
    }
    done = true;
    consumer.Join();
    EXPECT_EQ(m_queue.Count(), 0);
    // The semaphore never announces packets that are gone.
    EXPECT_EQ(m_queue.AvailableCount(), 0);
}

TEST_F(PacketQueueTest, ReleaseDropsEverythingAndGetAfterReleaseFails) {
    TPacketHandle packet = PacketOf(8, 1);
    m_queue.Put(packet.get());
    m_queue.Release();
    EXPECT_FALSE(m_queue.HasSemaphore());
    EXPECT_EQ(m_queue.Count(), 0);
    TPacketHandle out = MakePacket();
    EXPECT_EQ(m_queue.Get(out.get(), 0), -1);
}
