#pragma once
// The GDI+ vocabulary the program draws with: bitmaps (PNG with alpha, pixel
// buffers), graphics on a DC or an image, image drawing with smoothing,
// text in a box with alignment, measuring, fonts by family, brushes, pens,
// lines and curves, and saving as JPEG with a quality. Main thread only.

#include <memory>
#include <vector>

#include "platform/gdi.h"

namespace Gdiplus {

using REAL = float;
using ARGB = DWORD;
using PixelFormat = INT;
using LANGID = WORD;

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
};

enum Unit {
    UnitWorld = 0,
    UnitDisplay = 1,
    UnitPixel = 2,
    UnitPoint = 3,
    UnitInch = 4,
    UnitDocument = 5,
    UnitMillimeter = 6,
};

enum FontStyle {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

enum StringAlignment {
    StringAlignmentNear = 0,
    StringAlignmentCenter = 1,
    StringAlignmentFar = 2,
};

enum StringFormatFlags {
    StringFormatFlagsNoFitBlackBox = 0x00000004,
    StringFormatFlagsNoWrap = 0x00001000,
    StringFormatFlagsLineLimit = 0x00002000,
    StringFormatFlagsNoClip = 0x00004000,
};

enum SmoothingMode {
    SmoothingModeInvalid = -1,
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
};

enum InterpolationMode {
    InterpolationModeInvalid = -1,
    InterpolationModeDefault = 0,
    InterpolationModeLowQuality = 1,
    InterpolationModeHighQuality = 2,
    InterpolationModeBilinear = 3,
    InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5,
    InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7,
};

enum TextRenderingHint {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5,
};

inline constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;   // bytes B, G, R
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;   // B, G, R, unused
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;  // B, G, R, A
inline constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B; // premultiplied

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};
using CLSID = GUID;
bool operator==(const GUID& a, const GUID& b);

// Encoder parameter: the JPEG quality, one long value of 0 to 100.
extern const GUID EncoderQuality;
inline constexpr ULONG EncoderParameterValueTypeLong = 4;

struct EncoderParameter {
    GUID Guid;
    ULONG NumberOfValues = 0;
    ULONG Type = 0;
    void* Value = nullptr;
};

struct EncoderParameters {
    UINT Count = 0;
    EncoderParameter Parameter[1];
};

struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName = nullptr;
    const WCHAR* DllName = nullptr;
    const WCHAR* FormatDescription = nullptr;
    const WCHAR* FilenameExtension = nullptr;
    const WCHAR* MimeType = nullptr;
    DWORD Flags = 0;
    DWORD Version = 0;
    DWORD SigCount = 0;
    DWORD SigSize = 0;
    const BYTE* SigPattern = nullptr;
    const BYTE* SigMask = nullptr;
};

// The encoders offered: JPEG ("image/jpeg"), PNG ("image/png") and BMP
// ("image/bmp"). `size` is the bytes GetImageEncoders needs.
Status GetImageEncodersSize(UINT* count, UINT* size);
Status GetImageEncoders(UINT count, UINT size, ImageCodecInfo* encoders);

struct GdiplusStartupInput {
    UINT GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
void GdiplusShutdown(ULONG_PTR token);

class Color {
public:
    Color() = default;
    Color(BYTE r, BYTE g, BYTE b) : argb_(MakeARGB(255, r, g, b)) {}
    Color(BYTE a, BYTE r, BYTE g, BYTE b) : argb_(MakeARGB(a, r, g, b)) {}
    explicit Color(ARGB argb) : argb_(argb) {}

    BYTE GetA() const { return static_cast<BYTE>(argb_ >> 24); }
    BYTE GetR() const { return static_cast<BYTE>(argb_ >> 16); }
    BYTE GetG() const { return static_cast<BYTE>(argb_ >> 8); }
    BYTE GetB() const { return static_cast<BYTE>(argb_); }
    ARGB GetValue() const { return argb_; }
    void SetFromCOLORREF(COLORREF colour) {
        argb_ = MakeARGB(255, GetRValue(colour), GetGValue(colour), GetBValue(colour));
    }
    COLORREF ToCOLORREF() const { return RGB(GetR(), GetG(), GetB()); }

    static ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b) {
        return (static_cast<ARGB>(a) << 24) | (static_cast<ARGB>(r) << 16) |
               (static_cast<ARGB>(g) << 8) | static_cast<ARGB>(b);
    }

private:
    ARGB argb_ = 0xFF000000;
};

