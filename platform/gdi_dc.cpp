// Device contexts, object selection and lifetime, bitmaps, pens, brushes
// and stock objects.

#include <QGuiApplication>

#include <cstring>
#include <limits>

#include "platform/font_resolver.h"
#include "platform/gdi_internal.h"
#include "platform/gdi_objects.h"

namespace {

// Larger surfaces than this are refused rather than attempted: no window
// or skin image comes near it, and a bad size must not exhaust memory.
constexpr int kMaxBitmapSide = 16384;
constexpr int kDefaultGuiFontPixels = 12;

GdiBrush* MakeStockBrush(COLORREF colour, bool hollow) {
    auto* brush = new GdiBrush;
    brush->colour = colour;
    brush->hollow = hollow;
    brush->state.stock = true;
    return brush;
}

GdiPen* MakeStockPen(COLORREF colour, int style) {
    auto* pen = new GdiPen;
    pen->colour = colour;
    pen->style = style;
    pen->state.stock = true;
    return pen;
}

GdiFont* DefaultFont() {
    static GdiFont* const font = [] {
        auto* made = new GdiFont;
        made->font =
            ResolveFont(QStringLiteral("sans-serif"), kDefaultGuiFontPixels, FW_NORMAL, false);
        made->description.lfHeight = -kDefaultGuiFontPixels;
        made->description.lfWeight = FW_NORMAL;
        made->state.stock = true;
        return made;
    }();
    return font;
}

// A memory DC starts with this 1 x 1 bitmap selected, as in Win32; it is
// shared by every memory DC, like the stock bitmap it stands for.
GdiBitmap* DefaultBitmap() {
    static GdiBitmap* const bitmap = [] {
        auto* made = new GdiBitmap;
        made->image = QImage(1, 1, QImage::Format_RGB32);
        made->image.fill(Qt::black);
        made->monochrome = true;
        made->state.stock = true;
        return made;
    }();
    return bitmap;
}

void Select(GdiObjectState& state) {
    if (!state.stock)
        ++state.selections;
}

void FreeObject(HGDIOBJ object) {
    delete object;
}

void Deselect(HGDIOBJ object) {
    GdiObjectState* state = StateOf(object);
    if (state == nullptr || state->stock)
        return;
    --state->selections;
    if (state->selections == 0 && state->deletePending)
        FreeObject(object);
}

HDC NewDC(QImage* surface, bool memory) {
    auto* dc = new HDC__;
    dc->surface = surface;
    dc->memory = memory;
    dc->pen = AsPen(GetStockObject(BLACK_PEN));
    dc->brush = AsBrush(GetStockObject(WHITE_BRUSH));
    dc->font = DefaultFont();
    if (memory) {
        dc->bitmap = DefaultBitmap();
        dc->surface = &dc->bitmap->image;
    }
    return dc;
}

void FreeDC(HDC dc) {
    if (dc->printerJob != nullptr)
        DeletePrinterJob(dc->printerJob);
    Deselect(dc->pen);
    Deselect(dc->brush);
    Deselect(dc->font);
    if (dc->bitmap != nullptr)
        Deselect(dc->bitmap);
    delete dc;
}

HGDIOBJ SelectBitmap(HDC dc, GdiBitmap* bitmap) {
    if (!dc->memory)
        return nullptr;
    if (bitmap == dc->bitmap)
        return bitmap;
    // A bitmap lives in one DC at a time.
    if (!bitmap->state.stock && bitmap->state.selections > 0)
        return nullptr;
    GdiBitmap* previous = dc->bitmap;
    Select(bitmap->state);
    dc->bitmap = bitmap;
    dc->surface = &bitmap->image;
    Deselect(previous);
    return previous;
}

template <typename Object> HGDIOBJ Exchange(Object*& slot, Object* next) {
    Object* previous = slot;
    if (previous == next)
        return previous;
    Select(next->state);
    slot = next;
    Deselect(previous);
    return previous;
}

QImage NewSurface(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(Qt::black);
    return image;
}

HBITMAP WrapBitmap(QImage image, bool monochrome) {
    if (image.isNull())
        return nullptr;
    auto* bitmap = new GdiBitmap;
    bitmap->image = std::move(image);
    bitmap->monochrome = monochrome;
    return bitmap;
}

void FillFromBits(QImage& image, UINT bitsPerPixel, const BYTE* bits) {
    const int width = image.width();
    if (bitsPerPixel == 1) {
        const int stride = ((width + 15) / 16) * 2;
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            const BYTE* source = bits + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < width; ++x) {
                const bool set = (source[x / 8] >> (7 - x % 8)) & 1;
                row[x] = set ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            }
        }
        return;
    }
    const int stride = width * 4;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::memcpy(row, bits + static_cast<std::size_t>(y) * stride, stride);
        for (int x = 0; x < width; ++x)
            row[x] |= 0xFF000000u;
    }
}

