// The export dialogs driven through their own windows: the capture result
// and its error, the progress dialog's timers and what closes it, and the
// split dialog's pickers, OK and the outcome it tells.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/notify_sink.h"
#include "export/captured_dlg.h"
#include "export/file_split_dlg.h"
#include "export/progress_dlg.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/message_box.h"
#include "platform/shell_dialogs.h"
#include "platform/ui_support_shell.h"
#include "tests/export/dialog_driver.h"
#include "tests/support/recording_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/message_box_dlg.h"

using velor::fixtures::RecordingOptions;

namespace {

constexpr const char kFolder[] = "/tmp/velor captures/Jpeg";

HWND AnyDialog() { return FindDialog(); }
HWND FindProgress() { return FindWindowA(nullptr, kProgressDialogTitle); }
CProgressDlg* ProgressOf(HWND dialog) { return dynamic_cast<CProgressDlg*>(WindowObject(dialog)); }

std::wstring Wide(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return Utf8ToWide(text);
}

class ExportDialog : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        LoadStringTable("english");
        CreateLanguageFonts("english");
        StartRecordingShellOpens();
    }
    void TearDown() override {
        StopRecordingShellOpens();
        StopRecordingFilePickers();
        StopRecordingFolderPickers();
        ReleaseStringTable();
    }
    // The steps go to the split dialog only, never to a message box.
    INT_PTR RunSplit(CFileSplitDlg& dialog, std::vector<TDialogDriver::TStep> steps) {
        std::string title;
        GetString("label.file_split", &title, nullptr);
        m_driver.Drive(
            [title] {
                HWND window = FindDialog(title.c_str());
                return window && dynamic_cast<CFileSplitDlg*>(WindowObject(window)) ? window : nullptr;
            },
            std::move(steps));
        return dialog.DoModal(m_owner.hWnd);
    }

    TParentWindow m_owner;
    TDialogDriver m_driver;
};

using CapturedDialog = ExportDialog;
using ProgressDialog = ExportDialog;
using FileSplitDialog = ExportDialog;

} // namespace

TEST_F(CapturedDialog, ClosesByItselfAfterFiveSecondsOpensTheFolderOrReportsTheFailure) {
    struct TCase {
        TCaptureOutcome outcome;
        bool success;
        bool error;
    };
    const TCase cases[] = {
        {TCaptureOutcome::Done, true, false},
        {TCaptureOutcome::Failed, false, true},
        {TCaptureOutcome::Cancelled, false, false},
    };
    for (const TCase& c : cases) {
        bool sawSuccess = false;
        m_driver.Drive(AnyDialog, {[&](HWND dialog) {
                           sawSuccess = dynamic_cast<CCapturedDlg*>(WindowObject(dialog)) != nullptr;
                           EXPECT_EQ(TitleOf(dialog), "Capture complete");
                           EXPECT_EQ(TimerPeriod(dialog, CapturedCloseTimer), 5000u);
                           SendMessageA(dialog, WM_TIMER, CapturedCloseTimer, 0);
                       }});
        TCaptureResult result;
        result.outcome = c.outcome;
        ReportCapture(m_owner.hWnd, result, kFolder);
        EXPECT_EQ(sawSuccess, c.success);
        EXPECT_EQ(m_driver.StepsRun(), c.success ? 1u : 0u);
        const std::vector<TAnsweredBox>& boxes = m_driver.AnsweredBoxes();
        ASSERT_EQ(boxes.size(), c.error ? 1u : 0u);
        if (c.error) {
            EXPECT_EQ(boxes[0].text, Utf8ToWide("The image could not be saved. Check the capture folder."));
        }
    }
    EXPECT_TRUE(RecordedShellOpens().empty());

    m_driver.Drive(AnyDialog, {[](HWND dialog) { SendMessageA(dialog, WM_COMMAND, CapturedOpenButtonId, 0); }});
    EXPECT_EQ(ShowCapturedDialog(m_owner.hWnd, kFolder), IDOPEN);
    EXPECT_EQ(RecordedShellOpens(), (std::vector<std::string>{kFolder}));
}