struct Point {
    INT X = 0;
    INT Y = 0;
};

struct PointF {
    REAL X = 0;
    REAL Y = 0;
};

struct Rect {
    INT X = 0;
    INT Y = 0;
    INT Width = 0;
    INT Height = 0;
};

struct RectF {
    REAL X = 0;
    REAL Y = 0;
    REAL Width = 0;
    REAL Height = 0;
};

struct CharacterRange {
    INT First = 0;
    INT Length = 0;
};

class Graphics;
struct ImageData;
struct FontData;

class Image {
public:
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    UINT GetWidth() const;
    UINT GetHeight() const;
    PixelFormat GetPixelFormat() const;
    Status GetLastStatus() const { return status_; }
    // Encoder by class id (GetImageEncoders); for JPEG the parameters may
    // carry EncoderQuality (0 to 100, default 75).
    Status Save(const WCHAR* path, const CLSID* encoder,
                const EncoderParameters* parameters = nullptr);

    ImageData* Data() const { return data_.get(); }

protected:
    Image();
    std::unique_ptr<ImageData> data_;
    Status status_ = Ok;
};

class Bitmap : public Image {
public:
    // Decodes an image file (PNG with its alpha, JPEG, BMP).
    explicit Bitmap(const WCHAR* path, BOOL useColourManagement = FALSE);
    // Wraps `scan0` without copying, as GDI+ does: the buffer must outlive
    // the bitmap. `stride` is the bytes from one row to the next.
    Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0);
    // A new bitmap, transparent black.
    Bitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB);
    // A copy of a GDI bitmap's pixels.
    Bitmap(HBITMAP bitmap, void* palette);

    static Bitmap* FromFile(const WCHAR* path, BOOL useColourManagement = FALSE);

    Status GetPixel(INT x, INT y, Color* colour) const;
    Status SetPixel(INT x, INT y, const Color& colour);
    // A new GDI bitmap holding this image blended over `background`.
    Status GetHBITMAP(const Color& background, HBITMAP* out) const;
};

class Brush {
public:
    virtual ~Brush() = default;
    Status GetLastStatus() const { return Ok; }

protected:
    Brush() = default;
};

class SolidBrush : public Brush {
public:
    explicit SolidBrush(const Color& colour) : colour_(colour) {}
    Status GetColor(Color* colour) const;
    Status SetColor(const Color& colour);
    const Color& ColourValue() const { return colour_; }

private:
    Color colour_;
};

class Pen {
public:
    explicit Pen(const Color& colour, REAL width = 1.0f) : colour_(colour), width_(width) {}
    Status SetColor(const Color& colour);
    Status SetWidth(REAL width);
    Color GetColourValue() const { return colour_; }
    REAL GetWidth() const { return width_; }
    Status GetLastStatus() const { return Ok; }

private:
    Color colour_;
    REAL width_;
};

class Font {
public:
    // A family that is not installed falls back (see platform/font_resolver.h);
    // the font is still usable and reports Ok.
    Font(const WCHAR* family, REAL size, INT style = FontStyleRegular, Unit unit = UnitPoint);
    Font(HDC dc, HFONT font);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    REAL GetSize() const { return size_; }
    Unit GetUnit() const { return unit_; }
    INT GetStyle() const { return style_; }
    // The line spacing in pixels.
    REAL GetHeight(const Graphics* graphics) const;
    REAL GetHeight(REAL dpi) const;
    BOOL IsAvailable() const { return TRUE; }
    Status GetLastStatus() const { return Ok; }

    FontData* Data() const { return data_.get(); }

private:
    std::unique_ptr<FontData> data_;
    REAL size_ = 0;
    INT style_ = FontStyleRegular;
    Unit unit_ = UnitPoint;
};

class StringFormat {
public:
    explicit StringFormat(INT flags = 0, LANGID language = 0);

    Status SetAlignment(StringAlignment alignment);
    StringAlignment GetAlignment() const { return alignment_; }
    Status SetLineAlignment(StringAlignment alignment);
    StringAlignment GetLineAlignment() const { return lineAlignment_; }
    Status SetFormatFlags(INT flags);
    INT GetFormatFlags() const { return flags_; }
    Status SetMeasurableCharacterRanges(INT count, const CharacterRange* ranges);
    INT GetMeasurableCharacterRangeCount() const { return static_cast<INT>(ranges_.size()); }
    const std::vector<CharacterRange>& Ranges() const { return ranges_; }

