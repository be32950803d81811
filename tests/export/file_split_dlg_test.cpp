// The split dialog driven through its own window: the pickers, OK with and
// without both paths, and what the message box then says.

#include <gtest/gtest.h>

#include <filesystem>

#include "export/file_split_dlg.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/message_box.h"
#include "platform/shell_dialogs.h"
#include "platform/ui_support_shell.h"
#include "tests/export/dialog_driver.h"
#include "tests/support/recording_fixture.h"
#include "tests/ui/ui_test_support.h"

using velor::fixtures::RecordingOptions;

namespace {

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
        GetString("label.file_split", &m_title, nullptr);
        StartRecordingShellOpens();
    }
    void TearDown() override {
        StopRecordingShellOpens();
        StopRecordingFilePickers();
        StopRecordingFolderPickers();
    }
    // The steps go to the split dialog only, never to a message box.
    INT_PTR Run(CFileSplitDlg& dialog, std::vector<TDialogDriver::TStep> steps) {
        m_driver.Drive(
            [this] {
                HWND window = FindDialog(m_title.c_str());
                return window && dynamic_cast<CFileSplitDlg*>(WindowObject(window)) ? window : nullptr;
            },
            std::move(steps));
        return dialog.DoModal(m_owner.hWnd);
    }

    TParentWindow m_owner;
    TDialogDriver m_driver;
    std::string m_title;
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
                         [&](HWND window) { stillOpen = IsWindowVisible(window); },
                         Press(IDCANCEL)});
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(stillOpen);
        EXPECT_TRUE(m_driver.AnsweredBoxes().empty());
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
                 [&](HWND window) { stillOpen = IsWindowVisible(window); },
                 Press(IDCANCEL)});
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.Source(), oneCamera.Path());
    EXPECT_EQ(dialog.Target(), target);
    EXPECT_EQ(m_driver.AnsweredBoxes(), (std::vector<TAnsweredBox>{{Wide("message.file_split_error"), L""}}));
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
    EXPECT_EQ(m_driver.AnsweredBoxes(),
              (std::vector<TAnsweredBox>{{Wide("message.file_split"), Utf8ToWide(target)}}));
    EXPECT_EQ(RecordedShellOpens(), std::vector<std::string>{target});
    EXPECT_TRUE(std::filesystem::exists(target + "/F_NOR_20260101_120000_F.avi"));
    EXPECT_TRUE(std::filesystem::exists(target + "/R_NOR_20260101_120000_F.avi"));
    // The picker starts where it was last left.
    ASSERT_EQ(RecordedFilePickers().size(), 1u);
    EXPECT_EQ(RecordedFilePickers()[0].initialFolder, oneCamera.Folder().Path());
}
