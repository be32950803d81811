#pragma once
// The main window's drawn frame: the caption band, the borders and the
// backgrounds of the areas inside it, painted into the window's background
// surface at any size.

#include "app/frame_geometry.h"
#include "platform/gdi.h"

// Frame and areas, or (full screen) black behind the one picture.
enum class TFrameLook { Windowed, FullScreen };

// The sizes the layout takes from the loaded skin (defaults where a
// picture is missing).
TLayoutMetrics MetricsFromSkin();

void DrawMainFrame(HDC dc, int width, int height, const TLayoutMetrics& metrics, TFrameLook look);
