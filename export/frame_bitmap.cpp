#include "export/frame_bitmap.h"

#include "engine/ffmpeg.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {

constexpr int kRowAlignment = 32;
constexpr int kFullRange = 1;
constexpr int kLimitedRange = 0;
constexpr int kUnitBrightness = 0;
constexpr int kUnitContrast = 1 << 16;
constexpr int kUnitSaturation = 1 << 16;

// The JPEG formats are the plain ones at full range; swscale wants them
// named plainly and told the range.
AVPixelFormat PlainFormat(AVPixelFormat format, bool* fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        *fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        *fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        *fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        *fullRange = true;
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        *fullRange = true;
        return AV_PIX_FMT_YUV411P;
    default:
        return format;
    }
}

bool IsYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor && !(descriptor->flags & AV_PIX_FMT_FLAG_RGB) &&
           descriptor->nb_components >= 3;
}

TScalerHandle MakeScaler(const AVFrame& frame) {
    bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source = PlainFormat(static_cast<AVPixelFormat>(frame.format), &fullRange);
    TScalerHandle scaler(sws_getContext(frame.width, frame.height, source, frame.width,
                                        frame.height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr,
                                        nullptr, nullptr));
    if (!scaler || !IsYuv(source))
        return scaler;
    int* inverseTable = nullptr;
    int* table = nullptr;
    int sourceRange = 0, destinationRange = 0, brightness = 0, contrast = 0, saturation = 0;
    if (sws_getColorspaceDetails(scaler.get(), &inverseTable, &sourceRange, &table,
                                 &destinationRange, &brightness, &contrast, &saturation) < 0)
        return scaler;
    const int* coefficients = sws_getCoefficients(
        frame.colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : frame.colorspace);
    sws_setColorspaceDetails(scaler.get(), coefficients, fullRange ? kFullRange : kLimitedRange,
                             table, kFullRange, kUnitBrightness, kUnitContrast, kUnitSaturation);
    return scaler;
}

} // namespace

TFrameBitmap::TFrameBitmap(TMemoryHandle pixels, int width, int height, int stride)
    : m_pixels(std::move(pixels)), m_width(width), m_height(height),
      m_bitmap(std::make_unique<Gdiplus::Bitmap>(width, height, stride,
                                                 Gdiplus::PixelFormat24bppRGB, m_pixels.get())) {}

std::unique_ptr<TFrameBitmap> FrameToBitmap(const AVFrame* frame) {
    if (!frame || !frame->data[0] || frame->width <= 0 || frame->height <= 0 || frame->format < 0)
        return nullptr;
    TScalerHandle scaler = MakeScaler(*frame);
    if (!scaler)
        return nullptr;
    std::uint8_t* planes[4] = {};
    int strides[4] = {};
    if (av_image_alloc(planes, strides, frame->width, frame->height, AV_PIX_FMT_BGR24,
                       kRowAlignment) < 0)
        return nullptr;
    TMemoryHandle pixels(planes[0]);
    const int rows =
        sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, strides);
    if (rows != frame->height)
        return nullptr;
    auto bitmap =
        std::make_unique<TFrameBitmap>(std::move(pixels), frame->width, frame->height, strides[0]);
    if (bitmap->Bitmap().GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}
