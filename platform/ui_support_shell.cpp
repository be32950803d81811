#include "platform/ui_support_shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstring>
#include <cwchar>

namespace {

constexpr std::uintptr_t ShellSucceeded = 33;
constexpr std::uintptr_t ShellFileNotFound = 2;
constexpr std::uintptr_t ShellPathNotFound = 3;

struct TShellRecording {
    bool recording = false;
    std::vector<std::string> opened;
};

TShellRecording& Recording() {
    static TShellRecording recording;
    return recording;
}

HINSTANCE__* ResultCode(std::uintptr_t code) {
    return reinterpret_cast<HINSTANCE__*>(code);
}

QString FromWide(const wchar_t* text) {
    return QString::fromWCharArray(text, static_cast<qsizetype>(std::wcslen(text)));
}

constexpr const char* kSelectPrefix = "/select,";
// A file manager that does not answer soon is taken as absent.
constexpr int kFileManagerTimeoutMs = 2000;

// Asks the desktop's file manager to show the file selected in its folder.
bool ShowItemInFileManager(const QString& file) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1",
                                                       "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{QUrl::fromLocalFile(file).toString()} << QString();
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, kFileManagerTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool OpenInFileManager(const QString& parameters) {
    if (!parameters.startsWith(kSelectPrefix))
        return QDesktopServices::openUrl(QUrl::fromLocalFile(parameters));
    QString file = parameters.mid(static_cast<qsizetype>(std::strlen(kSelectPrefix)));
    if (file.size() >= 2 && file.startsWith('"') && file.endsWith('"'))
        file = file.mid(1, file.size() - 2);
    if (ShowItemInFileManager(file))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
}

} // namespace

HINSTANCE__* ShellExecuteW(HWND, const wchar_t* verb, const wchar_t* file,
                           const wchar_t* parameters, const wchar_t*, int) {
    if (!verb || !file || std::wcscmp(verb, L"open") != 0 || std::wcscmp(file, L"explorer") != 0)
        return ResultCode(ShellFileNotFound);
    if (!parameters || !parameters[0])
        return ResultCode(ShellPathNotFound);
    const QString folder = FromWide(parameters);
    if (Recording().recording) {
        Recording().opened.push_back(folder.toStdString());
        return ResultCode(ShellSucceeded);
    }
    return ResultCode(OpenInFileManager(folder) ? ShellSucceeded : ShellPathNotFound);
}

void StartRecordingShellOpens() {
    Recording().recording = true;
    Recording().opened.clear();
}

void StopRecordingShellOpens() {
    Recording().recording = false;
}

std::vector<std::string> RecordedShellOpens() {
    return Recording().opened;
}
