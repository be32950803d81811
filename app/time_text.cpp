#include "app/time_text.h"

#include <cwchar>

namespace {
constexpr int kSecondsPerHour = 3600;
constexpr int kSecondsPerMinute = 60;
// The display's buffer, in characters.
constexpr int kTimeTextCapacity = 32;
} // namespace

std::wstring PlaybackTimeText(int seconds) {
    if (seconds < 0)
        seconds = 0;
    const int hours = seconds / kSecondsPerHour;
    const int minutes = (seconds - kSecondsPerHour * hours) / kSecondsPerMinute;
    const int rest = seconds - kSecondsPerHour * hours - kSecondsPerMinute * minutes;
    wchar_t buffer[kTimeTextCapacity];
    if (hours >= 1)
        std::swprintf(buffer, kTimeTextCapacity, L"%02d : %02d : %02d", hours, minutes, rest);
    else
        std::swprintf(buffer, kTimeTextCapacity, L"%02d : %02d", minutes, rest);
    return buffer;
}
