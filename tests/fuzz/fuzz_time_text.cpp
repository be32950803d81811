// The time display's text for any number of seconds.

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/time_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int seconds = 0;
    std::memcpy(&seconds, data, size < sizeof seconds ? size : sizeof seconds);
    const std::wstring text = PlaybackTimeText(seconds);
    // "mm : ss" at least; the hours are never cut off the front.
    if (text.size() < 7 || text.size() > 31)
        std::abort();
    return 0;
}
