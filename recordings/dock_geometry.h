#pragma once
// Where the side window docks in the main window, when a drag brings it
// back there, and which edge of the floating window the pointer is on.

#include "platform/windows.h"

// Docking wants this share of the smaller of the two rectangles covered.
inline constexpr double DockOverlapNeeded = 0.9;

// The dock area in the main window's client coordinates, from the main
// window's outer size and the widths of the list background (b) and the
// height of the G-sensor band (g) below it.
RECT DockAreaOf(int ownerWidth, int ownerHeight, int fileBackgroundWidth, int gsensorHeight);

// The intersection's area over the smaller area of the two; 0 when they do
// not meet or either is empty.
double DockOverlap(const RECT& window, const RECT& dock);

// The hit-test code of a point of the floating window (client
// coordinates), in a window of `outer` size with sizing frame `frame`:
// 16-pixel corners and sides resize, the rest moves the window.
LRESULT FloatingHitTest(POINT client, SIZE outer, int frame);

enum class TDockState { Docked, Floating };
// Where the panels sit in the side window of this outer size.
RECT PanelFrameRect(int width, int height, TDockState state);
