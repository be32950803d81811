#pragma once
// Which stream of a recording plays which part: the first two video streams
// are the front and rear cameras, the telemetry streams (subtitle streams, or
// those the chunk walk saw carrying "NNst" chunks) in order the GPS and the
// G-sensor, and an audio stream the sound.

#include <cstdint>

#include "recordings/telemetry.h"

struct AVFormatContext;

struct TStreamRoles : TTelemetryRoles {
    int audio = -1;
};

// `telemetryStreams` has bit i set when the walk saw stream i's telemetry
// chunks (streams beyond 31 are judged by their type alone).
TStreamRoles AssignStreamRoles(const AVFormatContext* input, std::uint32_t telemetryStreams);
