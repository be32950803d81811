#pragma once
// The recording's frame count, taken from the camera's own chunk layout
// rather than by demultiplexing.

#include <cstdint>
#include <string>

// The camera writes its first data chunk header at this offset.
inline constexpr std::int64_t kFirstChunkOffset = 4096 + 12;

struct TChunkWalk {
    std::int64_t frontFrames = 0;  // "00dc" chunks
    std::int64_t rearFrames = 0;   // "01dc" chunks
    // Bit n set: stream n carries telemetry ("NNst" chunks).
    std::uint32_t telemetryStreams = 0;
};

// Walks the chunks from kFirstChunkOffset until the file ends or an
// identifier the camera does not write appears. The count is the larger of
// the two video counts; false (count 0) when the file cannot be opened.
bool CountFrames(const std::string& path, std::int64_t* frameCount, TChunkWalk* walk = nullptr);
