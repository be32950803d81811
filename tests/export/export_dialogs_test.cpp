// The export dialogs driven through their own windows: the capture result
// and its error, the progress dialog's timers and what closes it, and the
// split dialog's pickers, OK and the outcome it tells.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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
#include "tests/support/recording_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/message_box_dlg.h"

using velor::fixtures::RecordingOptions;

namespace {

constexpr const char kFolder[] = "/tmp/velor captures/Jpeg";
constexpr const char* kDialogClass = "#32770";
// Each answered message box: its text and the folder its Open button shows.
using TAnsweredBoxes = std::vector<std::pair<std::wstring, std::wstring>>;

// Acts on a modal dialog while its loop runs: each step runs on one tick of
// a driver window's timer, once the dialog is up. A skinned message box
// that comes up meanwhile is noted and answered instead: Open where it
// offers that, OK otherwise. The ticks only put the steps in order;
// nothing waits on them for a time.
class TDialogDriver {
public:
    using TFind = std::function<HWND()>;
    using TStep = std::function<void(HWND)>;

    TDialogDriver() {
        RegisterWindowClass(kDriverClass, Procedure);
        m_window = CreateWindowExA(0, kDriverClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TDialogDriver() { DestroyWindow(m_window); }
    TDialogDriver(const TDialogDriver&) = delete;
    TDialogDriver& operator=(const TDialogDriver&) = delete;

    // Starts ticking afresh; the modal call follows.
    void Drive(TFind find, std::vector<TStep> steps) {
        m_find = std::move(find);
        m_steps = std::move(steps);
        m_next = 0;
        m_boxes.clear();
        SetTimer(m_window, kTickTimer, kTickMs, nullptr);
    }
    // How many steps ran before the dialog went.
    std::size_t StepsRun() const { return m_next; }
    const TAnsweredBoxes& AnsweredBoxes() const { return m_boxes; }

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* driver = reinterpret_cast<TDialogDriver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message != WM_TIMER || wParam != kTickTimer || !driver)
            return DefWindowProcA(window, message, wParam, lParam);
        driver->Tick();
        return 0;
    }
    // Boxes keep being answered after the last step: one may follow it.
    void Tick() {
        if (AnswerBox() || m_next >= m_steps.size())
            return;
        if (HWND dialog = m_find())
            m_steps[m_next++](dialog);
    }
    // False when no skinned message box is up; it has no title in the forms
    // the export dialogs show.
    bool AnswerBox() {
        HWND window = FindWindowA(kDialogClass, "");
        const auto* box = window ? dynamic_cast<CMessageBoxDlg*>(WindowObject(window)) : nullptr;
        if (!box) {
            m_answered = nullptr;
            return false;
        }
        // A tick may come before the box has taken its answer.
        if (window == m_answered)
            return true;
        m_answered = window;
        m_boxes.emplace_back(box->Text(), box->Folder());
        PostMessageA(window, WM_COMMAND, box->OffersOpenFolder() ? IDOPEN : IDOK, 0);
        return true;
    }

    static constexpr const char* kDriverClass = "__ExportDialogDriver__";
    static constexpr UINT_PTR kTickTimer = 7;
    static constexpr UINT kTickMs = 5;
    HWND m_window = nullptr;
    TFind m_find;
    std::vector<TStep> m_steps;
    std::size_t m_next = 0;
    TAnsweredBoxes m_boxes;
    HWND m_answered = nullptr;
};

// The shown dialog titled `title`, or the first dialog at all.
HWND FindDialog(const char* title = nullptr) {
    HWND dialog = FindWindowA(kDialogClass, title);
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

std::string TitleOf(HWND window) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// A step that posts the command, so that whatever it starts (a split, a
// message box) runs from the dialog's own loop rather than inside the tick.
TDialogDriver::TStep Press(int id) {
    return [id](HWND dialog) { PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); };
}

HWND AnyDialog() {
    return FindDialog();
}
HWND FindProgress() {
    return FindWindowA(nullptr, kProgressDialogTitle);
}
CProgressDlg* ProgressOf(HWND dialog) {
    return dynamic_cast<CProgressDlg*>(WindowObject(dialog));
}

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
                return window && dynamic_cast<CFileSplitDlg*>(WindowObject(window)) ? window
                                                                                    : nullptr;
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
                           sawSuccess =
                               dynamic_cast<CCapturedDlg*>(WindowObject(dialog)) != nullptr;
                           EXPECT_EQ(TitleOf(dialog), "Capture complete");
                           EXPECT_EQ(TimerPeriod(dialog, CapturedCloseTimer), 5000u);
                           SendMessageA(dialog, WM_TIMER, CapturedCloseTimer, 0);
                       }});
        TCaptureResult result;
        result.outcome = c.outcome;
        ReportCapture(m_owner.hWnd, result, kFolder);
        EXPECT_EQ(sawSuccess, c.success);
        EXPECT_EQ(m_driver.StepsRun(), c.success ? 1u : 0u);
        const auto& boxes = m_driver.AnsweredBoxes();
        ASSERT_EQ(boxes.size(), c.error ? 1u : 0u);
        if (c.error) {
            EXPECT_EQ(boxes[0].first,
                      Utf8ToWide("The image could not be saved. Check the capture folder."));
        }
    }
    EXPECT_TRUE(RecordedShellOpens().empty());

    m_driver.Drive(AnyDialog, {[](HWND dialog) {
                       SendMessageA(dialog, WM_COMMAND, CapturedOpenButtonId, 0);
                   }});
    EXPECT_EQ(ShowCapturedDialog(m_owner.hWnd, kFolder), IDOPEN);
    EXPECT_EQ(RecordedShellOpens(), (std::vector<std::string>{kFolder}));
}

