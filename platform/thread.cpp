#include "platform/thread.h"

#include <pthread.h>

#include <atomic>
#include <ctime>
#include <string>

namespace {

// Linux keeps 15 characters of a thread's name.
constexpr std::size_t kLongestThreadName = 15;

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

} // namespace

DWORD GetCurrentThreadId() {
    if (t_threadId == 0)
        t_threadId = g_nextThreadId.fetch_add(1);
    return t_threadId;
}

void Sleep(DWORD milliseconds) {
    timespec delay{static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &delay, &delay) != 0) {
    }
}

DWORD GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

TThread::~TThread() {
    Join();
}

bool TThread::Start(std::function<void()> body, const char* name) {
    if (m_thread.joinable())
        return false;
    m_id = g_nextThreadId.fetch_add(1);
    m_finished = std::make_shared<TEvent>(true, false);
    std::string threadName = name ? std::string(name).substr(0, kLongestThreadName) : std::string();
    m_thread = std::thread([id = m_id, finished = m_finished, body = std::move(body), threadName] {
        t_threadId = id;
        if (!threadName.empty())
            pthread_setname_np(pthread_self(), threadName.c_str());
        body();
        finished->Set();
    });
    return true;
}

void TThread::Join() {
    if (!m_thread.joinable() || m_thread.get_id() == std::this_thread::get_id())
        return;
    m_finished->Wait(INFINITE);
    m_thread.join();
}
