#pragma once
// The root of the window classes: an object bound one-to-one to its native
// window. The object travels as the creation parameter; on WM_CREATE (or
// WM_INITDIALOG) the procedure stores the handle in the object and the object
// in the window's user data, and every later message finds it there. A
// message that arrives before binding goes to the default procedure.

#include "platform/windows.h"

class TWnd {
public:
    TWnd();
    virtual ~TWnd();
    TWnd(const TWnd&) = delete;
    TWnd& operator=(const TWnd&) = delete;

    HWND hWnd = nullptr;
    DWORD createdTick = 0;
    DWORD reserved = 0;
    // The class the window is created under (empty when created otherwise).
    char className[32] = {};

    void SetClassName(const char* name);
};

class CWndEx : public TWnd {
public:
    ~CWndEx() override;
    // Owner-draw request reaching this control (through its parent's panel).
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    virtual void Reserved() {}

protected:
    // Destroys the window while the derived object is still whole, so its
    // WM_DESTROY handling runs on a complete object. Derived destructors
    // call it; the base destructor only unbinds and destroys what is left.
    void DestroyOwnWindow(bool unbindFirst = false);
};

// Stores the handle in the object and the object in the window.
void BindWindow(HWND window, TWnd* object);
// The object bound to a window, or null.
TWnd* WindowObject(HWND window);
// On WM_CREATE binds the object of the creation data; otherwise the bound
// object. Null when none is bound yet.
template <class T>
T* BoundObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* object = static_cast<T*>(create ? create->lpCreateParams : nullptr);
        if (object)
            BindWindow(window, object);
        return object;
    }
    return static_cast<T*>(WindowObject(window));
}
// A parent's WM_DRAWITEM handed to the control's own DrawItem; TRUE when a
// bound control took it.
LRESULT RouteDrawItem(LPARAM lParam);
// Forgets the binding when the window goes (WM_NCDESTROY).
void UnbindWindow(HWND window);

// CS_DBLCLKS (plus CS_HREDRAW | CS_VREDRAW when asked), arrow cursor,
// COLOR_WINDOW + 1. An existing class counts as success; any other failure
// is shown as "Exception" with the system's text.
bool RegisterWindowClass(const char* className, WNDPROC procedure, bool redrawOnResize);
// Creates the object's window under its className, the object as the
// creation parameter.
bool CreateWnd(TWnd* object, DWORD style, int x, int y, int width, int height, HWND parent);
// The "Exception" box with the system's text for the last error.
void ShowLastErrorBox();
