#pragma once
// A web page inside a window: the browser site the map panel talks to. It
// lives as a child of a window, navigates, takes a page written by the
// program, runs scripts in it and reports when a navigation completes and
// when the page navigated on its own. Nothing here names a Qt type.

#include <functional>
#include <memory>
#include <string>

#include "platform/win_types.h"

// How a navigation the view reports came about.
enum class TWebNavigation {
    Asked,   // Navigate or WritePage of this object
    NotAsked // the page or the engine moved on its own (reload, script, history)
};

class TWebView {
public:
    TWebView();
    ~TWebView();
    TWebView(const TWebView&) = delete;
    TWebView& operator=(const TWebView&) = delete;

    // Makes the view as a child of `parent` covering `rect` (client
    // coordinates). False without a user interface application, without
    // such a window, or when made already.
    bool Create(HWND parent, const RECT& rect);
    bool Created() const;
    void Close();

    // Called when a main-frame load has finished; `ok` false for a failed one.
    void OnNavigationComplete(std::function<void(TWebNavigation how, bool ok)> callback);
    // Called as soon as a main-frame navigation that this object did not ask
    // for starts. Links the user follows open in the desktop's browser
    // instead and are not reported.
    void OnNavigationNotAsked(std::function<void()> callback);

    bool Navigate(const std::string& url);
    // Replaces the document by `html`; relative addresses in it resolve
    // against `baseUrl` (a folder URL ending in '/').
    bool WritePage(const std::string& html, const std::string& baseUrl);
    // Runs the script in the current page; `result`, when given, gets the
    // script's value as text (JSON for objects), or an empty text.
    bool RunScript(const std::string& script,
                   std::function<void(const std::string&)> result = nullptr);

    void SetBounds(const RECT& rect);
    // The view's current size; 0 x 0 when not made.
    SIZE Size() const;
    // The text a request for tiles and pages identifies the program with.
    void SetUserAgent(const std::string& userAgent);

    // A file URL ("file:///...") for an absolute path.
    static std::string FileUrl(const std::string& path);

private:
    struct TImpl;
    std::unique_ptr<TImpl> m_impl;
};
