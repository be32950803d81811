#include "ui/wnd.h"

#include <cstring>

#include "platform/last_error.h"
#include "platform/message_box.h"
#include "platform/thread.h"

TWnd::TWnd() : createdTick(GetTickCount()) {}

TWnd::~TWnd() {
    if (hWnd && IsWindow(hWnd))
        UnbindWindow(hWnd);
}

void TWnd::SetClassName(const char* name) {
    std::strncpy(className, name ? name : "", sizeof className - 1);
    className[sizeof className - 1] = '\0';
}

CWndEx::~CWndEx() {
    // What derives from here is gone: its procedure must not see the object.
    DestroyOwnWindow(true);
}

void CWndEx::DrawItem(DRAWITEMSTRUCT*) {}

void CWndEx::DestroyOwnWindow(bool unbindFirst) {
    HWND window = hWnd;
    if (!window || !IsWindow(window)) {
        hWnd = nullptr;
        return;
    }
    if (unbindFirst)
        UnbindWindow(window);
    DestroyWindow(window);
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

void ShowLastErrorBox() {
    const std::string text = SystemErrorText(GetLastError());
    MessageBoxA(nullptr, text.c_str(), "Exception", MB_OK);
}

bool RegisterWindowClass(const char* className, WNDPROC procedure, bool redrawOnResize) {
    WNDCLASSEXA windowClass;
    windowClass.style = CS_DBLCLKS | (redrawOnResize ? (CS_HREDRAW | CS_VREDRAW) : 0u);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = className;
    if (RegisterClassExA(&windowClass))
        return true;
    if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        return true;
    ShowLastErrorBox();
    return false;
}

bool CreateWnd(TWnd* object, DWORD style, int x, int y, int width, int height, HWND parent) {
    HWND window = CreateWindowExA(0, object->className, nullptr, style, x, y, width, height, parent,
                                  nullptr, GetModuleHandleA(nullptr), object);
    if (!window) {
        ShowLastErrorBox();
        return false;
    }
    object->hWnd = window;
    return true;
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
