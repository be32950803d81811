#include "tests/app/app_test_support.h"

#include "platform/application.h"

void EnsureAppApplication() {
    static int argc = 1;
    static char name[] = "app_shell_test";
    static char* argv[] = {name, nullptr};
    static TApplication* application = new TApplication(argc, argv);
    (void)application;
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
