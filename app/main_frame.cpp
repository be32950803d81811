#include "app/main_frame.h"

#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF kFullScreenColour = RGB(0, 0, 0);
constexpr COLORREF kPanelColour = RGB(27, 29, 33);
constexpr COLORREF kListColour = RGB(17, 17, 17);

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

bool Loaded(const TMemoryDC& picture) {
    return picture.dc && picture.width > 0 && picture.height > 0;
}

// The whole picture over `target`, stretched as needed; the panel colour
// where the picture is missing.
void StretchPicture(HDC dc, const RECT& target, SkinImage image) {
    if (Width(target) <= 0 || Height(target) <= 0)
        return;
    const TMemoryDC& picture = SharedImage(image);
    if (!Loaded(picture)) {
        FillSolid(dc, target, kPanelColour);
        return;
    }
    StretchBlt(dc, target.left, target.top, Width(target), Height(target), picture.dc, 0, 0,
               picture.width, picture.height, SRCCOPY);
}

// The picture at its natural size with its top-left corner at (x, y).
void CopyPicture(HDC dc, int x, int y, SkinImage image) {
    const TMemoryDC& picture = SharedImage(image);
    if (Loaded(picture))
        BitBlt(dc, x, y, picture.width, picture.height, picture.dc, 0, 0, SRCCOPY);
}

} // namespace

TLayoutMetrics MetricsFromSkin() {
    TLayoutMetrics metrics;
    const TMemoryDC& file = SharedImage(SkinImage::FileBackground);
    const TMemoryDC& gsensor = SharedImage(SkinImage::GSensorBackground);
    if (Loaded(file))
        metrics.sideWindowWidth = file.width;
    if (Loaded(gsensor)) {
        metrics.bottomRowHeight = gsensor.height;
        metrics.gsensorWidth = gsensor.width;
    }
    return metrics;
}

void DrawMainFrame(HDC dc, int width, int height, const TLayoutMetrics& metrics, TFrameLook look) {
    if (!dc)
        return;
    if (look == TFrameLook::FullScreen) {
        FillSolid(dc, RECT{0, 0, width, height}, kFullScreenColour);
        return;
    }
    FillSolid(dc, RECT{0, 0, width, height}, kPanelColour);
    const TMemoryDC& logo = SharedImage(SkinImage::TopFrameLogo);
    const TMemoryDC& right = SharedImage(SkinImage::TopFrameRight);
    const int rightLeft = width - (Loaded(right) ? right.width : 0);
    StretchPicture(dc, RECT{Loaded(logo) ? logo.width : 0, 0, rightLeft, kCaptionHeight},
                   SkinImage::TopFrameCenter);
    CopyPicture(dc, 0, 0, SkinImage::TopFrameLogo);
    CopyPicture(dc, rightLeft, 0, SkinImage::TopFrameRight);
    const int bottomTop = height - kBottomBandHeight;
    StretchPicture(dc, RECT{0, kCaptionHeight, kSideBorderWidth, bottomTop}, SkinImage::LeftFrame);
    StretchPicture(dc, RECT{width - kSideBorderWidth, kCaptionHeight, width, bottomTop},
                   SkinImage::RightFrame);
    StretchPicture(dc, RECT{0, bottomTop, width, height}, SkinImage::Bottom);

    // What the panels and controls will cover shows their backgrounds until
    // they are there.
    const TMainLayout layout = MainLayout(width, height, metrics);
    StretchPicture(dc, layout.toolbar, SkinImage::ToolbarBackground);
    StretchPicture(dc, layout.videoArea, SkinImage::ToolbarBackground);
    StretchPicture(dc, layout.positionBand, SkinImage::TimeBarBackground);
    StretchPicture(dc, layout.playbackBand, SkinImage::ControlBarBackground);
    CopyPicture(dc, layout.gpsReadOut.left, layout.gpsReadOut.top, SkinImage::GpsBackground);
    // A wider window widens the read-out's band with its last column.
    const TMemoryDC& gps = SharedImage(SkinImage::GpsBackground);
    const RECT& filler = layout.bottomFiller;
    if (Loaded(gps) && filler.right > filler.left)
        StretchBlt(dc, filler.left, filler.top, filler.right - filler.left,
                   filler.bottom - filler.top, gps.dc, gps.width - 1, 0, 1, gps.height, SRCCOPY);
    CopyPicture(dc, layout.gsensor.left, layout.gsensor.top, SkinImage::GSensorBackground);
    CopyPicture(dc, layout.pictureAdjust.left, layout.pictureAdjust.top,
                SkinImage::BrightnessBackground);
    FillSolid(dc, layout.sideWindow, kListColour);
    CopyPicture(dc, layout.sideWindow.left, layout.sideWindow.top, SkinImage::FileBackground);
}
