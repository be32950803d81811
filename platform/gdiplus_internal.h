#pragma once
// What the GDI+ objects hold, inside the drawing layer only.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QString>

#include <optional>

#include "platform/gdiplus.h"

namespace Gdiplus {

struct ImageData {
    // ARGB32_Premultiplied for decoded and new bitmaps; a wrapped pixel
    // buffer keeps its own format (BGR888, RGB32, ARGB32...).
    QImage image;
};

struct FontData {
    QFont font;
};

// The surface a Graphics draws on and how, taken afresh for every call,
// because GDI calls on the same DC may draw in between.
struct GraphicsAccess {
    static QImage* SurfaceOf(const Graphics& graphics);
    static QRegion ClipOf(const Graphics& graphics);
    // Begins `painter` on the surface with the clip and the graphics' modes;
    // false when there is nothing to draw on.
    static bool Begin(const Graphics& graphics, QPainter& painter);
    static bool SmoothImages(const Graphics& graphics);
    // The painter of a printer DC's open document, or null.
    static QPainter* PrinterPainterOf(const Graphics& graphics);
    static void ApplyModes(const Graphics& graphics, QPainter& painter);
};

// The painter one drawing call draws with: its own, begun on the image
// surface, or a printer document's, whose state is kept around the call.
class PaintScope {
public:
    explicit PaintScope(const Graphics& graphics);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    bool Active() const { return painter_ != nullptr; }
    QPainter& Painter() const { return *painter_; }
    // The whole area the painter may draw on.
    QRect Area() const;

private:
    QPainter own_;
    QPainter* painter_ = nullptr;
    bool borrowed_ = false;
};

QString TextOf(const WCHAR* text, INT length);
QColor QColorOf(const Color& colour);

} // namespace Gdiplus
