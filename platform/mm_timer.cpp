#include "platform/mm_timer.h"

#include <pthread.h>

#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/thread.h"

namespace {

constexpr long kNanosPerMilli = 1000000L;
constexpr long kNanosPerSecond = 1000000000L;
// Longest single sleep, so that a kill is noticed soon even on slow timers.
constexpr long kLongestSleepNanos = 10 * kNanosPerMilli;
// A timer that fell this far behind (a stopped debugger, a loaded machine)
// starts again from now instead of firing a burst of late callbacks.
constexpr long kResyncAfterNanos = 100 * kNanosPerMilli;

long long ToNanos(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * kNanosPerSecond + t.tv_nsec;
}

timespec FromNanos(long long nanos) {
    return timespec{static_cast<time_t>(nanos / kNanosPerSecond),
                    static_cast<long>(nanos % kNanosPerSecond)};
}

long long MonotonicNanos() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return ToNanos(now);
}

void SleepUntil(long long deadline) {
    timespec until = FromNanos(deadline);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
    }
}

struct MmTimer {
    UINT id = 0;
    UINT delay = 1;
    bool periodic = false;
    LPTIMECALLBACK callback = nullptr;
    DWORD_PTR user = 0;
    std::atomic<bool> stop{false};
    // Set when the timer was killed from its own callback: the timer thread
    // then frees the timer itself.
    std::atomic<bool> orphaned{false};
    std::thread thread;

    void Run() {
        const long long period = static_cast<long long>(delay) * kNanosPerMilli;
        long long due = MonotonicNanos() + period;
        while (!stop.load(std::memory_order_acquire)) {
            long long now = MonotonicNanos();
            if (now < due) {
                SleepUntil(std::min(due, now + kLongestSleepNanos));
                continue;
            }
            callback(id, 0, user, 0, 0);
            if (!periodic)
                return;
            due += period;
            if (MonotonicNanos() - due > kResyncAfterNanos)
                due = MonotonicNanos() + period;
        }
    }
};

struct TimerTable {
    std::mutex mutex;
    std::unordered_map<UINT, std::unique_ptr<MmTimer>> timers;
    UINT nextId = 1;
};

TimerTable& Table() {
    static TimerTable table;
    return table;
}

const long long g_clockStart = MonotonicNanos();

} // namespace

MMRESULT timeGetDevCaps(TIMECAPS* caps, UINT size) {
    if (!caps || size < sizeof(TIMECAPS))
        return TIMERR_NOCANDO;
    caps->wPeriodMin = 1;
    caps->wPeriodMax = 1000000;
    return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(UINT period) {
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

UINT timeSetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    if (!callback || delay == 0)
        return 0;
    auto timer = std::make_unique<MmTimer>();
    timer->delay = delay;
    timer->periodic = (flags & TIME_PERIODIC) != 0;
    timer->callback = callback;
    timer->user = user;
    TimerTable& table = Table();
    std::lock_guard lock(table.mutex);
    timer->id = table.nextId++;
    MmTimer* raw = timer.get();
    UINT id = timer->id;
    table.timers.emplace(id, std::move(timer));
    raw->thread = std::thread([raw] {
        pthread_setname_np(pthread_self(), "mm-timer");
        raw->Run();
        if (raw->orphaned.load(std::memory_order_acquire))
            delete raw;
    });
    return id;
}

MMRESULT timeKillEvent(UINT timerId) {
    std::unique_ptr<MmTimer> timer;
    {
        TimerTable& table = Table();
        std::lock_guard lock(table.mutex);
        auto found = table.timers.find(timerId);
        if (found == table.timers.end())
            return TIMERR_NOCANDO;
        timer = std::move(found->second);
        table.timers.erase(found);
    }
    timer->stop.store(true, std::memory_order_release);
    if (timer->thread.get_id() == std::this_thread::get_id()) {
        // Killed from its own callback: the thread ends when the callback
        // returns and owns the timer from here on.
        timer->thread.detach();
        timer.release()->orphaned.store(true, std::memory_order_release);
        return TIMERR_NOERROR;
    }
    timer->thread.join();
    return TIMERR_NOERROR;
}

DWORD timeGetTime() {
    return static_cast<DWORD>((MonotonicNanos() - g_clockStart) / kNanosPerMilli);
}
