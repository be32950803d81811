#pragma once
// The GPS fixes and G-sensor samples of one recording, collected in one
// pass over the file while it opens, and the conversions the read-out, the
// map and printing use.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct AVFormatContext;
struct AVPacket;

// The receiver's UTC clock at a fix, from the RMC time (hhmmss.ss) and date
// (ddmmyy) fields; two-digit years are this century's.
struct TGpsClock {
    int year = 0;
    int month = 0; // 1..12; 0 when the date field was empty
    int day = 0;
    int hour = -1; // -1 when the time field was empty
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    bool Known() const { return month >= 1 && month <= 12 && day >= 1 && hour >= 0; }
};

struct TGpsRecord {
    std::int32_t valid = 0;       // status field began with 'A'
    double latitude = 0.0;        // ddmm.mmmm as written
    char latitudeHemisphere = 0;  // 'N', 'S', or 0 when empty
    double longitude = 0.0;       // dddmm.mmmm as written
    char longitudeHemisphere = 0; // 'E', 'W', or 0 when empty
    double speedKnots = 0.0;
    TGpsClock clock;
};

struct TTelemetry {
    std::vector<TGpsRecord> gps;
    // Decoding time stamp (whole seconds) of the first GPS packet after 0.
    std::int32_t firstGpsTime = 0;
    std::vector<float> accelX;
    std::vector<float> accelY;
    std::vector<float> accelZ;
};

struct TTelemetryRoles {
    int front = -1;
    int rear = -1;
    int gps = -1;
    int gsensor = -1;
};

// A video packet as the pass saw it, for seeking on files whose own index
// the demuxer cannot use.
struct TVideoPacketEntry {
    std::int64_t position = -1; // file offset of the chunk
    std::int64_t dts = 0;
    bool keyFrame = false;
};

// What the pass learns about the video streams besides the telemetry.
struct TVideoPass {
    static constexpr std::int64_t kNone = INT64_MIN;
    std::int64_t largestDts[2] = {kNone, kNone}; // front, rear
    std::int64_t largestVideoDts = kNone;
    std::vector<TVideoPacketEntry> packets[2];
    // Decides whether a video packet starts a key frame; without it the
    // demuxer's flag is taken, which a file without a usable index sets on
    // every frame.
    std::function<bool(const AVPacket*)> isKeyFrame;
};

// Reads every packet of the open input once, collects the telemetry, and
// seeks the input back to its start. `packet` is the caller's reusable
// packet; `videoPass` may be null.
std::unique_ptr<TTelemetry> ReadTelemetry(AVFormatContext* input, AVPacket* packet,
                                          const TTelemetryRoles& roles, TVideoPass* videoPass);

// Parses one GPS packet (8 header bytes, a sentence, a carriage return);
// false when it holds no RMC sentence.
bool ParseGpsPacket(const std::uint8_t* data, int size, TGpsRecord* record);

struct TGsensorSample {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Reads one G-sensor packet (X, Y, Z as little-endian floats); false when
// it is too short to hold the three values.
bool ParseGsensorPacket(const std::uint8_t* data, int size, TGsensorSample* sample);

// The fix shown at a whole playback second, or null.
const TGpsRecord* FixAtSecond(const TTelemetry* table, int second);

struct TCoordinateParts {
    int degrees = 0;
    int minutes = 0;
    double seconds = 0.0;
};
TCoordinateParts SplitCoordinate(double value);
// Degrees as a positive decimal number; the hemisphere letter is not applied.
double DecimalDegrees(double value);
// Decimal degrees with the hemisphere's sign: south and west are negative.
double SignedDecimalDegrees(double value, char hemisphere);
double SpeedKmh(double knots);
double SpeedMph(double knots);
