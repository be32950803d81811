// The camera and viewer settings dialogs driven through their windows: the
// reset with known and unknown models, cancel and save, the memory bar's
// rules, the date and time order, the viewer's choices, reset and language
// switch, and every text of both dialogs against its box in six languages.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "language/wide_text.h"
#include "platform/date_time_picker.h"
#include "platform/shell_dialogs.h"
#include "settings/blackbox_setup_dlg.h"
#include "settings/memory_adjust_ctrl.h"
#include "settings/setting_item_controls.h"
#include "settings/viewer_setup_dlg.h"
#include "tests/settings/settings_dialog_harness.h"

namespace {

constexpr const char* kLanguages[] = {
    "korean", "english", "japanese", "simplifiedChinese", "traditionalChinese", "thai"};

CBlackboxSetupDlg* CameraDialog(HWND dialog) {
    return dynamic_cast<CBlackboxSetupDlg*>(WindowObject(dialog));
}
CViewerSetupDlg* ViewerDialog(HWND dialog) {
    return dynamic_cast<CViewerSetupDlg*>(WindowObject(dialog));
}

// A drag of one memory handle from `from` to `to` percent, released.
void Drag(CMemoryAdjustCtrl& memory, int from, int to) {
    const int y = 18;
    SendMessageA(memory.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(memory.CentreOf(from), y));
    SendMessageA(memory.hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(memory.CentreOf(to), y));
    SendMessageA(memory.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(memory.CentreOf(to), y));
}

TModalSteps::TStep DragMemory(int from, int to) {
    return [from, to](HWND dialog) {
        CMemoryAdjustCtrl& memory = CameraDialog(dialog)->SystemPanel()->Memory();
        memory.SetConfirm([](HWND) { return true; });
        Drag(memory, from, to);
        return true;
    };
}

std::string WideToUtf8(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

} // namespace

TEST(MemoryAdjustCtrl, HandlesKeepTheirRulesAndAnUnconfirmedDragGoesBack) {
    TSettingsWorld world;
    TParentWindow parent(420, 60);
    CMemoryAdjustCtrl memory;
    ASSERT_TRUE(memory.Create(parent.hWnd, RECT{0, 0, 400, 36}, 1));
    bool keep = false;
    memory.SetConfirm([&keep](HWND) { return keep; });
    memory.SetMarkers({50, 70});
    const struct {
        int from;
        int to;
        bool keep;
        TMemoryMarkers after;
    } drags[] = {
        {70, 55, true, {50, 70}},  // onto the lower handle: closer than 10
        {70, 60, false, {50, 70}}, // taken back
        {70, 60, true, {50, 60}},  {50, 55, true, {50, 60}}, {50, 5, true, {50, 60}}, // below 10
        {50, 10, true, {10, 60}},  {60, 95, true, {10, 60}},                          // above 90
        {60, 90, true, {10, 90}},
    };
    for (const auto& drag : drags) {
        keep = drag.keep;
        Drag(memory, drag.from, drag.to);
        EXPECT_EQ(memory.Markers().lower, drag.after.lower) << drag.from << "->" << drag.to;
        EXPECT_EQ(memory.Markers().upper, drag.after.upper) << drag.from << "->" << drag.to;
    }
    EXPECT_TRUE(memory.Changed());
}

TEST(SettingItemControls, DateAndTimeAreStoredSecondFirst) {
    TSettingsWorld world;
    TParentWindow parent(500, 100);
    TSettingItemControls controls;
    TSettingsFonts fonts("english");
    TLabelBoxes labels;
    const int timeSetting = 23;
    controls.Create(parent.hWnd, {kEmptyItemSlot, timeSetting}, TItemRows{10, 10, 150, 300, 30, 24},
                    fonts, &labels);
    ASSERT_EQ(controls.RowCount(), 1u);
    SYSTEMTIME date;
    date.wYear = 2019;
    date.wMonth = 3;
    date.wDay = 4;
    SYSTEMTIME clock;
    clock.wYear = 2000;
    clock.wMonth = clock.wDay = 1;
    clock.wHour = 5;
    clock.wMinute = 6;
    clock.wSecond = 7;
    SendMessageA(controls.DatePicker(0), DTM_SETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    SendMessageA(controls.TimePicker(0), DTM_SETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&clock));
    controls.Store();
    EXPECT_EQ(CameraSettings().timeSetting, (std::array<std::int32_t, 6>{7, 6, 5, 4, 3, 2019}));
}

// Each run reads a card, works the dialog and checks the record it leaves,
// which the command writes back on save.
TEST(CameraSettingsDialog, ResetCancelSaveAndTheMemorySwitch) {
    using R = CameraSettingsRecord;
    struct TRun {
        const char* name;
        const char* model;
        std::vector<TModalSteps::TStep> steps;
        TCameraSettingsOutcome outcome;
        std::function<void(const R&)> check;
    };
    constexpr std::int32_t kUpper = TSettingsWorld::kCardShareUpper;
    constexpr std::int32_t kMiddle = TSettingsWorld::kCardShareMiddle;
    const TRun runs[] = {
        {"known model reset",
         "qrv-2cam",
         {Press(CameraResetCommand), Press(IDOK)},
         TCameraSettingsOutcome::Saved,
         [](const R& r) {
             EXPECT_EQ(std::vector<std::int32_t>({r.cutoff, r.language, r.timeZone, r.saveChannel,
                                                  r.SensorBrightness(), r.SensorColour(),
                                                  r.memoryShareUpper, r.memoryShareMiddle,
                                                  r.memorySwitch}),
                       std::vector<std::int32_t>({5, 2, 9, 1, 50, 50, 30, 20, 0}));
         }},
        {"unknown model reset",
         "NO-SUCH-CAM",
         {Press(CameraResetCommand), Press(IDOK)},
         TCameraSettingsOutcome::Saved,
         [](const R& r) {
             EXPECT_EQ(std::vector<std::int32_t>({r.cutoff, r.language, r.timeZone, r.saveChannel}),
                       std::vector<std::int32_t>({0, 0, 0, 0}));
         }},
        // Without the sensor and memory sections the card's values stay.
        {"unknown model save",
         "NO-SUCH-CAM",
         {Press(IDOK)},
         TCameraSettingsOutcome::Saved,
         [=](const R& r) {
             EXPECT_EQ(
                 std::vector<std::int32_t>({r.SensorBrightness(), r.SensorColour(),
                                            r.memoryShareUpper, r.memoryShareMiddle}),
                 std::vector<std::int32_t>({TSettingsWorld::kCardSensorBrightness,
                                            TSettingsWorld::kCardSensorColour, kUpper, kMiddle}));
         }},
        {"untouched memory",
         "ZX",
         {Press(IDOK)},
         TCameraSettingsOutcome::Saved,
         [=](const R& r) {
             EXPECT_EQ(r.memorySwitch, 0);
             EXPECT_EQ(r.memoryShareUpper, kUpper);
             EXPECT_EQ(r.memoryShareMiddle, kMiddle);
         }},
        {"confirmed drag",
         "ZX",
         {DragMemory(75, 85), Press(IDOK)},
         TCameraSettingsOutcome::Saved,
         [](const R& r) {
             EXPECT_EQ(r.memorySwitch, 1);
             EXPECT_EQ(r.memoryShareUpper, 15);
         }},
    };
    for (const TRun& run : runs) {
        SCOPED_TRACE(run.name);
        TSettingsWorld world;
        world.WriteCard(run.model);
        TModalSteps steps(run.steps);
        EXPECT_EQ(ShowCameraSettingsDialog(nullptr, world.Card()), run.outcome);
        EXPECT_TRUE(steps.AllRan());
        R onCard;
        std::swap(onCard, CameraSettings());
        ASSERT_TRUE(ReadCameraSettings(world.CardFile()));
        run.check(CameraSettings());
    }
}

// A cancel after reset, and a save to a card that became read-only, leave
// the card's file byte for byte as it was.
TEST(CameraSettingsDialog, CancelAfterResetAndARefusedWriteLeaveTheCardAlone) {
    TSettingsWorld world;
    const std::vector<std::uint8_t> original = world.WriteCard("QRV-2CAM");
    {
        TModalSteps steps({DragMemory(75, 60), Press(CameraResetCommand), Press(IDCANCEL)});
        EXPECT_EQ(ShowCameraSettingsDialog(nullptr, world.Card()),
                  TCameraSettingsOutcome::Cancelled);
    }
    ASSERT_TRUE(WriteCameraSettings(world.CardFile()));
    EXPECT_EQ(TSetupImage::ReadFrom(world.CardFile()), original);

    TModalSteps steps({Press(CameraResetCommand),
                       [&](HWND) {
                           chmod(world.CardFile().c_str(), 0444);
                           return true;
                       },
                       Press(IDOK)});
    EXPECT_EQ(ShowCameraSettingsDialog(nullptr, world.Card()), TCameraSettingsOutcome::NotWritten);
    EXPECT_EQ(TSetupImage::ReadFrom(world.CardFile()), original);
    ASSERT_EQ(steps.Boxes().size(), 1u);
    EXPECT_EQ(steps.Boxes()[0], world.CardFile() + " Can not open file.");

    std::filesystem::remove(world.CardFile());
    TModalSteps none({});
    EXPECT_EQ(ShowCameraSettingsDialog(nullptr, world.Card()), TCameraSettingsOutcome::Unreadable);
    EXPECT_FALSE(std::filesystem::exists(world.CardFile()));
}

TEST(ViewerSettingsDialog, StoredChoicesResetCancelAndSave) {
    ViewerPreferences edited;
    edited.capturePath = "/tmp/captures";
    edited.language = "english";
    edited.channels = 1;
    edited.loop = 2; // neither choice: shown as the second, saved as 0
    edited.alwaysTop = 1;
    edited.frontRotate = 17;
    edited.rearRotate = 16;
    edited.brightness = 10;
    edited.contrast = 20;
    edited.chroma = 30;
    edited.volume = 40;
    auto fields = [](const ViewerPreferences& p) {
        return std::make_tuple(p.capturePath, p.language, p.channels, p.loop, p.alwaysTop,
                               p.frontRotate, p.rearRotate, p.brightness, p.contrast, p.chroma,
                               p.volume);
    };
    struct TRun {
        const char* name;
        std::vector<TModalSteps::TStep> steps;
        std::function<ViewerPreferences()> expected;
        const char* folderAnswer = nullptr; // empty: the browser is cancelled
    };
    const TModalSteps::TStep pickFolder = [](HWND dialog) {
        SendMessageA(ViewerDialog(dialog)->Panel()->hWnd, WM_COMMAND, ViewerFolderCommand, 0);
        return true;
    };
    const TRun runs[] = {
        {"save as shown",
         {Press(IDOK)},
         [&] {
             ViewerPreferences p = edited;
             p.loop = 0;
             return p;
         }},
        {"reset then cancel", {Press(ViewerResetCommand), Press(IDCANCEL)}, [&] { return edited; }},
        {"reset then save",
         {Press(ViewerResetCommand), Press(IDOK)},
         [&] {
             ViewerPreferences p = edited;
             p.capturePath = DefaultCapturePath();
             p.channels = 2;
             p.loop = p.alwaysTop = p.frontRotate = p.rearRotate = 0;
             p.brightness = p.contrast = p.chroma = p.volume = 50;
             return p;
         }},
        {"clicks",
         {[](HWND dialog) {
              CViewerDefaultSettingPanel* panel = ViewerDialog(dialog)->Panel();
              for (POINT point :
                   {panel->ChoicePoint(GroupLoop, 0), panel->ChoicePoint(GroupDisplay, 1),
                    panel->RotatePoint(ChannelFront, 1), panel->RotatePoint(ChannelRear, 1)})
                  SendMessageA(panel->hWnd, WM_LBUTTONDOWN, MK_LBUTTON,
                               MAKELPARAM(point.x, point.y));
              return true;
          },
          Press(IDOK)},
         [&] {
             ViewerPreferences p = edited;
             p.loop = 1;
             p.channels = 2;
             p.frontRotate = 16;
             p.rearRotate = 17;
             return p;
         }},
        {"folder chosen",
         {pickFolder, Press(IDOK)},
         [&] {
             ViewerPreferences p = edited;
             p.loop = 0;
             p.capturePath = "/tmp/chosen";
             return p;
         },
         "/tmp/chosen"},
        {"folder browse cancelled", {pickFolder, Press(IDCANCEL)}, [&] { return edited; }, ""},
    };
    for (const TRun& run : runs) {
        SCOPED_TRACE(run.name);
        TSettingsWorld world;
        Preferences() = edited;
        if (run.folderAnswer)
            StartRecordingFolderPickers(run.folderAnswer);
        TModalSteps steps(run.steps);
        ShowViewerSettingsDialog(nullptr, TPlaybackState::Stopped);
        EXPECT_TRUE(steps.AllRan());
        EXPECT_EQ(fields(Preferences()), fields(run.expected()));
        if (!run.folderAnswer)
            continue;
        ASSERT_EQ(RecordedFolderPickers().size(), 1u);
        EXPECT_EQ(RecordedFolderPickers()[0].initialFolder, edited.capturePath);
        StopRecordingFolderPickers();
    }
}

TEST(ViewerSettingsDialog, ChoosingALanguageRelabelsAtOnceAndCancelPutsItBack) {
    const struct {
        int end;
        TViewerSettingsOutcome outcome;
        const char* languageAfter;
    } runs[] = {{IDCANCEL, TViewerSettingsOutcome::Cancelled, "english"},
                {IDOK, TViewerSettingsOutcome::Saved, "japanese"}};
    for (const auto& run : runs) {
        TSettingsWorld world;
        std::vector<StringEntry> languages;
        GetValueList("viewer_setting.language", &languages);
        int japanese = 0;
        while (japanese < static_cast<int>(languages.size()) &&
               languages[static_cast<std::size_t>(japanese)].value != "japanese")
            ++japanese;
        const std::wstring englishSave = TableTextW("button.save");
        std::wstring shownCancel;
        std::string shownTitle;
        TModalSteps steps({[&](HWND dialog) {
                               CViewerDefaultSettingPanel* panel = ViewerDialog(dialog)->Panel();
                               panel->LanguageCombo().Select(japanese);
                               SendMessageA(panel->hWnd, WM_COMBO_CHOICE,
                                            static_cast<WPARAM>(japanese),
                                            reinterpret_cast<LPARAM>(panel->LanguageCombo().hWnd));
                               return true;
                           },
                           [&](HWND dialog) {
                               char title[256] = {};
                               GetWindowTextA(dialog, title, sizeof title);
                               shownTitle = title;
                               for (const TLabelBox& label : ViewerDialog(dialog)->AllLabels()) {
                                   if (label.box.top > 500 && label.box.left > 300)
                                       shownCancel = label.text;
                               }
                               PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(run.end), 0);
                               return true;
                           }});
        const TViewerSettingsResult result =
            ShowViewerSettingsDialog(nullptr, TPlaybackState::Stopped);
        EXPECT_EQ(result.outcome, run.outcome);
        EXPECT_EQ(result.languageChanged, run.end == IDOK);
        EXPECT_EQ(shownTitle, "ビューア設定");
        EXPECT_EQ(shownCancel, Utf8ToWide("キャンセル"));
        EXPECT_EQ(Preferences().language, run.languageAfter);
        EXPECT_EQ(TableTextW("button.save") == englishSave, run.end == IDCANCEL);
    }
}

