#pragma once
// A decoded frame as a 24-bit picture the drawing layer can save or print.

#include <cstdint>
#include <memory>

#include "engine/ffmpeg_handles.h"
#include "platform/gdiplus.h"

// The frame's pixels converted to bytes B, G, R at its own size, and the
// GDI+ bitmap over them (which borrows the pixels, so both go together).
class TFrameBitmap {
public:
    TFrameBitmap(TMemoryHandle pixels, int width, int height, int stride);
    TFrameBitmap(const TFrameBitmap&) = delete;
    TFrameBitmap& operator=(const TFrameBitmap&) = delete;

    Gdiplus::Bitmap& Bitmap() const { return *m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    TMemoryHandle m_pixels;
    int m_width;
    int m_height;
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
};

// Converts whatever pixel format the decoder gave (planar 4:2:0, the full
// range 4:2:2 of MJPEG, ...) with the bicubic scaler; null for an empty
// frame or one that cannot be converted.
std::unique_ptr<TFrameBitmap> FrameToBitmap(const AVFrame* frame);
