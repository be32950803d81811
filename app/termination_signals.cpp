#include "app/termination_signals.h"

#include <atomic>
#include <csignal>

namespace {

// Lock-free, so the handler may touch it.
std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void NoteTermination(int) {
    g_requested.store(true, std::memory_order_relaxed);
}

} // namespace

void InstallTerminationHandlers() {
    struct sigaction action {};
    action.sa_handler = NoteTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool TerminationRequested() {
    return g_requested.load(std::memory_order_relaxed);
}

void ClearTerminationRequest() {
    g_requested.store(false, std::memory_order_relaxed);
}
