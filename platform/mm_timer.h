#pragma once
// The multimedia timer: periodic callbacks on a timer thread of their own,
// paced by absolute deadlines so that the period does not drift.

#include "platform/win_types.h"

using MMRESULT = UINT;
using LPTIMECALLBACK = void (*)(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                DWORD_PTR reserved2);

inline constexpr MMRESULT TIMERR_NOERROR = 0;
inline constexpr MMRESULT TIMERR_NOCANDO = 97;
inline constexpr UINT TIME_ONESHOT = 0x0000;
inline constexpr UINT TIME_PERIODIC = 0x0001;

struct TIMECAPS {
    UINT wPeriodMin = 0;
    UINT wPeriodMax = 0;
};

MMRESULT timeGetDevCaps(TIMECAPS* caps, UINT size);
// The timer threads always sleep to absolute deadlines of 1 ms resolution;
// the period calls are kept for their pairing.
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);

// Starts a timer that calls `callback(id, 0, user, 0, 0)` after `delay`
// milliseconds, and every `delay` milliseconds with TIME_PERIODIC. Returns
// its id, or 0 when it cannot start.
UINT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
// Stops the timer; when it returns, no callback of it is running (unless it
// is called from that very callback).
MMRESULT timeKillEvent(UINT timerId);

// Milliseconds since an arbitrary start, from a monotonic clock.
DWORD timeGetTime();
