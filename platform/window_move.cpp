// The layer's own move and resize loop. It is ours rather than the window
// manager's because procedures must see WM_MOVING with the proposed
// rectangle and may change it, and because a move carries on when the
// procedure moves the window between parents in the middle of it.

#include <QWidget>

#include <algorithm>

#include "platform/window_internal.h"
#include "platform/window_modal.h"

namespace {

struct TSizeMove {
    HWND window = nullptr;
    LRESULT hitTest = HTCAPTION;
    QPoint startGlobal;
    QPoint lastGlobal;
    QRect startRect; // screen coordinates
    MINMAXINFO limits{};
    TModalLoop* loop = nullptr;
    bool ended = false;
    bool released = false;
};

TSizeMove* g_sizeMove = nullptr;
constexpr LONG UnlimitedTrackSize = 100000;

bool MovesLeftEdge(LRESULT hit) {
    return hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
}
bool MovesRightEdge(LRESULT hit) {
    return hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
}
bool MovesTopEdge(LRESULT hit) {
    return hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
}
bool MovesBottomEdge(LRESULT hit) {
    return hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
}

bool IsSizingHit(LRESULT hit) {
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
}

WPARAM SizingEdge(LRESULT hit) {
    switch (hit) {
    case HTLEFT:
        return WMSZ_LEFT;
    case HTRIGHT:
        return WMSZ_RIGHT;
    case HTTOP:
        return WMSZ_TOP;
    case HTTOPLEFT:
        return WMSZ_TOPLEFT;
    case HTTOPRIGHT:
        return WMSZ_TOPRIGHT;
    case HTBOTTOM:
        return WMSZ_BOTTOM;
    case HTBOTTOMLEFT:
        return WMSZ_BOTTOMLEFT;
    default:
        return WMSZ_BOTTOMRIGHT;
    }
}

int Clamp(int value, LONG low, LONG high) {
    return std::clamp<int>(value, low, std::max(low, high));
}

QRect ResizedRect(const TSizeMove& state, QPoint delta) {
    QRect rect = state.startRect;
    const LONG minW = state.limits.ptMinTrackSize.x, maxW = state.limits.ptMaxTrackSize.x;
    const LONG minH = state.limits.ptMinTrackSize.y, maxH = state.limits.ptMaxTrackSize.y;
    if (MovesLeftEdge(state.hitTest)) {
        const int width = Clamp(rect.width() - delta.x(), minW, maxW);
        rect.setLeft(rect.right() + 1 - width);
    }
    if (MovesRightEdge(state.hitTest))
        rect.setWidth(Clamp(rect.width() + delta.x(), minW, maxW));
    if (MovesTopEdge(state.hitTest)) {
        const int height = Clamp(rect.height() - delta.y(), minH, maxH);
        rect.setTop(rect.bottom() + 1 - height);
    }
    if (MovesBottomEdge(state.hitTest))
        rect.setHeight(Clamp(rect.height() + delta.y(), minH, maxH));
    return rect;
}

void PlaceAtScreenRect(HWND window, const RECT& rect) {
    QPoint topLeft(rect.left, rect.top);
    if ((window->style & WS_CHILD) && IsWindow(window->parent))
        topLeft = window->parent->widget->mapFromGlobal(topLeft);
    SetWindowPos(window, nullptr, topLeft.x(), topLeft.y(), rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeepPointerGrab(HWND window) {
    QWidget* widget = window->widget;
    if (widget && widget->isVisible() && QWidget::mouseGrabber() != widget)
        widget->grabMouse();
}

MINMAXINFO TrackLimits(HWND window) {
    MINMAXINFO limits{};
    limits.ptMinTrackSize = {1, 1};
    limits.ptMaxTrackSize = {UnlimitedTrackSize, UnlimitedTrackSize};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    return limits;
}

} // namespace

bool SizeMoveLoopRunning() {
    return g_sizeMove != nullptr;
}

void RunSizeMoveLoop(HWND window, LRESULT hitTest, QPoint startGlobal) {
    if (g_sizeMove || !IsWindow(window))
        return;
    if (hitTest != HTCAPTION && !IsSizingHit(hitTest))
        return;
    TModalLoop loop;
    TSizeMove state;
    state.window = window;
    state.hitTest = hitTest;
    state.startGlobal = startGlobal;
    state.lastGlobal = startGlobal;
    state.startRect = ScreenRectOf(window);
    state.loop = &loop;
    if (IsSizingHit(hitTest))
        state.limits = TrackLimits(window);
    g_sizeMove = &state;
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    if (IsWindow(window))
        KeepPointerGrab(window);
    if (!state.ended && IsWindow(window))
        loop.Run();
    g_sizeMove = nullptr;
    if (!IsWindow(window))
        return;
    if (window->widget && QWidget::mouseGrabber() == window->widget && GetCapture() != window)
        window->widget->releaseMouse();
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    // The button-up that ended the move reaches the procedure, so a window
    // that tracks its own drag state sees the drag end.
    if (state.released && IsWindow(window))
        SendMessageA(window, WM_NCLBUTTONUP, static_cast<WPARAM>(hitTest),
                     MAKELPARAM(state.lastGlobal.x(), state.lastGlobal.y()));
}

void FeedSizeMoveLoop(QPoint global, bool buttonReleased) {
    TSizeMove* state = g_sizeMove;
    if (!state || state->ended)
        return;
    state->lastGlobal = global;
    if (buttonReleased || !IsWindow(state->window)) {
        state->released = buttonReleased;
        state->ended = true;
        state->loop->Quit();
        return;
    }
    const QPoint delta = global - state->startGlobal;
    const bool moving = state->hitTest == HTCAPTION;
    const QRect proposed = moving ? state->startRect.translated(delta) : ResizedRect(*state, delta);
    RECT rect{proposed.left(), proposed.top(), proposed.left() + proposed.width(),
              proposed.top() + proposed.height()};
    SendMessageA(state->window, moving ? WM_MOVING : WM_SIZING,
                 moving ? 0 : SizingEdge(state->hitTest), reinterpret_cast<LPARAM>(&rect));
    // The procedure may have ended the loop or destroyed the window.
    if (g_sizeMove != state || state->ended || !IsWindow(state->window))
        return;
    PlaceAtScreenRect(state->window, rect);
    if (IsWindow(state->window))
        KeepPointerGrab(state->window);
}

void CancelSizeMoveLoop() {
    TSizeMove* state = g_sizeMove;
    if (!state || state->ended)
        return;
    state->ended = true;
    state->loop->Quit();
}
