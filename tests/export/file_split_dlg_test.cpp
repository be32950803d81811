// The split dialog driven through its own window: the pickers, OK with and
// without both paths, and what the message box then says.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "export/file_split_dlg.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/shell_dialogs.h"
#include "platform/ui_support_shell.h"
#include "tests/support/recording_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/message_box_dlg.h"

using velor::fixtures::RecordingOptions;

namespace {

constexpr UINT_PTR DriveTimer = 9;
constexpr UINT DriveDelayMs = 10;
// The skinned message box has no title in any of its forms here.
constexpr const char* BoxTitle = "";

using TAction = std::function<void(CFileSplitDlg& dialog, HWND window)>;

// Runs the actions one per tick on the split dialog, and answers any
// message box that comes up after noting its text: Open where it offers
// that, OK otherwise.
struct TDriver {
    std::vector<TAction> actions;
    std::size_t next = 0;
    std::vector<std::wstring> boxTexts;
    // The folders of the boxes with an Open button.
    std::vector<std::wstring> boxFolders;
    std::string dialogTitle;
};
TDriver g_driver;

void Drive() {
    HWND box = FindWindowA("#32770", BoxTitle);
    if (auto* shown = box ? dynamic_cast<CMessageBoxDlg*>(WindowObject(box)) : nullptr) {
        g_driver.boxTexts.push_back(shown->text);
        const bool offersOpen = shown->style & MessageBoxOpenFolder;
        if (offersOpen)
            g_driver.boxFolders.push_back(shown->caption);
        PostMessageA(box, WM_COMMAND, offersOpen ? IDOPEN : IDOK, 0);
        return;
    }
    HWND window = FindWindowA("#32770", g_driver.dialogTitle.c_str());
    auto* dialog = window ? dynamic_cast<CFileSplitDlg*>(WindowObject(window)) : nullptr;
    if (!dialog || g_driver.next >= g_driver.actions.size())
        return;
    g_driver.actions[g_driver.next++](*dialog, window);
}

LRESULT DriverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == DriveTimer) {
        Drive();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Posted, so that the split and its message box run from the dialog's own
// loop rather than inside this timer tick.
TAction Press(int id) {
    return [id](CFileSplitDlg&, HWND window) {
        PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0);
    };
}

std::wstring Wide(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return Utf8ToWide(text);
}

class FileSplitDialog : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        LoadStringTable("english");
        CreateLanguageFonts("english");
        WNDCLASSEXA windowClass;
        windowClass.lpfnWndProc = DriverProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "__SplitDialogDriver__";
        RegisterClassExA(&windowClass);
        m_driver = CreateWindowExA(0, "__SplitDialogDriver__", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        std::string title;
        GetString("label.file_split", &title, nullptr);
        g_driver = TDriver{};
        g_driver.dialogTitle = title;
        StartRecordingShellOpens();
    }
    void TearDown() override {
        StopRecordingShellOpens();
        StopRecordingFilePickers();
        StopRecordingFolderPickers();
        DestroyWindow(m_driver);
    }
    INT_PTR Run(CFileSplitDlg& dialog, std::vector<TAction> actions) {
        g_driver.actions = std::move(actions);
        g_driver.next = 0;
        g_driver.boxTexts.clear();
        g_driver.boxFolders.clear();
        SetTimer(m_driver, DriveTimer, DriveDelayMs, nullptr);
        const INT_PTR result = dialog.DoModal(m_owner.hWnd);
        KillTimer(m_driver, DriveTimer);
        return result;
    }

    TParentWindow m_owner;
    HWND m_driver = nullptr;
};

} // namespace

TEST_F(FileSplitDialog, OkWithAPathMissingDoesNothing) {
    TFixtureRecording recording(RecordingOptions{});
    const std::string target = recording.Folder().File("out");
    for (const auto& [source, folder] :
         {std::pair{std::string(), target}, std::pair{recording.Path(), std::string()}}) {
        CFileSplitDlg dialog(source, folder);
        bool stillOpen = false;
        const INT_PTR result =
            Run(dialog, {Press(IDOK),
                         [&](CFileSplitDlg&, HWND window) { stillOpen = IsWindowVisible(window); },
                         Press(IDCANCEL)});
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(stillOpen);
        EXPECT_TRUE(g_driver.boxTexts.empty());
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}

TEST_F(FileSplitDialog, PickedPathsAreSplitAndTheOutcomeIsToldEitherWay) {
    TFixtureRecording twoCameras(RecordingOptions{});
    RecordingOptions oneCameraOptions;
    oneCameraOptions.channels = 1;
    oneCameraOptions.seconds = 1;
    TFixtureRecording oneCamera(oneCameraOptions, "NOR_20260101_130000_F.avi");
    const std::string target = twoCameras.Folder().File("out");
    CFileSplitDlg dialog("", "/preset/from/preferences");

    // A one-camera recording: the failure is told and the dialog stays for another try.
    StartRecordingFilePickers(oneCamera.Path());
    StartRecordingFolderPickers(target);
    bool stillOpen = false;
    Run(dialog, {Press(IDC_SPLIT_PICK_SOURCE), Press(IDC_SPLIT_PICK_TARGET), Press(IDOK),
                 [&](CFileSplitDlg&, HWND window) { stillOpen = IsWindowVisible(window); },
                 Press(IDCANCEL)});
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.Source(), oneCamera.Path());
    EXPECT_EQ(dialog.Target(), target);
    EXPECT_EQ(g_driver.boxTexts, std::vector<std::wstring>{Wide("message.file_split_error")});
    EXPECT_TRUE(g_driver.boxFolders.empty());
    EXPECT_TRUE(std::filesystem::is_empty(target));

    const std::vector<TFilePickerCall> files = RecordedFilePickers();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].title, "Select video file");
    EXPECT_EQ(files[0].filter, (std::vector<std::string>{"video Files (*.avi)", "*.avi;"}));
    EXPECT_EQ(files[0].filterIndex, 1u);
    EXPECT_TRUE(files[0].flags & OFN_FILEMUSTEXIST);
    const std::vector<TFolderPickerCall> folders = RecordedFolderPickers();
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].prompt, "Select target folder");
    EXPECT_EQ(folders[0].initialFolder, "/preset/from/preferences");

    // The two-camera recording: split, told with the folder, and the dialog ends.
    StartRecordingFilePickers(twoCameras.Path());
    const INT_PTR result = Run(dialog, {Press(IDC_SPLIT_PICK_SOURCE), Press(IDOK)});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_driver.boxTexts, std::vector<std::wstring>{Wide("message.file_split")});
    EXPECT_EQ(g_driver.boxFolders, std::vector<std::wstring>{Utf8ToWide(target)});
    EXPECT_EQ(RecordedShellOpens(), std::vector<std::string>{target});
    EXPECT_TRUE(std::filesystem::exists(target + "/F_NOR_20260101_120000_F.avi"));
    EXPECT_TRUE(std::filesystem::exists(target + "/R_NOR_20260101_120000_F.avi"));
    // The picker starts where it was last left.
    ASSERT_EQ(RecordedFilePickers().size(), 1u);
    EXPECT_EQ(RecordedFilePickers()[0].initialFolder, oneCamera.Folder().Path());
}
