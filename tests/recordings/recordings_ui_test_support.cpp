#include "tests/recordings/recordings_ui_test_support.h"

#include "platform/application.h"
#include "platform/thread.h"
#include "recordings/gsensor_graph.h"

namespace {
constexpr const char* kOwnerClass = "__RecordingsTestOwner__";
} // namespace

// Never destroyed: windows deleted late must not outlive Qt's thread data.
TApplication* g_recordingsTestApplication = nullptr;

void EnsureRecordingsUiApplication() {
    static int argc = 1;
    static char name[] = "recordings_ui_test";
    static char* argv[] = {name, nullptr};
    if (!g_recordingsTestApplication)
        g_recordingsTestApplication = new TApplication(argc, argv);
    RegisterWindowClass(kOwnerClass, BoundWindowProcedure);
}

bool WaitFor(const std::function<bool()>& done, int rounds) {
    MSG message;
    for (int i = 0; i < rounds && !done(); ++i) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    return done();
}

TOwnerWindow::TOwnerWindow(int width, int height) {
    EnsureRecordingsUiApplication();
    SetClassName(kOwnerClass);
    CreateBoundWindow(this, WS_POPUP | WS_VISIBLE, RECT{0, 0, width, height}, nullptr);
}

TOwnerWindow::~TOwnerWindow() {
    if (hWnd && IsWindow(hWnd))
        DestroyWindow(hWnd);
}

LRESULT TOwnerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = message == WM_GSENSOR_SEEK;
    if (*handled)
        seeks.push_back(wParam);
    return 0;
}

TGpsRecord Fix(bool valid, double latitude, char northSouth, double longitude, char eastWest,
               double speedKnots) {
    TGpsRecord fix;
    fix.valid = valid ? 1 : 0;
    fix.latitude = latitude;
    fix.latitudeHemisphere = northSouth;
    fix.longitude = longitude;
    fix.longitudeHemisphere = eastWest;
    fix.speedKnots = speedKnots;
    return fix;
}
