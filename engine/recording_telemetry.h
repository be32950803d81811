#pragma once
// A recording's telemetry read on its own, without opening it for playback:
// for exporting the GPS track of a recording that is not playing.

#include <memory>
#include <string>

#include "recordings/telemetry.h"

// Opens `path`, assigns the telemetry streams as the player does and reads
// them; null when the file cannot be opened as a recording.
std::unique_ptr<TTelemetry> ReadRecordingTelemetry(const std::string& path);
