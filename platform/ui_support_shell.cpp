#include "platform/ui_support_shell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

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
    return ResultCode(QDesktopServices::openUrl(QUrl::fromLocalFile(folder)) ? ShellSucceeded
                                                                             : ShellPathNotFound);
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
