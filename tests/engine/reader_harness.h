#pragma once
// The player's reading without its threads: what the queues hold, and a
// whole recording read with the queues emptied as their consumers would.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/base_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/player_reader.h"

// The flush packet among the dts TakeQueued gives.
inline constexpr std::int64_t kFlushMark = -999;

// Empties `queue`; the dts of what it held, in order.
inline std::vector<std::int64_t> TakeQueued(TPacketQueue& queue) {
    std::vector<std::int64_t> dts;
    TPacketHandle out = MakePacket();
    while (queue.Get(out.get(), 0) == 1) {
        dts.push_back(IsFlushPacket(out.get()) ? kFlushMark : out->dts);
        av_packet_unref(out.get());
    }
    return dts;
}

struct TQueuePeaks {
    int video = 0;
    int sound = 0;
};

// Reads until the reader stops. The picture queues, and the sound's when
// `drainSound`, are emptied once one short of their limits; an undrained
// sound queue that reaches its limit ends the reading (nothing would ever
// make room). The largest counts seen.
inline TQueuePeaks ReadToTheEnd(TPlayerReader& reader, TMediaPlayer& player,
                                bool drainSound = true) {
    TQueuePeaks peaks;
    while (reader.ReadStep()) {
        for (int slot = kFrontSlot; slot <= kAudioSlot; ++slot) {
            TPacketQueue& queue = player.Stream(slot)->packetQueue;
            const bool sound = slot == kAudioSlot;
            int& peak = sound ? peaks.sound : peaks.video;
            peak = std::max(peak, queue.Count());
            const int limit = sound ? kAudioQueueLimit : kVideoQueueLimit;
            if (sound && !drainSound && queue.Count() >= limit)
                return peaks;
            if (queue.Count() >= limit - 1 && (drainSound || !sound))
                TakeQueued(queue);
        }
    }
    return peaks;
}
