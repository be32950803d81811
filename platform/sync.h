#pragma once
// Events and counting semaphores with Win32 semantics. A wait on the main
// thread keeps serving the calls other threads make on it (see
// main_thread.h), so a worker that asks the main thread for a message box
// never deadlocks against a main thread that waits for that worker.

#include <condition_variable>
#include <mutex>

#include "platform/win_types.h"

class TEvent {
public:
    // An auto-reset event releases one waiter per Set and clears itself;
    // a manual-reset event stays set until Reset.
    TEvent(bool manualReset, bool initiallySet);
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void Set();
    void Reset();
    // WAIT_OBJECT_0 when signalled, WAIT_TIMEOUT when `milliseconds` passed
    // (INFINITE waits without limit; 0 only tests).
    DWORD Wait(DWORD milliseconds);

private:
    bool TryTake();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    const bool m_manualReset;
    bool m_signalled;
};

// The largest count a semaphore holds: for counters whose bound is kept
// elsewhere (a queue's back-pressure).
inline constexpr LONG kSemaphoreMaximum = 0x7FFFFFFF;

class TSemaphore {
public:
    TSemaphore(LONG initialCount, LONG maximumCount);
    TSemaphore(const TSemaphore&) = delete;
    TSemaphore& operator=(const TSemaphore&) = delete;

    // Adds `count`; refuses (false, count unchanged) when that would pass the
    // maximum. `previous` receives the count before the release.
    bool Release(LONG count = 1, LONG* previous = nullptr);
    // Takes one unit: WAIT_OBJECT_0, or WAIT_TIMEOUT after `milliseconds`.
    DWORD Wait(DWORD milliseconds);
    LONG Count();

private:
    bool TryTake();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    LONG m_count;
    const LONG m_maximum;
};
