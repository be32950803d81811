#pragma once
// Frames of a fixture recording, decoded as the player decodes them, and
// pictures read back from the files capture and printing write.

#include <string>
#include <vector>

#include "engine/ffmpeg_handles.h"
#include "export/frame_capture.h"
#include "tests/support/recording_fixture.h"

// An odd size, unlike any display size, so that a picture taken from the
// display would show.
constexpr int kPictureWidth = 352;
constexpr int kPictureHeight = 198;

// A one-second recording of that size.
velor::fixtures::RecordingOptions
SmallRecording(int channels, velor::fixtures::VideoCodec codec = velor::fixtures::VideoCodec::H264);

// Frame `frameNumber` (counting from 0) of the recording's stream; empty
// when the stream has fewer frames or cannot be decoded.
TFrameHandle DecodeFrame(const std::string& path, int streamIndex, int frameNumber);
// Frame `frameNumber` of each stream as the player shows it; a negative
// stream is a channel without video.
std::vector<TShownFrame> ShownFramesOf(const std::string& path, const std::vector<int>& streams,
                                       int frameNumber);

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

// The frame number and channel the test pattern shows inside the rectangle.
std::pair<int, int> PatternIn(const TPictureFile& picture, int left, int top, int width,
                              int height);
