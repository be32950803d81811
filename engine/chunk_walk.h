#pragma once
// The recording's frame count, taken from the camera's own chunk layout
// rather than by demultiplexing; files in any other layout (standard AVI,
// such as the split's own outputs) take it from the demuxer instead.

#include <cstdint>
#include <string>

struct AVFormatContext;

// The camera starts its LIST movi here, and its first data chunk header
// right after the list's header.
inline constexpr std::int64_t kMoviListOffset = 4096;
inline constexpr std::int64_t kFirstChunkOffset = kMoviListOffset + 12;

struct TChunkWalk {
    std::int64_t frontFrames = 0; // "00dc" chunks
    std::int64_t rearFrames = 0;  // "01dc" chunks
    // Bit n set: stream n carries telemetry ("NNst" chunks).
    std::uint32_t telemetryStreams = 0;
    // Chunks of the eight kinds the camera writes that the walk went over.
    std::int64_t chunks = 0;
    // Where an identifier the camera does not write ended the walk; -1 when
    // the walk ran to the end of the file.
    std::int64_t unknownAt = -1;
    // A LIST movi header at kMoviListOffset, and the list's end as it says
    // (-1 when it says 0: the camera fills the sizes in only at the end).
    bool moviListFound = false;
    std::int64_t moviEnd = -1;

    // Laid out as the camera writes: its movi list, chunks one after the
    // other without padding up to the list's end, or to the end of a file
    // that was cut short. A padded or differently placed file stops early
    // or finds nothing.
    bool InCameraLayout() const;
};

// Walks the chunks from kFirstChunkOffset until the file ends or an
// identifier the camera does not write appears. The count is the larger of
// the two video counts; false (count 0) when the file cannot be opened.
bool CountFrames(const std::string& path, std::int64_t* frameCount, TChunkWalk* walk = nullptr);

// The count the demuxer knows, for files not in the camera's layout: the
// larger of the two video streams' (-1 when absent) counts, each from its
// stream header, else its index, else its duration times its frame rate.
std::int64_t DemuxedFrameCount(const AVFormatContext* input, int frontStream, int rearStream);
