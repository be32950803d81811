// Filled rectangles, outlines, lines, ellipses and the focus rectangle.
// Rectangles and one-pixel lines are set pixel by pixel so that they land
// exactly where GDI puts them (right/bottom exclusive, line end excluded).

#include <QPainter>

#include <cstdlib>

#include "platform/gdi_objects.h"

namespace {

constexpr QRgb kOpaque = 0xFF000000;
constexpr QRgb kRgbMask = 0x00FFFFFF;

QRect AreaOf(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return {};
    return QRect(left, top, right - left, bottom - top);
}

void FillArea(HDC dc, const QRect& rect, COLORREF colour) {
    const QRegion area = DrawableArea(dc) & QRegion(rect);
    const QRgb pixel = PixelOf(colour) | kOpaque;
    for (const QRect& part : area) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(dc->surface->scanLine(y));
            for (int x = part.left(); x <= part.right(); ++x)
                row[x] = pixel;
        }
    }
}

// The four sides of `rect`, `thickness` pixels deep, inside it.
void FillFrame(HDC dc, const QRect& rect, int thickness, COLORREF colour) {
    if (rect.isEmpty())
        return;
    const int w = rect.width();
    const int h = rect.height();
    const int t = std::min({thickness, w, h});
    FillArea(dc, QRect(rect.left(), rect.top(), w, t), colour);
    FillArea(dc, QRect(rect.left(), rect.top() + h - t, w, t), colour);
    FillArea(dc, QRect(rect.left(), rect.top(), t, h), colour);
    FillArea(dc, QRect(rect.left() + w - t, rect.top(), t, h), colour);
}

bool Drawable(HDC dc) {
    return dc != nullptr && dc->surface != nullptr && dc->surface->depth() == 32;
}

bool PenDraws(HDC dc) {
    return dc->pen != nullptr && dc->pen->style != PS_NULL;
}
bool BrushFills(HDC dc) {
    return dc->brush != nullptr && !dc->brush->hollow;
}

void PlotIfDrawable(HDC dc, const QRegion& area, int x, int y, QRgb pixel) {
    if (!area.contains(QPoint(x, y)))
        return;
    reinterpret_cast<QRgb*>(dc->surface->scanLine(y))[x] = pixel;
}

// Bresenham, leaving the last point out as GDI does.
void ThinLine(HDC dc, POINT from, POINT to) {
    const QRegion area = DrawableArea(dc);
    const QRgb pixel = PixelOf(dc->pen->colour) | kOpaque;
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int stepX = from.x < to.x ? 1 : -1;
    const int stepY = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    int x = from.x;
    int y = from.y;
    while (x != to.x || y != to.y) {
        PlotIfDrawable(dc, area, x, y, pixel);
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void PaintWith(HDC dc, const auto& draw) {
    QPainter painter(dc->surface);
    painter.setClipRegion(DrawableArea(dc));
    painter.setRenderHint(QPainter::Antialiasing, false);
    draw(painter);
}

void WideLine(HDC dc, POINT from, POINT to) {
    PaintWith(dc, [&](QPainter& painter) {
        QPen pen(QColor(PixelOf(dc->pen->colour)), dc->pen->width);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
    });
}

void Line(HDC dc, POINT from, POINT to) {
    if (!PenDraws(dc))
        return;
    if (dc->pen->width <= 1) {
        ThinLine(dc, from, to);
        return;
    }
    WideLine(dc, from, to);
}

} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const GdiBrush* fill = AsBrush(brush);
    if (!Drawable(dc) || rect == nullptr || fill == nullptr)
        return 0;
    if (!fill->hollow)
        FillArea(dc, AreaOf(rect->left, rect->top, rect->right, rect->bottom), fill->colour);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const GdiBrush* fill = AsBrush(brush);
    if (!Drawable(dc) || rect == nullptr || fill == nullptr)
        return 0;
    if (!fill->hollow)
        FillFrame(dc, AreaOf(rect->left, rect->top, rect->right, rect->bottom), 1, fill->colour);
    return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (!Drawable(dc))
        return FALSE;
    const QRect outer = AreaOf(left, top, right, bottom);
    if (outer.isEmpty())
        return TRUE;
    const int penWidth = PenDraws(dc) ? dc->pen->width : 0;
    if (BrushFills(dc))
        FillArea(dc, outer.adjusted(penWidth, penWidth, -penWidth, -penWidth), dc->brush->colour);
    if (penWidth > 0)
        FillFrame(dc, outer, penWidth, dc->pen->colour);
    return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    if (!Drawable(dc))
        return FALSE;
    const QRect outer = AreaOf(left, top, right, bottom);
    if (outer.isEmpty())
        return TRUE;
    PaintWith(dc, [&](QPainter& painter) {
        if (PenDraws(dc)) {
            painter.setPen(QPen(QColor(PixelOf(dc->pen->colour)), dc->pen->width));
        } else {
            painter.setPen(Qt::NoPen);
        }
        if (BrushFills(dc)) {
            painter.setBrush(QColor(PixelOf(dc->brush->colour)));
        } else {
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawEllipse(outer.adjusted(0, 0, -1, -1));
    });
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (dc == nullptr)
        return FALSE;
    if (previous != nullptr)
        *previous = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    if (!Drawable(dc))
        return FALSE;
    const POINT to{x, y};
    Line(dc, dc->position, to);
    dc->position = to;
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    if (!Drawable(dc) || points == nullptr || count < 2)
        return FALSE;
    for (int i = 1; i < count; ++i)
        Line(dc, points[i - 1], points[i]);
    return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    if (!Drawable(dc) || rect == nullptr)
        return FALSE;
    const QRect outer = AreaOf(rect->left, rect->top, rect->right, rect->bottom);
    if (outer.isEmpty())
        return TRUE;
    // A dotted frame drawn by inverting, so drawing it twice takes it away.
    const QRegion area = DrawableArea(dc);
    auto invert = [&](int x, int y) {
        if (!area.contains(QPoint(x, y)))
            return;
        QRgb& pixel = reinterpret_cast<QRgb*>(dc->surface->scanLine(y))[x];
        pixel = ((~pixel) & kRgbMask) | kOpaque;
    };
    const int right = outer.left() + outer.width() - 1;
    const int bottom = outer.top() + outer.height() - 1;
    for (int x = outer.left(); x <= right; x += 2) {
        invert(x, outer.top());
        if (bottom != outer.top())
            invert(x, bottom);
    }
    for (int y = outer.top() + 2; y < bottom; y += 2) {
        invert(outer.left(), y);
        if (right != outer.left())
            invert(right, y);
    }
    return TRUE;
}
