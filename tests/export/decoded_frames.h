#pragma once
// Frames of a fixture recording, decoded as the player decodes them, and
// pictures read back from the files capture and printing write.

#include <string>
#include <vector>

#include "engine/ffmpeg_handles.h"

// Frame `frameNumber` (counting from 0) of the recording's stream; empty
// when the stream has fewer frames or cannot be decoded.
TFrameHandle DecodeFrame(const std::string& path, int streamIndex, int frameNumber);

// A picture file (JPEG, PNG) as B, G, R, A bytes.
struct TPictureFile {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
    int Stride() const { return width * 4; }
    // The pixel's B, G, R.
    std::uint32_t Colour(int x, int y) const;
};
TPictureFile ReadPicture(const std::string& path);
