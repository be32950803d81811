#pragma once
// The map: the second panel of the side window, a web page with the street
// map, a marker at the vehicle's position and the recording's whole track.
// The browser is made the first time the panel gets a size; the position
// moves the marker by script, without reloading the page.

#include <memory>
#include <vector>

#include "recordings/ie_ctrl.h"
#include "recordings/map_page.h"
#include "recordings/telemetry.h"
#include "ui/panel.h"

inline constexpr int kMapPanelId = 201;
// Where a new map is centred until the first fix arrives.
inline constexpr double kMapStartLatitude = 36.330652;
inline constexpr double kMapStartLongitude = 139.365324;

class CMapPanel : public CPanel {
public:
    CMapPanel() = default;
    ~CMapPanel() override;

    // Made on its own as a child of `parent` over `rect` (the side window
    // adds it to its panel set instead).
    bool Create(HWND parent, const RECT& rect);

    // Signed decimal degrees (south and west negative). Moves the marker and
    // centres the map there; rebuilds the page first when the browser went
    // elsewhere by itself.
    void MoveMarker(double latitude, double longitude);
    // The track of the recording that has just opened (its valid fixes in
    // order) is drawn under the marker; null clears it.
    void SetTrack(const TTelemetry* telemetry);

    double Latitude() const { return m_latitude; }
    double Longitude() const { return m_longitude; }
    // Null until the panel first had a size.
    CIeCtrl* Site() { return m_site.get(); }

    void PrepareBackground(HDC dc, const RECT& client) override;
    void OnDestroy() override;
    void OnSize(int width, int height) override;
    void OnPaint(HDC dc) override;
    void OnEraseBackground(HDC dc) override;

private:
    void LayoutBrowser(int width, int height);
    void BuildPage();
    // The written page gets the track and any position that came meanwhile.
    void OnPageWritten();

    std::unique_ptr<CIeCtrl> m_site;
    double m_latitude = kMapStartLatitude;
    double m_longitude = kMapStartLongitude;
    // The position the page was built with.
    double m_pageLatitude = kMapStartLatitude;
    double m_pageLongitude = kMapStartLongitude;
    std::vector<TTrackPoint> m_track;
};
