#pragma once
// Files dropped onto a window, in Win32's terms: a window that called
// DragAcceptFiles gets WM_DROPFILES (wParam = an HDROP) when files or
// folders from the desktop's file manager are dropped on it or on a child
// that does not take drops itself. The HDROP is valid during the message.

#include <string>
#include <vector>

#include "platform/win_types.h"

struct HDROP__;
using HDROP = HDROP__*;

inline constexpr UINT WM_DROPFILES = 0x0233;
// DragQueryFileA's index that asks for the number of files.
inline constexpr UINT DragFileCount = 0xFFFFFFFF;

void DragAcceptFiles(HWND window, BOOL accept);
// With DragFileCount: how many paths the drop holds. Otherwise the length
// of path `index` (UTF-8, without its NUL), copied into `buffer` (cut to
// size - 1 and NUL-terminated) when one is given; 0 for an index out of
// range.
UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size);
// Where the drop happened, in the client coordinates of the window that
// got the message.
BOOL DragQueryPoint(HDROP drop, POINT* point);
// Nothing to free here: the drop belongs to the sender. Kept so that
// handlers read as they do on Windows.
void DragFinish(HDROP drop);

// Sends WM_DROPFILES to the window as a drop of these local paths at a
// client point would; the toolkit's drop ends here, and so can a test's.
LRESULT SendDroppedFiles(HWND window, const std::vector<std::string>& paths, POINT client);
