#include "engine/chunk_walk.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct TFileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The eight chunk identifiers the camera writes inside its movi list.
constexpr const char* kKnownChunkIds[] = {"00dc", "01dc", "01wb", "02wb",
                                          "01st", "02st", "03st", "04st"};

bool IsKnownChunkId(const char id[4]) {
    for (const char* known : kKnownChunkIds) {
        if (std::memcmp(id, known, 4) == 0)
            return true;
    }
    return false;
}

std::uint32_t LittleEndian32(const unsigned char bytes[4]) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

} // namespace

bool CountFrames(const std::string& path, std::int64_t* frameCount, TChunkWalk* walk) {
    TChunkWalk counts;
    *frameCount = 0;
    std::unique_ptr<std::FILE, TFileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (walk)
            *walk = counts;
        return false;
    }
    std::int64_t position = kFirstChunkOffset;
    while (fseeko(file.get(), position, SEEK_SET) == 0) {
        unsigned char header[8];
        if (std::fread(header, 1, sizeof header, file.get()) != sizeof header)
            break;
        const char* id = reinterpret_cast<const char*>(header);
        if (!IsKnownChunkId(id))
            break;
        if (std::memcmp(id, "00dc", 4) == 0)
            ++counts.frontFrames;
        else if (std::memcmp(id, "01dc", 4) == 0)
            ++counts.rearFrames;
        else if (id[2] == 's' && id[3] == 't')
            counts.telemetryStreams |= 1u << ((id[0] - '0') * 10 + (id[1] - '0'));
        // Camera chunks are not padded: the next header follows directly.
        position += 8 + static_cast<std::int64_t>(LittleEndian32(header + 4));
        if (position < 0)
            break;
    }
    *frameCount = counts.frontFrames > counts.rearFrames ? counts.frontFrames : counts.rearFrames;
    if (walk)
        *walk = counts;
    return true;
}
