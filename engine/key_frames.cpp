#include "engine/key_frames.h"

namespace {

constexpr int kNalTypeIdrSlice = 5;
constexpr int kNalTypeSlice = 1;

// Walks the Annex-B NAL units of an access unit; true at the first IDR slice,
// false at the first other slice.
bool HasIdrSlice(const std::uint8_t* data, int size) {
    for (int i = 0; i + 3 < size; ++i) {
        if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1)
            continue;
        int type = data[i + 3] & 0x1F;
        if (type == kNalTypeIdrSlice)
            return true;
        if (type == kNalTypeSlice)
            return false;
        i += 2;
    }
    return false;
}

} // namespace

bool PacketStartsKeyFrame(AVCodecID codec, const std::uint8_t* data, int size, bool demuxerFlag) {
    switch (codec) {
    case AV_CODEC_ID_H264:
        return data && HasIdrSlice(data, size);
    case AV_CODEC_ID_MJPEG:
        return true;
    default:
        return demuxerFlag;
    }
}
