#pragma once
// The map panel's browser site: the web view in the panel's window, the
// page waiting to be written and the state of the page it shows. A page is
// written once the browser has gone to "about:blank"; when the browser
// navigates on its own, the map is rebuilt at the next position.

#include <functional>
#include <string>

#include "platform/web_view.h"

class CIeCtrl {
public:
    CIeCtrl();
    ~CIeCtrl() = default;
    CIeCtrl(const CIeCtrl&) = delete;
    CIeCtrl& operator=(const CIeCtrl&) = delete;

    // Makes the browser as a child of `parentWindow` over `rect`.
    bool Create(HWND parentWindow, const RECT& rect);
    // Drops the pending page and the browser.
    void Close();

    // Keeps the page and sends the browser to "about:blank"; the page is
    // written when that navigation completes.
    bool LoadPage(std::string page, std::string baseUrl);
    // Runs a script in the page; `result`, when given, gets its value as text.
    bool RunScript(const std::string& text,
                   std::function<void(const std::string&)> result = nullptr);
    // Called each time a written page has finished loading.
    void OnPageWritten(std::function<void()> callback) {
        m_pageWrittenCallback = std::move(callback);
    }

    void SetBrowserSize(int width, int height);
    SIZE BrowserSize() const { return m_browser.Size(); }

    bool PageWritten() const { return m_pageWritten; }
    bool ReloadNeeded() const { return m_reloadNeeded; }
    void ClearReloadNeeded() { m_reloadNeeded = false; }

private:
    enum class TPageState { None, Blank, Writing, Written };

    void OnNavigationComplete(TWebNavigation how);

    TWebView m_browser;
    std::string m_pageText;
    std::string m_baseUrl;
    TPageState m_state = TPageState::None;
    bool m_pageWritten = false;
    bool m_reloadNeeded = false;
    std::function<void()> m_pageWrittenCallback;
};
