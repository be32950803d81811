#include "recordings/ie_ctrl.h"

namespace {

constexpr const char* kBlankPage = "about:blank";
// Tile servers ask programs to name themselves.
constexpr const char* kUserAgent = "VELOR-player/0.1 (Linux dash-camera viewer)";

} // namespace

CIeCtrl::CIeCtrl() {
    m_browser.OnNavigationComplete([this](TWebNavigation how, bool) { OnNavigationComplete(how); });
    m_browser.OnNavigationNotAsked([this] { m_reloadNeeded = true; });
}

bool CIeCtrl::Create(HWND parentWindow, const RECT& rect) {
    if (!m_browser.Create(parentWindow, rect))
        return false;
    m_browser.SetUserAgent(kUserAgent);
    return true;
}

void CIeCtrl::Close() {
    m_pageText.clear();
    m_state = TPageState::None;
    m_pageWritten = false;
    m_browser.Close();
}

bool CIeCtrl::LoadPage(std::string page, std::string baseUrl) {
    if (!m_browser.Created())
        return false;
    m_pageText = std::move(page);
    m_baseUrl = std::move(baseUrl);
    m_pageWritten = false;
    m_state = TPageState::Blank;
    return m_browser.Navigate(kBlankPage);
}

bool CIeCtrl::RunScript(const std::string& text, std::function<void(const std::string&)> result) {
    return m_browser.RunScript(text, std::move(result));
}

void CIeCtrl::SetBrowserSize(int width, int height) {
    m_browser.SetBounds(RECT{0, 0, width, height});
}

void CIeCtrl::OnNavigationComplete(TWebNavigation how) {
    if (how == TWebNavigation::NotAsked)
        return;
    switch (m_state) {
    case TPageState::Blank:
        m_state = TPageState::Writing;
        m_browser.WritePage(m_pageText, m_baseUrl);
        m_pageText.clear();
        return;
    case TPageState::Writing:
        m_state = TPageState::Written;
        m_pageWritten = true;
        if (m_pageWrittenCallback)
            m_pageWrittenCallback();
        return;
    case TPageState::None:
    case TPageState::Written:
        return;
    }
}
