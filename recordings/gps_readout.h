#pragma once
// The GPS read-out of the main window's bottom band: the GPS state icon,
// the speed as three large digits, the position in degrees, minutes and
// seconds, and the km/h / mph switch. Each drawing also hands the position
// to the map.

#include <array>
#include <functional>

#include "platform/gdi.h"
#include "recordings/telemetry.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"

// The switch's two buttons: the km/h one shows while speeds are in km/h and
// switches to mph when pressed; the mph one the other way round.
inline constexpr int kSpeedKmhCommand = 225;
inline constexpr int kSpeedMphCommand = 226;

enum class TSpeedUnit { Kmh = 0, Mph = 1 };

// Speeds of 1000 or more show as 999.
inline constexpr double kHighestShownSpeed = 999.0;

// The digit atlas images of the speed: hundreds, tens, ones, leading zeros
// drawn; three hyphens without a valid fix.
std::array<UINT, 3> SpeedDigitImages(const TGpsRecord* fix, TSpeedUnit unit);

class CGpsReadout {
public:
    CGpsReadout() = default;
    ~CGpsReadout();
    CGpsReadout(const CGpsReadout&) = delete;
    CGpsReadout& operator=(const CGpsReadout&) = delete;

    // The read-out's top-left corner in the owner's drawing surface, and the
    // unit switch's buttons made as children of `owner` (which routes their
    // WM_DRAWITEM, RouteDrawItem) over `background`, the owner's surface, into
    // which the read-out without a fix is drawn first (null: black). False
    // when the buttons cannot be made.
    bool Create(HWND owner, POINT origin, HDC background);
    void Release();
    // Another place in the owner's surface (the owner was resized); the
    // read-out is drawn there at the next Draw.
    void MoveTo(POINT origin);

    // Where each drawn position goes (the map panel's MoveMarker): signed
    // decimal degrees, south and west negative.
    void OnPosition(std::function<void(double latitude, double longitude)> callback) {
        m_onPosition = std::move(callback);
    }

    // Draws the read-out for a playback second of the open recording (null:
    // none) into the owner's surface.
    void Draw(HDC dc, const TTelemetry* telemetry, int second);
    void DrawFix(HDC dc, const TGpsRecord* fix);

    // The owner's WM_COMMAND for the switch's buttons: true when it was one
    // of them; the unit has changed then and the read-out wants drawing.
    bool OnCommand(int command);
    TSpeedUnit Unit() const { return m_unit; }
    void SetUnit(TSpeedUnit unit);
    // Where the GPS icon was last drawn.
    RECT IconRect() const { return m_iconRect; }

private:
    bool LoadPictures(HDC reference);
    void DrawDigits(HDC dc, const TGpsRecord* fix) const;
    void DrawPosition(HDC dc, const TGpsRecord& fix) const;

    POINT m_origin{};
    TMemoryDC m_gpsOff;
    TMemoryDC m_gpsOn;
    RECT m_iconRect{};
    TSpeedUnit m_unit = TSpeedUnit::Kmh;
    CActButton m_kmhButton;
    CActButton m_mphButton;
    std::function<void(double, double)> m_onPosition;
};
