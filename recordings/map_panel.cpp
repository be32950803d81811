#include "recordings/map_panel.h"

#include "platform/files.h"
#include "settings/viewer_preferences.h"
#include "ui/memory_dc.h"

namespace {

// The page's own plain background, so that nothing flashes before it shows.
constexpr COLORREF kMapBackground = RGB(27, 29, 33);
constexpr const char* kMapPanelClass = "__MapPanel_Class__";

} // namespace

CMapPanel::~CMapPanel() {
    DestroyOwnWindow();
}

bool CMapPanel::Create(HWND parent, const RECT& rect) {
    if (!RegisterWindowClass(kMapPanelClass, BoundWindowProcedure))
        return false;
    SetClassName(kMapPanelClass);
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect,
                             parent, kMapPanelId) != nullptr;
}

void CMapPanel::MoveMarker(double latitude, double longitude) {
    if (!m_site)
        return;
    m_latitude = latitude;
    m_longitude = longitude;
    if (m_site->ReloadNeeded()) {
        BuildPage();
        m_site->ClearReloadNeeded();
        return;
    }
    if (m_site->PageWritten())
        m_site->RunScript(MoveToScript(latitude, longitude));
}

void CMapPanel::SetTrack(const TTelemetry* telemetry) {
    m_track = TrackOfTelemetry(telemetry);
    if (m_site && m_site->PageWritten())
        m_site->RunScript(SetTrackScript(m_track));
}

void CMapPanel::PrepareBackground(HDC dc, const RECT& client) {
    CPanel::PrepareBackground(dc, client);
    LayoutBrowser(0, 0);
}

void CMapPanel::OnDestroy() {
    if (m_site) {
        m_site->Close();
        m_site.reset();
    }
    CPanel::OnDestroy();
}

void CMapPanel::OnSize(int width, int height) {
    CPanel::OnSize(width, height);
    if (width >= 1 && height >= 1)
        LayoutBrowser(width, height);
}

void CMapPanel::OnPaint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    FillSolid(dc, client, kMapBackground);
}

void CMapPanel::OnEraseBackground(HDC) {}

void CMapPanel::LayoutBrowser(int width, int height) {
    if (m_site) {
        if (m_site->PageWritten())
            m_site->SetBrowserSize(width, height);
        return;
    }
    if (width == 0 || height == 0)
        return;
    auto site = std::make_unique<CIeCtrl>();
    RECT client;
    GetClientRect(hWnd, &client);
    if (!site->Create(hWnd, client))
        return;
    site->OnPageWritten([this] { OnPageWritten(); });
    m_site = std::move(site);
    BuildPage();
}

void CMapPanel::BuildPage() {
    const std::string pageTemplate = ReadMapPageTemplate();
    if (pageTemplate.empty())
        return;
    m_pageLatitude = m_latitude;
    m_pageLongitude = m_longitude;
    const std::string page =
        FormatMapPage(pageTemplate, m_latitude, m_longitude, Preferences().mapTileUrl);
    m_site->LoadPage(page, TWebView::FileUrl(ResourcePath("map") + "/"));
}

void CMapPanel::OnPageWritten() {
    RECT client;
    GetClientRect(hWnd, &client);
    m_site->SetBrowserSize(client.right, client.bottom);
    if (!m_track.empty())
        m_site->RunScript(SetTrackScript(m_track));
    if (m_latitude != m_pageLatitude || m_longitude != m_pageLongitude)
        m_site->RunScript(MoveToScript(m_latitude, m_longitude));
}
