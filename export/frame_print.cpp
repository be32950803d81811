#include "export/frame_print.h"

#include <cstdio>
#include <memory>

#include "export/frame_bitmap.h"
#include "language/wide_text.h"
#include "platform/printing.h"

namespace {

constexpr int kTenthsPerMillimetre = 10;
constexpr int kPointsPerInch = 72;
constexpr int kMarginPoints = 10;
constexpr int kLineGapPoints = 5;
constexpr int kFontPoints = 12;
// Room under a measured line: as high as any text gets.
constexpr Gdiplus::REAL kMeasureHeight = 65536;
constexpr const wchar_t kPrintFace[] = L"Arial";

// The print request and what it hands back, released in one place.
class TPrintRequest {
public:
    explicit TPrintRequest(HWND owner) {
        m_request.hwndOwner = owner;
        m_request.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE |
                          PD_DISABLEPRINTTOFILE;
        m_request.nFromPage = 1;
        m_request.nToPage = 1;
        m_request.nMinPage = 1;
        m_request.nMaxPage = 1;
        m_request.nCopies = 1;
    }
    ~TPrintRequest() {
        if (m_mode)
            GlobalUnlock(m_request.hDevMode);
        if (m_request.hDevMode)
            GlobalFree(m_request.hDevMode);
        if (m_request.hDC)
            DeleteDC(m_request.hDC);
    }
    TPrintRequest(const TPrintRequest&) = delete;
    TPrintRequest& operator=(const TPrintRequest&) = delete;

    // Shows the dialog; true with a printer and its device mode.
    bool Ask() {
        if (!PrintDlgA(&m_request) || !m_request.hDC)
            return false;
        m_mode = static_cast<const DEVMODEA*>(GlobalLock(m_request.hDevMode));
        return m_mode != nullptr;
    }
    HDC Printer() const { return m_request.hDC; }
    const DEVMODEA& Mode() const { return *m_mode; }

private:
    PRINTDLGA m_request;
    const DEVMODEA* m_mode = nullptr;
};

double NoNegativeZero(double value) {
    return value == 0.0 ? 0.0 : value;
}

std::wstring Formatted(const char* format, double value) {
    char line[64];
    std::snprintf(line, sizeof line, format, NoNegativeZero(static_cast<float>(value)));
    return Utf8ToWide(line);
}

} // namespace

TPrintLayout::TPrintLayout(int paperWidthTenths, int dotsPerInchX, int dotsPerInchY,
                           int channelCount)
    : m_dotsX(dotsPerInchX), m_dotsY(dotsPerInchY),
      m_paperWidth((paperWidthTenths / kTenthsPerMillimetre) * kInchesPerMillimetre),
      m_slotWidth(channelCount > 0 ? m_paperWidth / channelCount : m_paperWidth),
      m_margin(dotsPerInchX * kMarginPoints / kPointsPerInch),
      m_lineGap(dotsPerInchY * kLineGapPoints / kPointsPerInch),
      m_textWidth(dotsPerInchX * m_paperWidth - 2.0 * m_margin),
      m_fontPixels(dotsPerInchY * kFontPoints / kPointsPerInch) {}

Gdiplus::RectF TPrintLayout::PictureRect(int index, int width, int height) const {
    // The picture keeps its shape across its slot; its own resolution (the
    // same both ways) drops out of the ratio.
    const double pictureHeight = width > 0 ? m_slotWidth * height / width : 0.0;
    return Gdiplus::RectF{static_cast<Gdiplus::REAL>(index * m_slotWidth), 0,
                          static_cast<Gdiplus::REAL>(m_slotWidth),
                          static_cast<Gdiplus::REAL>(pictureHeight)};
}

double TPrintLayout::FirstTextTop(double pictureHeight) const {
    return m_dotsY * pictureHeight + 2.0 * m_lineGap;
}

