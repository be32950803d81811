#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "platform/main_thread.h"
#include "platform/window_modal.h"

namespace {

struct Recorder {
    std::mutex mutex;
    bool recording = false;
    int answer = IDOK;
    std::vector<TMessageBoxCall> calls;
};

Recorder& TheRecorder() {
    static Recorder recorder;
    return recorder;
}

bool Record(const char* text, const char* caption, UINT type, int* answer) {
    Recorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    if (!recorder.recording)
        return false;
    recorder.calls.push_back({text ? text : "", caption ? caption : "", type});
    *answer = recorder.answer;
    return true;
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int Answer(QMessageBox::StandardButton button, UINT type) {
    switch (button) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return (type & 0x0F) == MB_YESNO ? IDNO : IDOK;
    }
}

int ShowOnMainThread(const QString& text, const QString& caption, UINT type) {
    // After a quit nobody is left to answer; the box would hold the
    // program open.
    if (QuitPosted())
        return Answer(QMessageBox::NoButton, type);
    QMessageBox box(IconOf(type), caption, text);
    switch (type & 0x0F) {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    if (type & MB_TOPMOST)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return Answer(static_cast<QMessageBox::StandardButton>(box.exec()), type);
}

// The texts of the workers' boxes queued or up: a worker that fails
// again and again (a GL error on every frame) gets one box, not a pile.
struct TWorkerBoxes {
    std::mutex mutex;
    std::set<std::string> pending;
};

TWorkerBoxes& WorkerBoxes() {
    static TWorkerBoxes boxes;
    return boxes;
}

void ShowForWorker(const char* text, const char* caption, UINT type) {
    std::string key = std::string(caption ? caption : "") + '\n' + (text ? text : "");
    {
        TWorkerBoxes& boxes = WorkerBoxes();
        std::lock_guard lock(boxes.mutex);
        if (!boxes.pending.insert(key).second)
            return;
    }
    PostToMainThread([body = QString::fromUtf8(text ? text : ""),
                      title = QString::fromUtf8(caption ? caption : ""), type,
                      key = std::move(key)] {
        ShowOnMainThread(body, title, type);
        TWorkerBoxes& boxes = WorkerBoxes();
        std::lock_guard lock(boxes.mutex);
        boxes.pending.erase(key);
    });
}

// Wakes the Qt event loop so that it runs the calls waiting for the main
// thread; the window layer may install the same waker.
void EnsureMainThreadWaker() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        SetMainThreadWaker([] {
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(
                    app, [] { ServiceMainThreadCalls(); }, Qt::QueuedConnection);
        });
    });
}

} // namespace

int MessageBoxA(HWND, const char* text, const char* caption, UINT type) {
    int answer = IDOK;
    if (Record(text, caption, type, &answer))
        return answer;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
        return (type & 0x0F) == MB_YESNO ? IDNO : IDOK;
    }
    EnsureMainThreadWaker();
    if ((type & 0x0F) == MB_OK && !IsMainThread()) {
        ShowForWorker(text, caption, type);
        return IDOK;
    }
    QString body = QString::fromUtf8(text ? text : "");
    QString title = QString::fromUtf8(caption ? caption : "");
    CallOnMainThread([&] { answer = ShowOnMainThread(body, title, type); });
    return answer;
}

void StartRecordingMessageBoxes(int answer) {
    Recorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    recorder.recording = true;
    recorder.answer = answer;
    recorder.calls.clear();
}

void StopRecordingMessageBoxes() {
    Recorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    recorder.recording = false;
}

std::vector<TMessageBoxCall> RecordedMessageBoxes() {
    Recorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    return recorder.calls;
}
