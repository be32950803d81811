#include "platform/popup_menu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPoint>
#include <QString>

#include <mutex>

#include "platform/window.h"
#include "platform/window_constants.h"
#include "platform/window_internal.h"

// A menu is its item list until it is shown; QMenu exists only then.
struct HMENU__ {
    std::vector<TPopupMenuItem> items;
};

namespace {

struct TMenuRecorder {
    std::mutex mutex;
    bool recording = false;
    std::string answer;
    std::vector<TPopupMenuCall> calls;
};

TMenuRecorder& Recorder() {
    static TMenuRecorder recorder;
    return recorder;
}

// False when not recording; otherwise keeps the call and answers the item
// named by the recorder.
bool Record(const TPopupMenuCall& call, UINT_PTR* chosen) {
    TMenuRecorder& recorder = Recorder();
    std::lock_guard lock(recorder.mutex);
    if (!recorder.recording)
        return false;
    recorder.calls.push_back(call);
    *chosen = 0;
    for (const TPopupMenuItem& item : call.items) {
        if (!item.separator && !item.grayed && item.text == recorder.answer)
            *chosen = item.id;
    }
    return true;
}

UINT_PTR ShowMenu(const std::vector<TPopupMenuItem>& items, HWND owner, QPoint at) {
    QMenu menu(WidgetOfWindow(owner));
    for (const TPopupMenuItem& item : items) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromUtf8(item.text));
        action->setData(QVariant::fromValue<qulonglong>(item.id));
        action->setEnabled(!item.grayed);
    }
    const QAction* chosen = menu.exec(at);
    return chosen ? static_cast<UINT_PTR>(chosen->data().toULongLong()) : 0;
}

} // namespace

HMENU CreatePopupMenu() {
    return new HMENU__;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    if (!menu)
        return FALSE;
    TPopupMenuItem item;
    item.id = id;
    item.separator = (flags & MF_SEPARATOR) != 0;
    item.grayed = (flags & MF_GRAYED) != 0;
    item.text = text && !item.separator ? text : "";
    menu->items.push_back(std::move(item));
    return TRUE;
}

BOOL DestroyMenu(HMENU menu) {
    if (!menu)
        return FALSE;
    delete menu;
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (!menu)
        return FALSE;
    UINT_PTR chosen = 0;
    if (!Record({owner, POINT{x, y}, menu->items}, &chosen)) {
        if (!QApplication::instance())
            return FALSE;
        chosen = ShowMenu(menu->items, owner, QPoint(x, y));
    }
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen && owner)
        PostMessageA(owner, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
    return chosen ? TRUE : FALSE;
}

void StartRecordingPopupMenus(const std::string& answer) {
    TMenuRecorder& recorder = Recorder();
    std::lock_guard lock(recorder.mutex);
    recorder.recording = true;
    recorder.answer = answer;
    recorder.calls.clear();
}

void StopRecordingPopupMenus() {
    TMenuRecorder& recorder = Recorder();
    std::lock_guard lock(recorder.mutex);
    recorder.recording = false;
}

std::vector<TPopupMenuCall> RecordedPopupMenus() {
    TMenuRecorder& recorder = Recorder();
    std::lock_guard lock(recorder.mutex);
    return recorder.calls;
}
