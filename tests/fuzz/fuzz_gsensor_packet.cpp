// One G-sensor packet: X, Y, Z as little-endian floats.

#include <cstdlib>
#include <cstring>
#include <vector>

#include "recordings/telemetry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    std::vector<std::uint8_t> packet(data, data + size);
    TGsensorSample sample;
    const bool read = ParseGsensorPacket(packet.data(), static_cast<int>(packet.size()), &sample);
    if (read != (size >= 12))
        std::abort();
    if (read && std::memcmp(&sample.x, packet.data(), 4) != 0)
        std::abort();
    return 0;
}
