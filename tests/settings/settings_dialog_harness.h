#pragma once
// Shared by the settings dialog tests: steps run on a modal dialog while its
// loop runs, answering any skinned message box that comes up, and a card
// whose setup.cfg the program's own writer made.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "language/string_table.h"
#include "settings/camera_settings.h"
#include "settings/camera_settings_model.h"
#include "settings/viewer_preferences.h"
#include "tests/settings/setup_image.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/memory_dc_man.h"
#include "ui/message_box_dlg.h"

// Each step runs on a tick of a driver window's timer once a dialog is
// shown; a step that answers false is tried again on the
// next tick. The ticks only order the steps; nothing waits on them for a
// time. Message boxes are answered OK and their texts kept.
class TModalSteps {
public:
    using TStep = std::function<bool(HWND dialog)>;

    explicit TModalSteps(std::vector<TStep> steps) : m_steps(std::move(steps)) {
        RegisterWindowClass(kClass, Procedure);
        m_window = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                   nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(m_window, kTimer, kTickMs, nullptr);
    }
    ~TModalSteps() { DestroyWindow(m_window); }
    TModalSteps(const TModalSteps&) = delete;
    TModalSteps& operator=(const TModalSteps&) = delete;

    bool AllRan() const { return m_next == m_steps.size(); }
    const std::vector<std::string>& Boxes() const { return m_boxes; }

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TModalSteps*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message != WM_TIMER || !self)
            return DefWindowProcA(window, message, wParam, lParam);
        self->Tick();
        return 0;
    }
    void Tick() {
        HWND box = FindWindowA("#32770", "");
        if (auto* dialog = box ? dynamic_cast<CMessageBoxDlg*>(WindowObject(box)) : nullptr) {
            if (box != m_answered) {
                m_answered = box;
                m_boxes.push_back(WideToNarrow(dialog->Text()));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            return;
        }
        HWND dialog = FindWindowA("#32770", nullptr);
        if (m_next < m_steps.size() && dialog && IsWindowVisible(dialog) && m_steps[m_next](dialog))
            ++m_next;
    }
    static std::string WideToNarrow(const std::wstring& text) {
        std::string narrow;
        for (wchar_t c : text)
            narrow += c < 0x80 ? static_cast<char>(c) : '?';
        return narrow;
    }

    static constexpr const char* kClass = "__SettingsDialogSteps__";
    static constexpr UINT_PTR kTimer = 9;
    static constexpr UINT kTickMs = 5;
    std::vector<TStep> m_steps;
    std::size_t m_next = 0;
    HWND m_window = nullptr;
    HWND m_answered = nullptr;
    std::vector<std::string> m_boxes;
};

inline TModalSteps::TStep Press(int id) {
    return [id](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
        return true;
    };
}

// The texts and skin of `language`, the model tables built from them, and
// preferences kept in a folder of the test's own.
class TSettingsWorld {
public:
    explicit TSettingsWorld(const std::string& language = "english") {
        EnsureUiApplication();
        Preferences() = ViewerPreferences();
        SetDefaultPreferences();
        Use(language);
        HDC screen = GetDC(nullptr);
        LoadSharedSkin(screen);
        ReleaseDC(nullptr, screen);
    }
    ~TSettingsWorld() {
        ReleaseSharedSkin();
        ReleaseCameraSettingsModel();
        ReleaseStringTable();
        Preferences() = ViewerPreferences();
        CameraSettings() = CameraSettingsRecord();
    }
    void Use(const std::string& language) {
        Preferences().language = language;
        LoadStringTable(language);
        ReleaseCameraSettingsModel();
        BuildCameraSettingsModel();
    }
    // setup.cfg of `model` as the program writes it: the camera's defaults
    // over a patterned file, with memory shares and sensor values of its own.
    std::vector<std::uint8_t> WriteCard(const std::string& model) {
        TSetupImage(model).WriteTo(CardFile());
        EXPECT_TRUE(ReadCameraSettings(CardFile()));
        ResetCameraSettings(model);
        CameraSettingsRecord& record = CameraSettings();
        record.memoryShareUpper = kCardShareUpper;
        record.memoryShareMiddle = kCardShareMiddle;
        record.memorySwitch = 0;
        record.SensorBrightness() = kCardSensorBrightness;
        record.SensorColour() = kCardSensorColour;
        EXPECT_TRUE(WriteCameraSettings(CardFile()));
        return TSetupImage::ReadFrom(CardFile());
    }
    std::string CardFile() const { return SetupFilePath(m_card.Path()); }
    const std::string& Card() const { return m_card.Path(); }

    static constexpr std::int32_t kCardShareUpper = 25;
    static constexpr std::int32_t kCardShareMiddle = 15;
    static constexpr std::int32_t kCardSensorBrightness = 70;
    static constexpr std::int32_t kCardSensorColour = 30;

private:
    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.File("config")};
    TScopedEnv m_data{"XDG_DATA_HOME", m_home.File("data")};
    TTempFolder m_card;
};
