#include "platform/date_time_picker.h"

#include <QDateTimeEdit>

#include <map>

#include "platform/gdi_objects.h"
#include "platform/ui_support_controls.h"
#include "platform/window_internal.h"

namespace {

// Each picker window's editor, a child widget covering it.
std::map<HWND, QDateTimeEdit*>& Editors() {
    static std::map<HWND, QDateTimeEdit*> editors;
    return editors;
}

QDateTimeEdit* EditorOf(HWND window) {
    auto found = Editors().find(window);
    return found == Editors().end() ? nullptr : found->second;
}

void MakeEditor(HWND window, const CREATESTRUCTA* create) {
    QWidget* host = WidgetOfWindow(window);
    if (!host)
        return;
    auto* editor = new QDateTimeEdit(QDateTime::currentDateTime(), host);
    const bool time = (create->style & DTS_TIMEFORMAT) == DTS_TIMEFORMAT;
    editor->setDisplayFormat(time ? QStringLiteral("HH:mm:ss") : QStringLiteral("yyyy-MM-dd"));
    editor->setCalendarPopup(!time);
    editor->setButtonSymbols((create->style & DTS_UPDOWN) ? QAbstractSpinBox::UpDownArrows
                                                          : QAbstractSpinBox::NoButtons);
    editor->setGeometry(0, 0, create->cx, create->cy);
    editor->show();
    Editors()[window] = editor;
}

LRESULT GetTime(QDateTimeEdit* editor, LPARAM lParam) {
    auto* time = reinterpret_cast<SYSTEMTIME*>(lParam);
    if (!editor || !time)
        return GDT_ERROR;
    const QDateTime value = editor->dateTime();
    time->wYear = static_cast<WORD>(value.date().year());
    time->wMonth = static_cast<WORD>(value.date().month());
    time->wDayOfWeek = static_cast<WORD>(value.date().dayOfWeek() % 7);
    time->wDay = static_cast<WORD>(value.date().day());
    time->wHour = static_cast<WORD>(value.time().hour());
    time->wMinute = static_cast<WORD>(value.time().minute());
    time->wSecond = static_cast<WORD>(value.time().second());
    time->wMilliseconds = 0;
    return GDT_VALID;
}

LRESULT SetTime(QDateTimeEdit* editor, LPARAM lParam) {
    const auto* time = reinterpret_cast<const SYSTEMTIME*>(lParam);
    if (!editor || !time)
        return FALSE;
    const QDate date(time->wYear, time->wMonth, time->wDay);
    const QTime clock(time->wHour, time->wMinute, time->wSecond);
    if (!date.isValid() || !clock.isValid())
        return FALSE;
    editor->setDateTime(QDateTime(date, clock));
    return TRUE;
}

LRESULT PickerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        MakeEditor(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    case WM_SIZE:
        if (QDateTimeEdit* editor = EditorOf(window))
            editor->resize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETFONT:
        if (QDateTimeEdit* editor = EditorOf(window); editor && wParam)
            editor->setFont(static_cast<GdiFont*>(reinterpret_cast<HFONT>(wParam))->font);
        return 0;
    case DTM_GETSYSTEMTIME:
        return GetTime(EditorOf(window), lParam);
    case DTM_SETSYSTEMTIME:
        return SetTime(EditorOf(window), lParam);
    case WM_NCDESTROY:
        // The editor goes with the window's widget.
        Editors().erase(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void RegisterDateTimePicker() {
    WNDCLASSEXA windowClass;
    windowClass.lpfnWndProc = PickerProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = DateTimePickClass;
    RegisterClassExA(&windowClass);
}