int DescribeBitmap(const GdiBitmap& bitmap, int size, void* out) {
    if (out == nullptr)
        return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP info;
    info.bmType = 0;
    info.bmWidth = bitmap.image.width();
    info.bmHeight = bitmap.image.height();
    info.bmPlanes = 1;
    info.bmBitsPixel = bitmap.monochrome ? 1 : 32;
    info.bmWidthBytes = bitmap.monochrome ? ((info.bmWidth + 15) / 16) * 2 : info.bmWidth * 4;
    std::memcpy(out, &info, sizeof info);
    return sizeof(BITMAP);
}

} // namespace

GdiObjectState* StateOf(HGDIOBJ object) {
    if (auto* bitmap = AsBitmap(object))
        return &bitmap->state;
    if (auto* pen = AsPen(object))
        return &pen->state;
    if (auto* brush = AsBrush(object))
        return &brush->state;
    if (auto* font = AsFont(object))
        return &font->state;
    if (auto* region = AsRegion(object))
        return &region->state;
    return nullptr;
}

GdiBitmap* AsBitmap(HGDIOBJ object) {
    return dynamic_cast<GdiBitmap*>(object);
}
GdiRegion* AsRegion(HGDIOBJ object) {
    return dynamic_cast<GdiRegion*>(object);
}
GdiFont* AsFont(HGDIOBJ object) {
    return dynamic_cast<GdiFont*>(object);
}
GdiPen* AsPen(HGDIOBJ object) {
    return dynamic_cast<GdiPen*>(object);
}
GdiBrush* AsBrush(HGDIOBJ object) {
    return dynamic_cast<GdiBrush*>(object);
}

QRegion DrawableArea(HDC dc) {
    // Pixels are written as 32-bit words; other depths are not surfaces.
    if (dc == nullptr || dc->surface == nullptr || dc->surface->depth() != 32)
        return {};
    QRegion area(dc->surface->rect());
    if (dc->clip)
        area &= *dc->clip;
    return area;
}

const QFont& FontOfDC(HDC dc) {
    if (dc != nullptr && dc->font != nullptr)
        return dc->font->font;
    return DefaultFont()->font;
}

HDC CreateImageDC(QImage* image) {
    return NewDC(image, false);
}

void DeleteImageDC(HDC dc) {
    if (dc == nullptr)
        return;
    FreeDC(dc);
}

QImage* ImageOfDC(HDC dc) {
    return dc == nullptr ? nullptr : dc->surface;
}

HDC CreatePrinterDC(TPrinterJob* job) {
    HDC dc = NewDC(nullptr, false);
    dc->printerJob = job;
    return dc;
}

TPrinterJob* PrinterJobOfDC(HDC dc) {
    return dc == nullptr ? nullptr : dc->printerJob;
}

QRegion RegionOfHandle(HRGN region) {
    const GdiRegion* object = AsRegion(region);
    return object == nullptr ? QRegion() : object->area;
}

HDC CreateCompatibleDC(HDC) {
    return NewDC(nullptr, true);
}

