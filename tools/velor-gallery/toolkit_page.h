#pragma once
// The toolkit's page of the gallery: every skinned control in every state
// on the real skin, in a window of its own beside the window layer's.

#include "platform/windows.h"

// Loads the skin and makes the page at (x, y); null when the skin or a
// window cannot be made.
HWND MakeToolkitPage(int x, int y);
void DestroyToolkitPage();
