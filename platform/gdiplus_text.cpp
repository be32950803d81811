// GDI+ fonts, string formats, and drawing and measuring text in a box.
//
// One layout serves drawing and measuring, so what MeasureString and
// MeasureCharacterRanges report is where DrawString puts the glyphs.

#include <QFontMetricsF>
#include <QTextLayout>

#include <cmath>
#include <limits>

#include "platform/font_resolver.h"
#include "platform/gdi_objects.h"
#include "platform/gdiplus_internal.h"

namespace Gdiplus {

namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kDocumentUnitsPerInch = 300.0;
// Width given to a line that does not wrap.
constexpr double kUnwrappedLineWidth = 1.0e6;

double PixelsOf(REAL size, Unit unit) {
    switch (unit) {
    case UnitPoint:
        return size * kScreenDpi / kPointsPerInch;
    case UnitInch:
        return size * kScreenDpi;
    case UnitMillimeter:
        return size * kScreenDpi / kMillimetresPerInch;
    case UnitDocument:
        return size * kScreenDpi / kDocumentUnitsPerInch;
    default:
        return size;
    }
}

double AlignedOffset(StringAlignment alignment, double room, double used) {
    switch (alignment) {
    case StringAlignmentCenter:
        return (room - used) / 2;
    case StringAlignmentFar:
        return room - used;
    default:
        return 0;
    }
}

// Text laid out for a box; a point origin is a box of no size, which puts
// centred text around the point and far-aligned text before it.
class TextBox {
public:
    TextBox(const QString& text, const QFont& font, const RectF& box, bool wraps,
            const StringFormat& format)
        : layout_(text, font), box_(box) {
        QTextOption option;
        option.setWrapMode(wraps ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        layout_.setTextOption(option);
        layout_.setCacheEnabled(true);
        layout_.beginLayout();
        double height = 0;
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(wraps ? box.Width : kUnwrappedLineWidth);
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout_.endLayout();
        const double top = box.Y + AlignedOffset(format.GetLineAlignment(), box.Height, height);
        for (int i = 0; i < layout_.lineCount(); ++i) {
            QTextLine line = layout_.lineAt(i);
            const double left =
                box.X + AlignedOffset(format.GetAlignment(), box.Width, line.naturalTextWidth());
            line.setPosition(QPointF(left, top + line.position().y()));
        }
    }

    void Draw(QPainter& painter) const { layout_.draw(&painter, QPointF(0, 0)); }

    RectF Bounds() const {
        QRectF united;
        for (int i = 0; i < layout_.lineCount(); ++i) {
            const QTextLine line = layout_.lineAt(i);
            united |= QRectF(line.position(), QSizeF(line.naturalTextWidth(), line.height()));
        }
        if (layout_.lineCount() == 0)
            return RectF{box_.X, box_.Y, 0, 0};
        return RectF{static_cast<REAL>(united.x()), static_cast<REAL>(united.y()),
                     static_cast<REAL>(united.width()), static_cast<REAL>(united.height())};
    }

    // The box around the characters [first, end) (UTF-16 positions).
    QRectF RangeBounds(int first, int end) const {
        QRectF united;
        for (int i = 0; i < layout_.lineCount(); ++i) {
            const QTextLine line = layout_.lineAt(i);
            const int lineStart = line.textStart();
            const int lineEnd = lineStart + line.textLength();
            const int from = std::max(first, lineStart);
            const int to = std::min(end, lineEnd);
            if (from >= to)
                continue;
            const double left = line.cursorToX(from);
            const double right = line.cursorToX(to);
            // cursorToX already counts the line's own position.
            united |= QRectF(std::min(left, right), line.position().y(), std::abs(right - left),
                             line.height());
        }
        return united;
    }

    int LineCount() const { return layout_.lineCount(); }

private:
    QTextLayout layout_;
    RectF box_;
};

// Range positions count WCHARs (code points here); the layout counts UTF-16
// units.
int Utf16Position(const WCHAR* text, INT length, INT position) {
    int units = 0;
    for (INT i = 0; i < position && i < length; ++i)
        units += text[i] > 0xFFFF ? 2 : 1;
    return units;
}

INT LengthOf(const WCHAR* text, INT length) {
    if (length >= 0)
        return length;
    INT counted = 0;
    while (text[counted] != 0)
        ++counted;
    return counted;
}

bool Wraps(const StringFormat& format, const RectF& box) {
    return !(format.GetFormatFlags() & StringFormatFlagsNoWrap) && box.Width > 0;
}

const Color* ColourOfBrush(const Brush* brush) {
    const auto* solid = dynamic_cast<const SolidBrush*>(brush);
    return solid == nullptr ? nullptr : &solid->ColourValue();
}

Status Paint(const Graphics& graphics, const WCHAR* text, INT length, const Font* font,
             const RectF& box, bool clipToBox, const StringFormat* format, const Brush* brush) {
    const Color* colour = ColourOfBrush(brush);
    if (text == nullptr || font == nullptr || colour == nullptr)
        return InvalidParameter;
    const StringFormat& used = format != nullptr ? *format : *StringFormat::GenericDefault();
    const TextBox laidOut(TextOf(text, length), font->Data()->font, box, Wraps(used, box), used);
    PaintScope scope(graphics);
    if (!scope.Active())
        return InvalidParameter;
    QPainter& painter = scope.Painter();
    if (clipToBox && !(used.GetFormatFlags() & StringFormatFlagsNoClip) && box.Width > 0 &&
        box.Height > 0) {
        painter.setClipRect(QRectF(box.X, box.Y, box.Width, box.Height), Qt::IntersectClip);
    }
    painter.setPen(QColorOf(*colour));
    laidOut.Draw(painter);
    return Ok;
}

} // namespace

Font::Font(const WCHAR* family, REAL size, INT style, Unit unit)
    : data_(std::make_unique<FontData>()), size_(size), style_(style), unit_(unit) {
    const QString face = family == nullptr ? QString() : QString::fromWCharArray(family);
    const int pixels = std::max(1, static_cast<int>(std::lround(PixelsOf(size, unit))));
    QFont font = ResolveFont(face, pixels, (style & FontStyleBold) ? FW_BOLD : FW_NORMAL,
                             (style & FontStyleItalic) != 0);
    font.setUnderline((style & FontStyleUnderline) != 0);
    font.setStrikeOut((style & FontStyleStrikeout) != 0);
    data_->font = font;
}

Font::Font(HDC, HFONT font) : data_(std::make_unique<FontData>()), unit_(UnitPixel) {
    const GdiFont* source = AsFont(font);
    data_->font = source != nullptr ? source->font : ResolveFont(QString(), 12, FW_NORMAL, false);
    size_ = static_cast<REAL>(data_->font.pixelSize());
    if (data_->font.bold())
        style_ |= FontStyleBold;
    if (data_->font.italic())
        style_ |= FontStyleItalic;
}

Font::~Font() = default;

REAL Font::GetHeight(const Graphics*) const {
    return static_cast<REAL>(QFontMetricsF(data_->font).lineSpacing());
}

REAL Font::GetHeight(REAL dpi) const {
    return static_cast<REAL>(QFontMetricsF(data_->font).lineSpacing() * dpi / kScreenDpi);
}

StringFormat::StringFormat(INT flags, LANGID) : flags_(flags) {}

Status StringFormat::SetAlignment(StringAlignment alignment) {
    alignment_ = alignment;
    return Ok;
}

Status StringFormat::SetLineAlignment(StringAlignment alignment) {
    lineAlignment_ = alignment;
    return Ok;
}

Status StringFormat::SetFormatFlags(INT flags) {
    flags_ = flags;
    return Ok;
}

Status StringFormat::SetMeasurableCharacterRanges(INT count, const CharacterRange* ranges) {
    if (count < 0 || (count > 0 && ranges == nullptr))
        return InvalidParameter;
    ranges_.assign(ranges, ranges + count);
    return Ok;
}

const StringFormat* StringFormat::GenericDefault() {
    static const StringFormat format;
    return &format;
}

const StringFormat* StringFormat::GenericTypographic() {
    static const StringFormat format(StringFormatFlagsNoFitBlackBox | StringFormatFlagsLineLimit |
                                     StringFormatFlagsNoClip);
    return &format;
}

Status Region::GetBounds(RectF* bounds, const Graphics*) const {
    if (bounds == nullptr)
        return InvalidParameter;
    *bounds = empty_ ? RectF{} : bounds_;
    return Ok;
}

Status Region::GetBounds(Rect* bounds, const Graphics*) const {
    if (bounds == nullptr)
        return InvalidParameter;
    if (empty_) {
        *bounds = Rect{};
        return Ok;
    }
    const INT left = static_cast<INT>(std::floor(bounds_.X));
    const INT top = static_cast<INT>(std::floor(bounds_.Y));
    *bounds = Rect{left, top, static_cast<INT>(std::ceil(bounds_.X + bounds_.Width)) - left,
                   static_cast<INT>(std::ceil(bounds_.Y + bounds_.Height)) - top};
    return Ok;
}

BOOL Region::IsEmpty(const Graphics*) const {
    return empty_ ? TRUE : FALSE;
}

Status Graphics::DrawString(const WCHAR* text, INT length, const Font* font, const RectF& layout,
                            const StringFormat* format, const Brush* brush) {
    return Paint(*this, text, length, font, layout, true, format, brush);
}

Status Graphics::DrawString(const WCHAR* text, INT length, const Font* font, const PointF& origin,
                            const Brush* brush) {
    return Paint(*this, text, length, font, RectF{origin.X, origin.Y, 0, 0}, false, nullptr, brush);
}

Status Graphics::DrawString(const WCHAR* text, INT length, const Font* font, const PointF& origin,
                            const StringFormat* format, const Brush* brush) {
    return Paint(*this, text, length, font, RectF{origin.X, origin.Y, 0, 0}, false, format, brush);
}

Status Graphics::MeasureString(const WCHAR* text, INT length, const Font* font, const RectF& layout,
                               const StringFormat* format, RectF* bounds, INT* codepointsFitted,
                               INT* linesFilled) const {
    if (text == nullptr || font == nullptr || bounds == nullptr)
        return InvalidParameter;
    const StringFormat& used = format != nullptr ? *format : *StringFormat::GenericDefault();
    const TextBox laidOut(TextOf(text, length), font->Data()->font, layout, Wraps(used, layout),
                          used);
    *bounds = laidOut.Bounds();
    if (codepointsFitted != nullptr)
        *codepointsFitted = LengthOf(text, length);
    if (linesFilled != nullptr)
        *linesFilled = laidOut.LineCount();
    return Ok;
}

Status Graphics::MeasureString(const WCHAR* text, INT length, const Font* font,
                               const PointF& origin, const StringFormat* format,
                               RectF* bounds) const {
    return MeasureString(text, length, font, RectF{origin.X, origin.Y, 0, 0}, format, bounds);
}

Status Graphics::MeasureCharacterRanges(const WCHAR* text, INT length, const Font* font,
                                        const RectF& layout, const StringFormat* format,
                                        INT regionCount, Region* regions) const {
    if (text == nullptr || font == nullptr || format == nullptr || regions == nullptr)
        return InvalidParameter;
    const std::vector<CharacterRange>& ranges = format->Ranges();
    if (regionCount < static_cast<INT>(ranges.size()))
        return InvalidParameter;
    const INT textLength = LengthOf(text, length);
    const TextBox laidOut(TextOf(text, textLength), font->Data()->font, layout,
                          Wraps(*format, layout), *format);
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const CharacterRange& range = ranges[i];
        if (range.First < 0 || range.Length < 0 || range.First + range.Length > textLength) {
            return InvalidParameter;
        }
        const QRectF box =
            laidOut.RangeBounds(Utf16Position(text, textLength, range.First),
                                Utf16Position(text, textLength, range.First + range.Length));
        regions[i].SetBounds(RectF{static_cast<REAL>(box.x()), static_cast<REAL>(box.y()),
                                   static_cast<REAL>(box.width()), static_cast<REAL>(box.height())},
                             box.isEmpty());
    }
    return Ok;
}

} // namespace Gdiplus
