#include "tools/velor-gallery/export_dialogs.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/notify_sink.h"
#include "export/captured_dlg.h"
#include "export/progress_dlg.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "platform/window_screenshot.h"
#include "platform/windows.h"
#include "settings/viewer_preferences.h"

namespace {

constexpr UINT_PTR ShotTimer = 1;
constexpr UINT ShotDelayMs = 1200;
constexpr const char* ShooterClass = "__GalleryDialogShooter__";

struct TShot {
    std::string path;
    bool saved = false;
};

TShot g_shot;

HWND OpenDialog() {
    if (HWND progress = FindWindowA(nullptr, kProgressDialogTitle))
        return progress;
    return FindWindowA("#32770", nullptr);
}

LRESULT ShooterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != ShotTimer)
        return DefWindowProcA(window, message, wParam, lParam);
    KillTimer(window, ShotTimer);
    g_shot.saved = SaveScreenImage(g_shot.path.c_str());
    HWND dialog = OpenDialog();
    // The player's word closes the one, Escape the other.
    PostMessageA(dialog, kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog, 0);
    PostMessageA(dialog, WM_COMMAND, 2, 0);
    return 0;
}

HWND MakeShooter() {
    WNDCLASSEXA windowClass;
    windowClass.lpfnWndProc = ShooterProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ShooterClass;
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, ShooterClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

} // namespace

int ShowExportDialog(const char* which, const char* language, const char* screenshotPath) {
    SetDefaultPreferences();
    LoadStringTable(language);
    CreateLanguageFonts(language);
    HWND shooter = nullptr;
    if (screenshotPath) {
        g_shot.path = screenshotPath;
        shooter = MakeShooter();
        SetTimer(shooter, ShotTimer, ShotDelayMs, nullptr);
    }
    if (std::strcmp(which, "progress") == 0)
        ShowProgressDialog(nullptr);
    else if (std::strcmp(which, "captured") == 0)
        ShowCapturedDialog(nullptr, DefaultCapturePath());
    else
        std::fprintf(stderr, "velor-gallery: no dialog \"%s\" (captured, progress)\n", which);
    if (shooter)
        DestroyWindow(shooter);
    ReleaseLanguageFonts(true);
    if (!screenshotPath)
        return 0;
    if (!g_shot.saved)
        std::fprintf(stderr, "velor-gallery: could not save %s\n", screenshotPath);
    return g_shot.saved ? 0 : 1;
}
