#pragma once
// Bringing up and taking down what every window of the viewer draws and
// reads with: the sound and timer library, the preferences, the string
// table, the shared pens and brushes, the skin, the fonts, the cursors and
// the camera settings model. Main thread only.

#include <functional>

#include "platform/gdi.h"
#include "platform/windows.h"

// Two solid pens (one pixel) and brushes: the blue of the see-through key
// and the dark of the lists' background.
struct TSharedGdi {
    HPEN bluePen = nullptr;
    HBRUSH blueBrush = nullptr;
    HPEN darkPen = nullptr;
    HBRUSH darkBrush = nullptr;
};
TSharedGdi& SharedGdi();

struct TSharedCursors {
    HCURSOR hand = nullptr;
    HCURSOR sizeNorthSouth = nullptr;
    HCURSOR sizeWestEast = nullptr;
    HCURSOR sizeNorthEastSouthWest = nullptr;
    HCURSOR sizeNorthWestSouthEast = nullptr;
};
TSharedCursors& SharedCursors();

// Called with the name of every step as it runs, in order; for tests and
// diagnostics. Empty by default.
void SetLifecycleObserver(std::function<void(const char* step)> observer);

// Runs from the main window's creation, with that window. Stops after the
// skin when it cannot be loaded (false); the window goes on with what it has.
bool InitialiseApplication(HWND mainWindow);

// After the main window is gone: saves the preferences and releases
// everything InitialiseApplication made, then ends the libraries.
void ShutDownApplication();
