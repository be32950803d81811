#pragma once
// Hosting an OpenGL view's window inside a video window. The view's window is
// an X11 window of its own (made by GLFW on GLFW's own display connection);
// it is re-parented into the video window's native window and shown, hidden
// and sized with Xlib on that connection, which is safe from any thread.
// Nothing here names a Qt or Xlib type, so the engine can include it.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/win_types.h"

// An X11 window id (XID).
using TNativeWindow = unsigned long;
// An Xlib connection (Display*), as GLFW hands it out.
using TNativeDisplay = void*;

// The native window of a window, created on demand as a native widget
// without native ancestors. On the main thread it is looked up (and
// remembered); on any other thread only a window looked up before is known.
// 0 for a window that does not exist.
TNativeWindow NativeWindowOf(HWND window);

// Makes `child` a child of `parent` at (0, 0).
bool EmbedHostedWindow(TNativeDisplay display, TNativeWindow child, TNativeWindow parent);
// Takes pointer and key events out of the window's event mask on this
// connection, so that the server hands clicks, motion and keys to the
// nearest ancestor that asks for them.
bool DropInputEvents(TNativeDisplay display, TNativeWindow window);
void MapHostedWindow(TNativeDisplay display, TNativeWindow window);
void UnmapHostedWindow(TNativeDisplay display, TNativeWindow window);
void ResizeHostedWindow(TNativeDisplay display, TNativeWindow window, int width, int height);

// Xlib's own handler ends the process on the first error, and GLFW puts it
// back after each call that traps errors; this one logs to standard error
// and carries on. Install it again after such calls.
void InstallXErrorLogger();

// Making a GLFW window changes the thread's current GL context; Qt's own is
// remembered before and made current again after.
void RememberQtGlContext();
void RestoreQtGlContext();

// Runs `poll` on the main thread every `intervalMs` while the user interface
// application lives. False without one.
bool StartGlfwPump(int intervalMs, std::function<void()> poll);
void StopGlfwPump();

// Reads what the screen shows in a rectangle of the root window, as BGRA
// words (0xAARRGGBB); for tests and checks of what a view really drew.
bool ReadScreenPixels(TNativeDisplay display, int x, int y, int width, int height,
                      std::vector<std::uint32_t>* pixels);
