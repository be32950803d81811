#include "platform/shell_dialogs.h"

#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QString>
#include <QStringList>
#include <QTreeView>

#include <atomic>
#include <climits>
#include <cstring>
#include <mutex>

#include "platform/main_thread.h"
#include "platform/owned_dialog.h"
#include "platform/window_internal.h"

namespace {

template <class TCall> struct TPickerRecorder {
    std::mutex mutex;
    bool recording = false;
    std::string answer;
    std::vector<TCall> calls;

    // False when not recording; otherwise keeps the call and answers it.
    bool Record(TCall call, std::string* chosen) {
        std::lock_guard lock(mutex);
        if (!recording)
            return false;
        calls.push_back(std::move(call));
        *chosen = answer;
        return true;
    }
    void Start(const std::string& answerWith) {
        std::lock_guard lock(mutex);
        recording = true;
        answer = answerWith;
        calls.clear();
    }
    void Stop() {
        std::lock_guard lock(mutex);
        recording = false;
    }
    std::vector<TCall> Calls() {
        std::lock_guard lock(mutex);
        return calls;
    }
};

TPickerRecorder<TFolderPickerCall>& FolderRecorder() {
    static TPickerRecorder<TFolderPickerCall> recorder;
    return recorder;
}

TPickerRecorder<TFilePickerCall>& FileRecorder() {
    static TPickerRecorder<TFilePickerCall> recorder;
    return recorder;
}

TPickerRecorder<TSaveDialogCall>& SaveRecorder() {
    static TPickerRecorder<TSaveDialogCall> recorder;
    return recorder;
}
std::atomic<DWORD> g_recordedSaveFilter{1};

std::string TextOr(const char* text) {
    return text ? text : "";
}

// The description and pattern strings of Windows' double-NUL filter list.
std::vector<std::string> FilterPairs(const char* filter) {
    std::vector<std::string> parts;
    for (const char* part = filter; part && *part; part += std::strlen(part) + 1)
        parts.emplace_back(part);
    if (parts.size() % 2)
        parts.pop_back();
    return parts;
}

// Qt takes the patterns from the last parentheses of a filter and, with
// HideNameFilterDetails, shows the text before them: the description as
// Windows shows it, whatever it says itself.
QStringList QtFilters(const std::vector<std::string>& pairs) {
    QStringList filters;
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
        QStringList patterns = QString::fromUtf8(pairs[i + 1]).split(';', Qt::SkipEmptyParts);
        filters << QString::fromUtf8(pairs[i]) + " (" + patterns.join(' ') + ")";
    }
    return filters;
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

// Qt's first size cuts the dates of the detail view ("7 Dec 2...8:10:08");
// this one shows them whole and still fits inside the main window.
constexpr int kFileDialogWidth = 800;
constexpr int kFileDialogHeight = 480;

void GiveRoomForDates(QFileDialog* dialog) {
    dialog->resize(kFileDialogWidth, kFileDialogHeight);
    // The date column, the last, takes the width the others leave.
    if (auto* details = dialog->findChild<QTreeView*>())
        details->header()->setStretchLastSection(true);
}

std::string ShowOnMainThread(const BROWSEINFOA& info) {
    TCurrentDirectoryKeeper directory;
    const QString prompt = QString::fromUtf8(TextOr(info.lpszTitle));
    const QString caption = QString::fromUtf8(TextOr(info.caption));
    TOwnedDialog<QFileDialog> dialog(WidgetOfWindow(info.hwndOwner),
                                     caption.isEmpty() ? prompt : caption,
                                     QString::fromUtf8(TextOr(info.initialFolder)));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // With its own caption the window title is taken; the prompt then stands
    // beside the folder box, where the user reads what to pick.
    if (!caption.isEmpty() && !prompt.isEmpty())
        dialog->setLabelText(QFileDialog::LookIn, prompt);
    GiveRoomForDates(dialog.get());
    if (!dialog.RunAccepted() || dialog->selectedFiles().isEmpty())
        return std::string();
    return dialog->selectedFiles().first().toStdString();
}

std::string ShowFileDialogOnMainThread(const OPENFILENAMEA& info,
                                       const std::vector<std::string>& pairs) {
    TCurrentDirectoryKeeper directory;
    TOwnedDialog<QFileDialog> dialog(WidgetOfWindow(info.hwndOwner),
                                     QString::fromUtf8(TextOr(info.lpstrTitle)),
                                     QString::fromUtf8(TextOr(info.lpstrInitialDir)));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode((info.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                         : QFileDialog::AnyFile);
    const QStringList filters = QtFilters(pairs);
    if (!filters.isEmpty()) {
        dialog->setOption(QFileDialog::HideNameFilterDetails, true);
        dialog->setNameFilters(filters);
        const qsizetype index = info.nFilterIndex >= 1 ? info.nFilterIndex - 1 : 0;
        dialog->selectNameFilter(filters.value(index, filters.first()));
    }
    GiveRoomForDates(dialog.get());
    if (!dialog.RunAccepted() || dialog->selectedFiles().isEmpty())
        return std::string();
    return dialog->selectedFiles().first().toStdString();
}

// "*.gpx" of a filter "GPX track (*.gpx)": "gpx"; empty when the filter has
// no single extension.
QString SuffixOfFilter(const QString& filter) {
    const qsizetype open = filter.lastIndexOf("(*.");
    const qsizetype close = filter.indexOf(')', open);
    if (open < 0 || close < 0)
        return QString();
    const QString suffix = filter.mid(open + 3, close - open - 3);
    return suffix.contains(' ') || suffix.contains('*') ? QString() : suffix;
}

struct TSaveAnswer {
    std::string path;
    DWORD filterIndex = 1;
};

TSaveAnswer ShowSaveDialogOnMainThread(const OPENFILENAMEA& info,
                                       const std::vector<std::string>& pairs) {
    TCurrentDirectoryKeeper directory;
    TOwnedDialog<QFileDialog> dialog(WidgetOfWindow(info.hwndOwner),
                                     QString::fromUtf8(TextOr(info.lpstrTitle)),
                                     QString::fromUtf8(TextOr(info.lpstrInitialDir)));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, (info.Flags & OFN_OVERWRITEPROMPT) == 0);
    const QStringList filters = QtFilters(pairs);
    if (!filters.isEmpty()) {
        dialog->setOption(QFileDialog::HideNameFilterDetails, true);
        dialog->setNameFilters(filters);
        const qsizetype index = info.nFilterIndex >= 1 ? info.nFilterIndex - 1 : 0;
        const QString chosen = filters.value(index, filters.first());
        dialog->selectNameFilter(chosen);
        dialog->setDefaultSuffix(SuffixOfFilter(chosen));
        QFileDialog* chooser = dialog.get();
        QObject::connect(
            chooser, &QFileDialog::filterSelected, chooser,
            [chooser](const QString& f) { chooser->setDefaultSuffix(SuffixOfFilter(f)); });
    }
    dialog->selectFile(QString::fromUtf8(TextOr(info.lpstrFile)));
    GiveRoomForDates(dialog.get());
    if (!dialog.RunAccepted() || dialog->selectedFiles().isEmpty())
        return {};
    const qsizetype chosen = filters.indexOf(dialog->selectedNameFilter());
    return {dialog->selectedFiles().first().toStdString(),
            static_cast<DWORD>(chosen < 0 ? 1 : chosen + 1)};
}

} // namespace

