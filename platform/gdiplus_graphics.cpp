// GDI+ graphics: the drawing surface, modes, images, rectangles, lines and
// curves.

#include <QPainterPath>

#include <cmath>

#include "platform/gdi_internal.h"
#include "platform/gdi_objects.h"
#include "platform/gdiplus_internal.h"

namespace Gdiplus {

namespace {

const Color* ColourOfBrush(const Brush* brush) {
    const auto* solid = dynamic_cast<const SolidBrush*>(brush);
    return solid == nullptr ? nullptr : &solid->ColourValue();
}

QPen QPenOf(const Pen& pen) {
    QPen made(QColorOf(pen.GetColourValue()));
    made.setWidthF(pen.GetWidth() <= 0 ? 1.0 : pen.GetWidth());
    made.setCapStyle(Qt::FlatCap);
    made.setJoinStyle(Qt::MiterJoin);
    return made;
}

bool Antialiased(SmoothingMode mode) {
    return mode == SmoothingModeHighQuality || mode == SmoothingModeAntiAlias;
}

// GDI+ puts a one-pixel pen's line through pixel centres when it is not
// antialiased; offsetting by half a pixel gives Qt the same pixels.
QPointF PixelCentre(REAL x, REAL y) {
    return QPointF(x + 0.5, y + 0.5);
}

// The cubic Bezier segments of a cardinal spline through `points`.
QPainterPath CardinalSpline(const std::vector<QPointF>& points, REAL tension) {
    QPainterPath path(points.front());
    const double scale = tension / 3.0;
    const auto count = points.size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const QPointF& before = points[i == 0 ? 0 : i - 1];
        const QPointF& from = points[i];
        const QPointF& to = points[i + 1];
        const QPointF& after = points[i + 2 < count ? i + 2 : count - 1];
        if (tension == 0) {
            path.lineTo(to);
            continue;
        }
        path.cubicTo(from + (to - before) * scale, to - (after - from) * scale, to);
    }
    return path;
}

} // namespace

QImage* GraphicsAccess::SurfaceOf(const Graphics& graphics) {
    if (graphics.image_ != nullptr)
        return &graphics.image_->Data()->image;
    return ImageOfDC(graphics.dc_);
}

QRegion GraphicsAccess::ClipOf(const Graphics& graphics) {
    if (graphics.image_ != nullptr)
        return QRegion(graphics.image_->Data()->image.rect());
    return DrawableArea(graphics.dc_);
}

QPainter* GraphicsAccess::PrinterPainterOf(const Graphics& graphics) {
    return graphics.image_ != nullptr ? nullptr : PrinterPainterOfDC(graphics.dc_);
}

void GraphicsAccess::ApplyModes(const Graphics& graphics, QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, Antialiased(graphics.smoothing_));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, SmoothImages(graphics));
    const bool aliasedText = graphics.textHint_ == TextRenderingHintSingleBitPerPixel ||
                             graphics.textHint_ == TextRenderingHintSingleBitPerPixelGridFit;
    painter.setRenderHint(QPainter::TextAntialiasing, !aliasedText);
}

bool GraphicsAccess::Begin(const Graphics& graphics, QPainter& painter) {
    QImage* surface = SurfaceOf(graphics);
    if (surface == nullptr || surface->isNull())
        return false;
    if (!painter.begin(surface))
        return false;
    painter.setClipRegion(ClipOf(graphics));
    ApplyModes(graphics, painter);
    return true;
}

PaintScope::PaintScope(const Graphics& graphics) {
    if (QPainter* printer = GraphicsAccess::PrinterPainterOf(graphics)) {
        printer->save();
        painter_ = printer;
        borrowed_ = true;
        GraphicsAccess::ApplyModes(graphics, *printer);
        return;
    }
    if (GraphicsAccess::Begin(graphics, own_))
        painter_ = &own_;
}

PaintScope::~PaintScope() {
    if (borrowed_)
        painter_->restore();
}

QRect PaintScope::Area() const {
    if (painter_ == nullptr || painter_->device() == nullptr)
        return {};
    return QRect(0, 0, painter_->device()->width(), painter_->device()->height());
}

