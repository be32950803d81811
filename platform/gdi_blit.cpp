// Blits with raster operations, stretching, colour-keyed copies and single
// pixels. Done on the pixel words themselves, so results are exact as in
// GDI (no blending, no rounding).

#include "platform/gdi_objects.h"

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;
constexpr QRgb kOpaque = 0xFF000000;
constexpr QRgb kWhite = 0x00FFFFFF;

// A block of source pixels already placed to match the destination
// rectangle, with how its words are to be read.
struct SourceBlock {
    QImage pixels; // 32-bit, the destination rectangle's size
    bool monochrome = false;
    COLORREF backColour = 0; // the source DC's, for colour-to-mono
};

bool NeedsSource(DWORD rop) {
    return rop != BLACKNESS && rop != WHITENESS && rop != DSTINVERT && rop != PATCOPY;
}

bool KnownRop(DWORD rop) {
    switch (rop) {
    case SRCCOPY:
    case SRCPAINT:
    case SRCAND:
    case SRCINVERT:
    case SRCERASE:
    case NOTSRCCOPY:
    case NOTSRCERASE:
    case MERGEPAINT:
    case DSTINVERT:
    case BLACKNESS:
    case WHITENESS:
    case PATCOPY:
        return true;
    default:
        return false;
    }
}

QRgb Apply(DWORD rop, QRgb s, QRgb d, QRgb pattern) {
    switch (rop) {
    case SRCCOPY:
        return s;
    case SRCPAINT:
        return s | d;
    case SRCAND:
        return s & d;
    case SRCINVERT:
        return s ^ d;
    case SRCERASE:
        return s & ~d;
    case NOTSRCCOPY:
        return ~s;
    case NOTSRCERASE:
        return ~(s | d);
    case MERGEPAINT:
        return ~s | d;
    case DSTINVERT:
        return ~d;
    case BLACKNESS:
        return 0;
    case WHITENESS:
        return kWhite;
    case PATCOPY:
        return pattern;
    default:
        return d;
    }
}

QRgb Rgb(COLORREF colour) {
    return PixelOf(colour) & kRgbMask;
}

// The source word as the destination sees it: GDI turns colour into
// monochrome by the source's background colour (that colour becomes white,
// everything else black), and monochrome into colour by the destination's
// text (black) and background (white) colours.
QRgb Translate(QRgb source, const SourceBlock& block, HDC destination) {
    const QRgb rgb = source & kRgbMask;
    const bool destinationMono =
        destination->bitmap != nullptr && destination->bitmap->monochrome && destination->memory;
    if (destinationMono && !block.monochrome)
        return rgb == Rgb(block.backColour) ? kWhite : 0;
    if (!destinationMono && block.monochrome) {
        return rgb == 0 ? Rgb(destination->textColour) : Rgb(destination->backColour);
    }
    return rgb;
}

void Combine(HDC destination, const QRect& target, const SourceBlock* block, DWORD rop) {
    const QRegion area = DrawableArea(destination) & QRegion(target);
    const QRgb pattern = destination->brush != nullptr ? Rgb(destination->brush->colour) : 0;
    QImage& surface = *destination->surface;
    for (const QRect& rect : area) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(surface.scanLine(y));
            const QRgb* sourceRow =
                block != nullptr
                    ? reinterpret_cast<const QRgb*>(block->pixels.constScanLine(y - target.top()))
                    : nullptr;
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QRgb s = sourceRow != nullptr
                                   ? Translate(sourceRow[x - target.left()], *block, destination)
                                   : 0;
                row[x] = (Apply(rop, s, row[x] & kRgbMask, pattern) & kRgbMask) | kOpaque;
            }
        }
    }
}

SourceBlock BlockOf(HDC source, const QImage& pixels) {
    SourceBlock block;
    block.pixels = pixels.convertToFormat(QImage::Format_RGB32);
    block.monochrome = source->memory && source->bitmap != nullptr && source->bitmap->monochrome;
    block.backColour = source->backColour;
    return block;
}

bool Usable(HDC dc) {
    return dc != nullptr && dc->surface != nullptr && dc->surface->depth() == 32;
}

