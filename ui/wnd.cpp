#include "ui/wnd.h"

#include <cstring>

#include "platform/last_error.h"
#include "platform/message_box.h"

namespace {

void ShowLastErrorBox() {
    const std::string text = SystemErrorText(GetLastError());
    MessageBoxA(nullptr, text.c_str(), "Exception", MB_OK);
}

// The object a message belongs to: the one it carries on WM_CREATE and
// WM_INITDIALOG (bound there), otherwise the one bound before.
TWnd* ObjectOf(HWND window, UINT message, LPARAM lParam) {
    TWnd* carried = nullptr;
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        carried = create ? static_cast<TWnd*>(create->lpCreateParams) : nullptr;
    } else if (message == WM_INITDIALOG) {
        carried = reinterpret_cast<TWnd*>(lParam);
    } else {
        return WindowObject(window);
    }
    if (carried)
        BindWindow(window, carried);
    return carried;
}

// False when no object is bound to the window.
bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
             bool* handled) {
    TWnd* object = ObjectOf(window, message, lParam);
    if (!object)
        return false;
    *result = object->OnMessage(message, wParam, lParam, handled);
    if (message == WM_NCDESTROY)
        UnbindWindow(window);
    return true;
}

// Messages whose dialog answer is the result itself, not a handled flag.
bool AnswersDirectly(UINT message) {
    return message == WM_CTLCOLORSTATIC;
}

} // namespace

TWnd::~TWnd() {
    if (hWnd && IsWindow(hWnd))
        UnbindWindow(hWnd);
}

void TWnd::SetClassName(const char* name) {
    std::strncpy(className, name ? name : "", sizeof className - 1);
    className[sizeof className - 1] = '\0';
}

LRESULT TWnd::OnMessage(UINT, WPARAM, LPARAM, bool* handled) {
    *handled = false;
    return 0;
}

CWndEx::~CWndEx() {
    // What derives from here is gone: its procedure must not see the object.
    if (hWnd && IsWindow(hWnd)) {
        UnbindWindow(hWnd);
        DestroyWindow(hWnd);
    }
    hWnd = nullptr;
}

void CWndEx::DrawItem(DRAWITEMSTRUCT*) {}

void CWndEx::DestroyOwnWindow() {
    if (hWnd && IsWindow(hWnd))
        DestroyWindow(hWnd);
    hWnd = nullptr;
}

void BindWindow(HWND window, TWnd* object) {
    object->hWnd = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

TWnd* WindowObject(HWND window) {
    if (!window || !IsWindow(window))
        return nullptr;
    return reinterpret_cast<TWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void UnbindWindow(HWND window) {
    TWnd* object = WindowObject(window);
    if (object && object->hWnd == window)
        object->hWnd = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

LRESULT RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           TDefaultProcedure fallback) {
    LRESULT result = 0;
    bool handled = false;
    if (Deliver(window, message, wParam, lParam, &result, &handled) && handled)
        return result;
    return fallback(window, message, wParam, lParam);
}

LRESULT BoundWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteWindowMessage(window, message, wParam, lParam, DefWindowProcA);
}

INT_PTR BoundDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = false;
    if (!Deliver(dialog, message, wParam, lParam, &result, &handled) || !handled)
        return FALSE;
    if (message == WM_INITDIALOG)
        return TRUE;
    if (AnswersDirectly(message))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT RouteDrawItem(LPARAM lParam) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (!item)
        return FALSE;
    auto* control = dynamic_cast<CWndEx*>(WindowObject(item->hwndItem));
    if (!control)
        return FALSE;
    control->DrawItem(item);
    return TRUE;
}

bool RegisterWindowClass(const char* className, WNDPROC procedure, TClassStyle style) {
    WNDCLASSEXA windowClass;
    windowClass.style = static_cast<UINT>(style);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = className;
    if (RegisterClassExA(&windowClass))
        return true;
    if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        return true;
    ShowLastErrorBox();
    return false;
}

HWND CreateBoundWindow(TWnd* object, DWORD style, const RECT& rect, HWND parent, int controlId) {
    return CreateWindowExA(0, object->className, nullptr, style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(controlId)),
                           GetModuleHandleA(nullptr), object);
}

bool CreateWnd(TWnd* object, DWORD style, int x, int y, int width, int height, HWND parent) {
    HWND window = CreateBoundWindow(object, style, RECT{x, y, x + width, y + height}, parent);
    if (!window) {
        ShowLastErrorBox();
        return false;
    }
    object->hWnd = window;
    return true;
}
