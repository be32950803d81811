// One GPS packet: 8 header bytes, an NMEA sentence, a carriage return.

#include <cmath>
#include <cstdlib>
#include <vector>

#include "recordings/telemetry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    // A copy of exactly the input's size, so that a read past the packet is
    // caught.
    std::vector<std::uint8_t> packet(data, data + size);
    TGpsRecord record;
    if (!ParseGpsPacket(packet.data(), static_cast<int>(packet.size()), &record))
        return 0;
    // What the read-out and the map make of the fix.
    TCoordinateParts parts = SplitCoordinate(record.latitude);
    (void)parts;
    const double latitude = SignedDecimalDegrees(record.latitude, record.latitudeHemisphere);
    const double longitude = SignedDecimalDegrees(record.longitude, record.longitudeHemisphere);
    (void)SpeedKmh(record.speedKnots);
    (void)SpeedMph(record.speedKnots);
    if (std::isnan(latitude) != std::isnan(record.latitude) ||
        std::isnan(longitude) != std::isnan(record.longitude))
        std::abort();
    TTelemetry table;
    table.gps.push_back(record);
    table.firstGpsTime = 1;
    if (FixAtSecond(&table, 2) != &table.gps[0] || FixAtSecond(&table, 1) != nullptr)
        std::abort();
    return 0;
}
