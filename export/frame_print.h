#pragma once
// The printed page: the channels' pictures side by side across the paper,
// each scaled to its share of the width and top-aligned, and under them
// three lines: the recording's path, the latitude and the longitude.

#include <string>
#include <vector>

#include "export/frame_capture.h"
#include "platform/gdiplus.h"

inline constexpr const char kPrintDocumentName[] = "Brontis printing";
// Inches per millimetre, as the page arithmetic has always taken it.
inline constexpr double kInchesPerMillimetre = 0.03937;

// The page arithmetic on the printer's resolution. Picture rectangles are
// in inches; margins, gaps and text positions in printer pixels.
class TPrintLayout {
public:
    // `paperWidthTenths`: the device mode's paper width, tenths of a
    // millimetre (only whole millimetres count).
    TPrintLayout(int paperWidthTenths, int dotsPerInchX, int dotsPerInchY, int channelCount);

    double PaperWidthInches() const { return m_paperWidth; }
    double SlotWidthInches() const { return m_slotWidth; }
    int Margin() const { return m_margin; }
    int LineGap() const { return m_lineGap; }
    double TextWidth() const { return m_textWidth; }
    int FontPixels() const { return m_fontPixels; }
    int DotsPerInchX() const { return m_dotsX; }
    int DotsPerInchY() const { return m_dotsY; }

    // Channel `index`'s picture of width x height pixels.
    Gdiplus::RectF PictureRect(int index, int width, int height) const;
    // The first text line's top, under a picture `pictureHeight` inches high.
    double FirstTextTop(double pictureHeight) const;

private:
    int m_dotsX;
    int m_dotsY;
    double m_paperWidth;
    double m_slotWidth;
    int m_margin;
    int m_lineGap;
    double m_textWidth;
    int m_fontPixels;
};

// The bounds of the whole text laid out `layoutWidth` wide (and as high as
// it needs).
Gdiplus::RectF MeasureText(const Gdiplus::Graphics& graphics, const std::wstring& text,
                           const Gdiplus::Font& font, Gdiplus::REAL layoutWidth);

// The path, "Latitude: %f" and "Longitude: %f" (values taken to single
// precision first, six decimals).
std::vector<std::wstring> PrintedLines(const std::string& path, double latitude, double longitude);

// Where things went on the last page printed.
struct TPrintedPage {
    std::vector<Gdiplus::RectF> pictures; // inches
    std::vector<Gdiplus::RectF> lines;    // printer pixels, as measured
    std::vector<std::wstring> texts;
    int dotsPerInchX = 0;
    int dotsPerInchY = 0;
};

// Prints through the print dialog over `owner`; Cancelled when the dialog
// is cancelled or the job refused. `page`, when given, gets the layout.
TCaptureOutcome PrintFrames(const std::vector<TShownFrame>& channels,
                            const std::string& recordingPath, double latitude, double longitude,
                            HWND owner, TPrintedPage* page = nullptr);
