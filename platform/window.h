#pragma once
// Windows, window classes and messages in Win32 terms. Every window is a
// widget with a backing image (see DESIGN.md); the rest of the program sees
// only handles, procedures and message numbers. Main thread only, except
// PostMessageA and IsWindow, which any thread may call, and SendMessageA,
// which a worker thread may call and then waits while the main thread runs it.

#include <cstddef>

#include "platform/win_types.h"
#include "platform/window_constants.h"

// Handles shared with the drawing layer, declared the same way it does.
struct HDC__;
using HDC = HDC__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HRGN__;
using HRGN = HRGN__*;

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;
struct HICON__;
using HICON = HICON__*;
struct HMENU__;
using HMENU = HMENU__*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSEXA {
    UINT cbSize = sizeof(WNDCLASSEXA);
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    // A real brush, or a system colour index + 1 as Win32 allows.
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
    HICON hIconSm = nullptr;
};

struct CREATESTRUCTA {
    void* lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HMENU hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};

struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    RECT rcItem;
    ULONG_PTR itemData = 0;
};

struct MEASUREITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    ULONG_PTR itemData = 0;
};

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// The one program instance; the handle only has to be the same everywhere.
HINSTANCE GetModuleHandleA(const char* moduleName);

// Classes. Registering a name twice fails with ERROR_CLASS_ALREADY_EXISTS.
// The standard "BUTTON" class (push and owner-drawn buttons) is built in.
WORD RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
BOOL GetClassInfoExA(HINSTANCE instance, const char* className, WNDCLASSEXA* out);

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                     HINSTANCE instance, void* createParam);
inline HWND CreateWindowA(const char* className, const char* windowName, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                          void* createParam) {
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menuOrId,
                           instance, createParam);
}
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
inline LONG GetWindowLongA(HWND window, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}
inline LONG SetWindowLongA(HWND window, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}
inline LONG_PTR GetWindowLongPtr(HWND window, int index) {
    return GetWindowLongPtrA(window, index);
}
inline LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
    return SetWindowLongPtrA(window, index, value);
}
int GetClassNameA(HWND window, char* buffer, int size);

// Messages.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Any thread. Delivered on the main thread in the order posted. A null
// window makes it a message for the main thread's own loop; a handle that is
// not a live window gives FALSE (ERROR_INVALID_WINDOW_HANDLE).
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A posted message whose window is destroyed before delivery is dropped, as
// in Win32, but with a line on stderr.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
// Ends the main thread's message loop: its GetMessageA returns FALSE.
void PostQuitMessage(int exitCode);
UINT RegisterWindowMessageA(const char* name);

inline LRESULT SendMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return SendMessageA(w, m, wp, lp);
}
inline BOOL PostMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return PostMessageA(w, m, wp, lp);
}
inline LRESULT DefWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}
inline LRESULT CallWindowProc(WNDPROC p, HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(p, w, m, wp, lp);
}
inline LRESULT DispatchMessage(const MSG* message) {
    return DispatchMessageA(message);
}

// Timers: one per window and id; setting an id again restarts it.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, void* timerProc);
BOOL KillTimer(HWND window, UINT_PTR id);
// The period a window's timer runs at, 0 when it is not set (for tests).
UINT TimerPeriod(HWND window, UINT_PTR id);

// Painting.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// A DC over the window's backing image (the screen for a null window).
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// The window takes ownership of `region` (client coordinates) and frees it;
// null removes the shape.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
BOOL SetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);

// System colours (used as class backgrounds and default text colours).
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
COLORREF GetSysColor(int index);

// Position, size, visibility.
BOOL ShowWindow(HWND window, int command);
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetClientRect(HWND window, RECT* rect);
// In screen coordinates.
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL IsWindowVisible(HWND window);
BOOL IsZoomed(HWND window);
BOOL IsIconic(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
HWND GetParent(HWND window);
// Moves the window between parents; null makes it top-level. The window
// keeps its handle, object, children and coordinates.
HWND SetParent(HWND window, HWND newParent);
BOOL IsChild(HWND parent, HWND window);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND window);
BOOL SetWindowTextA(HWND window, const char* text);
int GetWindowTextA(HWND window, char* buffer, int size);
int GetWindowTextLengthA(HWND window);
// Top-level windows only; null arguments match anything.
HWND FindWindowA(const char* className, const char* windowName);
HWND WindowFromPoint(POINT point);
BOOL SetForegroundWindow(HWND window);
BOOL BringWindowToTop(HWND window);

// Input.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND window);
HWND GetFocus();
HWND GetActiveWindow();
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
UINT GetDoubleClickTime();
short GetKeyState(int virtualKey);

// Keyboard accelerators. Keys do not pass through the message loop here, so
// instead of calling TranslateAccelerator from the loop a window registers
// its table: a key pressed in it, in one of its children or in a pop-up it
// owns becomes WM_COMMAND (command in the low word, 1 in the high word)
// before any window sees the key. Modal dialogs keep their keys.
inline constexpr BYTE FVIRTKEY = 0x01;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;
struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
// Replaces the window's table; a count of 0 removes it.
BOOL SetWindowAccelerators(HWND window, const ACCEL* entries, int count);

int GetSystemMetrics(int index);

BOOL PtInRect(const RECT* rect, POINT point);
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL IntersectRect(RECT* out, const RECT* first, const RECT* second);