bool GraphicsAccess::SmoothImages(const Graphics& graphics) {
    return graphics.interpolation_ != InterpolationModeNearestNeighbor;
}

Graphics::Graphics(HDC dc) : dc_(dc) {
    if (ImageOfDC(dc) == nullptr && PrinterJobOfDC(dc) == nullptr)
        status_ = InvalidParameter;
}

Graphics::Graphics(Image* image) : image_(image) {
    if (image == nullptr || image->Data()->image.isNull())
        status_ = InvalidParameter;
}

Graphics::~Graphics() = default;

Graphics* Graphics::FromHDC(HDC dc) {
    return new Graphics(dc);
}
Graphics* Graphics::FromImage(Image* image) {
    return new Graphics(image);
}

Status Graphics::SetSmoothingMode(SmoothingMode mode) {
    if (mode == SmoothingModeInvalid)
        return InvalidParameter;
    smoothing_ = mode;
    return Ok;
}

Status Graphics::SetInterpolationMode(InterpolationMode mode) {
    if (mode == InterpolationModeInvalid)
        return InvalidParameter;
    interpolation_ = mode == InterpolationModeDefault ? InterpolationModeBilinear : mode;
    return Ok;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint) {
    textHint_ = hint;
    return Ok;
}

Status Graphics::SetPageUnit(Unit unit) {
    // Everything here is drawn in pixels; other units are not offered.
    return unit == UnitPixel || unit == UnitDisplay ? Ok : NotImplemented;
}

Status Graphics::Clear(const Color& colour) {
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(scope.Area(), QColorOf(colour));
    return Ok;
}

Status Graphics::DrawImage(Image* image, INT x, INT y) {
    if (image == nullptr)
        return InvalidParameter;
    return DrawImage(image, Rect{x, y, static_cast<INT>(image->GetWidth()),
                                 static_cast<INT>(image->GetHeight())});
}

Status Graphics::DrawImage(Image* image, INT x, INT y, INT width, INT height) {
    return DrawImage(image, Rect{x, y, width, height});
}

Status Graphics::DrawImage(Image* image, const Rect& destination) {
    if (image == nullptr)
        return InvalidParameter;
    return DrawImage(image, destination, 0, 0, static_cast<INT>(image->GetWidth()),
                     static_cast<INT>(image->GetHeight()), UnitPixel);
}

Status Graphics::DrawImage(Image* image, const RectF& destination) {
    if (image == nullptr)
        return InvalidParameter;
    return DrawImage(image, destination, 0, 0, static_cast<REAL>(image->GetWidth()),
                     static_cast<REAL>(image->GetHeight()), UnitPixel);
}

