// Regions and clipping.

#include <QPainterPath>
#include <QPolygon>

#include <cstring>

#include "platform/gdi_objects.h"

namespace {

HRGN WrapRegion(QRegion area) {
    auto* region = new GdiRegion;
    region->area = std::move(area);
    return region;
}

// GDI rectangles are right/bottom exclusive; QRect's right() is inclusive.
QRect ToQRect(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return {};
    return QRect(left, top, right - left, bottom - top);
}

int KindOf(const QRegion& area) {
    if (area.isEmpty())
        return NULLREGION;
    return area.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT ToRect(const QRect& rect) {
    RECT out;
    if (rect.isEmpty())
        return out;
    out.left = rect.left();
    out.top = rect.top();
    out.right = rect.left() + rect.width();
    out.bottom = rect.top() + rect.height();
    return out;
}

// A filled shape's pixels as a region: whole pixels whose centres lie
// inside the outline, which is what GDI's elliptic and rounded regions
// give.
QRegion RegionOfPath(const QPainterPath& path, const QRect& bounds) {
    QRegion area;
    for (int y = bounds.top(); y < bounds.top() + bounds.height(); ++y) {
        int runStart = -1;
        for (int x = bounds.left(); x <= bounds.left() + bounds.width(); ++x) {
            const bool inside =
                x < bounds.left() + bounds.width() && path.contains(QPointF(x + 0.5, y + 0.5));
            if (inside && runStart < 0)
                runStart = x;
            if (!inside && runStart >= 0) {
                area += QRect(runStart, y, x - runStart, 1);
                runStart = -1;
            }
        }
    }
    return area;
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return WrapRegion(QRegion(ToQRect(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    if (rect == nullptr)
        return nullptr;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    const QRect bounds = ToQRect(left, top, right, bottom);
    QPainterPath path;
    path.addEllipse(QRectF(bounds));
    return WrapRegion(RegionOfPath(path, bounds));
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
    const QRect bounds = ToQRect(left, top, right, bottom);
    QPainterPath path;
    path.addRoundedRect(QRectF(bounds), ellipseWidth / 2.0, ellipseHeight / 2.0);
    return WrapRegion(RegionOfPath(path, bounds));
}

HRGN ExtCreateRegion(const void*, DWORD size, const RGNDATA* data) {
    if (data == nullptr || size < sizeof(RGNDATAHEADER))
        return nullptr;
    if (data->rdh.iType != RDH_RECTANGLES)
        return nullptr;
    const std::size_t needed = sizeof(RGNDATAHEADER) + std::size_t{data->rdh.nCount} * sizeof(RECT);
    // The count must fit in what the caller says it handed over.
    if (needed > size)
        return nullptr;
    QRegion area;
    const char* rects = reinterpret_cast<const char*>(data) + sizeof(RGNDATAHEADER);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        RECT rect;
        std::memcpy(&rect, rects + i * sizeof(RECT), sizeof rect);
        area += ToQRect(rect.left, rect.top, rect.right, rect.bottom);
    }
    return WrapRegion(std::move(area));
}

int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode) {
    GdiRegion* target = AsRegion(destination);
    const GdiRegion* a = AsRegion(first);
    if (target == nullptr || a == nullptr)
        return ERROR;
    if (mode == RGN_COPY) {
        target->area = a->area;
        return KindOf(target->area);
    }
    const GdiRegion* b = AsRegion(second);
    if (b == nullptr)
        return ERROR;
    switch (mode) {
    case RGN_AND:
        target->area = a->area & b->area;
        break;
    case RGN_OR:
        target->area = a->area | b->area;
        break;
    case RGN_XOR:
        target->area = a->area ^ b->area;
        break;
    case RGN_DIFF:
        target->area = a->area - b->area;
        break;
    default:
        return ERROR;
    }
    return KindOf(target->area);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    GdiRegion* target = AsRegion(region);
    if (target == nullptr)
        return FALSE;
    target->area = QRegion(ToQRect(left, top, right, bottom));
    return TRUE;
}

int OffsetRgn(HRGN region, int dx, int dy) {
    GdiRegion* target = AsRegion(region);
    if (target == nullptr)
        return ERROR;
    target->area.translate(dx, dy);
    return KindOf(target->area);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    const GdiRegion* target = AsRegion(region);
    if (target == nullptr)
        return FALSE;
    return target->area.contains(QPoint(x, y)) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN first, HRGN second) {
    const GdiRegion* a = AsRegion(first);
    const GdiRegion* b = AsRegion(second);
    if (a == nullptr || b == nullptr)
        return FALSE;
    return a->area == b->area ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
    const GdiRegion* target = AsRegion(region);
    if (target == nullptr || box == nullptr)
        return ERROR;
    *box = ToRect(target->area.boundingRect());
    return KindOf(target->area);
}

int SelectClipRgn(HDC dc, HRGN region) {
    if (dc == nullptr)
        return ERROR;
    if (region == nullptr) {
        dc->clip.reset();
        return SIMPLEREGION;
    }
    const GdiRegion* source = AsRegion(region);
    if (source == nullptr)
        return ERROR;
    dc->clip = source->area;
    return KindOf(source->area);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    if (dc == nullptr)
        return ERROR;
    const QRegion rect(ToQRect(left, top, right, bottom));
    dc->clip = dc->clip ? (*dc->clip & rect) : rect;
    if (dc->surface != nullptr)
        return KindOf(*dc->clip & QRegion(dc->surface->rect()));
    return KindOf(*dc->clip);
}

int GetClipBox(HDC dc, RECT* box) {
    if (dc == nullptr || box == nullptr)
        return ERROR;
    const QRegion area = DrawableArea(dc);
    *box = ToRect(area.boundingRect());
    return KindOf(area);
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    const GdiRegion* source = AsRegion(region);
    const GdiBrush* fill = AsBrush(brush);
    if (dc == nullptr || source == nullptr || fill == nullptr || dc->surface == nullptr)
        return FALSE;
    if (fill->hollow)
        return TRUE;
    const QRegion area = source->area & DrawableArea(dc);
    const QRgb pixel = PixelOf(fill->colour);
    for (const QRect& rect : area) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(dc->surface->scanLine(y));
            for (int x = rect.left(); x <= rect.right(); ++x)
                row[x] = pixel;
        }
    }
    return TRUE;
}