Gdiplus::RectF MeasureText(const Gdiplus::Graphics& graphics, const std::wstring& text,
                           const Gdiplus::Font& font, Gdiplus::REAL layoutWidth) {
    const Gdiplus::CharacterRange whole{0, static_cast<INT>(text.size())};
    Gdiplus::StringFormat format;
    format.SetMeasurableCharacterRanges(1, &whole);
    Gdiplus::Region region;
    Gdiplus::RectF bounds;
    if (graphics.MeasureCharacterRanges(text.c_str(), static_cast<INT>(text.size()), &font,
                                        Gdiplus::RectF{0, 0, layoutWidth, kMeasureHeight}, &format,
                                        1, &region) != Gdiplus::Ok)
        return bounds;
    region.GetBounds(&bounds, &graphics);
    return bounds;
}

std::vector<std::wstring> PrintedLines(const std::string& path, double latitude, double longitude) {
    return {Utf8ToWide(path), Formatted("Latitude: %f", latitude),
            Formatted("Longitude: %f", longitude)};
}

TCaptureOutcome PrintFrames(const std::vector<TShownFrame>& channels,
                            const std::string& recordingPath, double latitude, double longitude,
                            HWND owner, TPrintedPage* page) {
    TPrintRequest request(owner);
    if (!request.Ask())
        return TCaptureOutcome::Cancelled;
    HDC printer = request.Printer();
    DOCINFOA document;
    document.lpszDocName = kPrintDocumentName;
    if (StartDocA(printer, &document) <= 0)
        return TCaptureOutcome::Cancelled;
    const TPrintLayout layout(request.Mode().dmPaperWidth, GetDeviceCaps(printer, LOGPIXELSX),
                              GetDeviceCaps(printer, LOGPIXELSY),
                              static_cast<int>(channels.size()));
    TPrintedPage printed;
    printed.dotsPerInchX = layout.DotsPerInchX();
    printed.dotsPerInchY = layout.DotsPerInchY();
    Gdiplus::Graphics graphics(printer);
    StartPage(printer);

    double lastHeight = 0.0;
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (channels[i].streamIndex < 0)
            break;
        std::unique_ptr<TFrameBitmap> bitmap = FrameToBitmap(channels[i].frame.get());
        if (!bitmap)
            continue;
        const Gdiplus::RectF inches =
            layout.PictureRect(static_cast<int>(i), bitmap->Width(), bitmap->Height());
        const Gdiplus::REAL dotsX = static_cast<Gdiplus::REAL>(layout.DotsPerInchX());
        const Gdiplus::REAL dotsY = static_cast<Gdiplus::REAL>(layout.DotsPerInchY());
        graphics.DrawImage(&bitmap->Bitmap(),
                           Gdiplus::RectF{inches.X * dotsX, inches.Y * dotsY, inches.Width * dotsX,
                                          inches.Height * dotsY});
        printed.pictures.push_back(inches);
        lastHeight = inches.Height;
    }

    Gdiplus::Font font(kPrintFace, static_cast<Gdiplus::REAL>(layout.FontPixels()),
                       Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    const Gdiplus::REAL textWidth = static_cast<Gdiplus::REAL>(layout.TextWidth());
    double top = layout.FirstTextTop(lastHeight);
    for (const std::wstring& line : PrintedLines(recordingPath, latitude, longitude)) {
        const Gdiplus::RectF measured = MeasureText(graphics, line, font, textWidth);
        const Gdiplus::REAL left = static_cast<Gdiplus::REAL>(layout.Margin());
        // Drawn in a box as wide as the one it was measured in, so that it
        // breaks where the measure did, and as high as the measure found.
        graphics.DrawString(
            line.c_str(), static_cast<INT>(line.size()), &font,
            Gdiplus::RectF{left, static_cast<Gdiplus::REAL>(top), textWidth, measured.Height},
            nullptr, &black);
        printed.lines.push_back(
            Gdiplus::RectF{left, static_cast<Gdiplus::REAL>(top), measured.Width, measured.Height});
        printed.texts.push_back(line);
        top += measured.Height + layout.LineGap();
    }

    EndPage(printer);
    EndDoc(printer);
    if (page)
        *page = std::move(printed);
    return TCaptureOutcome::Done;
}
