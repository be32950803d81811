#pragma once
// What decoding alone costs: the two video streams and the sound of the
// recording decoded by FFmpeg, one thread each, no conversion, no display.

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
};

struct TLowerBound {
    bool ok = false;
    // CPU seconds of reading and decoding, and of the conversions alone.
    double decodeCpuSeconds = 0.0;
    double conversionCpuSeconds = 0.0;
    long conversions = 0;
    double mediaSeconds = 0.0;
};

TLowerBound MeasureLowerBound(const TLowerBoundRequest& request);
