#include "platform/dialog.h"

#include <QGuiApplication>
#include <QScreen>

#include <map>

#include "platform/last_error.h"
#include "platform/window_internal.h"
#include "platform/window_modal.h"

namespace {

constexpr const char* DialogClassName = "#32770";
constexpr std::uintptr_t LargestResourceId = 0xFFFF;
constexpr INT_PTR DialogFailed = -1;

struct TDialogState {
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    TModalLoop* loop = nullptr;
    // The owner the running modal loop disabled, if it did.
    HWND disabledOwner = nullptr;
};

std::map<int, TDialogTemplate>& Templates() {
    static std::map<int, TDialogTemplate> templates;
    return templates;
}

std::map<HWND, TDialogState>& States() {
    static std::map<HWND, TDialogState> states;
    return states;
}

// Messages whose dialog-procedure answer is the result itself rather than
// a "handled" flag.
bool AnswersDirectly(UINT message) {
    return message == WM_INITDIALOG || message == WM_CTLCOLORSTATIC;
}

LRESULT DialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
    if (procedure) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        const INT_PTR handled = procedure(dialog, message, wParam, lParam);
        if (handled)
            return AnswersDirectly(message)
                       ? handled
                       : (IsWindow(dialog) ? GetWindowLongPtrA(dialog, DWLP_MSGRESULT) : 0);
    }
    if (message == WM_NCDESTROY)
        States().erase(dialog);
    return DefDlgProcA(dialog, message, wParam, lParam);
}

void RegisterDialogClass() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    WNDCLASSEXA windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DialogWindowProc;
    windowClass.cbWndExtra = 3 * static_cast<int>(sizeof(LONG_PTR));
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = DialogClassName;
    RegisterClassExA(&windowClass);
}

const TDialogTemplate* FindTemplate(const char* templateName) {
    const auto id = reinterpret_cast<std::uintptr_t>(templateName);
    if (id == 0 || id > LargestResourceId)
        return nullptr;
    auto found = Templates().find(static_cast<int>(id));
    return found == Templates().end() ? nullptr : &found->second;
}

QPoint CentredPosition(HWND owner, const TDialogTemplate& dialogTemplate) {
    QRect area;
    if (IsWindow(owner))
        area = ScreenRectOf(TopLevelOf(owner));
    else if (QGuiApplication::primaryScreen())
        area = QGuiApplication::primaryScreen()->availableGeometry();
    return area.center() - QPoint(dialogTemplate.width / 2, dialogTemplate.height / 2);
}

HWND MakeDialog(const char* templateName, HWND parent, DLGPROC procedure, bool modal) {
    const TDialogTemplate* dialogTemplate = FindTemplate(templateName);
    if (!dialogTemplate) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    RegisterDialogClass();
    QPoint position(dialogTemplate->x, dialogTemplate->y);
    if (dialogTemplate->x == CW_USEDEFAULT)
        position = (dialogTemplate->style & WS_CHILD) ? QPoint(0, 0)
                                                      : CentredPosition(parent, *dialogTemplate);
    DWORD style = dialogTemplate->style & ~WS_VISIBLE;
    HWND dialog =
        CreateWindowExA(dialogTemplate->exStyle, DialogClassName, dialogTemplate->title, style,
                        position.x(), position.y(), dialogTemplate->width, dialogTemplate->height,
                        parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!dialog)
        return nullptr;
    States()[dialog].modal = modal;
    SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
    return dialog;
}

} // namespace

bool IsDialogWindow(HWND window) {
    return IsWindow(window) && States().count(window) > 0;
}

void RegisterDialogTemplate(int templateId, const TDialogTemplate& dialogTemplate) {
    Templates()[templateId] = dialogTemplate;
}

INT_PTR DialogBoxParamA(HINSTANCE, const char* templateName, HWND owner, DLGPROC procedure,
                        LPARAM parameter) {
    HWND dialog = MakeDialog(templateName, owner, procedure, true);
    if (!dialog)
        return DialogFailed;
    HWND ownerTop = IsWindow(owner) ? TopLevelOf(owner) : nullptr;
    const bool ownerWasEnabled = ownerTop && IsWindowEnabled(ownerTop);
    TModalLoop loop;
    States()[dialog].loop = &loop;
    SendMessageA(dialog, WM_INITDIALOG, 0, parameter);
    INT_PTR result = 0;
    if (IsWindow(dialog) && !States()[dialog].ended) {
        if (ownerWasEnabled) {
            EnableWindow(ownerTop, FALSE);
            States()[dialog].disabledOwner = ownerTop;
        }
        ShowWindow(dialog, SW_SHOW);
        SetFocus(dialog);
        loop.Run();
    }
    if (IsWindow(dialog)) {
        TDialogState& state = States()[dialog];
        result = state.ended ? state.result : 0;
        state.loop = nullptr;
    }
    // The owner comes back before the dialog goes, so activation returns to it.
    if (ownerWasEnabled && IsWindow(ownerTop))
        EnableWindow(ownerTop, TRUE);
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    return result;
}

HWND CreateDialogParamA(HINSTANCE, const char* templateName, HWND parent, DLGPROC procedure,
                        LPARAM parameter) {
    HWND dialog = MakeDialog(templateName, parent, procedure, false);
    if (!dialog)
        return nullptr;
    SendMessageA(dialog, WM_INITDIALOG, 0, parameter);
    const TDialogTemplate* dialogTemplate = FindTemplate(templateName);
    if (IsWindow(dialog) && dialogTemplate && (dialogTemplate->style & WS_VISIBLE))
        ShowWindow(dialog, SW_SHOW);
    return IsWindow(dialog) ? dialog : nullptr;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    auto found = States().find(dialog);
    if (found == States().end() || !IsWindow(dialog))
        return FALSE;
    TDialogState& state = found->second;
    if (!state.modal) {
        ShowWindow(dialog, SW_HIDE);
        return TRUE;
    }
    state.ended = true;
    state.result = result;
    // Gone from the screen at once, owner first so that it gets the
    // activation: under a box nested in this dialog's loop, the loop itself
    // ends only after the box.
    if (state.disabledOwner && IsWindow(state.disabledOwner))
        EnableWindow(state.disabledOwner, TRUE);
    ShowWindow(dialog, SW_HIDE);
    if (state.loop)
        state.loop->Quit();
    return TRUE;
}

LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        // Closing a dialog is its Cancel.
        constexpr WPARAM CommandCancel = 2;
        PostMessageA(dialog, WM_COMMAND, CommandCancel, 0);
        return 0;
    }
    return DefWindowProcA(dialog, message, wParam, lParam);
}

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text) {
    return SetWindowTextA(GetDlgItem(dialog, id), text);
}

UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size) {
    return static_cast<UINT>(GetWindowTextA(GetDlgItem(dialog, id), buffer, size));
}
