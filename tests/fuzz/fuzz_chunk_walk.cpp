// The camera's chunk walk over a file of any bytes: it must end, and what
// it reports must hold together.

#include <cstdlib>

#include "engine/chunk_walk.h"
#include "tests/fuzz/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMemoryFile file(data, size);
    if (!file.IsOpen())
        return 0;
    std::int64_t frames = -1;
    TChunkWalk walk;
    if (!CountFrames(file.Path(), &frames, &walk))
        std::abort();
    // Every chunk header takes 8 bytes of the file.
    if (frames < 0 || walk.frontFrames + walk.rearFrames > walk.chunks ||
        walk.chunks * 8 > static_cast<std::int64_t>(size))
        std::abort();
    if (walk.unknownAt >= static_cast<std::int64_t>(size))
        std::abort();
    walk.InCameraLayout();
    return 0;
}