TEST_F(ProgressDialog, AnimatesAfterItOpensAndOnlyTheEndOfTheOpenClosesIt) {
    m_driver.Drive(FindProgress,
                   {
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
                           PostMessageA(FindWindowA(nullptr, kProgressDialogTitle),
                                        kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog, 0);
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

TEST_F(FileSplitDialog, OkDoesNothingWithAPathMissingAndTellsTheOutcomeOfASplit) {
    TFixtureRecording twoCameras(RecordingOptions{});
    RecordingOptions oneCameraOptions;
    oneCameraOptions.channels = 1;
    oneCameraOptions.seconds = 1;
    TFixtureRecording oneCamera(oneCameraOptions, "NOR_20260101_130000_F.avi");
    const std::string target = twoCameras.Folder().File("out");
    for (const auto& [source, folder] :
         {std::pair{std::string(), target}, std::pair{twoCameras.Path(), std::string()}}) {
        CFileSplitDlg empty(source, folder);
        bool stillOpen = false;
        const INT_PTR result =
            RunSplit(empty, {Press(IDOK), [&](HWND window) { stillOpen = IsWindowVisible(window); },
                             Press(IDCANCEL)});
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(stillOpen);
        EXPECT_TRUE(m_driver.AnsweredBoxes().empty());
        EXPECT_FALSE(std::filesystem::exists(target));
    }

    CFileSplitDlg dialog("", "/preset/from/preferences");

    // A one-camera recording: the failure is told and the dialog stays for another try.
    StartRecordingFilePickers(oneCamera.Path());
    StartRecordingFolderPickers(target);
    bool stillOpen = false;
    RunSplit(dialog, {Press(IDC_SPLIT_PICK_SOURCE), Press(IDC_SPLIT_PICK_TARGET), Press(IDOK),
                      [&](HWND window) { stillOpen = IsWindowVisible(window); }, Press(IDCANCEL)});
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.Source(), oneCamera.Path());
    EXPECT_EQ(dialog.Target(), target);
    EXPECT_EQ(m_driver.AnsweredBoxes(), (TAnsweredBoxes{{Wide("message.file_split_error"), L""}}));
    EXPECT_TRUE(std::filesystem::is_empty(target));

    ASSERT_EQ(RecordedFolderPickers().size(), 1u);
    EXPECT_EQ(RecordedFolderPickers()[0].initialFolder, "/preset/from/preferences");

    // The two-camera recording: split, told with the folder, and the dialog ends.
    StartRecordingFilePickers(twoCameras.Path());
    const INT_PTR result = RunSplit(dialog, {Press(IDC_SPLIT_PICK_SOURCE), Press(IDOK)});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_driver.AnsweredBoxes(),
              (TAnsweredBoxes{{Wide("message.file_split"), Utf8ToWide(target)}}));
    EXPECT_EQ(RecordedShellOpens(), std::vector<std::string>{target});
    EXPECT_TRUE(std::filesystem::exists(target + "/F_NOR_20260101_120000_F.avi"));
    EXPECT_TRUE(std::filesystem::exists(target + "/R_NOR_20260101_120000_F.avi"));
    // The picker starts where it was last left.
    ASSERT_EQ(RecordedFilePickers().size(), 1u);
    EXPECT_EQ(RecordedFilePickers()[0].initialFolder, oneCamera.Folder().Path());
}
