#include "platform/web_view.h"

#include <QDesktopServices>
#include <QLoggingCategory>
#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>

#include <cstdlib>
#include <unistd.h>

#include "platform/application.h"
#include "platform/window_internal.h"

namespace {

// Chromium refuses to start its sandbox as root; an ordinary user keeps it.
void AllowRootWithoutSandbox() {
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    // The engine's start-up report is for its own developers, not our users.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

// The page of one view: it tells the navigations this object asked for
// from the others, keeps script dialogs from ever showing and sends links
// the user follows to the desktop's browser.
class TSitePage final : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

    TWebNavigation current = TWebNavigation::Asked;
    std::function<void()> notAsked;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame)
            return true;
        if (type == NavigationTypeLinkClicked) {
            QDesktopServices::openUrl(url);
            return false;
        }
        // load() and setHtml() come as typed addresses (about:blank comes
        // without asking); the user cannot type one here.
        if (type == NavigationTypeTyped)
            return true;
        current = TWebNavigation::NotAsked;
        if (notAsked)
            notAsked();
        return true;
    }
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

struct TWebView::TImpl {
    QPointer<QWebEngineView> view;
    TSitePage* page = nullptr; // owned by the view
    std::function<void(TWebNavigation, bool)> complete;
    std::function<void()> notAsked;
};

TWebView::TWebView() : m_impl(std::make_unique<TImpl>()) {}

TWebView::~TWebView() {
    Close();
}

bool TWebView::Create(HWND parent, const RECT& rect) {
    QWidget* host = WidgetOfWindow(parent);
    if (!ApplicationRunning() || !host || m_impl->view)
        return false;
    AllowRootWithoutSandbox();
    auto* view = new QWebEngineView(host);
    auto* page = new TSitePage(view);
    page->notAsked = [impl = m_impl.get()] {
        if (impl->notAsked)
            impl->notAsked();
    };
    view->setPage(page);
    view->setContextMenuPolicy(Qt::NoContextMenu);
    // The program's own page loads its script from local files and its
    // tiles from the tile server.
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    QObject::connect(page, &QWebEnginePage::loadFinished, view, [impl = m_impl.get()](bool ok) {
        if (impl->complete && impl->page)
            impl->complete(impl->page->current, ok);
    });
    view->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    view->show();
    m_impl->view = view;
    m_impl->page = page;
    return true;
}

bool TWebView::Created() const {
    return m_impl->view != nullptr;
}

void TWebView::Close() {
    if (!m_impl->view) {
        m_impl->page = nullptr;
        return;
    }
    // The page goes before its view, as the engine wants it.
    QWebEngineView* view = m_impl->view;
    m_impl->view = nullptr;
    m_impl->page = nullptr;
    QWebEnginePage* page = view->page();
    view->setPage(nullptr);
    delete page;
    delete view;
}

void TWebView::OnNavigationComplete(std::function<void(TWebNavigation, bool)> callback) {
    m_impl->complete = std::move(callback);
}

void TWebView::OnNavigationNotAsked(std::function<void()> callback) {
    m_impl->notAsked = std::move(callback);
}

bool TWebView::Navigate(const std::string& url) {
    if (!m_impl->view)
        return false;
    m_impl->page->current = TWebNavigation::Asked;
    m_impl->page->load(QUrl(FromUtf8(url)));
    return true;
}

bool TWebView::WritePage(const std::string& html, const std::string& baseUrl) {
    if (!m_impl->view)
        return false;
    m_impl->page->current = TWebNavigation::Asked;
    m_impl->page->setHtml(FromUtf8(html), QUrl(FromUtf8(baseUrl)));
    return true;
}

bool TWebView::RunScript(const std::string& script,
                         std::function<void(const std::string&)> result) {
    if (!m_impl->view)
        return false;
    if (!result) {
        m_impl->page->runJavaScript(FromUtf8(script));
        return true;
    }
    m_impl->page->runJavaScript(FromUtf8(script), [result](const QVariant& value) {
        result(value.toString().toStdString());
    });
    return true;
}

void TWebView::SetBounds(const RECT& rect) {
    if (m_impl->view)
        m_impl->view->setGeometry(rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top);
}

SIZE TWebView::Size() const {
    if (!m_impl->view)
        return SIZE{0, 0};
    return SIZE{m_impl->view->width(), m_impl->view->height()};
}

void TWebView::SetUserAgent(const std::string& userAgent) {
    if (m_impl->page)
        m_impl->page->profile()->setHttpUserAgent(FromUtf8(userAgent));
}

std::string TWebView::FileUrl(const std::string& path) {
    return QUrl::fromLocalFile(FromUtf8(path)).toString(QUrl::FullyEncoded).toStdString();
}
