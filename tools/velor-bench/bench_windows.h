#pragma once
// The windows a windowed run plays into: a main window with the front and
// rear video windows side by side, each of the size asked for.

#include "platform/win_types.h"

class TBenchWindows {
public:
    // Needs the application and GLFW set up (the caller does both).
    TBenchWindows(int videoWidth, int videoHeight);
    ~TBenchWindows();
    TBenchWindows(const TBenchWindows&) = delete;
    TBenchWindows& operator=(const TBenchWindows&) = delete;

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
