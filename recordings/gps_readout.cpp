#include "recordings/gps_readout.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "language/language_fonts.h"
#include "platform/gdiplus.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr const char* kGpsOffImage = "resource/skin/gps_off.png";
constexpr const char* kGpsOnImage = "resource/skin/gps_on.png";
constexpr const char* kKmhImage = "resource/skin/controls/km_h.png";
constexpr const char* kMphImage = "resource/skin/controls/mi_h.png";
constexpr POINT kIconOffset{31, 35};
constexpr POINT kUnitButtonOffset{236, 57};
constexpr SIZE kUnitButtonSize{44, 20};
constexpr int kDigitLefts[3] = {127, 160, 193};
constexpr int kDigitTop = 29;
constexpr SIZE kDigitSize{30, 46};
// The position's text starts 100 pixels right of the last digit.
constexpr int kTextLeft = 323;
constexpr int kLatitudeRow = kDigitTop + 2;
constexpr int kLongitudeRow = kDigitTop + 24;
constexpr int kTextHeight = 18;

struct TTextBox {
    int left;
    int width;
};
constexpr TTextBox kDegreesBox{0, 50};
constexpr TTextBox kMinutesBox{39, 50};
constexpr TTextBox kSecondsBox{70, 100};
constexpr TTextBox kHemisphereBox{170, 22};

bool ValidFix(const TGpsRecord* fix) {
    return fix && fix->valid == 1;
}

} // namespace

std::array<UINT, 3> SpeedDigitImages(const TGpsRecord* fix, TSpeedUnit unit) {
    if (!ValidFix(fix))
        return {DigitHyphenId, DigitHyphenId, DigitHyphenId};
    const double converted =
        unit == TSpeedUnit::Mph ? SpeedMph(fix->speedKnots) : SpeedKmh(fix->speedKnots);
    const double speed = std::clamp(converted, 0.0, kHighestShownSpeed);
    const int hundreds = static_cast<int>(speed / 100);
    const int tens = static_cast<int>((speed - hundreds * 100) / 10);
    const int ones = static_cast<int>(speed - hundreds * 100 - tens * 10);
    return {DigitFirstId + hundreds, DigitFirstId + tens, DigitFirstId + ones};
}

CGpsReadout::~CGpsReadout() {
    Release();
}

bool CGpsReadout::Create(HWND owner, POINT origin, HDC background) {
    m_origin = origin;
    // The buttons are composited once over what the read-out shows under them.
    if (background)
        DrawFix(background, nullptr);
    TActButtonOptions options;
    options.parent = owner;
    options.position = POINT{origin.x + kUnitButtonOffset.x, origin.y + kUnitButtonOffset.y};
    options.size = kUnitButtonSize;
    options.background = background;
    options.controlId = kSpeedKmhCommand;
    options.normalPath = kKmhImage;
    options.tooltip = "km/h";
    if (!m_kmhButton.Create(options))
        return false;
    options.controlId = kSpeedMphCommand;
    options.normalPath = kMphImage;
    options.tooltip = "mi/h";
    options.style &= ~WS_VISIBLE;
    if (!m_mphButton.Create(options))
        return false;
    SetUnit(m_unit);
    return true;
}

void CGpsReadout::MoveTo(POINT origin) {
    m_origin = origin;
    for (CActButton* button : {&m_kmhButton, &m_mphButton}) {
        if (button->hWnd)
            MoveWindow(button->hWnd, origin.x + kUnitButtonOffset.x, origin.y + kUnitButtonOffset.y,
                       kUnitButtonSize.cx, kUnitButtonSize.cy, TRUE);
    }
}

void CGpsReadout::Release() {
    m_gpsOff.Release();
    m_gpsOn.Release();
}

void CGpsReadout::SetUnit(TSpeedUnit unit) {
    m_unit = unit;
    if (m_kmhButton.hWnd)
        ShowWindow(m_kmhButton.hWnd, unit == TSpeedUnit::Kmh ? SW_SHOW : SW_HIDE);
    if (m_mphButton.hWnd)
        ShowWindow(m_mphButton.hWnd, unit == TSpeedUnit::Mph ? SW_SHOW : SW_HIDE);
}

