#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "platform/thread.h"

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
