#include "tools/velor-gallery/settings_dialogs.h"

#include <cstring>

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "platform/windows.h"
#include "settings/blackbox_setup_dlg.h"
#include "settings/camera_settings_model.h"
#include "settings/viewer_preferences.h"
#include "settings/viewer_setup_dlg.h"
#include "tools/velor-gallery/export_dialogs.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr const char* SwitcherClass = "__GalleryTabSwitcher__";
constexpr UINT_PTR SwitchTimer = 1;
constexpr UINT SwitchDelayMs = 300;
constexpr const char* SampleModel = "QRV-2CAM";
constexpr int SampleFirmware[] = {2, 0, 1};
constexpr int SampleShareUpper = 30;
constexpr int SampleShareMiddle = 20;
constexpr int SampleSensor = 60;

// Switches the shown camera dialog to its second tab once it is up.
LRESULT SwitcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != SwitchTimer)
        return DefWindowProcA(window, message, wParam, lParam);
    if (HWND dialog = FindWindowA("#32770", nullptr)) {
        KillTimer(window, SwitchTimer);
        PostMessageA(dialog, WM_COMMAND, CameraSecondTabCommand, 0);
    }
    return 0;
}

void SampleCard() {
    Preferences().modelName = SampleModel;
    CameraSettingsRecord& record = CameraSettings();
    record = CameraSettingsRecord();
    record.modelName = SampleModel;
    for (int i = 0; i < 3; ++i)
        record.firmware[static_cast<std::size_t>(i)] = SampleFirmware[i];
    ResetCameraSettings(SampleModel);
    record.memoryShareUpper = SampleShareUpper;
    record.memoryShareMiddle = SampleShareMiddle;
    record.SensorBrightness() = SampleSensor;
    record.SensorColour() = SampleSensor;
}

void ShowCamera() {
    CBlackboxSetupDlg dialog;
    dialog.DoModal(nullptr);
}

void ShowViewer() {
    CViewerSetupDlg dialog;
    dialog.DoModal(nullptr);
}

} // namespace

bool IsSettingsDialog(const char* which) {
    return std::strcmp(which, "camera") == 0 || std::strcmp(which, "viewer") == 0;
}

int ShowSettingsDialog(const char* which, const char* language, int tab,
                       const char* screenshotPath) {
    SetDefaultPreferences();
    Preferences().language = language;
    LoadStringTable(language);
    CreateLanguageFonts(language);
    BuildCameraSettingsModel();
    HDC screen = GetDC(nullptr);
    LoadSharedSkin(screen);
    ReleaseDC(nullptr, screen);
    const bool camera = std::strcmp(which, "camera") == 0;
    HWND switcher = nullptr;
    if (camera) {
        SampleCard();
        if (tab == 2) {
            RegisterWindowClass(SwitcherClass, SwitcherProcedure);
            switcher = CreateWindowExA(0, SwitcherClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
            SetTimer(switcher, SwitchTimer, SwitchDelayMs, nullptr);
        }
    }
    const int status = ShowDialogPage(camera ? ShowCamera : ShowViewer, screenshotPath);
    if (switcher)
        DestroyWindow(switcher);
    ReleaseCameraSettingsModel();
    ReleaseSharedSkin();
    ReleaseLanguageFonts(true);
    return status;
}