TEST_F(ProgressDialog, AnimatesAfterItOpensAndOnlyTheEndOfTheOpenClosesIt) {
    m_driver.Drive(FindProgress, {
        [](HWND dialog) {
            ASSERT_NE(ProgressOf(dialog), nullptr);
            EXPECT_EQ(TimerPeriod(dialog, ProgressStartTimer), 10u);
            EXPECT_EQ(TimerPeriod(dialog, ProgressGiveUpTimer), 10000u);
            EXPECT_EQ(TimerPeriod(dialog, ProgressFrameTimer), 0u);
            SendMessageA(dialog, WM_TIMER, ProgressStartTimer, 0);
            EXPECT_EQ(TimerPeriod(dialog, ProgressStartTimer), 0u);
            EXPECT_EQ(TimerPeriod(dialog, ProgressFrameTimer), 300u);
            // Enter, Escape, the close box and other news leave it open.
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            SendMessageA(dialog, WM_COMMAND, MAKELONG(IDOK, 1), 0);
            SendMessageA(dialog, kPlayerNotifyMessage, PlayerNotify::Opening, 0);
            SendMessageA(dialog, WM_COMMAND, MAKELONG(77, 0), 0);
        },
        [](HWND dialog) {
            // Still up after its loop ran; the player closes it by its title.
            EXPECT_TRUE(IsWindowVisible(dialog));
            PostMessageA(FindWindowA(nullptr, kProgressDialogTitle), kPlayerNotifyMessage,
                         PlayerNotify::CloseProgressDialog, 0);
        },
    });
    EXPECT_EQ(ShowProgressDialog(m_owner.hWnd), 1);
    EXPECT_EQ(m_driver.StepsRun(), 2u);
    EXPECT_EQ(FindProgress(), nullptr);
}

TEST_F(ProgressDialog, EndsWithOneOnGivingUpAndOnAnyCommandOfCodeOne) {
    const std::vector<std::pair<UINT, WPARAM>> closers = {
        {WM_TIMER, ProgressGiveUpTimer},
        {WM_COMMAND, MAKELONG(5, 1)},
        {kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog},
    };
    for (const auto& [message, wParam] : closers) {
        m_driver.Drive(FindProgress, {[message = message, wParam = wParam](HWND dialog) {
                           SendMessageA(dialog, WM_TIMER, ProgressStartTimer, 0);
                           SendMessageA(dialog, message, wParam, 0);
                           EXPECT_EQ(TimerPeriod(dialog, ProgressFrameTimer), 0u) << message;
                           EXPECT_EQ(TimerPeriod(dialog, ProgressGiveUpTimer), 0u) << message;
                       }});
        EXPECT_EQ(ShowProgressDialog(m_owner.hWnd), 1) << message;
        EXPECT_EQ(m_driver.StepsRun(), 1u);
    }

    // A modeless one is destroyed when it closes.
    CProgressDlg progress(CProgressDlg::TRunMode::Modeless);
    HWND dialog = CreateProgressDialog(m_owner.hWnd, progress);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(FindProgress(), kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog, 0);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(progress.hWnd, nullptr);
}

TEST_F(FileSplitDialog, OkWithAPathMissingDoesNothing) {
    TFixtureRecording recording(RecordingOptions{});
    const std::string target = recording.Folder().File("out");
    for (const auto& [source, folder] :
         {std::pair{std::string(), target}, std::pair{recording.Path(), std::string()}}) {
        CFileSplitDlg dialog(source, folder);
        bool stillOpen = false;
        const INT_PTR result =
            RunSplit(dialog, {Press(IDOK),
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
    RunSplit(dialog, {Press(IDC_SPLIT_PICK_SOURCE), Press(IDC_SPLIT_PICK_TARGET), Press(IDOK),
                 [&](HWND window) { stillOpen = IsWindowVisible(window); },
                 Press(IDCANCEL)});
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.Source(), oneCamera.Path());
    EXPECT_EQ(dialog.Target(), target);
    EXPECT_EQ(m_driver.AnsweredBoxes(), (std::vector<TAnsweredBox>{{Wide("message.file_split_error"), L""}}));
    EXPECT_TRUE(std::filesystem::is_empty(target));

    ASSERT_EQ(RecordedFolderPickers().size(), 1u);
    EXPECT_EQ(RecordedFolderPickers()[0].initialFolder, "/preset/from/preferences");

    // The two-camera recording: split, told with the folder, and the dialog ends.
    StartRecordingFilePickers(twoCameras.Path());
    const INT_PTR result = RunSplit(dialog, {Press(IDC_SPLIT_PICK_SOURCE), Press(IDOK)});
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
