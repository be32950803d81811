#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

#include <atomic>
#include <cstdio>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/last_error.h"
#include "platform/main_thread.h"
#include "platform/thread.h"
#include "platform/thread_messages.h"
#include "platform/window_internal.h"
#include "platform/window_modal.h"

namespace {

// Wakes the Qt event loop from any thread; the wake-up runs the calls other
// threads wait for, the posted window messages and the paint pass.
class TEventDispatcher final : public QObject {
public:
    static constexpr QEvent::Type WakeEvent = static_cast<QEvent::Type>(QEvent::User + 0x57);

    void Wake() {
        if (m_wakePending.exchange(true))
            return;
        QCoreApplication::postEvent(this, new QEvent(WakeEvent));
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() != WakeEvent)
            return QObject::event(event);
        m_wakePending.store(false);
        ServiceMainThreadCalls();
        DeliverPostedWindowMessages();
        PaintPendingWindows();
        return true;
    }

private:
    std::atomic<bool> m_wakePending{false};
};

// A posted message remembers which window it was posted to: a handle that
// is freed and handed out again must not receive its predecessor's mail.
struct TPostedMessage {
    MSG message;
    std::uint64_t windowSerial = 0; // 0 for the main thread's own messages
};

struct PostedQueue {
    std::mutex mutex;
    std::deque<TPostedMessage> messages;
};

PostedQueue& Posted() {
    static PostedQueue queue;
    return queue;
}

std::atomic<TEventDispatcher*> g_dispatcher{nullptr};
std::atomic<bool> g_paintPending{false};
bool g_quitPending = false;
int g_quitCode = 0;

void WakeMainThread() {
    if (TEventDispatcher* dispatcher = g_dispatcher.load())
        dispatcher->Wake();
}

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window && message.hwnd != window && !IsChild(window, message.hwnd))
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message.message >= filterMin && message.message <= filterMax;
}

bool WindowDied(const TPostedMessage& posted) {
    return posted.message.hwnd && SerialOfWindow(posted.message.hwnd) != posted.windowSerial;
}

// Win32 drops these without a word; a lost notification is worth a line.
// Posters keep what the lParam would own until the receiver takes it, so
// nothing leaks with it.
void ReportDropped(const std::vector<MSG>& dropped) {
    static unsigned droppedSoFar = 0;
    for (const MSG& message : dropped) {
        ++droppedSoFar;
        std::fprintf(stderr,
                     "posted message 0x%04X (wParam %llu) dropped: its window was destroyed "
                     "before delivery (%u so far)\n",
                     message.message, static_cast<unsigned long long>(message.wParam),
                     droppedSoFar);
    }
}

bool TakePosted(MSG* out, HWND window, UINT filterMin, UINT filterMax, bool remove,
                bool windowMessagesOnly) {
    std::vector<MSG> dropped;
    bool found = false;
    {
        PostedQueue& queue = Posted();
        std::lock_guard lock(queue.mutex);
        for (auto it = queue.messages.begin(); it != queue.messages.end();) {
            if (WindowDied(*it)) {
                dropped.push_back(it->message);
                it = queue.messages.erase(it);
                continue;
            }
            if ((windowMessagesOnly && !it->message.hwnd) ||
                !Matches(it->message, window, filterMin, filterMax)) {
                ++it;
                continue;
            }
            if (out)
                *out = it->message;
            if (remove)
                queue.messages.erase(it);
            found = true;
            break;
        }
    }
    // Outside the lock: a handler may post again.
    ReportDropped(dropped);
    return found;
}

std::size_t PostedCount() {
    PostedQueue& queue = Posted();
    std::lock_guard lock(queue.mutex);
    return queue.messages.size();
}

void FillQuit(MSG* message) {
    if (!message)
        return;
    *message = MSG{};
    message->message = WM_QUIT;
    message->wParam = static_cast<WPARAM>(g_quitCode);
    message->time = GetTickCount();
}

