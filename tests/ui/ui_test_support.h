#pragma once
// Shared by the toolkit's tests: the application, a parent window that
// records what reaches it, pumping, pixels and generated pictures.

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/windows.h"

void EnsureUiApplication();
// Runs queued window messages and paints.
void Pump(int rounds = 5);

struct TRecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A top-level window with a white client area that keeps every message
// from the recorded set (WM_COMMAND, 2255..2258, 6030, 2524) and routes
// WM_DRAWITEM to the bound control.
class TParentWindow {
public:
    explicit TParentWindow(int width = 400, int height = 300);
    ~TParentWindow();
    HWND hWnd = nullptr;
    std::vector<TRecordedMessage> messages;
    std::vector<UINT> Only(UINT message) const;
    int Count(UINT message) const;
};

COLORREF PixelAt(HWND window, int x, int y);
// Writes a PNG of one colour (alpha 255) and returns its path.
std::string WriteSolidPng(const std::string& path, int width, int height, COLORREF colour);
bool Near(COLORREF a, COLORREF b, int tolerance = 3);
