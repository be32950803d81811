// The progress dialog, driven through its own window: its timers, its
// animation, what closes it and what does not.

#include <gtest/gtest.h>

#include "engine/notify_sink.h"
#include "export/progress_dlg.h"
#include "language/string_table.h"
#include "platform/message_box.h"
#include "tests/export/dialog_driver.h"
#include "tests/ui/ui_test_support.h"

namespace {

constexpr COLORREF FillColour = RGB(54, 53, 51);
constexpr COLORREF EdgeColour = RGB(76, 80, 84);
constexpr int FrameSide = 40;

HWND FindProgress() { return FindWindowA(nullptr, kProgressDialogTitle); }

CProgressDlg* ProgressOf(HWND dialog) { return dynamic_cast<CProgressDlg*>(WindowObject(dialog)); }

class ProgressDialog : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        LoadStringTable("english");
    }
    void TearDown() override { ReleaseStringTable(); }

    TParentWindow m_owner;
    TDialogDriver m_driver;
};

TEST_F(ProgressDialog, AnimatesAfterItOpensAndOnlyTheEndOfTheOpenClosesIt) {
    m_driver.Drive(FindProgress, {
        [](HWND dialog) {
            ASSERT_NE(ProgressOf(dialog), nullptr);
            EXPECT_EQ(TimerPeriod(dialog, ProgressStartTimer), 10u);
            EXPECT_EQ(TimerPeriod(dialog, ProgressGiveUpTimer), 10000u);
            EXPECT_EQ(TimerPeriod(dialog, ProgressFrameTimer), 0u);
            const RECT& animation = ProgressOf(dialog)->AnimationRect();
            const int margin = (ProgressDialogHeight - FrameSide) / 2;
            EXPECT_EQ(animation.left, margin);
            EXPECT_EQ(animation.top, margin);
            EXPECT_EQ(animation.right - animation.left, FrameSide);
            Pump();
            EXPECT_TRUE(Near(PixelAt(dialog, 0, 0), EdgeColour));
            EXPECT_TRUE(Near(PixelAt(dialog, ProgressDialogWidth - 1, ProgressDialogHeight - 1), EdgeColour));
            EXPECT_TRUE(Near(PixelAt(dialog, ProgressDialogWidth - 3, 3), FillColour));

            SendMessageA(dialog, WM_TIMER, ProgressStartTimer, 0);
            EXPECT_EQ(TimerPeriod(dialog, ProgressStartTimer), 0u);
            EXPECT_EQ(TimerPeriod(dialog, ProgressFrameTimer), 300u);
            for (int expected : {1, 2, 0, 1}) {
                SendMessageA(dialog, WM_TIMER, ProgressFrameTimer, 0);
                EXPECT_EQ(ProgressOf(dialog)->FrameIndex(), expected);
            }
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
}

TEST_F(ProgressDialog, AModelessOneIsDestroyedWhenItCloses) {
    CProgressDlg progress(CProgressDlg::TRunMode::Modeless);
    HWND dialog = CreateProgressDialog(m_owner.hWnd, progress);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TitleOf(dialog), kProgressDialogTitle);
    PostMessageA(FindProgress(), kPlayerNotifyMessage, PlayerNotify::CloseProgressDialog, 0);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(progress.hWnd, nullptr);
}

} // namespace
