#pragma once
// What a window handle points at, inside the window layer only (it speaks
// Qt). Tests in tests/platform use it to feed input and read pixels.

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"

#include "platform/window_widget.h"

struct TWindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int windowExtraBytes = 0;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct HWND__ {
    std::shared_ptr<const TWindowClass> windowClass;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    std::vector<LONG_PTR> extra; // the class's window extra bytes, as words
    std::string text;
    HWND parent = nullptr; // WS_CHILD windows
    HWND owner = nullptr;  // owned top-level windows
    TWindowWidget* widget = nullptr;
    QImage image;    // the backing image, client size
    QRegion invalid; // client coordinates still to be painted
    bool eraseWanted = false;
    bool frameWanted = false; // WM_NCPAINT due
    bool destroying = false;
    QRegion shape; // SetWindowRgn; empty = none
    bool hasShape = false;
    HRGN shapeHandle = nullptr;
    bool layeredKey = false;
    COLORREF layerKey = 0;
    std::map<UINT_PTR, int> timers; // Win32 id -> Qt timer id
    QSize reportedSize{-1, -1};
    QPoint reportedPos{INT32_MIN, INT32_MIN};
    bool reportedMaximized = false;
    HCURSOR cursor = nullptr; // last SetCursor while over this window
    std::uint64_t serial = 0; // creation order, parents before children
    std::vector<ACCEL> accelerators;
};

// The widget of a live window, or null.
QWidget* WidgetOfWindow(HWND window);
// The window a widget stands for, or null.
HWND WindowOfWidget(const QWidget* widget);
// The creation serial of a live window, 0 for a dead or foreign handle. Any
// thread; a handle freed and handed out again comes back with a new serial.
std::uint64_t SerialOfWindow(HWND window);
// All live windows in creation order.
std::vector<HWND> AllWindows();
// Brings the screen copy of the window up to date with its backing image.
void RefreshScreen(HWND window);
// Sends WM_MOVE / WM_SIZE when the widget's geometry differs from the last
// one reported.
void ReportGeometry(HWND window);
// Marks the window for a WM_PAINT in the next paint pass.
void SchedulePaint();
// Runs the paint pass now: WM_NCPAINT and WM_PAINT to every visible window
// that needs them.
void PaintPendingWindows();
// Called by the event dispatcher: posted window messages, paint pass.
void DeliverPostedWindowMessages();
bool TakeQuitMessage(MSG* message, bool remove);
bool TakeThreadPostedMessage(MSG* message, UINT filterMin, UINT filterMax, bool remove);
// Makes sure the Qt side of the layer (dispatcher, pump) exists.
void EnsureWindowLayer();
// The proc-level handling of mouse input into one window.
void RouteMouse(HWND receiver, UINT clientMessage, QPoint globalPos, WPARAM keys, int wheelDelta);
void RouteMouseRelease(HWND receiver, UINT clientMessage, QPoint globalPos, WPARAM keys);
void RouteKey(HWND receiver, WPARAM virtualKey, const QString& text,
              Qt::KeyboardModifiers modifiers);
// Move and resize loop, run from DefWindowProc on WM_NCLBUTTONDOWN.
void RunSizeMoveLoop(HWND window, LRESULT hitTest, QPoint startGlobal);
bool SizeMoveLoopRunning();
void FeedSizeMoveLoop(QPoint globalPos, bool buttonReleased);
void CancelSizeMoveLoop();
void ForgetTimers(HWND window);
void FireTimer(HWND window, int qtTimerId);
void ApplyLayering(HWND window);
// Destroys the widget of a window that has got its WM_NCDESTROY.
void ReleaseWindowObject(HWND window);
QRect ScreenRectOf(HWND window);
void ApplyGeometry(HWND window, QRect clientRectInParent);
bool IsDialogWindow(HWND window);
HWND TopLevelOf(HWND window);
HCURSOR CursorForHitTest(LRESULT hitTest);
LRESULT EraseWithClassBackground(HWND window, HDC dc);
void ReleaseWindowShape(HWND window);
bool PaintWanted();
void NoteWindowUnderPointer(HWND window);
