#include "platform/main_thread.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

struct PendingCall {
    std::function<void()> call;
    bool done = false;
    // Posted calls belong to the queue and nobody waits for them.
    bool posted = false;
};

struct MainThreadState {
    std::mutex mutex;
    std::condition_variable finished;
    std::deque<PendingCall*> pending;
    std::function<void()> waker;
};

MainThreadState& State() {
    static MainThreadState state;
    return state;
}

std::atomic<std::thread::id> g_mainThread{};

// Static initialisation runs on the thread that will run main().
[[maybe_unused]] const bool g_mainThreadMarked =
    (g_mainThread.store(std::this_thread::get_id()), true);

} // namespace

void MarkMainThread() {
    g_mainThread.store(std::this_thread::get_id());
}

bool IsMainThread() {
    return g_mainThread.load() == std::this_thread::get_id();
}

void CallOnMainThread(std::function<void()> call) {
    if (IsMainThread()) {
        call();
        return;
    }
    MainThreadState& state = State();
    PendingCall pending{std::move(call)};
    std::function<void()> waker;
    {
        std::lock_guard lock(state.mutex);
        state.pending.push_back(&pending);
        waker = state.waker;
    }
    if (waker)
        waker();
    std::unique_lock lock(state.mutex);
    state.finished.wait(lock, [&] { return pending.done; });
}

void PostToMainThread(std::function<void()> call) {
    MainThreadState& state = State();
    std::function<void()> waker;
    {
        std::lock_guard lock(state.mutex);
        state.pending.push_back(new PendingCall{std::move(call), false, true});
        waker = state.waker;
    }
    if (waker)
        waker();
}

void ServiceMainThreadCalls() {
    if (!IsMainThread())
        return;
    MainThreadState& state = State();
    for (;;) {
        PendingCall* next = nullptr;
        {
            std::lock_guard lock(state.mutex);
            if (state.pending.empty())
                return;
            next = state.pending.front();
            state.pending.pop_front();
        }
        next->call();
        if (next->posted) {
            delete next;
            continue;
        }
        {
            std::lock_guard lock(state.mutex);
            next->done = true;
        }
        state.finished.notify_all();
    }
}

void SetMainThreadWaker(std::function<void()> waker) {
    MainThreadState& state = State();
    std::lock_guard lock(state.mutex);
    state.waker = std::move(waker);
}
