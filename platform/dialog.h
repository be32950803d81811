#pragma once
// Dialogs: a dialog procedure over a window of the dialog class, run modally
// over its owner or created modeless. There are no dialog resources: the
// template id picks a registered size, style and title, and the procedure
// creates its controls in code on WM_INITDIALOG.

#include "platform/window.h"

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr int DWLP_DLGPROC = static_cast<int>(sizeof(LONG_PTR));
inline constexpr int DWLP_USER = 2 * static_cast<int>(sizeof(LONG_PTR));

struct TDialogTemplate {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    // Pixels; CW_USEDEFAULT for x centres the dialog over its owner (or the
    // screen), relative to the parent for WS_CHILD dialogs otherwise.
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = 300;
    int height = 200;
    const char* title = "";
};

// Registering an id again replaces its template.
void RegisterDialogTemplate(int templateId, const TDialogTemplate& dialogTemplate);

// Fails with -1 (ERROR_RESOURCE_NAME_NOT_FOUND) for an unknown template.
INT_PTR DialogBoxParamA(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC procedure,
                        LPARAM parameter);
HWND CreateDialogParamA(HINSTANCE instance, const char* templateName, HWND parent,
                        DLGPROC procedure, LPARAM parameter);
// Ends a modal dialog with `result`; a modeless one is hidden.
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size);

inline INT_PTR DialogBoxParam(HINSTANCE i, const char* t, HWND o, DLGPROC p, LPARAM l) {
    return DialogBoxParamA(i, t, o, p, l);
}
inline HWND CreateDialogParam(HINSTANCE i, const char* t, HWND o, DLGPROC p, LPARAM l) {
    return CreateDialogParamA(i, t, o, p, l);
}
