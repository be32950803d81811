#pragma once
// Threads with Win32-style numeric ids, joined (never killed).

#include <functional>
#include <memory>
#include <thread>

#include "platform/sync.h"
#include "platform/win_types.h"

// A small positive number, fixed for the thread's life. Threads the program
// did not start (main, SDL's audio thread) get one when they first ask.
DWORD GetCurrentThreadId();

void Sleep(DWORD milliseconds);

// Milliseconds of a monotonic clock; wraps like the Win32 counters.
DWORD GetTickCount();

class TThread {
public:
    TThread() = default;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    // A thread still running is joined: threads end by their stop flags.
    ~TThread();

    // Starts `body`; the id is known when this returns, before the body runs,
    // so the caller can post to the new thread at once. `name` (at most 15
    // characters) is what debuggers, top and perf show for it.
    bool Start(std::function<void()> body, const char* name = nullptr);
    DWORD Id() const { return m_id; }
    bool Started() const { return m_thread.joinable(); }
    // Waits without limit for the body to return (on the main thread, while
    // serving the calls other threads make on it).
    void Join();

private:
    std::thread m_thread;
    std::shared_ptr<TEvent> m_finished;
    DWORD m_id = 0;
};