bool SHBrowseForFolderA(const BROWSEINFOA* info, std::string* folder) {
    folder->clear();
    if (!info)
        return false;
    TFolderPickerCall call{info->hwndOwner, TextOr(info->lpszTitle), TextOr(info->caption),
                           TextOr(info->initialFolder), info->ulFlags};
    if (FolderRecorder().Record(std::move(call), folder))
        return !folder->empty();
    if (!QApplication::instance())
        return false;
    CallOnMainThread([&] { *folder = ShowOnMainThread(*info); });
    return !folder->empty();
}

void StartRecordingFolderPickers(const std::string& answer) {
    FolderRecorder().Start(answer);
}
void StopRecordingFolderPickers() {
    FolderRecorder().Stop();
}
std::vector<TFolderPickerCall> RecordedFolderPickers() {
    return FolderRecorder().Calls();
}

bool GetOpenFileNameA(const OPENFILENAMEA* info, std::string* file) {
    file->clear();
    if (!info)
        return false;
    const std::vector<std::string> pairs = FilterPairs(info->lpstrFilter);
    TFilePickerCall call{info->hwndOwner,    TextOr(info->lpstrTitle),      pairs,
                         info->nFilterIndex, TextOr(info->lpstrInitialDir), info->Flags};
    if (FileRecorder().Record(std::move(call), file))
        return !file->empty();
    if (!QApplication::instance())
        return false;
    CallOnMainThread([&] { *file = ShowFileDialogOnMainThread(*info, pairs); });
    return !file->empty();
}

void StartRecordingFilePickers(const std::string& answer) {
    FileRecorder().Start(answer);
}
void StopRecordingFilePickers() {
    FileRecorder().Stop();
}
std::vector<TFilePickerCall> RecordedFilePickers() {
    return FileRecorder().Calls();
}

bool GetSaveFileNameA(OPENFILENAMEA* info, std::string* file) {
    file->clear();
    if (!info)
        return false;
    const std::vector<std::string> pairs = FilterPairs(info->lpstrFilter);
    TSaveDialogCall call{{info->hwndOwner, TextOr(info->lpstrTitle), pairs, info->nFilterIndex,
                          TextOr(info->lpstrInitialDir), info->Flags},
                         TextOr(info->lpstrFile)};
    if (SaveRecorder().Record(std::move(call), file)) {
        info->nFilterIndex = g_recordedSaveFilter.load();
        return !file->empty();
    }
    if (!QApplication::instance())
        return false;
    TSaveAnswer answer;
    CallOnMainThread([&] { answer = ShowSaveDialogOnMainThread(*info, pairs); });
    *file = answer.path;
    if (!file->empty())
        info->nFilterIndex = answer.filterIndex;
    return !file->empty();
}

void StartRecordingSaveDialogs(const std::string& answer, DWORD filterIndex) {
    g_recordedSaveFilter = filterIndex;
    SaveRecorder().Start(answer);
}
void StopRecordingSaveDialogs() {
    SaveRecorder().Stop();
}
std::vector<TSaveDialogCall> RecordedSaveDialogs() {
    return SaveRecorder().Calls();
}
