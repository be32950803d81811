#include "tests/app/app_test_support.h"

#include "platform/application.h"
#include "settings/viewer_preferences.h"
#include "ui/memory_dc_man.h"

// Never destroyed: windows deleted late must not outlive Qt's thread data
// at exit. A global the leak checker can see, not a local it may drop.
TApplication* g_appTestApplication = nullptr;

void EnsureAppApplication() {
    static int argc = 1;
    static char name[] = "app_shell_test";
    static char* argv[] = {name, nullptr};
    if (!g_appTestApplication)
        g_appTestApplication = new TApplication(argc, argv);
}

bool PumpMessages(int rounds) {
    bool quit = false;
    MSG message;
    for (int i = 0; i < rounds; ++i) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return quit;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void ExpectSameRect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

void TAppWindowTest::SetUp() {
    EnsureAppApplication();
    SetDefaultPreferences();
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(LoadSharedSkin(screen));
    ReleaseDC(nullptr, screen);
}
