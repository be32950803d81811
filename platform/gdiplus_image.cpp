// GDI+ start-up, images and bitmaps, encoders and saving.

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <array>
#include <cstring>

#include "platform/gdi_objects.h"
#include "platform/gdiplus_internal.h"

namespace Gdiplus {

namespace {

constexpr int kDefaultJpegQuality = 75;
constexpr ULONG_PTR kStartupToken = 1;

constexpr GUID kJpegEncoder{
    0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr GUID kBmpEncoder{
    0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr GUID kPngEncoder{
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

struct Encoder {
    GUID clsid;
    const WCHAR* mime;
    const WCHAR* name;
    const WCHAR* extensions;
    const char* qtFormat;
};

const std::array<Encoder, 3> kEncoders{{
    {kBmpEncoder, L"image/bmp", L"Built-in BMP Codec", L"*.BMP;*.DIB;*.RLE", "BMP"},
    {kJpegEncoder, L"image/jpeg", L"Built-in JPEG Codec", L"*.JPG;*.JPEG;*.JPE;*.JFIF", "JPEG"},
    {kPngEncoder, L"image/png", L"Built-in PNG Codec", L"*.PNG", "PNG"},
}};

const Encoder* EncoderOf(const CLSID* clsid) {
    if (clsid == nullptr)
        return nullptr;
    for (const Encoder& encoder : kEncoders) {
        if (encoder.clsid == *clsid)
            return &encoder;
    }
    return nullptr;
}

// The quality a JPEG is written with: the EncoderQuality parameter when one
// is given (clamped to 0..100), else the default.
int JpegQuality(const EncoderParameters* parameters) {
    if (parameters == nullptr)
        return kDefaultJpegQuality;
    for (UINT i = 0; i < parameters->Count; ++i) {
        const EncoderParameter& parameter = parameters->Parameter[i];
        if (!(parameter.Guid == EncoderQuality) || parameter.NumberOfValues < 1 ||
            parameter.Value == nullptr) {
            continue;
        }
        const ULONG quality = *static_cast<const ULONG*>(parameter.Value);
        return quality > 100 ? 100 : static_cast<int>(quality);
    }
    return kDefaultJpegQuality;
}

QImage::Format QtFormatOf(PixelFormat format) {
    switch (format) {
    case PixelFormat24bppRGB:
        return QImage::Format_BGR888;
    case PixelFormat32bppRGB:
        return QImage::Format_RGB32;
    case PixelFormat32bppARGB:
        return QImage::Format_ARGB32;
    case PixelFormat32bppPARGB:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return QImage::Format_Invalid;
    }
}

int BytesPerPixel(PixelFormat format) {
    return format == PixelFormat24bppRGB ? 3 : 4;
}

Status Decode(const QString& path, QImage& out) {
    if (!QFileInfo::exists(path))
        return FileNotFound;
    QImageReader reader(path);
    QImage decoded = reader.read();
    if (decoded.isNull())
        return UnknownImageFormat;
    out = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return Ok;
}

} // namespace

const GUID EncoderQuality{
    0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

bool operator==(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

QString TextOf(const WCHAR* text, INT length) {
    if (text == nullptr)
        return {};
    if (length < 0)
        return QString::fromWCharArray(text);
    return QString::fromWCharArray(text, length);
}

QColor QColorOf(const Color& colour) {
    return QColor(colour.GetR(), colour.GetG(), colour.GetB(), colour.GetA());
}

Status GetImageEncodersSize(UINT* count, UINT* size) {
    if (count == nullptr || size == nullptr)
        return InvalidParameter;
    *count = static_cast<UINT>(kEncoders.size());
    *size = static_cast<UINT>(kEncoders.size() * sizeof(ImageCodecInfo));
    return Ok;
}

Status GetImageEncoders(UINT count, UINT size, ImageCodecInfo* encoders) {
    if (encoders == nullptr || count != kEncoders.size() ||
        size < kEncoders.size() * sizeof(ImageCodecInfo)) {
        return InvalidParameter;
    }
    for (std::size_t i = 0; i < kEncoders.size(); ++i) {
        ImageCodecInfo info;
        info.Clsid = kEncoders[i].clsid;
        info.CodecName = kEncoders[i].name;
        info.FilenameExtension = kEncoders[i].extensions;
        info.MimeType = kEncoders[i].mime;
        encoders[i] = info;
    }
    return Ok;
}

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void*) {
    if (token == nullptr || input == nullptr)
        return InvalidParameter;
    if (input->GdiplusVersion != 1)
        return UnsupportedGdiplusVersion;
    *token = kStartupToken;
    return Ok;
}

void GdiplusShutdown(ULONG_PTR) {}

Image::Image() : data_(std::make_unique<ImageData>()) {}
Image::~Image() = default;

UINT Image::GetWidth() const {
    return static_cast<UINT>(data_->image.width());
}
UINT Image::GetHeight() const {
    return static_cast<UINT>(data_->image.height());
}

PixelFormat Image::GetPixelFormat() const {
    switch (data_->image.format()) {
    case QImage::Format_BGR888:
        return PixelFormat24bppRGB;
    case QImage::Format_RGB32:
        return PixelFormat32bppRGB;
    case QImage::Format_ARGB32:
        return PixelFormat32bppARGB;
    default:
        return PixelFormat32bppPARGB;
    }
}

Status Image::Save(const WCHAR* path, const CLSID* encoder, const EncoderParameters* parameters) {
    const Encoder* chosen = EncoderOf(encoder);
    if (path == nullptr || chosen == nullptr)
        return status_ = InvalidParameter;
    if (data_->image.isNull())
        return status_ = WrongState;
    const int quality = chosen->clsid == kJpegEncoder ? JpegQuality(parameters) : -1;
    // JPEG has no alpha; transparent parts come out black, as GDI+ writes them.
    const QImage& image = data_->image;
    const bool saved = image.save(TextOf(path, -1), chosen->qtFormat, quality);
    return status_ = saved ? Ok : Win32Error;
}

Bitmap::Bitmap(const WCHAR* path, BOOL) {
    if (path == nullptr) {
        status_ = InvalidParameter;
        return;
    }
    status_ = Decode(TextOf(path, -1), data_->image);
}

Bitmap::Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0) {
    const QImage::Format qtFormat = QtFormatOf(format);
    if (width <= 0 || height <= 0 || qtFormat == QImage::Format_Invalid) {
        status_ = InvalidParameter;
        return;
    }
    if (scan0 == nullptr) {
        data_->image = QImage(width, height, qtFormat);
        data_->image.fill(Qt::transparent);
        return;
    }
    const int rowBytes = width * BytesPerPixel(format);
    const int magnitude = stride < 0 ? -stride : stride;
    if (magnitude < rowBytes) {
        status_ = InvalidParameter;
        return;
    }
    if (stride > 0) {
        data_->image = QImage(scan0, width, height, stride, qtFormat);
        return;
    }
    // A bottom-up buffer cannot be wrapped; its rows are copied in order.
    QImage copy(width, height, qtFormat);
    for (int y = 0; y < height; ++y) {
        std::memcpy(copy.scanLine(y), scan0 + static_cast<std::ptrdiff_t>(y) * stride, rowBytes);
    }
    data_->image = copy;
}

Bitmap::Bitmap(INT width, INT height, PixelFormat format) {
    const QImage::Format qtFormat = QtFormatOf(format);
    if (width <= 0 || height <= 0 || qtFormat == QImage::Format_Invalid) {
        status_ = InvalidParameter;
        return;
    }
    data_->image = QImage(width, height, qtFormat);
    if (data_->image.isNull()) {
        status_ = OutOfMemory;
        return;
    }
    data_->image.fill(Qt::transparent);
}

Bitmap::Bitmap(HBITMAP bitmap, void*) {
    const GdiBitmap* source = AsBitmap(bitmap);
    if (source == nullptr) {
        status_ = InvalidParameter;
        return;
    }
    data_->image = source->image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

Bitmap* Bitmap::FromFile(const WCHAR* path, BOOL useColourManagement) {
    return new Bitmap(path, useColourManagement);
}

Status Bitmap::GetPixel(INT x, INT y, Color* colour) const {
    if (colour == nullptr || !data_->image.valid(x, y))
        return InvalidParameter;
    const QColor pixel = data_->image.pixelColor(x, y);
    *colour = Color(static_cast<BYTE>(pixel.alpha()), static_cast<BYTE>(pixel.red()),
                    static_cast<BYTE>(pixel.green()), static_cast<BYTE>(pixel.blue()));
    return Ok;
}

Status Bitmap::SetPixel(INT x, INT y, const Color& colour) {
    if (!data_->image.valid(x, y))
        return InvalidParameter;
    data_->image.setPixelColor(x, y, QColorOf(colour));
    return Ok;
}

Status Bitmap::GetHBITMAP(const Color& background, HBITMAP* out) const {
    if (out == nullptr || data_->image.isNull())
        return InvalidParameter;
    HBITMAP made = CreateCompatibleBitmap(nullptr, data_->image.width(), data_->image.height());
    GdiBitmap* target = AsBitmap(made);
    if (target == nullptr)
        return OutOfMemory;
    target->image.fill(QColor(background.GetR(), background.GetG(), background.GetB()));
    QPainter painter(&target->image);
    painter.drawImage(0, 0, data_->image);
    *out = made;
    return Ok;
}

Status SolidBrush::GetColor(Color* colour) const {
    if (colour == nullptr)
        return InvalidParameter;
    *colour = colour_;
    return Ok;
}

Status SolidBrush::SetColor(const Color& colour) {
    colour_ = colour;
    return Ok;
}

Status Pen::SetColor(const Color& colour) {
    colour_ = colour;
    return Ok;
}

Status Pen::SetWidth(REAL width) {
    width_ = width;
    return Ok;
}

} // namespace Gdiplus
