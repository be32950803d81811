#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/shell_dialogs.h"
#include "tests/platform/window_test_support.h"

namespace {

constexpr int TemplateId = 140;

class WindowDialog : public ::testing::Test {
protected:
    void TearDown() override { PumpEvents(); }
    void SetUp() override {
        EnsureTestApplication();
        TDialogTemplate dialogTemplate;
        dialogTemplate.width = 120;
        dialogTemplate.height = 80;
        dialogTemplate.title = "Dialog";
        dialogTemplate.style = WS_POPUP;
        RegisterDialogTemplate(TemplateId, dialogTemplate);
    }
};

struct TDialogRun {
    LPARAM parameter = 0;
    BOOL ownerEnabledInside = TRUE;
    // Right after EndDialog, before its loop has ended.
    BOOL shownAfterEnd = TRUE;
    BOOL ownerEnabledAfterEnd = FALSE;
    HWND owner = nullptr;
    int key = 0;
    std::vector<WPARAM> commands;
};

TDialogRun* g_run = nullptr;

INT_PTR EndOnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        g_run->parameter = lParam;
        if (g_run->key)
            PostKey(dialog, g_run->key);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        g_run->commands.push_back(wParam);
        g_run->ownerEnabledInside = IsWindowEnabled(g_run->owner);
        EndDialog(dialog, static_cast<INT_PTR>(LOWORD(wParam)) + 10);
        g_run->shownAfterEnd = IsWindowVisible(dialog);
        g_run->ownerEnabledAfterEnd = IsWindowEnabled(g_run->owner);
        return TRUE;
    }
    return FALSE;
}

TEST_F(WindowDialog, EnterAndEscapeEndAModalDialogAsOkAndCancelAndUnknownTemplatesFail) {
    TProbe ownerProbe;
    HWND owner = MakeProbeWindow(&ownerProbe, WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    for (auto [key, command] : {std::pair{Qt::Key_Return, 1}, std::pair{Qt::Key_Escape, 2}}) {
        TDialogRun run;
        run.owner = owner;
        run.key = key;
        g_run = &run;
        const INT_PTR result =
            DialogBoxParamA(nullptr, MAKEINTRESOURCEA(TemplateId), owner, EndOnCommand, 1234);
        EXPECT_EQ(result, command + 10);
        EXPECT_EQ(run.parameter, 1234);
        EXPECT_FALSE(run.ownerEnabledInside);
        EXPECT_FALSE(run.shownAfterEnd);
        EXPECT_TRUE(run.ownerEnabledAfterEnd);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(run.commands, (std::vector<WPARAM>{static_cast<WPARAM>(command)}));
        EXPECT_EQ(FindWindowA(nullptr, "Dialog"), nullptr);
    }
    g_run = nullptr;
    DestroyWindow(owner);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, EndOnCommand, 0), -1);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
}

// The program ends on a termination signal while a file dialog is up over
// its main window: the owner goes first and takes the dialog with it.
TEST_F(WindowDialog, ASystemDialogWhoseOwnerGoesWhileItIsUpAnswersNothing) {
    TProbe ownerProbe;
    HWND owner = MakeProbeWindow(&ownerProbe, WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    bool destroyedUnderIt = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            return;
        poll.stop();
        destroyedUnderIt = DestroyWindow(owner) != FALSE;
    });
    poll.start(10);
    BROWSEINFOA info;
    info.hwndOwner = owner;
    info.lpszTitle = "Pick a folder.";
    std::string folder = "stale";
    EXPECT_FALSE(SHBrowseForFolderA(&info, &folder));
    EXPECT_TRUE(destroyedUnderIt);
    EXPECT_EQ(folder, "");
}

} // namespace
