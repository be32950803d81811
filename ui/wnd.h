#pragma once
// The root of the window classes: an object bound one-to-one to its native
// window. The object travels as the creation parameter; on WM_CREATE (or
// WM_INITDIALOG) the procedure stores the handle in the object and the object
// in the window's user data, and every later message finds it there. A
// message that arrives before binding goes to the default procedure.

#include "platform/windows.h"

class TWnd {
public:
    TWnd() = default;
    virtual ~TWnd();
    TWnd(const TWnd&) = delete;
    TWnd& operator=(const TWnd&) = delete;

    HWND hWnd = nullptr;
    // The class the window is created under (empty when created otherwise).
    char className[32] = {};

    void SetClassName(const char* name);

    // One message for the window bound to this object. Leaving `handled`
    // false sends it on to the class's default handling.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
};

class CWndEx : public TWnd {
public:
    ~CWndEx() override;
    // Owner-draw request reaching this control (through its parent).
    virtual void DrawItem(DRAWITEMSTRUCT* item);

protected:
    // Destroys the window while the derived object is still whole, so its
    // WM_DESTROY handling runs on a complete object. Derived destructors
    // call it; the base destructor only unbinds and destroys what is left.
    void DestroyOwnWindow();
};

// Stores the handle in the object and the object in the window.
void BindWindow(HWND window, TWnd* object);
// The object bound to a window, or null.
TWnd* WindowObject(HWND window);
// Forgets the binding when the window goes (WM_NCDESTROY).
void UnbindWindow(HWND window);

// The default handling of a window class.
using TDefaultProcedure = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The one routing of every toolkit window: binds the object that WM_CREATE
// carries, hands each message of a bound window to its OnMessage and unbinds
// on WM_NCDESTROY. Unbound and unhandled messages go to `fallback`.
LRESULT RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           TDefaultProcedure fallback);
// The procedure of window classes whose default handling is DefWindowProcA.
LRESULT BoundWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The same for dialogs, whose object is WM_INITDIALOG's parameter; a handled
// message answers through DWLP_MSGRESULT.
INT_PTR BoundDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A parent's WM_DRAWITEM handed to the control's own DrawItem; TRUE when a
// bound control took it.
LRESULT RouteDrawItem(LPARAM lParam);

enum class TClassStyle : UINT {
    Plain = 0,
    DoubleClicks = CS_DBLCLKS,
    DoubleClicksRedrawOnResize = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
};
// Arrow cursor, COLOR_WINDOW + 1. An existing class counts as success; any
// other failure is shown as "Exception" with the system's text.
bool RegisterWindowClass(const char* className, WNDPROC procedure,
                         TClassStyle style = TClassStyle::DoubleClicks);
// Creates the object's window under its className, bound to it (the object
// is the creation parameter), with `controlId` as its id. Null on failure,
// which is not shown.
HWND CreateBoundWindow(TWnd* object, DWORD style, const RECT& rect, HWND parent, int controlId = 0);
// Creates the object's window under its className; a failure is shown as
// "Exception".
bool CreateWnd(TWnd* object, DWORD style, int x, int y, int width, int height, HWND parent);