class TMainMessagePump final : public IMessagePump {
public:
    BOOL Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) override {
        const bool removing = (remove & PM_REMOVE) != 0;
        ServiceMainThreadCalls();
        if (TakePosted(message, window, filterMin, filterMax, removing, false))
            return TRUE;
        if (TakeQuitMessage(message, removing))
            return TRUE;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (TakePosted(message, window, filterMin, filterMax, removing, false))
            return TRUE;
        return TakeQuitMessage(message, removing) ? TRUE : FALSE;
    }

    BOOL Get(MSG* message, HWND window, UINT filterMin, UINT filterMax) override {
        for (;;) {
            ServiceMainThreadCalls();
            if (TakePosted(message, window, filterMin, filterMax, true, false))
                return TRUE;
            if (TakeQuitMessage(message, true))
                return FALSE;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
};

LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return window->procedure(window, message, wParam, lParam);
}

} // namespace

void EnsureWindowLayer() {
    if (g_dispatcher.load() || !QCoreApplication::instance())
        return;
    static TMainMessagePump pump;
    auto* dispatcher = new TEventDispatcher;
    g_dispatcher.store(dispatcher);
    SetMainThreadWaker(WakeMainThread);
    SetMainThreadMessagePump(&pump);
    QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] {
        SetMainThreadWaker(nullptr);
        SetMainThreadMessagePump(nullptr);
        g_dispatcher.store(nullptr);
    });
    dispatcher->setParent(QCoreApplication::instance());
    // Whatever was posted before the layer existed is delivered now.
    dispatcher->Wake();
}

bool TakeQuitMessage(MSG* message, bool remove) {
    if (!g_quitPending)
        return false;
    FillQuit(message);
    if (remove)
        g_quitPending = false;
    return true;
}

bool TakeThreadPostedMessage(MSG* message, UINT filterMin, UINT filterMax, bool remove) {
    return TakePosted(message, nullptr, filterMin, filterMax, remove, false);
}

void DeliverPostedWindowMessages() {
    // Only what is queued now: a handler that posts again must not keep the
    // event loop from everything else.
    std::size_t budget = PostedCount();
    MSG message;
    while (budget-- > 0 && TakePosted(&message, nullptr, 0, 0, true, true))
        DispatchMessageA(&message);
    if (TakePosted(nullptr, nullptr, 0, 0, false, true))
        WakeMainThread();
}

void SchedulePaint() {
    if (g_paintPending.exchange(true))
        return;
    WakeMainThread();
}

bool PaintWanted() {
    return g_paintPending.exchange(false);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsMainThread())
        return Deliver(window, message, wParam, lParam);
    LRESULT result = 0;
    CallOnMainThread([&] { result = Deliver(window, message, wParam, lParam); });
    return result;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TPostedMessage posted;
    posted.windowSerial = SerialOfWindow(window);
    if (window && !posted.windowSerial) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    posted.message.hwnd = window;
    posted.message.message = message;
    posted.message.wParam = wParam;
    posted.message.lParam = lParam;
    posted.message.time = GetTickCount();
    {
        PostedQueue& queue = Posted();
        std::lock_guard lock(queue.mutex);
        queue.messages.push_back(posted);
    }
    WakeMainThread();
    return TRUE;
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    if (!procedure)
        return 0;
    return procedure(window, message, wParam, lParam);
}

BOOL TranslateMessage(const MSG*) {
    // Characters are sent with their key press already.
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !IsWindow(message->hwnd))
        return 0;
    return message->hwnd->procedure(message->hwnd, message->message, message->wParam,
                                    message->lParam);
}

void PostQuitMessage(int exitCode) {
    g_quitPending = true;
    g_quitCode = exitCode;
    EndModalLoopsForQuit();
    WakeMainThread();
}

UINT RegisterWindowMessageA(const char* name) {
    // Registered messages live in 0xC000..0xFFFF; the same name gives the
    // same number for the life of the process.
    static std::unordered_map<std::string, UINT> registered;
    static std::mutex mutex;
    constexpr UINT FirstRegisteredMessage = 0xC000;
    constexpr UINT LastRegisteredMessage = 0xFFFF;
    if (!name)
        return 0;
    std::lock_guard lock(mutex);
    auto found = registered.find(name);
    if (found != registered.end())
        return found->second;
    const UINT next = FirstRegisteredMessage + static_cast<UINT>(registered.size());
    if (next > LastRegisteredMessage)
        return 0;
    registered.emplace(name, next);
    return next;
}
