#include "tools/velor-gallery/export_dialogs.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/notify_sink.h"
#include "export/captured_dlg.h"
#include "export/file_split_dlg.h"
#include "export/progress_dlg.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "platform/message_box.h"
#include "platform/window_screenshot.h"
#include "platform/windows.h"
#include "settings/viewer_preferences.h"

namespace {

constexpr UINT_PTR ShotTimer = 1;
constexpr UINT ShotDelayMs = 1200;
constexpr const char* ShooterClass = "__GalleryDialogShooter__";
// Long enough to show how the split dialog cuts a path.
constexpr const char* SampleSource =
    "/media/card/DCIM/Normal/2026/01/01/a folder deep enough to be cut/NOR_20260101_120000_F.avi";
constexpr const char* SampleTarget = "/home/driver/.local/share/Velor/VELOR player/Video";

struct TShot {
    std::string path;
    bool saved = false;
};

TShot g_shot;

// The player's word closes the progress dialog, Escape the others.
void CloseShownDialog() {
    if (HWND progress = FindWindowA(nullptr, kProgressDialogTitle)) {
        PostMessageA(progress, kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog, 0);
        return;
    }
    PostMessageA(FindWindowA("#32770", nullptr), WM_COMMAND, IDCANCEL, 0);
}

LRESULT ShooterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != ShotTimer)
        return DefWindowProcA(window, message, wParam, lParam);
    KillTimer(window, ShotTimer);
    g_shot.saved = SaveScreenImage(g_shot.path.c_str());
    CloseShownDialog();
    return 0;
}

void ShowProgress() {
    ShowProgressDialog(nullptr);
}
void ShowCaptured() {
    ShowCapturedDialog(nullptr, DefaultCapturePath());
}
void ShowSplit() {
    CFileSplitDlg dialog(SampleSource, SampleTarget);
    dialog.DoModal(nullptr);
}

struct TExportDialog {
    const char* name;
    void (*show)();
};
constexpr TExportDialog Dialogs[] = {
    {"captured", ShowCaptured},
    {"progress", ShowProgress},
    {"split", ShowSplit},
};

const TExportDialog* FindExportDialog(const char* name) {
    for (const TExportDialog& dialog : Dialogs) {
        if (std::strcmp(dialog.name, name) == 0)
            return &dialog;
    }
    return nullptr;
}

HWND MakeShooter() {
    WNDCLASSEXA windowClass;
    windowClass.lpfnWndProc = ShooterProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ShooterClass;
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, ShooterClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

} // namespace

int ShowDialogPage(void (*show)(), const char* screenshotPath) {
    HWND shooter = nullptr;
    if (screenshotPath) {
        g_shot.path = screenshotPath;
        shooter = MakeShooter();
        SetTimer(shooter, ShotTimer, ShotDelayMs, nullptr);
    }
    show();
    if (shooter)
        DestroyWindow(shooter);
    if (!screenshotPath)
        return 0;
    if (!g_shot.saved)
        std::fprintf(stderr, "velor-gallery: could not save %s\n", screenshotPath);
    return g_shot.saved ? 0 : 1;
}

int ShowExportDialog(const char* which, const char* language, const char* screenshotPath) {
    const TExportDialog* dialog = FindExportDialog(which);
    if (!dialog) {
        std::fprintf(
            stderr, "velor-gallery: no dialog \"%s\" (captured, progress, split, camera, viewer)\n",
            which);
        return 1;
    }
    SetDefaultPreferences();
    LoadStringTable(language);
    CreateLanguageFonts(language);
    const int status = ShowDialogPage(dialog->show, screenshotPath);
    ReleaseLanguageFonts(true);
    return status;
}
