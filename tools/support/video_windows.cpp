#include "tools/support/video_windows.h"

#include "platform/window.h"
#include "platform/windows.h"

namespace {

constexpr const char kWindowClass[] = "__VelorToolWindow__";

bool RegisterToolClass() {
    static const bool registered = [] {
        WNDCLASSEXA windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = kWindowClass;
        windowClass.style = 0;
        return RegisterClassExA(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

TVideoWindows::TVideoWindows(const char* title, int videoWidth, int videoHeight) {
    if (!RegisterToolClass())
        return;
    m_main = CreateWindowExA(0, kWindowClass, title, WS_POPUP | WS_VISIBLE, 0, 0, videoWidth * 2,
                             videoHeight, nullptr, nullptr, nullptr, nullptr);
    if (!m_main)
        return;
    m_front = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, 0, 0, videoWidth,
                              videoHeight, m_main, nullptr, nullptr, nullptr);
    m_rear = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, videoWidth, 0, videoWidth,
                             videoHeight, m_main, nullptr, nullptr, nullptr);
}

TVideoWindows::~TVideoWindows() {
    if (m_main)
        DestroyWindow(m_main);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}