bool CGpsReadout::OnCommand(int command) {
    if (command == kSpeedKmhCommand) {
        SetUnit(TSpeedUnit::Mph);
        return true;
    }
    if (command == kSpeedMphCommand) {
        SetUnit(TSpeedUnit::Kmh);
        return true;
    }
    return false;
}

// From the program's own resource folder, wherever it was started from.
bool CGpsReadout::LoadPictures(HDC reference) {
    if (m_gpsOff.released &&
        !LoadSkinImage(reference, ResolveSkinPath(kGpsOffImage).c_str(), m_gpsOff))
        return false;
    return !m_gpsOn.released ||
           LoadSkinImage(reference, ResolveSkinPath(kGpsOnImage).c_str(), m_gpsOn);
}

void CGpsReadout::Draw(HDC dc, const TTelemetry* telemetry, int second) {
    DrawFix(dc, FixAtSecond(telemetry, second));
}

void CGpsReadout::DrawFix(HDC dc, const TGpsRecord* fix) {
    const TMemoryDC& background = SharedImage(SkinImage::GpsBackground);
    if (!background.released)
        BitBlt(dc, m_origin.x, m_origin.y, background.width, background.height, background.dc, 0, 0,
               SRCCOPY);
    if (!LoadPictures(dc))
        return;
    const TMemoryDC& icon = ValidFix(fix) ? m_gpsOn : m_gpsOff;
    const int iconX = m_origin.x + kIconOffset.x;
    const int iconY = m_origin.y + kIconOffset.y;
    BitBlt(dc, iconX, iconY, icon.width, icon.height, icon.dc, 0, 0, SRCCOPY);
    m_iconRect = RECT{iconX, iconY, iconX + icon.width, iconY + icon.height};
    DrawDigits(dc, fix);
    if (!fix)
        return;
    DrawPosition(dc, *fix);
    if (m_onPosition)
        m_onPosition(SignedDecimalDegrees(fix->latitude, fix->latitudeHemisphere),
                     SignedDecimalDegrees(fix->longitude, fix->longitudeHemisphere));
}

void CGpsReadout::DrawDigits(HDC dc, const TGpsRecord* fix) const {
    const std::array<UINT, 3> images = SpeedDigitImages(fix, m_unit);
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int left = m_origin.x + kDigitLefts[i];
        const int top = m_origin.y + kDigitTop;
        const RECT box{left, top, left + kDigitSize.cx, top + kDigitSize.cy};
        DigitAtlas().Draw(dc, &box, images[i]);
    }
}

void CGpsReadout::DrawPosition(HDC dc, const TGpsRecord& fix) const {
    const Gdiplus::Font* font = SharedFonts().readOut.get();
    if (!font)
        return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentFar);
    const int textX = m_origin.x + kTextLeft;
    const auto drawText = [&](const TTextBox& box, int row, const wchar_t* text) {
        const Gdiplus::RectF layout{static_cast<Gdiplus::REAL>(textX + box.left),
                                    static_cast<Gdiplus::REAL>(m_origin.y + row),
                                    static_cast<Gdiplus::REAL>(box.width),
                                    static_cast<Gdiplus::REAL>(kTextHeight)};
        graphics.DrawString(text, -1, font, layout, &format, &white);
    };
    const struct {
        double value;
        char hemisphere;
        int row;
    } rows[] = {{fix.latitude, fix.latitudeHemisphere, kLatitudeRow},
                {fix.longitude, fix.longitudeHemisphere, kLongitudeRow}};
    for (const auto& row : rows) {
        const TCoordinateParts parts = SplitCoordinate(row.value);
        wchar_t text[64];
        std::swprintf(text, 64, L"%d", parts.degrees);
        drawText(kDegreesBox, row.row, text);
        std::swprintf(text, 64, L"%d", parts.minutes);
        drawText(kMinutesBox, row.row, text);
        std::swprintf(text, 64, L"%.04f", parts.seconds);
        drawText(kSecondsBox, row.row, text);
        std::swprintf(text, 64, L"%c", row.hemisphere ? row.hemisphere : ' ');
        drawText(kHemisphereBox, row.row, text);
    }
}
