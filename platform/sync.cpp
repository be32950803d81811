#include "platform/sync.h"

#include <algorithm>
#include <chrono>

#include "platform/last_error.h"
#include "platform/main_thread.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often a wait on the main thread looks for calls from other threads.
constexpr auto kMainThreadServiceSlice = std::chrono::milliseconds(2);

// Waits on `changed` until `ready` holds or `milliseconds` pass, serving the
// main thread's calls in between when waiting on the main thread.
template <typename Ready>
bool WaitUntilReady(std::mutex& mutex, std::condition_variable& changed, DWORD milliseconds,
                    Ready ready) {
    const bool onMainThread = IsMainThread();
    const bool limited = milliseconds != INFINITE;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock lock(mutex);
    for (;;) {
        if (ready())
            return true;
        Clock::time_point now = Clock::now();
        if (limited && now >= deadline)
            return false;
        if (onMainThread) {
            Clock::time_point until = now + kMainThreadServiceSlice;
            if (limited)
                until = std::min(until, deadline);
            changed.wait_until(lock, until);
            if (ready())
                return true;
            lock.unlock();
            ServiceMainThreadCalls();
            lock.lock();
        } else if (limited) {
            changed.wait_until(lock, deadline);
        } else {
            changed.wait(lock);
        }
    }
}

} // namespace

TEvent::TEvent(bool manualReset, bool initiallySet)
    : m_manualReset(manualReset), m_signalled(initiallySet) {}

void TEvent::Set() {
    // Notified under the lock: a waiter that wakes may destroy the event at
    // once (a stack event a command waits for), so nothing may touch it
    // after the lock is given back.
    std::lock_guard lock(m_mutex);
    m_signalled = true;
    if (m_manualReset)
        m_changed.notify_all();
    else
        m_changed.notify_one();
}

void TEvent::Reset() {
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool TEvent::TryTake() {
    if (!m_signalled)
        return false;
    if (!m_manualReset)
        m_signalled = false;
    return true;
}

DWORD TEvent::Wait(DWORD milliseconds) {
    bool taken = WaitUntilReady(m_mutex, m_changed, milliseconds, [this] { return TryTake(); });
    return taken ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

TSemaphore::TSemaphore(LONG initialCount, LONG maximumCount)
    : m_count(std::clamp(initialCount, LONG{0}, maximumCount)), m_maximum(maximumCount) {}

bool TSemaphore::Release(LONG count, LONG* previous) {
    {
        std::lock_guard lock(m_mutex);
        if (count <= 0 || count > m_maximum - m_count) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        if (previous)
            *previous = m_count;
        m_count += count;
        if (count == 1)
            m_changed.notify_one();
        else
            m_changed.notify_all();
    }
    return true;
}

bool TSemaphore::TryTake() {
    if (m_count <= 0)
        return false;
    --m_count;
    return true;
}

DWORD TSemaphore::Wait(DWORD milliseconds) {
    bool taken = WaitUntilReady(m_mutex, m_changed, milliseconds, [this] { return TryTake(); });
    return taken ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

LONG TSemaphore::Count() {
    std::lock_guard lock(m_mutex);
    return m_count;
}
