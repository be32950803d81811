// The skinned message box's answers, driven through its own window.

#include <gtest/gtest.h>

#include <functional>

#include "platform/ui_support_shell.h"
#include "tests/ui/ui_test_support.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr UINT_PTR DriveTimer = 9;
constexpr UINT DriveDelayMs = 10;

// Runs `act` on the box once it is up, from a timer of the parent.
std::function<void(HWND)> g_act;
std::vector<int> g_buttonIds;

void DriveBox(HWND window) {
    HWND box = FindWindowA("#32770", nullptr);
    if (!box)
        return;
    KillTimer(window, DriveTimer);
    g_buttonIds.clear();
    for (int id : {IDOK, IDYES, IDNO, IDOPEN}) {
        if (GetDlgItem(box, id))
            g_buttonIds.push_back(id);
    }
    g_act(box);
}

LRESULT DriverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == DriveTimer) {
        DriveBox(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        WNDCLASSEXA windowClass;
        windowClass.lpfnWndProc = DriverProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "__UiBoxDriver__";
        RegisterClassExA(&windowClass);
        m_driver = CreateWindowExA(0, "__UiBoxDriver__", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        StartRecordingShellOpens();
    }
    void TearDown() override {
        StopRecordingShellOpens();
        DestroyWindow(m_driver);
    }
    int Run(UINT style, const char* caption, std::function<void(HWND)> act) {
        g_act = std::move(act);
        SetTimer(m_driver, DriveTimer, DriveDelayMs, nullptr);
        return ShowMessageBox(m_owner.hWnd, "Delete this recording?", caption, style);
    }
    TParentWindow m_owner;
    HWND m_driver = nullptr;
};

void Command(HWND box, int id) { SendMessageA(box, WM_COMMAND, static_cast<WPARAM>(id), 0); }

TEST_F(MessageBox, EnterInAYesNoBoxAnswersYesAndInAnOkBoxOk) {
    EXPECT_EQ(Run(MB_YESNO, "Delete", [](HWND box) { Command(box, IDOK); }), IDYES);
    EXPECT_EQ(g_buttonIds, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(Run(MB_OK, "", [](HWND box) { Command(box, IDOK); }), IDOK);
    EXPECT_EQ(g_buttonIds, (std::vector<int>{IDOK}));
    EXPECT_EQ(Run(MB_YESNO, nullptr, [](HWND box) { Command(box, IDNO); }), IDNO);
}

TEST_F(MessageBox, EscapeAndClosingGiveCancelInEveryForm) {
    for (UINT style : {MB_OK, MB_YESNO, MB_OK | MessageBoxOpenFolder}) {
        EXPECT_EQ(Run(style, "x", [](HWND box) { Command(box, IDCANCEL); }), IDCANCEL) << style;
        EXPECT_EQ(Run(style, "x", [](HWND box) { SendMessageA(box, WM_CLOSE, 0, 0); }), IDCANCEL) << style;
    }
    EXPECT_TRUE(RecordedShellOpens().empty());
}

TEST_F(MessageBox, OpenWithAnEmptyFolderOnlyEndsTheBox) {
    EXPECT_EQ(Run(MB_OK | MessageBoxOpenFolder, "", [](HWND box) { Command(box, IDOPEN); }), IDOPEN);
    EXPECT_EQ(g_buttonIds, (std::vector<int>{IDOK, IDOPEN}));
    EXPECT_TRUE(RecordedShellOpens().empty());
    EXPECT_EQ(Run(MB_OK | MessageBoxOpenFolder, "/tmp/clips", [](HWND box) { Command(box, IDOPEN); }), IDOPEN);
    EXPECT_EQ(RecordedShellOpens(), (std::vector<std::string>{"/tmp/clips"}));
}

TEST_F(MessageBox, UnknownCommandsAreIgnored) {
    EXPECT_EQ(Run(MB_OK, "x", [](HWND box) {
                  Command(box, 77);
                  Command(box, IDYES);
              }),
              IDYES);
}

}  // namespace
