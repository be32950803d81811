#pragma once
// The windows a tool plays into: a main window with the front and rear
// video windows side by side, each of the size asked for.

#include "platform/thread.h"
#include "platform/win_types.h"

class TVideoWindows {
public:
    // Needs the application and GLFW set up (the caller does both).
    TVideoWindows(const char* title, int videoWidth, int videoHeight);
    ~TVideoWindows();
    TVideoWindows(const TVideoWindows&) = delete;
    TVideoWindows& operator=(const TVideoWindows&) = delete;

    bool Created() const { return m_main && m_front && m_rear; }
    HWND Main() const { return m_main; }
    HWND Front() const { return m_front; }
    HWND Rear() const { return m_rear; }

private:
    HWND m_main = nullptr;
    HWND m_front = nullptr;
    HWND m_rear = nullptr;
};

// Runs the main thread's messages once, without waiting.
void PumpMessages();

// Runs the main thread's messages until `done` or the time is up; false on
// the time.
template <typename Done> bool PumpUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpMessages();
        Sleep(2);
    }
    return true;
}
