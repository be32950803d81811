#pragma once
// Tooltips attached to controls. Attaching again replaces the text, which is
// how the texts follow a change of language.

#include "platform/window.h"

// `text` is UTF-8; null or empty removes the tooltip.
BOOL AttachToolTip(HWND control, const char* text);
// The text attached now, UTF-8 (empty for none), at most `size` bytes with
// the NUL; returns the length.
int GetToolTipText(HWND control, char* buffer, int size);
