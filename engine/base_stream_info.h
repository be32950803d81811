#pragma once
// One played stream (front video, rear video or sound): its decoder, its
// packet queue and the timing state the render side and the timer share.

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/ffmpeg_handles.h"
#include "engine/packet_queue.h"
#include "platform/sync.h"

struct AVCodec;
struct AVPacket;
struct AVStream;
class TMediaPlayer;

// The open input's stream of a stream object: set by the player thread at
// open while the render and main threads look at it, so it is published
// atomically; otherwise it reads like the plain pointer it stands for.
class TStreamPointer {
public:
    TStreamPointer& operator=(AVStream* stream) {
        m_stream.store(stream, std::memory_order_release);
        return *this;
    }
    operator AVStream*() const { return m_stream.load(std::memory_order_acquire); }
    AVStream* operator->() const { return m_stream.load(std::memory_order_acquire); }

private:
    std::atomic<AVStream*> m_stream{nullptr};
};

class TBaseStreamInfo {
public:
    // mediaType is FFmpeg's AVMEDIA_TYPE_VIDEO (0) or AVMEDIA_TYPE_AUDIO (1).
    TBaseStreamInfo(TMediaPlayer* owner, int mediaType, int typeOrdinal);
    virtual ~TBaseStreamInfo();
    TBaseStreamInfo(const TBaseStreamInfo&) = delete;
    TBaseStreamInfo& operator=(const TBaseStreamInfo&) = delete;

    // The five operations, in this order, overridden by every stream kind.
    virtual bool Init(std::intptr_t argument);
    virtual void Release();
    virtual bool Open();
    virtual void Close();
    virtual bool Decode(AVPacket* packet, double* pts, bool skipDisplay);

    // A stream is live while the open recording has it (streamIndex >= 0).
    bool IsLive() const { return streamIndex >= 0; }

    TMediaPlayer* owner;
    const int mediaType;
    std::atomic<std::int32_t> streamIndex{-1};
    const int typeOrdinal;
    TStreamPointer stream;            // borrowed from the open input
    TCodecContextHandle codecContext; // from Open to Close
    const AVCodec* codec = nullptr;
    TFrameHandle frame; // from Init to Release

    std::atomic<double> clock{0.0};
    // The render thread paces with these while the player thread resets
    // them on open and close.
    std::atomic<double> frameTimer{0.0};
    std::atomic<double> lastFrameDelay{0.0};
    std::atomic<double> lastFramePts{0.0};
    std::atomic<std::int64_t> shownDts{0};
    std::atomic<std::int64_t> lastPacketDts{0};

    TPacketQueue packetQueue;
    std::unique_ptr<TEvent> refreshEvent;
    double refreshTicks = 0.0; // the timer thread's alone
    std::atomic<double> refreshPeriod{0.0};

    std::atomic<bool> notOpen{true};
    std::atomic<bool> closing{true};
    std::atomic<bool> decoderAck{false};
    std::atomic<bool> rendererAck{false};
    // The controller's flushSerial that the decoder has caught up with: set
    // at open and whenever it takes a flush packet.
    std::atomic<std::uint32_t> serial{0};

protected:
    // Called between the decoder context's set-up and its opening, for the
    // options a stream kind needs (threads, buffer hooks).
    virtual void ConfigureDecoder();
    // Frees the decoder context, if any.
    void CloseDecoder();
};