    static const StringFormat* GenericDefault();
    static const StringFormat* GenericTypographic();

private:
    StringAlignment alignment_ = StringAlignmentNear;
    StringAlignment lineAlignment_ = StringAlignmentNear;
    INT flags_ = 0;
    std::vector<CharacterRange> ranges_;
};

// Only what measuring needs of a region: its bounds.
class Region {
public:
    Region() = default;
    Status GetBounds(RectF* bounds, const Graphics* graphics) const;
    Status GetBounds(Rect* bounds, const Graphics* graphics) const;
    BOOL IsEmpty(const Graphics* graphics) const;
    void SetBounds(const RectF& bounds, bool empty) {
        bounds_ = bounds;
        empty_ = empty;
    }

private:
    RectF bounds_;
    bool empty_ = true;
};

class Graphics {
public:
    explicit Graphics(HDC dc);
    explicit Graphics(Image* image);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    static Graphics* FromHDC(HDC dc);
    static Graphics* FromImage(Image* image);

    Status GetLastStatus() const { return status_; }
    Status SetSmoothingMode(SmoothingMode mode);
    SmoothingMode GetSmoothingMode() const { return smoothing_; }
    Status SetInterpolationMode(InterpolationMode mode);
    InterpolationMode GetInterpolationMode() const { return interpolation_; }
    Status SetTextRenderingHint(TextRenderingHint hint);
    TextRenderingHint GetTextRenderingHint() const { return textHint_; }
    Status SetPageUnit(Unit unit);

    Status Clear(const Color& colour);
    Status DrawImage(Image* image, INT x, INT y);
    Status DrawImage(Image* image, INT x, INT y, INT width, INT height);
    Status DrawImage(Image* image, const Rect& destination);
    Status DrawImage(Image* image, const RectF& destination);
    Status DrawImage(Image* image, const Rect& destination, INT sourceX, INT sourceY,
                     INT sourceWidth, INT sourceHeight, Unit unit,
                     const void* attributes = nullptr);
    Status DrawImage(Image* image, const RectF& destination, REAL sourceX, REAL sourceY,
                     REAL sourceWidth, REAL sourceHeight, Unit unit,
                     const void* attributes = nullptr);

    Status DrawString(const WCHAR* text, INT length, const Font* font, const RectF& layout,
                      const StringFormat* format, const Brush* brush);
    Status DrawString(const WCHAR* text, INT length, const Font* font, const PointF& origin,
                      const Brush* brush);
    Status DrawString(const WCHAR* text, INT length, const Font* font, const PointF& origin,
                      const StringFormat* format, const Brush* brush);
    Status MeasureString(const WCHAR* text, INT length, const Font* font, const RectF& layout,
                         const StringFormat* format, RectF* bounds, INT* codepointsFitted = nullptr,
                         INT* linesFilled = nullptr) const;
    Status MeasureString(const WCHAR* text, INT length, const Font* font, const PointF& origin,
                         const StringFormat* format, RectF* bounds) const;
    Status MeasureCharacterRanges(const WCHAR* text, INT length, const Font* font,
                                  const RectF& layout, const StringFormat* format, INT regionCount,
                                  Region* regions) const;

    Status FillRectangle(const Brush* brush, INT x, INT y, INT width, INT height);
    Status FillRectangle(const Brush* brush, const Rect& rect);
    Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillRectangle(const Brush* brush, const RectF& rect);
    Status FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height);
    Status DrawRectangle(const Pen* pen, INT x, INT y, INT width, INT height);
    Status DrawEllipse(const Pen* pen, INT x, INT y, INT width, INT height);
    Status DrawLine(const Pen* pen, INT x1, INT y1, INT x2, INT y2);
    Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status DrawLines(const Pen* pen, const Point* points, INT count);
    // A cardinal spline through the points; tension 0 joins them with
    // straight lines.
    Status DrawCurve(const Pen* pen, const Point* points, INT count, REAL tension = 0.5f);
    Status DrawCurve(const Pen* pen, const PointF* points, INT count, REAL tension = 0.5f);

private:
    friend struct GraphicsAccess;
    HDC dc_ = nullptr;
    Image* image_ = nullptr;
    Status status_ = Ok;
    SmoothingMode smoothing_ = SmoothingModeDefault;
    InterpolationMode interpolation_ = InterpolationModeBilinear;
    TextRenderingHint textHint_ = TextRenderingHintSystemDefault;
};

} // namespace Gdiplus
