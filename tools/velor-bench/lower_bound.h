#pragma once
// What decoding alone costs: the two video streams and the sound of the
// recording decoded by FFmpeg, each stream on a single thread of its own and
// the three side by side (as a player must), no conversion, no display. The
// packets are read beforehand, so reading the file is not counted.

#include <string>

struct TLowerBoundRequest {
    std::string file;
    int videoStreams[2] = {-1, -1};
    int audioStream = -1;
    double seconds = 0.0;
    // When both are positive, each decoded video frame is also converted to
    // BGRA of this size, timed apart from the decoding.
    int conversionWidth = 0;
    int conversionHeight = 0;
    // Each packet is decoded at its time in the recording, as a player must,
    // instead of as fast as the decoder goes. Decoding a frame and then
    // waiting for the next one costs more CPU than decoding without a pause
    // (caches and the processor's clock go cold in between).
    bool paced = false;
};

struct TLowerBound {
    bool ok = false;
    // CPU seconds of decoding, and of the conversions alone.
    double decodeCpuSeconds = 0.0;
    double conversionCpuSeconds = 0.0;
    long conversions = 0;
    double mediaSeconds = 0.0;
};

TLowerBound MeasureLowerBound(const TLowerBoundRequest& request);
