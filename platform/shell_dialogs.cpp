#include "platform/shell_dialogs.h"

#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QString>

#include <climits>
#include <mutex>

#include "platform/main_thread.h"
#include "platform/window_internal.h"

namespace {

struct TPickerRecorder {
    std::mutex mutex;
    bool recording = false;
    std::string answer;
    std::vector<TFolderPickerCall> calls;
};

TPickerRecorder& TheRecorder() {
    static TPickerRecorder recorder;
    return recorder;
}

std::string TextOr(const char* text) { return text ? text : ""; }

bool Record(const BROWSEINFOA& info, std::string* folder) {
    TPickerRecorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    if (!recorder.recording)
        return false;
    recorder.calls.push_back({info.hwndOwner, TextOr(info.lpszTitle), TextOr(info.caption),
                              TextOr(info.initialFolder), info.ulFlags});
    *folder = recorder.answer;
    return true;
}

// The dialog may move the process's current directory (Windows' does); the
// program's relative paths must not notice.
class TCurrentDirectoryKeeper {
public:
    TCurrentDirectoryKeeper() : m_saved(::getcwd(m_path, sizeof m_path) != nullptr) {}
    ~TCurrentDirectoryKeeper() {
        if (m_saved && ::chdir(m_path) != 0)
            m_saved = false;
    }
    TCurrentDirectoryKeeper(const TCurrentDirectoryKeeper&) = delete;
    TCurrentDirectoryKeeper& operator=(const TCurrentDirectoryKeeper&) = delete;

private:
    char m_path[PATH_MAX] = {};
    bool m_saved;
};

std::string ShowOnMainThread(const BROWSEINFOA& info) {
    TCurrentDirectoryKeeper directory;
    const QString prompt = QString::fromUtf8(TextOr(info.lpszTitle));
    const QString caption = QString::fromUtf8(TextOr(info.caption));
    QFileDialog dialog(WidgetOfWindow(info.hwndOwner), caption.isEmpty() ? prompt : caption,
                       QString::fromUtf8(TextOr(info.initialFolder)));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // With its own caption the window title is taken; the prompt then stands
    // beside the folder box, where the user reads what to pick.
    if (!caption.isEmpty() && !prompt.isEmpty())
        dialog.setLabelText(QFileDialog::LookIn, prompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::string();
    return dialog.selectedFiles().first().toStdString();
}

} // namespace

bool SHBrowseForFolderA(const BROWSEINFOA* info, std::string* folder) {
    folder->clear();
    if (!info)
        return false;
    if (Record(*info, folder))
        return !folder->empty();
    if (!QApplication::instance())
        return false;
    CallOnMainThread([&] { *folder = ShowOnMainThread(*info); });
    return !folder->empty();
}

void StartRecordingFolderPickers(const std::string& answer) {
    TPickerRecorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    recorder.recording = true;
    recorder.answer = answer;
    recorder.calls.clear();
}

void StopRecordingFolderPickers() {
    TPickerRecorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    recorder.recording = false;
}

std::vector<TFolderPickerCall> RecordedFolderPickers() {
    TPickerRecorder& recorder = TheRecorder();
    std::lock_guard lock(recorder.mutex);
    return recorder.calls;
}