Status Graphics::DrawImage(Image* image, const Rect& destination, INT sourceX, INT sourceY,
                           INT sourceWidth, INT sourceHeight, Unit unit, const void* attributes) {
    if (image == nullptr || unit != UnitPixel)
        return InvalidParameter;
    if (destination.Width <= 0 || destination.Height <= 0 || sourceWidth <= 0 ||
        sourceHeight <= 0) {
        return InvalidParameter;
    }
    const QImage& source = image->Data()->image;
    const QRect from(sourceX, sourceY, sourceWidth, sourceHeight);
    const bool scaled = destination.Width != sourceWidth || destination.Height != sourceHeight;
    if (!scaled || !GraphicsAccess::SmoothImages(*this)) {
        return DrawImage(
            image,
            RectF{static_cast<REAL>(destination.X), static_cast<REAL>(destination.Y),
                  static_cast<REAL>(destination.Width), static_cast<REAL>(destination.Height)},
            static_cast<REAL>(sourceX), static_cast<REAL>(sourceY), static_cast<REAL>(sourceWidth),
            static_cast<REAL>(sourceHeight), unit, attributes);
    }
    // Scaled ahead with Qt's area-averaging filter: a painter transform only
    // samples bilinearly, which is coarse when shrinking a skin image.
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    const QImage piece = source.copy(from).scaled(destination.Width, destination.Height,
                                                  Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(QPoint(destination.X, destination.Y), piece);
    return Ok;
}

Status Graphics::DrawImage(Image* image, const RectF& destination, REAL sourceX, REAL sourceY,
                           REAL sourceWidth, REAL sourceHeight, Unit unit, const void*) {
    if (image == nullptr || unit != UnitPixel)
        return InvalidParameter;
    if (destination.Width <= 0 || destination.Height <= 0 || sourceWidth <= 0 ||
        sourceHeight <= 0) {
        return InvalidParameter;
    }
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    painter.drawImage(QRectF(destination.X, destination.Y, destination.Width, destination.Height),
                      image->Data()->image, QRectF(sourceX, sourceY, sourceWidth, sourceHeight));
    return Ok;
}

Status Graphics::FillRectangle(const Brush* brush, INT x, INT y, INT width, INT height) {
    return FillRectangle(brush, RectF{static_cast<REAL>(x), static_cast<REAL>(y),
                                      static_cast<REAL>(width), static_cast<REAL>(height)});
}

Status Graphics::FillRectangle(const Brush* brush, const Rect& rect) {
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height) {
    return FillRectangle(brush, RectF{x, y, width, height});
}

Status Graphics::FillRectangle(const Brush* brush, const RectF& rect) {
    const Color* colour = ColourOfBrush(brush);
    if (colour == nullptr)
        return InvalidParameter;
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    painter.fillRect(QRectF(rect.X, rect.Y, rect.Width, rect.Height), QColorOf(*colour));
    return Ok;
}

Status Graphics::FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height) {
    const Color* colour = ColourOfBrush(brush);
    if (colour == nullptr)
        return InvalidParameter;
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColorOf(*colour));
    painter.drawEllipse(QRectF(x, y, width, height));
    return Ok;
}

Status Graphics::DrawRectangle(const Pen* pen, INT x, INT y, INT width, INT height) {
    if (pen == nullptr)
        return InvalidParameter;
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    painter.setPen(QPenOf(*pen));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(PixelCentre(x, y), QSizeF(width, height)));
    return Ok;
}

Status Graphics::DrawEllipse(const Pen* pen, INT x, INT y, INT width, INT height) {
    if (pen == nullptr)
        return InvalidParameter;
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    painter.setPen(QPenOf(*pen));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(x, y, width, height));
    return Ok;
}

Status Graphics::DrawLine(const Pen* pen, INT x1, INT y1, INT x2, INT y2) {
    return DrawLine(pen, static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2),
                    static_cast<REAL>(y2));
}

Status Graphics::DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
    const PointF points[2] = {{x1, y1}, {x2, y2}};
    return DrawCurve(pen, points, 2, 0.0f);
}

Status Graphics::DrawLines(const Pen* pen, const Point* points, INT count) {
    return DrawCurve(pen, points, count, 0.0f);
}

Status Graphics::DrawCurve(const Pen* pen, const Point* points, INT count, REAL tension) {
    if (points == nullptr || count < 2)
        return InvalidParameter;
    std::vector<PointF> converted(static_cast<std::size_t>(count));
    for (INT i = 0; i < count; ++i) {
        converted[static_cast<std::size_t>(i)] =
            PointF{static_cast<REAL>(points[i].X), static_cast<REAL>(points[i].Y)};
    }
    return DrawCurve(pen, converted.data(), count, tension);
}

Status Graphics::DrawCurve(const Pen* pen, const PointF* points, INT count, REAL tension) {
    if (pen == nullptr || points == nullptr || count < 2 || tension < 0)
        return InvalidParameter;
    std::vector<QPointF> centres;
    centres.reserve(static_cast<std::size_t>(count));
    for (INT i = 0; i < count; ++i)
        centres.push_back(PixelCentre(points[i].X, points[i].Y));
    PaintScope scope(*this);
    if (!scope.Active())
        return status_ = InvalidParameter;
    QPainter& painter = scope.Painter();
    painter.setPen(QPenOf(*pen));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(CardinalSpline(centres, tension));
    return Ok;
}

} // namespace Gdiplus
