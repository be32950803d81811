#include "engine/base_stream_info.h"

#include "engine/ffmpeg.h"
#include "engine/media_player.h"

TBaseStreamInfo::TBaseStreamInfo(TMediaPlayer* owner_, int mediaType_, int typeOrdinal_)
    : owner(owner_), mediaType(mediaType_), typeOrdinal(typeOrdinal_) {}

TBaseStreamInfo::~TBaseStreamInfo() = default;

bool TBaseStreamInfo::Init(std::intptr_t) {
    refreshEvent = std::make_unique<TEvent>(false, false);
    if (!frame)
        frame = MakeFrame();
    packetQueue.Init();
    return true;
}

void TBaseStreamInfo::Release() {
    packetQueue.Release();
    frame.reset();
    refreshEvent.reset();
}

bool TBaseStreamInfo::Open() {
    AVFormatContext* input = owner ? owner->Input() : nullptr;
    if (!input) {
        streamIndex = -1;
        return false;
    }
    int found = -1;
    int seen = 0;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        // A telemetry stream that FFmpeg's probe took for sound is still
        // telemetry; it must never be decoded as this stream.
        if (owner->IsTelemetryStream(static_cast<int>(i)))
            continue;
        if (input->streams[i]->codecpar->codec_type != mediaType)
            continue;
        if (seen++ == typeOrdinal) {
            found = static_cast<int>(i);
            break;
        }
    }
    if (found < 0) {
        streamIndex = -1;
        return false;
    }
    streamIndex = found;
    serial = owner ? owner->flushSerial() : 0u;
    notOpen = false;
    stream = input->streams[found];
    codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return false;
    CloseDecoder();
    codecContext.reset(avcodec_alloc_context3(codec));
    if (!codecContext)
        return false;
    if (avcodec_parameters_to_context(codecContext.get(), stream->codecpar) < 0)
        return false;
    codecContext->pkt_timebase = stream->time_base;
    ConfigureDecoder();
    if (avcodec_open2(codecContext.get(), codec, nullptr) < 0)
        return false;
    closing = false;
    return true;
}

void TBaseStreamInfo::ConfigureDecoder() {}

void TBaseStreamInfo::Close() {
    closing = true;
    decoderAck = false;
    rendererAck = false;
    CloseDecoder();
    notOpen = true;
}

bool TBaseStreamInfo::Decode(AVPacket*, double* pts, bool) {
    if (pts)
        *pts = 1.0;
    return true;
}

void TBaseStreamInfo::CloseDecoder() {
    codecContext.reset();
}
