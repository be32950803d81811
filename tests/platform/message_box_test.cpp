#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/message_box.h"
#include "platform/thread.h"
#include "platform/window.h"

TEST(MessageBox, WithoutUserInterfaceTheTextGoesToStandardError) {
    testing::internal::CaptureStderr();
    int answer = MessageBoxA(nullptr, "glfw failed to init", "Error", MB_OK);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(printed, "Error: glfw failed to init\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Delete?", "VELOR player", MB_YESNO), IDNO);
    testing::internal::GetCapturedStderr();
}

TEST(MessageBox, WorkerBoxRunsOnTheMainThreadAndReturnsTheButton) {
    int argc = 1;
    char name[] = "platform_core_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    std::string caption;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        caption = box->windowTitle().toStdString();
        box->button(QMessageBox::No)->click();
    });
    answerer.start(10);
    int answer = 0;
    TThread worker;
    worker.Start([&] {
        answer = MessageBoxA(nullptr, "Delete this recording?", "VELOR player", MB_YESNO);
        QMetaObject::invokeMethod(
            &app, [] { QApplication::quit(); }, Qt::QueuedConnection);
    });
    app.exec();
    worker.Join();
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(caption, "VELOR player");
}

// A worker that reports a failure goes on at once, so the main thread can
// end it while the box is up (the player's open failure, then the program's
// shutdown); the same failure again and again makes one box; a quit closes
// the box instead of leaving the program waiting for a click.
TEST(MessageBox, WorkerReportsDoNotWaitRepeatsShowOnceAndAQuitClosesThem) {
    int argc = 1;
    char name[] = "platform_core_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    // The box is the only window here; its closing must not end the test.
    app.setQuitOnLastWindowClosed(false);
    std::vector<int> answers;
    std::atomic<bool> reported{false};
    TThread worker;
    worker.Start([&] {
        for (int i = 0; i < 3; ++i)
            answers.push_back(MessageBoxA(nullptr, "failed to open input", "Error", MB_OK));
        reported = true;
    });
    // The main thread runs no event loop meanwhile: a box the worker waited
    // for could never come up.
    for (int waited = 0; !reported && waited < 5000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(reported) << "the worker waited for its box";
    worker.Join();
    EXPECT_EQ(answers, (std::vector<int>{IDOK, IDOK, IDOK}));

    int boxesShown = 0;
    bool closedByQuit = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        int up = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(widget) && widget->isVisible())
                ++up;
        }
        if (up > 0 && boxesShown == 0) {
            boxesShown = up;
            PostQuitMessage(0);
            return;
        }
        if (up == 0 && boxesShown > 0) {
            closedByQuit = true;
            QApplication::quit();
        }
    });
    watcher.start(20);
    QTimer::singleShot(5000, [] { QApplication::quit(); });
    app.exec();
    EXPECT_EQ(boxesShown, 1);
    EXPECT_TRUE(closedByQuit);
}
