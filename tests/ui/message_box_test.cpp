// The skinned message box's answers, driven through its own window.

#include <gtest/gtest.h>

#include <functional>

#include "platform/ui_support_shell.h"
#include "tests/ui/ui_test_support.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr UINT_PTR DriveTimer = 9;
constexpr UINT DriveDelayMs = 10;

void Command(HWND box, int id) {
    SendMessageA(box, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

class MessageBox : public ::testing::Test {
protected:
    void SetUp() override { StartRecordingShellOpens(); }
    void TearDown() override { StopRecordingShellOpens(); }
    // Runs the box and, once it is up, `act` on it from a timer of the owner.
    int Run(UINT style, const char* caption, std::function<void(HWND)> act) {
        m_owner.onTimer = [this, act] {
            HWND box = FindWindowA("#32770", nullptr);
            if (!box)
                return;
            KillTimer(m_owner.hWnd, DriveTimer);
            m_buttonIds.clear();
            for (int id : {IDOK, IDYES, IDNO, IDOPEN}) {
                if (GetDlgItem(box, id))
                    m_buttonIds.push_back(id);
            }
            act(box);
        };
        SetTimer(m_owner.hWnd, DriveTimer, DriveDelayMs, nullptr);
        return ShowMessageBox(m_owner.hWnd, "Delete this recording?", caption, style);
    }
    TParentWindow m_owner;
    std::vector<int> m_buttonIds;
};

// Enter in a yes/no box answers yes; escape and closing cancel in every
// form; open ends the box and opens only a folder it was given.
TEST_F(MessageBox, AnswersOfEveryForm) {
    EXPECT_EQ(Run(MB_YESNO, "Delete", [](HWND box) { Command(box, IDOK); }), IDYES);
    EXPECT_EQ(m_buttonIds, (std::vector<int>{IDYES, IDNO}));
    // Unknown commands are ignored.
    EXPECT_EQ(Run(MB_OK, nullptr,
                  [](HWND box) {
                      Command(box, 77);
                      Command(box, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(m_buttonIds, (std::vector<int>{IDOK}));
    for (UINT style : {MB_OK, MB_YESNO, MB_OK | MessageBoxOpenFolder}) {
        EXPECT_EQ(Run(style, "x", [](HWND box) { Command(box, IDCANCEL); }), IDCANCEL) << style;
        EXPECT_EQ(Run(style, "x", [](HWND box) { SendMessageA(box, WM_CLOSE, 0, 0); }), IDCANCEL)
            << style;
    }
    EXPECT_EQ(Run(MB_OK | MessageBoxOpenFolder, "", [](HWND box) { Command(box, IDOPEN); }),
              IDOPEN);
    EXPECT_EQ(m_buttonIds, (std::vector<int>{IDOK, IDOPEN}));
    EXPECT_TRUE(RecordedShellOpens().empty());
    EXPECT_EQ(
        Run(MB_OK | MessageBoxOpenFolder, "/tmp/clips", [](HWND box) { Command(box, IDOPEN); }),
        IDOPEN);
    EXPECT_EQ(RecordedShellOpens(), (std::vector<std::string>{"/tmp/clips"}));
}

} // namespace
