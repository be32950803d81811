#pragma once
// Real windows for the engine's tests: the application they need, one
// window class with the test's procedure, and the main thread's messages
// run while a test waits.

#include "platform/application.h"
#include "platform/thread.h"
#include "platform/windows.h"

inline constexpr char kTestWindowClass[] = "__EngineTestWindow__";

// Makes the application (never destroyed: windows deleted late must not
// outlive Qt's thread data at exit) and registers the window class, once.
inline void EnsureTestWindows(WNDPROC procedure = DefWindowProcA) {
    static int argc = 1;
    static char name[] = "engine_test";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static TApplication* application = new TApplication(argc, argv);
    [[maybe_unused]] static bool registered = [procedure] {
        WNDCLASSEXA windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = kTestWindowClass;
        return RegisterClassExA(&windowClass) != 0;
    }();
}

inline HWND MakeTestWindow(DWORD style, int x, int y, int width, int height, HWND parent = nullptr,
                           const char* title = "") {
    return CreateWindowExA(0, kTestWindowClass, title, style, x, y, width, height, parent, nullptr,
                           nullptr, nullptr);
}

// Runs the main thread's messages until `done` holds (asked once a round)
// or `ms` pass.
template <typename Done> bool PumpUntil(Done done, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(2);
    }
    return true;
}

inline void Pump(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}