// The source rectangle scaled onto width x height, mirrored as StretchBlt
// does when one of the two extents is negative.
QImage Stretched(const QImage& surface, const QRect& from, int width, int height, bool mirrorX,
                 bool mirrorY, bool smooth) {
    QImage piece = surface.copy(from);
    if (piece.width() != width || piece.height() != height) {
        piece = piece.scaled(width, height, Qt::IgnoreAspectRatio,
                             smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    }
    if (mirrorX || mirrorY)
        piece = piece.mirrored(mirrorX, mirrorY);
    return piece;
}

QRect Normalised(int x, int y, int width, int height) {
    return QRect(width < 0 ? x + width + 1 : x, height < 0 ? y + height + 1 : y,
                 width < 0 ? -width : width, height < 0 ? -height : height);
}

} // namespace

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop) {
    if (!Usable(destination) || !KnownRop(rop) || width <= 0 || height <= 0)
        return FALSE;
    QRect target(x, y, width, height);
    if (!NeedsSource(rop)) {
        Combine(destination, target, nullptr, rop);
        return TRUE;
    }
    if (!Usable(source))
        return FALSE;
    // Only the part that has source pixels is drawn.
    const QRect sourceArea = source->surface->rect().translated(x - sourceX, y - sourceY);
    target &= sourceArea;
    if (target.isEmpty())
        return TRUE;
    // Copied first, so a blit within one surface reads the pixels as they
    // were before it started.
    const QRect from = target.translated(sourceX - x, sourceY - y);
    const SourceBlock block = BlockOf(source, source->surface->copy(from));
    Combine(destination, target, &block, rop);
    return TRUE;
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop) {
    if (!Usable(destination) || !KnownRop(rop) || width == 0 || height == 0)
        return FALSE;
    const QRect target = Normalised(x, y, width, height);
    if (!NeedsSource(rop)) {
        Combine(destination, target, nullptr, rop);
        return TRUE;
    }
    if (!Usable(source) || sourceWidth == 0 || sourceHeight == 0)
        return FALSE;
    const QRect from = Normalised(sourceX, sourceY, sourceWidth, sourceHeight);
    const bool mirrorX = (width < 0) != (sourceWidth < 0);
    const bool mirrorY = (height < 0) != (sourceHeight < 0);
    const bool smooth = destination->stretchMode == HALFTONE;
    const QImage piece = Stretched(*source->surface, from, target.width(), target.height(), mirrorX,
                                   mirrorY, smooth);
    const SourceBlock block = BlockOf(source, piece);
    Combine(destination, target, &block, rop);
    return TRUE;
}

int SetStretchBltMode(HDC dc, int mode) {
    if (dc == nullptr || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    const int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

int GetStretchBltMode(HDC dc) {
    return dc == nullptr ? 0 : dc->stretchMode;
}

BOOL TransparentBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                    int sourceY, int sourceWidth, int sourceHeight, UINT keyColour) {
    if (!Usable(destination) || !Usable(source) || width <= 0 || height <= 0 || sourceWidth <= 0 ||
        sourceHeight <= 0) {
        return FALSE;
    }
    const QRect target(x, y, width, height);
    const QImage piece =
        Stretched(*source->surface, QRect(sourceX, sourceY, sourceWidth, sourceHeight), width,
                  height, false, false, false)
            .convertToFormat(QImage::Format_RGB32);
    const QRgb key = Rgb(keyColour);
    const QRegion area = DrawableArea(destination) & QRegion(target);
    for (const QRect& rect : area) {
        for (int row = rect.top(); row <= rect.bottom(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(destination->surface->scanLine(row));
            const auto* from = reinterpret_cast<const QRgb*>(piece.constScanLine(row - y));
            for (int column = rect.left(); column <= rect.right(); ++column) {
                const QRgb pixel = from[column - x] & kRgbMask;
                if (pixel != key)
                    line[column] = pixel | kOpaque;
            }
        }
    }
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    if (!DrawableArea(dc).contains(QPoint(x, y)))
        return CLR_INVALID;
    return ColourOf(dc->surface->pixel(x, y));
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
    if (!DrawableArea(dc).contains(QPoint(x, y)))
        return CLR_INVALID;
    auto* row = reinterpret_cast<QRgb*>(dc->surface->scanLine(y));
    row[x] = PixelOf(colour) | kOpaque;
    return colour & 0x00FFFFFF;
}
