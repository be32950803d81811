#pragma once
// Per-thread message queues: a thread gets its queue the first time it
// peeks or gets a message; any thread may post into it from then on.

#include "platform/win_types.h"

// Fails (FALSE, ERROR_INVALID_THREAD_ID) when the thread has no queue.
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// Looks at the calling thread's queue; with PM_REMOVE the message is taken.
// `filterMin`/`filterMax` of 0/0 take any message.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for a message: FALSE for WM_QUIT, TRUE otherwise.
BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax);

inline BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostThreadMessageA(threadId, message, wParam, lParam);
}
inline BOOL PeekMessage(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    return PeekMessageA(message, window, filterMin, filterMax, remove);
}
inline BOOL GetMessage(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    return GetMessageA(message, window, filterMin, filterMax);
}

// The main thread's messages come from the window layer's event loop, not
// from a thread queue; the window layer installs its pump here.
class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    virtual BOOL Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) = 0;
    virtual BOOL Get(MSG* message, HWND window, UINT filterMin, UINT filterMax) = 0;
};
void SetMainThreadMessagePump(IMessagePump* pump);