// Every caption, choice and button text of both dialogs (both tabs) in its
// box, in every language.
TEST(SettingsDialogs, EveryTextFitsItsBoxInEveryLanguage) {
    for (const char* language : kLanguages) {
        for (const char* which : {"camera", "viewer"}) {
            TSettingsWorld world(language);
            world.WriteCard("QRV-2CAM");
            std::size_t measured = 0;
            TModalSteps steps({[&](HWND dialog) {
                const TLabelBoxes labels = CameraDialog(dialog) ? CameraDialog(dialog)->AllLabels()
                                                                : ViewerDialog(dialog)->AllLabels();
                HDC dc = GetDC(dialog);
                for (const TLabelBox& label : labels) {
                    EXPECT_TRUE(LabelFits(dc, label))
                        << language << " " << which << ": " << WideToUtf8(label.text);
                    measured += label.text.empty() ? 0 : 1;
                }
                ReleaseDC(dialog, dc);
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return true;
            }});
            if (std::string(which) == "camera")
                ShowCameraSettingsDialog(nullptr, world.Card());
            else
                ShowViewerSettingsDialog(nullptr, TPlaybackState::Stopped);
            // Title, tabs, buttons, firmware, twelve items with their
            // choices, both sections; or the viewer's thirty-odd texts.
            EXPECT_GT(measured, 30u) << language << " " << which;
        }
    }
}
