#pragma once
// Shared by the toolkit's tests: the application, a parent window that keeps
// what reaches it, pumping, pixels and generated pictures.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "ui/wnd.h"

void EnsureUiApplication();
// Runs queued window messages and paints.
void Pump(int rounds = 5);

struct TRecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A top-level window bound like every toolkit window: it keeps the
// notifications (WM_COMMAND, 2255..2258, 6030, 2524), routes WM_DRAWITEM to
// the bound control and runs `onTimer` on WM_TIMER.
class TParentWindow : public TWnd {
public:
    explicit TParentWindow(int width = 400, int height = 300);
    ~TParentWindow() override;
    // Takes out the kept messages of one kind, after pumping.
    std::vector<TRecordedMessage> Take(UINT message);
    std::vector<TRecordedMessage> messages;
    std::function<void()> onTimer;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
};

// Tests of controls painted from the shared skin.
class TSkinTest : public ::testing::Test {
protected:
    void SetUp() override;
    TParentWindow m_parent;
};

// What the window shows once its pending paints have run.
COLORREF PixelAt(HWND window, int x, int y);
// Writes a PNG of one opaque colour and returns its path.
std::string WriteSolidPng(const std::string& path, int width, int height, COLORREF colour);
bool Near(COLORREF a, COLORREF b, int tolerance = 3);
