#include "page/web_page_view.h"

#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "content/native_name.h"
#include "page/web_engine_plugin.h"
#include "page/web_offline.h"
#include "page/window_paint_watch.h"

namespace discstart {

WebPageView::WebPageView(QWidget* parent) : PageView(parent), interceptor_(new OfflineInterceptor(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Starting the engine blocks for a moment: the window goes on screen before that.
    new WindowPaintWatch(this, [this] { createEngine(); });
}

WebPageView::~WebPageView() {
    // A profile must outlive its pages.
    delete view_;
    delete profile_;
}

void WebPageView::setOffline(bool) {
    // A disc page is offline whether or not it is asked to be: see createEngine.
}

bool WebPageView::setDesignModeOff() {
    if (view_ == nullptr || !hasDocument_) return false;
    view_->page()->runJavaScript(QStringLiteral("document.designMode = \"off\";"));
    return true;
}

void WebPageView::navigate(const QString& path) {
    pendingUrl_ = path.isEmpty() ? QUrl() : LocalFileUrl(path);
    interceptor_->setFolder(path.isEmpty() ? PageFolder() : PageFolder(path));
    if (view_ != nullptr) view_->load(pendingUrl_);
}

QUrl WebPageView::currentUrl() const {
    return view_ != nullptr ? view_->url() : pendingUrl_;
}

void WebPageView::createEngine() {
    if (view_ != nullptr) return;
    AllowWebEngineAsRoot();
    KeepWebEngineOffline();

    // Off the record: no cache, cookies or history reach the disk.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setUrlRequestInterceptor(interceptor_);

    view_ = new QWebEngineView(this);
    auto* page = new DiscWebPage(profile_, interceptor_, view_);
    // What a disc page never needs. Scripts may read the page's own files: the interceptor
    // keeps them inside its folder.
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    settings->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    view_->setPage(page);
    layout()->addWidget(view_);
    // A refused navigation only stops, and the shown page stays: that is no load.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
            hasDocument_ = true;
            emit loadFinished(true);
        } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
            emit loadFinished(false);
        }
    });
    emit engineCreated();
    if (pendingUrl_.isValid()) view_->load(pendingUrl_);
}

}  // namespace discstart