BOOL DeleteDC(HDC dc) {
    if (dc == nullptr)
        return FALSE;
    FreeDC(dc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (dc == nullptr || object == nullptr)
        return nullptr;
    if (auto* bitmap = AsBitmap(object))
        return SelectBitmap(dc, bitmap);
    if (auto* pen = AsPen(object))
        return Exchange(dc->pen, pen);
    if (auto* brush = AsBrush(object))
        return Exchange(dc->brush, brush);
    if (auto* font = AsFont(object))
        return Exchange(dc->font, font);
    if (auto* region = AsRegion(object)) {
        // As in Win32, selecting a region sets the clip and answers the
        // region's kind in the handle.
        const int kind = SelectClipRgn(dc, region);
        return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind));
    }
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT kind) {
    if (dc == nullptr)
        return nullptr;
    switch (kind) {
    case OBJ_PEN:
        return dc->pen;
    case OBJ_BRUSH:
        return dc->brush;
    case OBJ_FONT:
        return dc->font;
    case OBJ_BITMAP:
        return dc->bitmap;
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObjectState* state = StateOf(object);
    if (state == nullptr)
        return FALSE;
    if (state->stock)
        return TRUE;
    if (state->selections > 0) {
        state->deletePending = true;
        return TRUE;
    }
    FreeObject(object);
    return TRUE;
}

HGDIOBJ GetStockObject(int which) {
    static GdiBrush* const white = MakeStockBrush(RGB(255, 255, 255), false);
    static GdiBrush* const lightGrey = MakeStockBrush(RGB(192, 192, 192), false);
    static GdiBrush* const grey = MakeStockBrush(RGB(128, 128, 128), false);
    static GdiBrush* const darkGrey = MakeStockBrush(RGB(64, 64, 64), false);
    static GdiBrush* const black = MakeStockBrush(RGB(0, 0, 0), false);
    static GdiBrush* const hollow = MakeStockBrush(RGB(0, 0, 0), true);
    static GdiPen* const whitePen = MakeStockPen(RGB(255, 255, 255), PS_SOLID);
    static GdiPen* const blackPen = MakeStockPen(RGB(0, 0, 0), PS_SOLID);
    static GdiPen* const nullPen = MakeStockPen(RGB(0, 0, 0), PS_NULL);
    switch (which) {
    case WHITE_BRUSH:
        return white;
    case LTGRAY_BRUSH:
        return lightGrey;
    case GRAY_BRUSH:
        return grey;
    case DKGRAY_BRUSH:
        return darkGrey;
    case BLACK_BRUSH:
        return black;
    case NULL_BRUSH:
        return hollow;
    case WHITE_PEN:
        return whitePen;
    case BLACK_PEN:
        return blackPen;
    case NULL_PEN:
        return nullPen;
    case DEFAULT_GUI_FONT:
        return DefaultFont();
    default:
        return nullptr;
    }
}

int GetObjectW(HGDIOBJ object, int size, void* out) {
    if (const GdiBitmap* bitmap = AsBitmap(object))
        return DescribeBitmap(*bitmap, size, out);
    if (const GdiFont* font = AsFont(object)) {
        if (out == nullptr)
            return sizeof(LOGFONTW);
        if (size < static_cast<int>(sizeof(LOGFONTW)))
            return 0;
        std::memcpy(out, &font->description, sizeof(LOGFONTW));
        return sizeof(LOGFONTW);
    }
    return 0;
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
    const GdiFont* font = AsFont(object);
    if (font == nullptr)
        return GetObjectW(object, size, out);
    if (out == nullptr)
        return sizeof(LOGFONTA);
    if (size < static_cast<int>(sizeof(LOGFONTA)))
        return 0;
    LOGFONTA narrow;
    const LOGFONTW& wide = font->description;
    narrow.lfHeight = wide.lfHeight;
    narrow.lfWidth = wide.lfWidth;
    narrow.lfEscapement = wide.lfEscapement;
    narrow.lfOrientation = wide.lfOrientation;
    narrow.lfWeight = wide.lfWeight;
    narrow.lfItalic = wide.lfItalic;
    narrow.lfUnderline = wide.lfUnderline;
    narrow.lfStrikeOut = wide.lfStrikeOut;
    narrow.lfCharSet = wide.lfCharSet;
    narrow.lfQuality = wide.lfQuality;
    const QByteArray face = QString::fromWCharArray(wide.lfFaceName).toUtf8();
    std::strncpy(narrow.lfFaceName, face.constData(), LF_FACESIZE - 1);
    std::memcpy(out, &narrow, sizeof narrow);
    return sizeof(LOGFONTA);
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    // Win32 answers a zero size with a 1 x 1 bitmap.
    if (width == 0 || height == 0)
        return WrapBitmap(NewSurface(1, 1), false);
    return WrapBitmap(NewSurface(width, height), false);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (planes != 1)
        return nullptr;
    QImage image = NewSurface(width, height);
    if (image.isNull())
        return nullptr;
    const bool monochrome = bitsPerPixel == 1;
    if (monochrome)
        image.fill(Qt::black);
    if (bits != nullptr)
        FillFromBits(image, monochrome ? 1 : 32, static_cast<const BYTE*>(bits));
    return WrapBitmap(std::move(image), monochrome);
}

int GetDIBits(HDC, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info,
              UINT) {
    const GdiBitmap* object = AsBitmap(bitmap);
    if (object == nullptr || info == nullptr)
        return 0;
    const QImage& image = object->image;
    BITMAPINFOHEADER& header = info->bmiHeader;
    if (bits == nullptr) {
        header.biWidth = image.width();
        header.biHeight = image.height();
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(image.width() * image.height() * 4);
        return image.height();
    }
    if (header.biBitCount != 32 || header.biWidth != image.width())
        return 0;
    const bool topDown = header.biHeight < 0;
    const int rows = image.height();
    int copied = 0;
    for (UINT line = startScan; line < startScan + scanLines && static_cast<int>(line) < rows;
         ++line) {
        // Row `line` of a bottom-up DIB is image row rows - 1 - line.
        const int imageRow = topDown ? static_cast<int>(line) : rows - 1 - static_cast<int>(line);
        auto* target = static_cast<BYTE*>(bits) +
                       static_cast<std::size_t>(line - startScan) * image.width() * 4;
        std::memcpy(target, image.constScanLine(imageRow),
                    static_cast<std::size_t>(image.width()) * 4);
        ++copied;
    }
    return copied;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    auto* pen = new GdiPen;
    pen->style = style;
    pen->width = width < 1 ? 1 : width;
    pen->colour = colour & 0x00FFFFFF;
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto* brush = new GdiBrush;
    brush->colour = colour & 0x00FFFFFF;
    return brush;
}
