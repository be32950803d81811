// The capture result: the dialog that says where the pictures went, and the
// error that replaces it when they could not be saved.

#include <gtest/gtest.h>

#include <cstdlib>

#include "export/captured_dlg.h"
#include "language/string_keys.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/ui_support_shell.h"
#include "tests/export/dialog_driver.h"
#include "tests/ui/ui_test_support.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr const char kFolder[] = "/tmp/velor captures/Jpeg";

HWND AnyDialog() { return FindDialog(); }

class CapturedDialog : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        LoadStringTable("english");
        StartRecordingShellOpens();
    }
    void TearDown() override {
        StopRecordingShellOpens();
        ReleaseStringTable();
    }

    TParentWindow m_owner;
    TDialogDriver m_driver;
};

TEST_F(CapturedDialog, ClosesByItselfAfterFiveSecondsOrOpensTheFolder) {
    m_driver.Drive(AnyDialog, {[](HWND dialog) {
                       EXPECT_EQ(TitleOf(dialog), "Capture complete");
                       EXPECT_EQ(TimerPeriod(dialog, CapturedCloseTimer), 5000u);
                       HWND open = GetDlgItem(dialog, CapturedOpenButtonId);
                       ASSERT_NE(open, nullptr);
                       RECT button;
                       GetWindowRect(open, &button);
                       RECT frame;
                       GetWindowRect(dialog, &frame);
                       EXPECT_EQ(button.right - button.left, 93);
                       EXPECT_EQ(frame.bottom - button.top, 40);
                       EXPECT_LE(std::abs((button.left - frame.left) - (frame.right - button.right)), 1);
                       SendMessageA(dialog, WM_TIMER, CapturedCloseTimer, 0);
                   }});
    EXPECT_EQ(ShowCapturedDialog(m_owner.hWnd, kFolder), IDOK);
    EXPECT_TRUE(RecordedShellOpens().empty());

    m_driver.Drive(AnyDialog, {[](HWND dialog) { SendMessageA(dialog, WM_COMMAND, CapturedOpenButtonId, 0); }});
    EXPECT_EQ(ShowCapturedDialog(m_owner.hWnd, kFolder), IDOPEN);
    EXPECT_EQ(RecordedShellOpens(), (std::vector<std::string>{kFolder}));
}

TEST_F(CapturedDialog, AFailedCaptureIsReportedInsteadOfTheSuccess) {
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
                           SendMessageA(dialog, WM_COMMAND, IDOK, 0);
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
}

TEST_F(CapturedDialog, EveryLanguageHasTheTextsItShows) {
    for (const char* language : string_keys::kLanguages) {
        ASSERT_TRUE(LoadStringTable(language));
        for (const char* key : {kImageSaveErrorKey, "message.image_save_complete", "message.image_save_success",
                                "message.image_save_path", "message.load_video", "button.open"}) {
            std::string text;
            EXPECT_TRUE(GetString(key, &text, nullptr)) << language << " " << key;
            EXPECT_FALSE(text.empty()) << language << " " << key;
        }
    }
}

} // namespace
