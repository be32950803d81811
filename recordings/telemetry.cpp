#include "recordings/telemetry.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

// Room reserved up front: a few minutes at one fix a second and a few
// samples a second fit without growing.
constexpr std::size_t kReservedEntries = 10000;
constexpr int kGpsHeaderBytes = 8;
constexpr int kGsensorValueBytes = 12;
constexpr char kCarriageReturn = 13;
constexpr std::string_view kRmcPrefixes[] = {"$GPRMC,", "$GNRMC,"};

// Larger than any coordinate (dddmm.mmmm) or speed a receiver writes, small
// enough for the coordinate's whole part to fit an integer.
constexpr double kLargestFieldValue = 1e9;

// Reads a decimal number as atof would, but always with a '.' decimal
// point, whatever locale the user interface has set. A damaged card can
// hold "nan", "inf" or 1e300 where a number belongs; they read as 0 like
// any other text that is no number.
double ParseDecimal(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    if (start < text.size() && text[start] == '+')
        ++start;
    double value = 0.0;
    std::from_chars_result result =
        std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (result.ec != std::errc() || !(std::fabs(value) < kLargestFieldValue))
        return 0.0;
    return value;
}

int TwoDigits(std::string_view text, std::size_t at) {
    if (text.size() < at + 2 || text[at] < '0' || text[at] > '9' || text[at + 1] < '0' ||
        text[at + 1] > '9')
        return -1;
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

void ReadRmcTime(std::string_view text, TGpsClock* clock) {
    const int hour = TwoDigits(text, 0), minute = TwoDigits(text, 2), second = TwoDigits(text, 4);
    if (hour < 0 || minute < 0 || second < 0)
        return;
    clock->hour = hour;
    clock->minute = minute;
    clock->second = second;
    const double fraction = ParseDecimal(text.substr(6));
    clock->millisecond = static_cast<int>(std::lround(fraction * 1000.0)) % 1000;
}

void ReadRmcDate(std::string_view text, TGpsClock* clock) {
    constexpr int kCentury = 2000;
    const int day = TwoDigits(text, 0), month = TwoDigits(text, 2), year = TwoDigits(text, 4);
    if (day < 0 || month < 0 || year < 0)
        return;
    clock->day = day;
    clock->month = month;
    clock->year = kCentury + year;
}

void ReadRmcField(int field, std::string_view text, TGpsRecord* record) {
    switch (field) {
    case 0:
        ReadRmcTime(text, &record->clock);
        break;
    case 1:
        record->valid = (!text.empty() && text[0] == 'A') ? 1 : 0;
        break;
    case 2:
        if (!text.empty())
            record->latitude = ParseDecimal(text);
        break;
    case 3:
        if (!text.empty())
            record->latitudeHemisphere = text[0];
        break;
    case 4:
        if (!text.empty())
            record->longitude = ParseDecimal(text);
        break;
    case 5:
        if (!text.empty())
            record->longitudeHemisphere = text[0];
        break;
    case 6:
        if (!text.empty())
            record->speedKnots = ParseDecimal(text);
        break;
    case 8:
        ReadRmcDate(text, &record->clock);
        break;
    default:
        break;
    }
}

float LittleEndianFloat(const std::uint8_t* bytes) {
    std::uint32_t bits =
        static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
        (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void NoteVideoPacket(const AVPacket* packet, int channel, TVideoPass* pass) {
    if (!pass)
        return;
    if (packet->dts != AV_NOPTS_VALUE) {
        if (packet->dts > pass->largestDts[channel])
            pass->largestDts[channel] = packet->dts;
        if (packet->dts > pass->largestVideoDts)
            pass->largestVideoDts = packet->dts;
    }
    bool key = pass->isKeyFrame ? pass->isKeyFrame(packet) : (packet->flags & AV_PKT_FLAG_KEY) != 0;
    pass->packets[channel].push_back({packet->pos, packet->dts, key});
}

} // namespace

bool ParseGpsPacket(const std::uint8_t* data, int size, TGpsRecord* record) {
    if (!data || size <= kGpsHeaderBytes || data[size - 1] != kCarriageReturn)
        return false;
    std::string_view sentence(reinterpret_cast<const char*>(data) + kGpsHeaderBytes,
                              static_cast<std::size_t>(size - kGpsHeaderBytes - 1));
    // The sentence ends at a NUL as well, as a C string would.
    sentence = sentence.substr(0, sentence.find('\0'));
    bool isRmc = false;
    for (std::string_view prefix : kRmcPrefixes)
        isRmc = isRmc || sentence.substr(0, prefix.size()) == prefix;
    if (!isRmc)
        return false;
    *record = TGpsRecord{};
    std::string_view rest = sentence.substr(kRmcPrefixes[0].size());
    for (int field = 0; field <= 8; ++field) {
        std::size_t comma = rest.find(',');
        ReadRmcField(field, rest.substr(0, comma), record);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return true;
}

bool ParseGsensorPacket(const std::uint8_t* data, int size, TGsensorSample* sample) {
    if (!data || size < kGsensorValueBytes)
        return false;
    sample->x = LittleEndianFloat(data);
    sample->y = LittleEndianFloat(data + 4);
    sample->z = LittleEndianFloat(data + 8);
    return true;
}

std::unique_ptr<TTelemetry> ReadTelemetry(AVFormatContext* input, AVPacket* packet,
                                          const TTelemetryRoles& roles, TVideoPass* videoPass) {
    auto table = std::make_unique<TTelemetry>();
    table->gps.reserve(kReservedEntries);
    table->accelX.reserve(kReservedEntries);
    table->accelY.reserve(kReservedEntries);
    table->accelZ.reserve(kReservedEntries);
    if (!input || !packet)
        return table;

    while (av_read_frame(input, packet) >= 0) {
        const int stream = packet->stream_index;
        if (stream == roles.front) {
            NoteVideoPacket(packet, 0, videoPass);
        } else if (stream == roles.rear) {
            NoteVideoPacket(packet, 1, videoPass);
        } else if (stream == roles.gps) {
            TGpsRecord record;
            if (ParseGpsPacket(packet->data, packet->size, &record)) {
                if (table->firstGpsTime <= 0)
                    table->firstGpsTime = static_cast<std::int32_t>(packet->dts);
                table->gps.push_back(record);
            }
        } else if (stream == roles.gsensor) {
            // Shorter packets cannot hold the three values and are passed over.
            TGsensorSample sample;
            if (ParseGsensorPacket(packet->data, packet->size, &sample)) {
                table->accelX.push_back(sample.x);
                table->accelY.push_back(sample.y);
                table->accelZ.push_back(sample.z);
            }
        }
        av_packet_unref(packet);
    }
    av_packet_unref(packet);
    av_seek_frame(input, -1, 0, 0);
    return table;
}

const TGpsRecord* FixAtSecond(const TTelemetry* table, int second) {
    if (!table)
        return nullptr;
    long long i = static_cast<long long>(second) - table->firstGpsTime;
    if (i <= 0 || i > static_cast<long long>(table->gps.size()))
        return nullptr;
    return &table->gps[static_cast<std::size_t>(i - 1)];
}

TCoordinateParts SplitCoordinate(double value) {
    double whole = std::trunc(value);
    long long wholeNumber = static_cast<long long>(whole);
    TCoordinateParts parts;
    parts.degrees = static_cast<int>(wholeNumber / 100);
    parts.minutes = static_cast<int>(wholeNumber % 100);
    parts.seconds = (value - whole) * 60.0;
    return parts;
}

double DecimalDegrees(double value) {
    double whole = std::trunc(value);
    TCoordinateParts parts = SplitCoordinate(value);
    return parts.degrees + (parts.minutes + (value - whole)) / 60.0;
}

double SignedDecimalDegrees(double value, char hemisphere) {
    double degrees = DecimalDegrees(value);
    return (hemisphere == 'S' || hemisphere == 'W') ? -degrees : degrees;
}

double SpeedKmh(double knots) {
    return knots * 1.852;
}

double SpeedMph(double knots) {
    return knots * 1.15;
}
