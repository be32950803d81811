#include "platform/cursor.h"

#include <QCursor>

#include <array>

#include "platform/window_internal.h"

struct HCURSOR__ {
    std::uintptr_t id;
    Qt::CursorShape shape;
};

namespace {

std::array<HCURSOR__, 10>& StandardCursors() {
    static std::array<HCURSOR__, 10> cursors{{
        {32512, Qt::ArrowCursor},
        {32513, Qt::IBeamCursor},
        {32514, Qt::WaitCursor},
        {32642, Qt::SizeFDiagCursor},
        {32643, Qt::SizeBDiagCursor},
        {32644, Qt::SizeHorCursor},
        {32645, Qt::SizeVerCursor},
        {32646, Qt::SizeAllCursor},
        {32649, Qt::PointingHandCursor},
        {32650, Qt::BusyCursor},
    }};
    return cursors;
}

HWND g_pointerWindow = nullptr;
HCURSOR g_current = nullptr;

} // namespace

HCURSOR LoadCursorA(HINSTANCE, const char* name) {
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    for (HCURSOR__& cursor : StandardCursors()) {
        if (cursor.id == id)
            return &cursor;
    }
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = g_current;
    g_current = cursor;
    HWND window = IsWindow(GetCapture()) ? GetCapture() : g_pointerWindow;
    if (!IsWindow(window))
        return previous;
    window->cursor = cursor;
    if (cursor)
        window->widget->setCursor(QCursor(cursor->shape));
    else
        window->widget->setCursor(QCursor(Qt::BlankCursor));
    return previous;
}

HCURSOR GetCursor() {
    return g_current;
}

void NoteWindowUnderPointer(HWND window) {
    g_pointerWindow = window;
}

HCURSOR CursorForHitTest(LRESULT hitTest) {
    switch (hitTest) {
    case HTLEFT:
    case HTRIGHT:
        return LoadCursorA(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM:
        return LoadCursorA(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return LoadCursorA(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return LoadCursorA(nullptr, IDC_SIZENESW);
    default:
        return LoadCursorA(nullptr, IDC_ARROW);
    }
}
