#include "tools/velor-gallery/split_dialog_page.h"

#include "export/file_split_dlg.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/window_screenshot.h"
#include "platform/windows.h"

namespace {

constexpr UINT_PTR ScreenshotTimer = 1;
constexpr UINT ScreenshotDelayMs = 1200;
constexpr const char* SampleSource =
    "/media/card/DCIM/Normal/2026/01/01/a folder deep enough to be cut/NOR_20260101_120000_F.avi";
constexpr const char* SampleTarget = "/home/driver/.local/share/Velor/VELOR player/Video";

struct TPage {
    std::string screenshotPath;
    std::string dialogTitle;
    bool saved = false;
};
TPage g_page;

LRESULT TimerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != ScreenshotTimer)
        return DefWindowProcA(window, message, wParam, lParam);
    KillTimer(window, ScreenshotTimer);
    g_page.saved = SaveScreenImage(g_page.screenshotPath.c_str());
    if (HWND dialog = FindWindowA("#32770", g_page.dialogTitle.c_str()))
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

} // namespace

int RunSplitDialogPage(const std::string& language, const std::string& screenshotPath) {
    LoadStringTable(language);
    CreateLanguageFonts(language);
    GetString("label.file_split", &g_page.dialogTitle, nullptr);
    g_page.screenshotPath = screenshotPath;
    HWND timer = nullptr;
    if (!screenshotPath.empty()) {
        WNDCLASSEXA windowClass;
        windowClass.lpfnWndProc = TimerProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "__GallerySplitTimer__";
        RegisterClassExA(&windowClass);
        timer = CreateWindowExA(0, "__GallerySplitTimer__", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        SetTimer(timer, ScreenshotTimer, ScreenshotDelayMs, nullptr);
    }
    {
        CFileSplitDlg dialog(SampleSource, SampleTarget);
        dialog.DoModal(nullptr);
    }
    if (timer)
        DestroyWindow(timer);
    ReleaseLanguageFonts(true);
    return screenshotPath.empty() || g_page.saved ? 0 : 1;
}
