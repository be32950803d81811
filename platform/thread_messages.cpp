#include "platform/thread_messages.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/last_error.h"
#include "platform/main_thread.h"
#include "platform/thread.h"

namespace {

struct ThreadQueue {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<MSG> messages;
};

struct QueueRegistry {
    std::mutex mutex;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

QueueRegistry& Registry() {
    static QueueRegistry registry;
    return registry;
}

// Removes the thread's queue when the thread ends, so a post to a finished
// thread fails as it does on Windows.
struct QueueOwner {
    DWORD threadId = 0;
    std::shared_ptr<ThreadQueue> queue;
    ~QueueOwner() {
        if (!queue)
            return;
        QueueRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        registry.queues.erase(threadId);
    }
};

thread_local QueueOwner t_queueOwner;
IMessagePump* g_mainPump = nullptr;

ThreadQueue& OwnQueue() {
    if (!t_queueOwner.queue) {
        t_queueOwner.threadId = GetCurrentThreadId();
        t_queueOwner.queue = std::make_shared<ThreadQueue>();
        QueueRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        registry.queues[t_queueOwner.threadId] = t_queueOwner.queue;
    }
    return *t_queueOwner.queue;
}

bool Matches(const MSG& message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message.message >= filterMin && message.message <= filterMax;
}

// Finds the first message that passes the filter; the queue's lock is held.
std::deque<MSG>::iterator FindMatching(ThreadQueue& queue, UINT filterMin, UINT filterMax) {
    for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
        if (Matches(*it, filterMin, filterMax))
            return it;
    }
    return queue.messages.end();
}

bool UsesMainPump() {
    return g_mainPump && IsMainThread();
}

} // namespace

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue;
    {
        QueueRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        auto found = registry.queues.find(threadId);
        if (found != registry.queues.end())
            queue = found->second;
    }
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    MSG posted;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    posted.time = GetTickCount();
    {
        std::lock_guard lock(queue->mutex);
        queue->messages.push_back(posted);
    }
    queue->arrived.notify_one();
    return TRUE;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (UsesMainPump())
        return g_mainPump->Peek(message, window, filterMin, filterMax, removeFlags);
    ThreadQueue& queue = OwnQueue();
    std::lock_guard lock(queue.mutex);
    auto found = FindMatching(queue, filterMin, filterMax);
    if (found == queue.messages.end())
        return FALSE;
    if (message)
        *message = *found;
    if (removeFlags & PM_REMOVE)
        queue.messages.erase(found);
    return TRUE;
}

BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    if (UsesMainPump())
        return g_mainPump->Get(message, window, filterMin, filterMax);
    ThreadQueue& queue = OwnQueue();
    std::unique_lock lock(queue.mutex);
    std::deque<MSG>::iterator found;
    queue.arrived.wait(lock, [&] {
        found = FindMatching(queue, filterMin, filterMax);
        return found != queue.messages.end();
    });
    MSG taken = *found;
    queue.messages.erase(found);
    if (message)
        *message = taken;
    return taken.message == WM_QUIT ? FALSE : TRUE;
}

void SetMainThreadMessagePump(IMessagePump* pump) {
    g_mainPump = pump;
}
