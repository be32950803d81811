#include "recordings/host_panel.h"

void CHostPanel::SetHosted(HWND window) {
    if (m_hosted && IsWindow(m_hosted) && m_hosted != window)
        ShowWindow(m_hosted, SW_HIDE);
    m_hosted = window && IsWindow(window) ? window : nullptr;
    if (!m_hosted || !hWnd)
        return;
    SetParent(m_hosted, hWnd);
    FitHosted();
    ShowWindow(m_hosted, SW_SHOW);
}

void CHostPanel::PrepareBackground(HDC dc, const RECT& client) {
    if (background.Prepare(dc, client.right - client.left, client.bottom - client.top))
        FillSolid(background.dc, client, HostPanelColour);
}

void CHostPanel::OnSize(int width, int height) {
    CPanel::OnSize(width, height);
    if (width < 1 || height < 1)
        return;
    HDC dc = GetDC(hWnd);
    PrepareBackground(dc, RECT{0, 0, width, height});
    ReleaseDC(hWnd, dc);
    FitHosted();
    InvalidateRect(hWnd, nullptr, TRUE);
}

void CHostPanel::FitHosted() {
    if (!m_hosted || !IsWindow(m_hosted))
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    MoveWindow(m_hosted, 0, 0, client.right, client.bottom, TRUE);
}

void CHostPanel::OnDestroy() {
    // The hosted window is not ours: it leaves before the page goes.
    if (m_hosted && IsWindow(m_hosted)) {
        ShowWindow(m_hosted, SW_HIDE);
        SetParent(m_hosted, nullptr);
    }
    m_hosted = nullptr;
    CPanel::OnDestroy();
}
